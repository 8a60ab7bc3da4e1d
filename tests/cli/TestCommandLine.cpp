#include "TestSupport.h"

#include "platform/FileLock.h"
#include "rules/RuleStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

namespace {
// Listens where a running Vantor would and answers each request with `answer`; when that is
// empty, with a line that never ends, for as long as it is read.
class FakeInstance : public QObject {
  public:
    QByteArray answer;
    qint64 sent = 0;
    QByteArray received;

    bool listen(const QString& folder) {
        connect(&m_server, &QLocalServer::newConnection, this,
                [this] { serve(m_server.nextPendingConnection()); });
        return m_server.listen(folder + "/instance.socket");
    }

  private:
    static constexpr qint64 kChunk = 64 * 1024;
    static constexpr qint64 kMostSent = 64 * 1024 * 1024;

    void serve(QLocalSocket* socket) {
        // As a running Vantor does, the answer follows the whole request.
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            received += socket->readAll();
            if (!received.endsWith('\n'))
                return;
            if (!answer.isEmpty())
                socket->write(answer);
            else
                feed(socket);
        });
        connect(socket, &QLocalSocket::bytesWritten, this, [this, socket](qint64 bytes) {
            sent += bytes;
            feed(socket);
        });
    }
    void feed(QLocalSocket* socket) {
        if (!answer.isEmpty())
            return;
        if (sent > kMostSent)
            socket->disconnectFromServer();
        else if (socket->bytesToWrite() < kChunk)
            socket->write(QByteArray(kChunk, 'x'));
    }

    QLocalServer m_server;
};

// A running Vantor's answer: {"v":3,"exit":0,"out":"...","err":"..."}.
QByteArray answerLine(int exit, const char* out, const char* err, int version = 3) {
    const QJsonObject o{{"v", version}, {"exit", exit}, {"out", out}, {"err", err}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + "\n";
}

// A runtime folder of the test's own, short enough for a socket's path.
QString privateFolder(const QTemporaryDir& dir) {
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir.path();
}
} // namespace

// The real vantor binary, run as a process with no display: the commands, their output and
// exit statuses, and a command handed to a running Vantor.
class TestCommandLine : public QObject {
    Q_OBJECT

    struct Run {
        int exit = -1;
        QByteArray out, err;
        QJsonValue json(const QString& key) const {
            return QJsonDocument::fromJson(out).object().value(key);
        }
    };

    // A home for the program with no display; the runtime folder is its own unless given.
    static QProcessEnvironment environment(const TempHome& home, QString runtime = {}) {
        if (runtime.isEmpty()) {
            runtime = home.path() + "/run";
            QDir().mkpath(runtime);
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(var);
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.path() + "/.config");
        env.insert("XDG_STATE_HOME", home.path() + "/.local/state");
        env.insert("XDG_RUNTIME_DIR", runtime);
        return env;
    }

    static Run vantor(const QStringList& args, const QProcessEnvironment& env,
                      const QString& workingFolder = {}) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(workingFolder);
        p.start(VANTOR_BINARY, args);
        // Waited for with the event loop running, so a fake instance here can answer.
        QEventLoop loop;
        connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
        connect(&p, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        if (p.state() != QProcess::NotRunning)
            loop.exec();
        if (p.state() != QProcess::NotRunning || p.exitStatus() != QProcess::NormalExit) {
            p.kill();
            p.waitForFinished();
            return {};
        }
        return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    }

    static QStringList files(const QJsonValue& groups, int i) {
        QStringList out;
        for (const QJsonValue& v : groups.toArray()[i].toObject().value("files").toArray())
            out.append(v.toString());
        return out;
    }

    static void put(const TempHome& home, const QStringList& names) {
        for (const QString& name : names)
            QVERIFY(testsupport::touch(home.desktop(name)));
    }

  private slots:
    void usage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QByteArray>("out"); // what stdout starts with
        QTest::newRow("--help") << QStringList{"--help"} << 0 << QByteArray("Usage: vantor");
        QTest::newRow("-h") << QStringList{"-h"} << 0 << QByteArray("Usage: vantor");
        QTest::newRow("--version")
            << QStringList{"--version"} << 0 << QByteArray("Vantor " VANTOR_VERSION "\n");
        QTest::newRow("-v") << QStringList{"-v"} << 0 << QByteArray("Vantor " VANTOR_VERSION "\n");
        QTest::newRow("unknown command") << QStringList{"tidy"} << 2 << QByteArray();
        QTest::newRow("unknown option") << QStringList{"scan", "--yaml"} << 2 << QByteArray();
        QTest::newRow("two commands") << QStringList{"scan", "clean"} << 2 << QByteArray();
        QTest::newRow("--json alone") << QStringList{"--json"} << 2 << QByteArray();
        QTest::newRow("open is no command") << QStringList{"open"} << 2 << QByteArray();
        QTest::newRow("undo of two cleans") << QStringList{"undo", "a", "b"} << 2 << QByteArray();
        QTest::newRow("history takes no ID") << QStringList{"history", "a"} << 2 << QByteArray();
        QTest::newRow("scan takes no ID") << QStringList{"scan", "a"} << 2 << QByteArray();
        QTest::newRow("folders add of nothing")
            << QStringList{"folders", "add"} << 2 << QByteArray();
        QTest::newRow("folders add of two")
            << QStringList{"folders", "add", "a", "b"} << 2 << QByteArray();
        QTest::newRow("folders remove of an empty path")
            << QStringList{"folders", "remove", ""} << 2 << QByteArray();
        QTest::newRow("unknown folders command")
            << QStringList{"folders", "list"} << 2 << QByteArray();
        QTest::newRow("--automatic with the list")
            << QStringList{"folders", "--automatic"} << 2 << QByteArray();
        QTest::newRow("--automatic with remove")
            << QStringList{"folders", "remove", "a", "--automatic"} << 2 << QByteArray();
        QTest::newRow("--automatic with scan")
            << QStringList{"scan", "--automatic"} << 2 << QByteArray();
        QTest::newRow("--json with add")
            << QStringList{"folders", "add", "a", "--json"} << 2 << QByteArray();
    }
    void usage() {
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        QFETCH(QByteArray, out);
        TempHome home;
        const Run run = vantor(args, environment(home));
        QCOMPARE(run.exit, exit);
        if (exit == 0) {
            QVERIFY2(run.out.startsWith(out), run.out.constData());
            QCOMPARE(run.err, QByteArray());
        } else { // one line on stderr, nothing on stdout
            QCOMPARE(run.out, QByteArray());
            QCOMPARE(run.err.count('\n'), 1);
            QVERIFY(run.err.startsWith("vantor: "));
        }
        if (args == QStringList{"--help"})
            for (const char* command : {"scan", "clean", "undo ID", "history", "folders add PATH",
                                        "folders remove PATH", "--automatic", "--json"})
                QVERIFY(run.out.contains(command));
    }

    void scanCleanUndoAsJsonWithNoDisplay() {
        TempHome home;
        RuleStore rules(home.configFolder());
        rules.restoreDefaults(); // saved, so every run sees the same ids
        rules.setAction(rules.rules().last().id, SortRule::Action::Trash);
        put(home, {"b.png", "a.JPG", "notes.pdf", "tool.xyz"});
        const QString runtime = home.path() + "/run";
        const QProcessEnvironment env = environment(home);

        Run run = vantor({"scan", "--json"}, env);
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.json("desktop").toString(), home.desktop());
        const QJsonArray groups = run.json("groups").toArray();
        QCOMPARE(groups.size(), rules.rules().size()); // every rule, in order
        for (qsizetype i = 0; i < groups.size(); ++i) {
            const QJsonObject g = groups[i].toObject();
            QCOMPARE(g.value("rule").toString(), rules.rules()[i].name);
            QCOMPARE(g.value("id").toString(), SortRule::uuidText(rules.rules()[i].id));
            QCOMPARE(g.value("destination").toString(), rules.rules()[i].destinationURL());
            QCOMPARE(g.value("action").toString(), i + 1 == groups.size() ? "trash" : "move");
        }
        QCOMPARE(files(groups, 0), QStringList({home.desktop("a.JPG"), home.desktop("b.png")}));
        QCOMPARE(files(groups, 1), QStringList{home.desktop("notes.pdf")});
        QCOMPARE(run.json("other").toInt(), 1);
        QVERIFY(QFile::exists(home.desktop("b.png"))); // a scan changes nothing

        run = vantor({"clean", "--json"}, env);
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.json("moved").toInt(), 3);
        QCOMPARE(run.json("failed").toInt(), 0);
        const QJsonArray moves = run.json("moves").toArray();
        QCOMPARE(moves.size(), 3);
        QCOMPARE(moves[0].toObject().value("from").toString(), home.desktop("a.JPG"));
        QCOMPARE(moves[0].toObject().value("to").toString(), home.desktop("Images/a.JPG"));
        for (const QJsonValue& m : moves) {
            QVERIFY(!QFile::exists(m.toObject().value("from").toString()));
            QVERIFY(QFile::exists(m.toObject().value("to").toString()));
        }

        run = vantor({"clean", "--json"}, env); // nothing left to move: still a success
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.json("moves").toArray().size(), 0);

        run = vantor({"undo", "--json"}, env);
        QCOMPARE(run.exit, 0);
        QCOMPARE(QJsonDocument::fromJson(run.out).object(),
                 QJsonObject({{"restored", 3}, {"failed", 0}}));
        QVERIFY(QFile::exists(home.desktop("a.JPG")));

        run = vantor({"undo", "--json"}, env);
        QCOMPARE(run.exit, 1);
        QCOMPARE(run.err, QByteArray("vantor: Nothing to undo.\n"));
        QCOMPARE(QJsonDocument::fromJson(run.out).object(),
                 QJsonObject({{"restored", 0}, {"failed", 0}}));

        // Commands only ask whether Vantor runs: they never become the running instance.
        QVERIFY(!QFile::exists(runtime + "/" VANTOR_APP_ID "/instance.lock"));
    }

    void humanLines() {
        TempHome home;
        put(home, {"a.png", "b.pdf", "c.pdf", "d.xyz"});
        const QProcessEnvironment env = environment(home);
        Run run = vantor({"scan"}, env);
        QCOMPARE(run.exit, 0);
        QCOMPARE(QString::fromUtf8(run.out), "Images: 1 file \u2192 ~/Desktop/Images\n"
                                             "Documents: 2 files \u2192 ~/Desktop/Documents\n"
                                             "1 other item stays on the Desktop.\n");
        QCOMPARE(vantor({"clean"}, env).out, QByteArray("Moved 3 files.\n"));
        run = vantor({"clean"}, env);
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.out, QByteArray("Nothing to move.\n"));
        QCOMPARE(vantor({"undo"}, env).out, QByteArray("Put back 3 files.\n"));

        // As from cron: no runtime folder, and nothing said about it.
        QProcessEnvironment cron = env;
        cron.remove("XDG_RUNTIME_DIR");
        run = vantor({"scan"}, cron);
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.err, QByteArray());
    }

    // In a German session a command speaks German, as the panel does; the rule names, which
    // name folders, and --json stay as they are.
    void germanSession() {
        TempHome home;
        RuleStore(home.configFolder()).restoreDefaults(); // the same ids in both languages
        put(home, {"a.png"});
        const QProcessEnvironment english = environment(home);
        QProcessEnvironment german = english;
        german.remove("LC_ALL");
        german.insert("LANG", "de_DE.UTF-8");
        german.insert("LANGUAGE", "de");

        Run run = vantor({"folders", "add", home.path()}, german);
        QCOMPARE(run.exit, 1);
        QCOMPARE(QString::fromUtf8(run.err), "vantor: ~ ist dein persönlicher Ordner: Vantor "
                                             "räumt Ordner darin auf, nie ihn selbst.\n");
        run = vantor({"scan"}, german);
        QVERIFY2(run.out.startsWith("Images: ") && run.out.contains("\u2192 ~/Desktop/Images\n"),
                 run.out.constData());
        QCOMPARE(vantor({"scan", "--json"}, german).out, vantor({"scan", "--json"}, english).out);
    }

    // Cleans listed newest first, an older one put back by its ID, the newest by plain undo.
    void historyAndUndoByID() {
        TempHome home;
        const QProcessEnvironment env = environment(home);
        Run run = vantor({"history"}, env);
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.out, QByteArray("No cleans yet.\n"));
        QCOMPARE(vantor({"history", "--json"}, env).out, QByteArray("[]\n"));

        put(home, {"a.png", "c.png"});
        QCOMPARE(vantor({"clean"}, env).exit, 0);
        put(home, {"b.pdf"});
        QCOMPARE(vantor({"clean"}, env).exit, 0);
        run = vantor({"history", "--json"}, env);
        QCOMPARE(run.exit, 0);
        const QJsonArray list = QJsonDocument::fromJson(run.out).array();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[0].toObject().keys(),
                 QStringList({"automatic", "date", "id", "moved", "undone"}));
        QCOMPARE(list[0].toObject().value("moved").toInt(), 1);
        QCOMPARE(list[1].toObject().value("moved").toInt(), 2);
        QCOMPARE(list[1].toObject().value("automatic"), QJsonValue(false));
        QCOMPARE(list[1].toObject().value("undone"), QJsonValue(false));
        const QString date = list[0].toObject().value("date").toString();
        QVERIFY2(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$")
                     .match(date)
                     .hasMatch(),
                 qPrintable(date));
        const QString newer = list[0].toObject().value("id").toString();
        const QString older = list[1].toObject().value("id").toString();

        run = vantor({"history"}, env);
        const QList<QByteArray> lines = run.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith(newer.toUtf8() + "  ") && lines[0].endsWith("Moved 1 file."),
                 lines[0].constData());
        QVERIFY2(lines[1].startsWith(older.toUtf8() + "  ") && lines[1].endsWith("Moved 2 files."),
                 lines[1].constData());

        run = vantor({"undo", older}, env);
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.out, QByteArray("Put back 2 files.\n"));
        QVERIFY(QFile::exists(home.desktop("a.png")) && QFile::exists(home.desktop("c.png")));
        QVERIFY(QFile::exists(home.desktop("Documents/b.pdf")));
        QVERIFY(vantor({"history"}, env).out.contains("Moved 2 files; put back.\n"));

        run = vantor({"undo", older}, env);
        QCOMPARE(run.exit, 1);
        QCOMPARE(run.err, QString("vantor: Clean %1 was put back already.\n").arg(older).toUtf8());
        run = vantor({"undo", "nosuch", "--json"}, env);
        QCOMPARE(run.exit, 1);
        QCOMPARE(run.err, QByteArray("vantor: No clean with ID 'nosuch' in the history.\n"));
        QCOMPARE(QJsonDocument::fromJson(run.out).object(),
                 QJsonObject({{"restored", 0}, {"failed", 0}}));

        run = vantor({"undo"}, env); // the newest, from last-clean.json
        QCOMPARE(run.out, QByteArray("Put back 1 file.\n"));
        QVERIFY(QFile::exists(home.desktop("b.pdf")));
        const QJsonArray after =
            QJsonDocument::fromJson(vantor({"history", "--json"}, env).out).array();
        QCOMPARE(after[0].toObject().value("undone"), QJsonValue(true));
    }

    void failures() {
        TempHome home;
        const QProcessEnvironment env = environment(home);
        // A file where the Images folder should be: the pictures cannot go; the rest does.
        put(home, {"Images", "a.png", "b.pdf"});
        Run run = vantor({"clean", "--json"}, env);
        QCOMPARE(run.exit, 1);
        QCOMPARE(run.json("moved").toInt(), 1);
        QCOMPARE(run.json("failed").toInt(), 1);
        run = vantor({"clean"}, env);
        QCOMPARE(run.exit, 1);
        QCOMPARE(run.out, QByteArray("Moved 0 files; 1 couldn't be moved.\n"));

        // Another cleaner at work on the record folder: busy, nothing done.
        put(home, {"c.pdf"});
        QDir().mkpath(home.stateFolder());
        const auto lock = platform::FileLock::acquire(home.stateFolder() + "/lock", 0);
        QVERIFY(lock);
        run = vantor({"clean"}, env);
        QCOMPARE(run.exit, 1);
        QVERIFY2(run.err.contains("busy"), run.err.constData());
        QVERIFY(QFile::exists(home.desktop("c.pdf")));
    }

    void badInput() {
        TempHome home;
        const QProcessEnvironment env = environment(home);
        put(home, {"a.png"});
        QVERIFY(testsupport::touch(home.configFolder() + "/rules.json", "{\"rules\": ["));
        Run run = vantor({"scan", "--json"}, env);
        QCOMPARE(run.exit, 0); // the default rules, as the panel uses
        QCOMPARE(run.json("groups").toArray()[0].toObject().value("rule").toString(), "Images");
        QCOMPARE(run.err, QByteArray("vantor: ~/.config/Vantor/rules.json can't be read; using the "
                                     "default rules.\n"));
        QVERIFY(QFile::remove(home.configFolder() + "/rules.json"));

        QVERIFY(QDir(home.desktop()).removeRecursively());
        for (const char* command : {"scan", "clean"}) {
            run = vantor({command}, env);
            QCOMPARE(run.exit, 1);
            QCOMPARE(run.out, QByteArray());
            QCOMPARE(run.err, QByteArray("vantor: Vantor can't see your Desktop (~/Desktop).\n"));
        }
    }

    void theHomeFolderIsNeverTidied() {
        TempHome home;
        const QProcessEnvironment env = environment(home);
        put(home, {"../home.png", "desk.png"});

        // The user's Desktop setting points at home: the Desktop folder is used instead.
        QVERIFY(testsupport::touch(home.path() + "/.config/user-dirs.dirs",
                                   "XDG_DESKTOP_DIR=\"$HOME\"\n"));
        Run run = vantor({"scan", "--json"}, env);
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.json("desktop").toString(), home.desktop());
        QCOMPARE(files(run.json("groups"), 0), QStringList{home.desktop("desk.png")});
        QCOMPARE(vantor({"clean"}, env).exit, 0);
        QVERIFY(QFile::exists(home.path() + "/home.png"));
        QCOMPARE(vantor({"undo"}, env).exit, 0);

        // The Desktop folder is a link to home: no access, and nothing moves.
        QVERIFY(QDir(home.desktop()).removeRecursively());
        QVERIFY(QFile::link(home.path(), home.desktop()));
        for (const char* command : {"scan", "clean"}) {
            run = vantor({command, "--json"}, env);
            QCOMPARE(run.exit, 1);
            QVERIFY(run.err.contains("can't see your Desktop"));
        }
        QVERIFY(QFile::exists(home.path() + "/home.png"));
        QVERIFY(!QFile::exists(home.path() + "/Images"));
    }

    // Added as the settings page adds them, from a path relative to where the command runs;
    // listed with their switch for automatic tidying, scanned and cleaned each under its
    // name, and removed again.
    void tidiedFolders() {
        TempHome home;
        const QProcessEnvironment env = environment(home);
        const QString downloads = home.path() + "/Downloads";
        QVERIFY(testsupport::touch(downloads + "/a.zip"));
        put(home, {"b.pdf"});

        Run run = vantor({"folders", "add", "Downloads", "--automatic"}, env, home.path());
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.out,
                 QByteArray("Added ~/Downloads to the tidied folders, tidied automatically.\n"));
        QCOMPARE(QString::fromUtf8(vantor({"folders", "--json"}, env).out),
                 QString(R"([{"path": "%1", "automatic": false}, )"
                         R"({"path": "%2", "automatic": true}])"
                         "\n")
                     .arg(home.desktop(), downloads));
        QCOMPARE(vantor({"folders"}, env).out, QByteArray("~/Desktop\n~/Downloads  automatic\n"));
        QCOMPARE(QString::fromUtf8(vantor({"scan"}, env).out),
                 "~/Desktop:\n  Documents: 1 file \u2192 ~/Desktop/Documents\n"
                 "~/Downloads:\n  Archives: 1 file \u2192 ~/Downloads/Archives\n");

        const QList<std::pair<QStringList, QByteArray>> refused = {
            {{"add", downloads}, "~/Downloads is tidied already."},
            {{"add", home.path() + "/nosuch"}, "~/nosuch is not a folder."},
            {{"remove", home.desktop()}, "The Desktop is always tidied; it can't be removed."},
            {{"remove", home.path() + "/Music"}, "~/Music is not a tidied folder."},
        };
        for (const auto& [args, err] : refused) {
            run = vantor(QStringList{"folders"} + args, env);
            QCOMPARE(run.exit, 1);
            QCOMPARE(run.out, QByteArray());
            QCOMPARE(run.err, "vantor: " + err + "\n");
        }

        // A folder that is gone: said, and the others are still scanned and cleaned.
        QVERIFY(QDir(downloads).removeRecursively());
        for (const char* command : {"scan", "clean"}) {
            run = vantor({command}, env);
            QCOMPARE(run.exit, 1);
            QCOMPARE(run.err, QByteArray("vantor: Vantor can't read ~/Downloads.\n"));
        }
        QCOMPARE(run.out, QByteArray("Moved 1 file.\n"));

        run = vantor({"folders", "remove", "Downloads"}, env, home.path());
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.out, QByteArray("Removed ~/Downloads from the tidied folders.\n"));
        QCOMPARE(vantor({"folders"}, env).out, QByteArray("~/Desktop\n"));
        QVERIFY(!testsupport::readFile(home.configFolder() + "/settings.ini").contains("true"));
    }

    // What a running Vantor answers reaches the terminal without control characters, and
    // an answer that never ends is not read to its end.
    void theInstancesAnswerIsCheckedBeforeItIsPrinted_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("answer"); // empty: one that never ends
        QTest::addColumn<int>("exit");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        // Sent as the oldest version that carries it, so that an older Vantor takes it; a
        // path as an absolute one, as the running Vantor's working folder is another.
        QTest::addColumn<QByteArray>("sent");
        const QStringList clean{"clean"};
        const QByteArray sentClean = R"({"command":"clean","v":1})";
        QTest::newRow("escape sequences")
            << clean
            << answerLine(0, "\x1b]0;owned\aMoved\x1b[2J 42\tfiles.\r\n", "\x1b[31mred\u009b\n")
            << 0 << QByteArray("]0;ownedMoved[2J 42\tfiles.\n") << QByteArray("vantor: [31mred\n")
            << sentClean;
        QTest::newRow("an exit status no command gives")
            << clean << answerLine(139, "", "") << 1 << QByteArray()
            << QByteArray("answer can't be read") << sentClean;
        QTest::newRow("an answer that never ends") << clean << QByteArray() << 1 << QByteArray()
                                                   << QByteArray("longer than 32 MB") << sentClean;
        QTest::newRow("an older Vantor refuses")
            << QStringList{"folders", "add", "Downloads", "--automatic"}
            << answerLine(2, "", "The running Vantor (1.1.0) does not understand this request.\n",
                          2)
            << 2 << QByteArray() << QByteArray("vantor: The running Vantor (1.1.0) does not")
            << QByteArray(R"({"action":"add","automatic":true,"command":"folders",)"
                          R"("path":"HOME/Downloads","v":3})");
    }
    void theInstancesAnswerIsCheckedBeforeItIsPrinted() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, answer);
        QFETCH(int, exit);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QFETCH(QByteArray, sent);
        TempHome home;
        QTemporaryDir runtimeDir(QDir::tempPath() + "/vantor-run-XXXXXX");
        const QString runtime = privateFolder(runtimeDir);
        QVERIFY(::mkdir(QFile::encodeName(runtime + "/" VANTOR_APP_ID).constData(), 0700) == 0);
        FakeInstance instance;
        instance.answer = answer;
        QVERIFY(instance.listen(runtime + "/" VANTOR_APP_ID));

        const Run run = vantor(args, environment(home, runtime), home.path());
        QCOMPARE(run.exit, exit);
        QCOMPARE(run.out, out);
        QVERIFY2(run.err.contains(err), run.err.constData());
        QVERIFY2(instance.sent < 40 * 1024 * 1024, QByteArray::number(instance.sent));
        QCOMPARE(instance.received, QByteArray(sent).replace("HOME", home.path().toUtf8()) + '\n');
    }

    // Another user made the folder in the shared temporary folder first, open to all, and
    // listens in it: commands never ask there, and Vantor starts in a folder of its own.
    void aFolderOfAnotherUserIsNotTrusted() {
        if (::getuid() != 0)
            QSKIP("needs root, to give a folder to another user");
        TempHome home;
        put(home, {"a.png"});
        QTemporaryDir tmp(QDir::tempPath() + "/vantor-tmp-XXXXXX"); // the shared one
        QTemporaryDir runtimeDir(QDir::tempPath() + "/vantor-run-XXXXXX");
        const QString deep = privateFolder(runtimeDir) + "/" + QString(90, 'r');
        QVERIFY(::mkdir(QFile::encodeName(deep).constData(), 0700) == 0); // too deep for a socket
        QProcessEnvironment env = environment(home, deep);
        env.insert("TMPDIR", tmp.path());
        const QString taken = tmp.path() + "/" VANTOR_APP_ID "-0";
        QVERIFY(::mkdir(QFile::encodeName(taken).constData(), 0777) == 0);
        QVERIFY(::chmod(QFile::encodeName(taken).constData(), 0777) == 0);
        FakeInstance impostor;
        impostor.answer = answerLine(0, "Moved 42 files.\n", "");
        QVERIFY(impostor.listen(taken));
        QVERIFY(::chown(QFile::encodeName(taken).constData(), 65534, 65534) == 0);

        Run run = vantor({"clean"}, env);
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.out, QByteArray("Moved 1 file.\n")); // done here
        QVERIFY2(run.err.contains("not Vantor's own"), run.err.constData());
        QCOMPARE(impostor.sent, 0);

        QProcessEnvironment shell = env;
        shell.insert("QT_QPA_PLATFORM", "offscreen");
        shell.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
        QProcess running;
        running.setProcessEnvironment(shell);
        running.start(VANTOR_BINARY, {"--autostart"});
        QVERIFY(running.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(
            !QDir(tmp.path()).entryList({VANTOR_APP_ID "-0-*"}, QDir::Dirs).isEmpty(), 10000);
        // Asked from another home with the same state folder: only the running Vantor
        // knows this Desktop.
        TempHome elsewhere;
        QProcessEnvironment asker = environment(elsewhere, deep);
        asker.insert("TMPDIR", tmp.path());
        asker.insert("XDG_STATE_HOME", env.value("XDG_STATE_HOME"));
        QTRY_COMPARE_WITH_TIMEOUT(vantor({"scan", "--json"}, asker).json("desktop").toString(),
                                  home.desktop(), 10000);
        QCOMPARE(impostor.sent, 0);
        running.terminate();
        QVERIFY(running.waitForFinished(10000));
    }

    void aRunningVantorCarriesOutTheCommand() {
        TempHome home;
        put(home, {"a.png", "b.pdf"});
        // Its own short runtime folder: a socket's path must fit the kernel's address.
        QTemporaryDir runtimeDir(QDir::tempPath() + "/vantor-run-XXXXXX");
        QVERIFY(runtimeDir.isValid());
        const QString runtime = runtimeDir.path();
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = environment(home, runtime);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
        QProcess running;
        running.setProcessEnvironment(env);
        running.start(VANTOR_BINARY, {"--autostart"}); // as at login
        QVERIFY(running.waitForStarted());
        const QString socket = runtime + "/" VANTOR_APP_ID "/instance.socket";
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket), 10000);
        // A second plain launch hands over to it and leaves.
        QCOMPARE(vantor({}, env).exit, 0);

        // The asking launch has another home: only the running Vantor can know this Desktop.
        TempHome elsewhere;
        const QProcessEnvironment asker = environment(elsewhere, runtime);
        Run run = vantor({"clean", "--json"}, asker);
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.json("moved").toInt(), 2);
        QCOMPARE(run.json("moves").toArray()[0].toObject().value("to").toString(),
                 home.desktop("Images/a.png"));
        QVERIFY(QFile::exists(home.desktop("Documents/b.pdf")));
        QCOMPARE(vantor({"scan", "--json"}, asker).json("desktop").toString(), home.desktop());
        const QJsonArray history =
            QJsonDocument::fromJson(vantor({"history", "--json"}, asker).out).array();
        QCOMPARE(history.size(), 1);
        QCOMPARE(history[0].toObject().value("moved").toInt(), 2);
        run = vantor({"undo", "nosuch"}, asker);
        QCOMPARE(run.exit, 1);
        QVERIFY2(run.err.contains("No clean with ID 'nosuch'"), run.err.constData());
        // Its folder list and its switches for automatic tidying change.
        QVERIFY(QDir().mkpath(home.path() + "/Downloads"));
        QCOMPARE(vantor({"folders", "add", home.path() + "/Downloads", "--automatic"}, asker).exit,
                 0);
        const QJsonArray folders =
            QJsonDocument::fromJson(vantor({"folders", "--json"}, asker).out).array();
        QCOMPARE(folders.size(), 2);
        QCOMPARE(folders[1].toObject().value("automatic"), QJsonValue(true));

        // A request from another version, one that its version cannot carry (an older
        // Vantor would take it for a plain undo), and a bare line that is no request:
        // answered with bad usage, and the instance keeps running.
        for (const QByteArray& request :
             {QByteArray("{\"v\":4,\"command\":\"clean\"}\n"),
              QByteArray("{\"v\":1,\"command\":\"undo\",\"id\":\"x\"}\n"), QByteArray("tidy\n")}) {
            QLocalSocket client;
            client.connectToServer(socket);
            QVERIFY(client.waitForConnected(5000));
            client.write(request);
            QTRY_VERIFY_WITH_TIMEOUT(client.canReadLine(), 5000);
            QCOMPARE(QJsonDocument::fromJson(client.readLine()).object().value("exit").toInt(), 2);
        }
        QCOMPARE(running.state(), QProcess::Running);

        // The record the running Vantor kept is the one on disk: undone without it.
        running.terminate();
        QVERIFY(running.waitForFinished(10000));
        run = vantor({"undo", "--json"}, environment(home, runtime));
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.json("restored").toInt(), 2);
        QVERIFY(QFile::exists(home.desktop("a.png")));
        QVERIFY(vantor({"history"}, environment(home, runtime)).out.contains("; put back."));
    }
};

VANTOR_TEST_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
