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
// Listens where a running Vantor would and answers each whole request with `answer`; when
// that is empty, with a line that never ends, for as long as it is read.
class FakeInstance : public QObject {
  public:
    QByteArray answer;
    qint64 sent = 0;
    QByteArray received;

    bool listen(const QString& folder) {
        connect(&m_server, &QLocalServer::newConnection, this, [this] {
            QLocalSocket* socket = m_server.nextPendingConnection();
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                received += socket->readAll();
                if (received.endsWith('\n'))
                    socket->write(answer.isEmpty() ? QByteArray(kChunk, 'x') : answer);
            });
            connect(socket, &QLocalSocket::bytesWritten, this, [this, socket](qint64 bytes) {
                sent += bytes;
                if (answer.isEmpty() && sent > kMostSent)
                    socket->disconnectFromServer();
                else if (answer.isEmpty() && socket->bytesToWrite() < kChunk)
                    socket->write(QByteArray(kChunk, 'x'));
            });
        });
        return m_server.listen(folder + "/instance.socket");
    }

  private:
    static constexpr qint64 kChunk = 64 * 1024;
    static constexpr qint64 kMostSent = 64 * 1024 * 1024;
    QLocalServer m_server;
};

// A running Vantor's answer: {"v":3,"exit":0,"out":"...","err":"..."}.
QByteArray answerLine(int exit, const char* out, const char* err, int version = 3) {
    const QJsonObject o{{"v", version}, {"exit", exit}, {"out", out}, {"err", err}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + "\n";
}

// A rule as rules.json holds it, without its closing brace, with the id "cccccccc-cccc-…".
QString rule(char c, const QString& name, const QString& type) {
    const QString id = QString("xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx").replace('x', c);
    return QString(R"({"id":"%1","name":"%2","symbol":"s","destination":"~/Desktop/%2",)"
                   R"("extensions":["%3"])")
        .arg(id, name, type);
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

    // A home for the program with no display. Without a runtime folder, as from cron: the
    // one a running Vantor would use is then in the home's temporary folder.
    static QProcessEnvironment environment(const TempHome& home, const QString& runtime = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
            env.remove(var);
        env.insert("HOME", home.path());
        env.insert("TMPDIR", home.path());
        env.insert("XDG_CONFIG_HOME", home.path() + "/.config");
        env.insert("XDG_STATE_HOME", home.path() + "/.local/state");
        if (!runtime.isEmpty())
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

  private slots:
    void usage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("out"); // what stdout starts with; empty: bad usage
        for (const char* help : {"--help", "-h"})
            QTest::newRow(help) << QStringList{help} << QByteArray("Usage: vantor");
        for (const char* version : {"--version", "-v"})
            QTest::newRow(version)
                << QStringList{version} << QByteArray("Vantor " VANTOR_VERSION "\n");
        for (const char* args :
             {"tidy", "open", "scan --yaml", "scan clean", "--json", "scan a", "history a",
              "undo a b", "folders add", "folders add a b", "folders list", "folders --automatic",
              "folders remove a --automatic", "scan --automatic", "folders add a --json"})
            QTest::newRow(args) << QString(args).split(' ') << QByteArray();
        QTest::newRow("empty path") << QStringList{"folders", "remove", ""} << QByteArray();
    }
    void usage() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, out);
        TempHome home;
        const Run run = vantor(args, environment(home));
        QCOMPARE(run.exit, out.isEmpty() ? 2 : 0);
        QVERIFY2(run.out.startsWith(out), run.out.constData());
        // Bad usage: one line on stderr, nothing on stdout.
        QCOMPARE(run.err.count('\n'), out.isEmpty() ? 1 : 0);
        QVERIFY(out.isEmpty() ? run.err.startsWith("vantor: ") && run.out.isEmpty() : true);
    }

    // One command, run in the home after the commands of `before`. The home holds the files
    // of `given` ("path=content"; "@" stands for the home folder), "Desktop->" makes the
    // Desktop a link to home, and "lock" holds the lock of another cleaner at work.
    void commands_data() {
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QStringList four{"Desktop/a.png", "Desktop/b.pdf", "Desktop/c.pdf", "Desktop/d.xyz"};
        const QString gone =
            ".config/Vantor/folders.json=[{\"id\":\"aaaaaaaa\",\"path\":\"@/Gone\"}]";
        const QString downloads = "Downloads/a.zip";
        const QStringList added{"folders add Downloads --automatic"};
        const QString rules = ".config/Vantor/rules.json=[" + rule('1', "Images", "png") +
                              ",\"action\":\"trash\"}," + rule('2', "Text", "pdf") + "}]";
        const QString groups =
            "[{\"rule\": \"Images\", \"id\": \"11111111-1111-1111-1111-111111111111\", "
            "\"destination\": \"@/Desktop/Images\", \"action\": \"trash\", \"files\": "
            "[\"@/Desktop/a.png\", \"@/Desktop/b.png\"]}, {\"rule\": \"Text\", \"id\": "
            "\"22222222-2222-2222-2222-222222222222\", \"destination\": \"@/Desktop/Text\", "
            "\"action\": \"move\", \"files\": []}]";
        const QString zeros = "{\"moved\": 0, \"failed\": 0, \"moves\": []}\n";
        const auto row = [](const char* name, const QStringList& given, const QStringList& before,
                            const char* command, int exit, const QString& out,
                            const QString& err = {}) {
            QTest::newRow(name) << given << before << QString(command) << exit << out << err;
        };
        // Every rule in order, with the files it would take, and how.
        row("scan as JSON", {rules, "Desktop/b.png", "Desktop/a.png", "Desktop/c.xyz"}, {},
            "scan --json", 0,
            "{\"desktop\": \"@/Desktop\", \"groups\": " + groups +
                ", \"other\": 1, "
                "\"folders\": [{\"path\": \"@/Desktop\", \"groups\": " +
                groups + ", \"other\": 1}]}\n");
        row("scan", four, {}, "scan", 0,
            "Images: 1 file \u2192 ~/Desktop/Images\nDocuments: 2 files \u2192 "
            "~/Desktop/Documents\n"
            "1 other item stays on the Desktop.\n");
        row("nothing to clean", {}, {}, "clean", 0, "Nothing to move.\n");
        row("nothing to undo", {}, {}, "undo --json", 1, "{\"restored\": 0, \"failed\": 0}\n",
            "vantor: Nothing to undo.\n");
        row("undo of an unknown ID", {}, {}, "undo nosuch", 1, "",
            "vantor: No clean with ID 'nosuch' in the history.\n");
        row("no history", {}, {}, "history", 0, "No cleans yet.\n");
        // A file where the Images folder should be: the pictures cannot go; the rest does.
        row("a file in a rule folder's place", {"Desktop/Images", "Desktop/a.png", "Desktop/b.pdf"},
            {}, "clean --json", 1,
            "{\"moved\": 1, \"failed\": 1, \"moves\": [{\"from\": \"@/Desktop/b.pdf\", "
            "\"to\": \"@/Desktop/Documents/b.pdf\"}]}\n");
        row("a file that can't be moved", {"Desktop/Images", "Desktop/a.png"}, {}, "clean", 1,
            "Moved 0 files; 1 couldn't be moved.\n");
        row("another cleaner at work", {"lock", "Desktop/a.png"}, {}, "clean --json", 1, zeros,
            "vantor: Vantor is busy with another clean. Try again in a moment.\n");
        row("unreadable rules", {".config/Vantor/rules.json={\"rules\": [", "Desktop/a.png"}, {},
            "scan", 0, "Images: 1 file \u2192 ~/Desktop/Images\n",
            "vantor: ~/.config/Vantor/rules.json can't be read; using the default rules.\n");
        // Home is never tidied: a Desktop folder that links to it can't be seen.
        row("a Desktop that links to home", {"Desktop->"}, {}, "clean --json", 1, zeros,
            "vantor: Vantor can't see your Desktop (~/Desktop).\n");
        // A tidied folder that is gone: said, and the others are still scanned and cleaned.
        row("clean beside a folder that is gone", {gone, "Desktop/b.pdf"}, {}, "clean", 1,
            "Moved 1 file.\n", "vantor: Vantor can't read ~/Gone.\n");
        // Folders are added as the settings page adds them, by a path relative to where the
        // command runs; listed with their switch, scanned each under its name.
        row("folders as JSON", {downloads}, added, "folders --json", 0,
            "[{\"path\": \"@/Desktop\", \"automatic\": false}, "
            "{\"path\": \"@/Downloads\", \"automatic\": true}]\n");
        row("scan of two folders", {downloads, "Desktop/b.pdf"}, added, "scan", 0,
            "~/Desktop:\n  Documents: 1 file \u2192 ~/Desktop/Documents\n"
            "~/Downloads:\n  Archives: 1 file \u2192 ~/Downloads/Archives\n");
        row("folders remove", {downloads}, added, "folders remove Downloads", 0,
            "Removed ~/Downloads from the tidied folders.\n");
        row("folders add of nothing there", {}, {}, "folders add @/nosuch", 1, "",
            "vantor: ~/nosuch is not a folder.\n");
        row("folders remove of the Desktop", {}, {}, "folders remove @/Desktop", 1, "",
            "vantor: The Desktop is always tidied; it can't be removed.\n");
        row("folders remove of another", {}, {}, "folders remove @/Music", 1, "",
            "vantor: ~/Music is not a tidied folder.\n");
    }
    void commands() {
        QFETCH(QStringList, given);
        QFETCH(QStringList, before);
        QFETCH(QString, command);
        QFETCH(int, exit);
        QFETCH(QString, out);
        QFETCH(QString, err);
        TempHome home;
        const auto inHome = [&home](QString text) { return text.replace('@', home.path()); };
        std::unique_ptr<platform::FileLock> lock;
        QVERIFY(testsupport::touch(home.path() + "/home.png"));
        for (const QString& entry : given) {
            const QString path = home.path() + '/' + entry.section('=', 0, 0);
            if (entry == "lock") {
                QVERIFY(QDir().mkpath(home.stateFolder()));
                QVERIFY(lock = platform::FileLock::acquire(home.stateFolder() + "/lock", 0));
            } else if (entry.endsWith("->")) {
                QVERIFY(QDir(path.chopped(2)).removeRecursively());
                QVERIFY(QFile::link(home.path(), path.chopped(2)));
            } else {
                const QString content = entry.contains('=') ? entry.section('=', 1) : "x";
                QVERIFY(testsupport::touch(path, inHome(content).toUtf8()));
            }
        }
        const QProcessEnvironment env = environment(home);
        for (const QString& earlier : before)
            QCOMPARE(vantor(earlier.split(' '), env, home.path()).exit, 0);
        const Run run = vantor(inHome(command).split(' '), env, home.path());
        QCOMPARE(run.exit, exit);
        QCOMPARE(QString::fromUtf8(run.out), inHome(out));
        QCOMPARE(QString::fromUtf8(run.err), inHome(err));
        QVERIFY(QFile::exists(home.path() + "/home.png"));
        for (const QString& entry : given) // a scan changes nothing
            if (command.startsWith("scan") && entry.startsWith("Desktop/"))
                QVERIFY(QFile::exists(home.path() + '/' + entry));
        // A removed folder leaves no switch behind.
        if (command.startsWith("folders remove"))
            QVERIFY(!testsupport::readFile(home.configFolder() + "/settings.ini").contains("true"));
        // Commands only ask whether Vantor runs: they never become the running instance.
        QCOMPARE(QDir(home.path()).entryList({VANTOR_APP_ID "*"}), QStringList());
    }

    // Cleans listed newest first, with the IDs that undo takes.
    void historyAndUndoByID() {
        TempHome home;
        const QProcessEnvironment env = environment(home);
        for (const char* name : {"a.png", "b.pdf"}) {
            QVERIFY(testsupport::touch(home.desktop(name)));
            QCOMPARE(vantor({"clean"}, env).exit, 0);
        }
        const QJsonArray list =
            QJsonDocument::fromJson(vantor({"history", "--json"}, env).out).array();
        const QJsonObject older = list.last().toObject();
        const QString id = older.value("id").toString(), date = older.value("date").toString();
        QCOMPARE(older, QJsonObject({{"id", id},
                                     {"date", date},
                                     {"moved", 1},
                                     {"automatic", false},
                                     {"undone", false}}));
        QVERIFY2(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$")
                     .match(date)
                     .hasMatch(),
                 qPrintable(date));
        QCOMPARE(vantor({"undo", id}, env).out, QByteArray("Put back 1 file.\n"));
        QVERIFY(QFile::exists(home.desktop("a.png")));
        const QList<QByteArray> lines = vantor({"history"}, env).out.split('\n');
        QCOMPARE(list.size(), 2);
        QVERIFY2(lines[1].startsWith(id.toUtf8() + "  ") &&
                     lines[1].endsWith("Moved 1 file; put back."),
                 lines[1].constData());
        const Run run = vantor({"undo", id}, env);
        QCOMPARE(run.exit, 1);
        QCOMPARE(run.err, QString("vantor: Clean %1 was put back already.\n").arg(id).toUtf8());
    }

    // In a German session a command speaks German, as the panel does; the rule names, which
    // name folders, and --json stay as they are.
    void germanSession() {
        TempHome home;
        RuleStore(home.configFolder()).restoreDefaults(); // the same ids in both languages
        QVERIFY(testsupport::touch(home.desktop("a.png")));
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
        const auto row = [](const char* name, const QByteArray& answer, int exit,
                            const QByteArray& out, const QByteArray& err) {
            QTest::newRow(name) << QStringList{"clean"} << answer << exit << out << err
                                << QByteArray(R"({"command":"clean","v":1})");
        };
        row("escape sequences",
            answerLine(0, "\x1b]0;owned\aMoved\x1b[2J 42\tfiles.\r\n", "\x1b[31mred\u009b\n"), 0,
            "]0;ownedMoved[2J 42\tfiles.\n", "vantor: [31mred\n");
        row("an exit status no command gives", answerLine(139, "", ""), 1, "",
            "answer can't be read");
        row("an answer that never ends", "", 1, "", "longer than 32 MB");
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

    // Started at login, Vantor carries out what later launches ask, also from another home:
    // only it knows this Desktop. Where the shared temporary folder holds a folder of
    // another user by Vantor's name, open to all and listened in, commands never ask there
    // and Vantor starts in a folder of its own.
    void aRunningVantorCarriesOutTheCommand() {
        TempHome home;
        QVERIFY(testsupport::touch(home.desktop("a.png")));
        QTemporaryDir tmp(QDir::tempPath() + "/vantor-tmp-XXXXXX"); // the shared one
        QTemporaryDir runtimeDir(QDir::tempPath() + "/vantor-run-XXXXXX");
        const QString deep = privateFolder(runtimeDir) + "/" + QString(90, 'r');
        QVERIFY(::mkdir(QFile::encodeName(deep).constData(), 0700) == 0); // too deep for a socket
        QProcessEnvironment env = environment(home, deep);
        env.insert("TMPDIR", tmp.path());
        FakeInstance impostor;
        if (::getuid() == 0) { // giving a folder to another user needs root
            const QByteArray taken = QFile::encodeName(tmp.path() + "/" VANTOR_APP_ID "-0");
            QVERIFY(::mkdir(taken.constData(), 0777) == 0 && ::chmod(taken.constData(), 0777) == 0);
            impostor.answer = answerLine(0, "Moved 42 files.\n", "");
            QVERIFY(impostor.listen(QFile::decodeName(taken)));
            QVERIFY(::chown(taken.constData(), 65534, 65534) == 0);
            const Run run = vantor({"clean", "--json"}, env);
            QCOMPARE(run.json("moved").toInt(), 1); // done here
            QVERIFY2(run.err.contains("not Vantor's own"), run.err.constData());
            QVERIFY(testsupport::touch(home.desktop("b.pdf")));
        }
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
        QProcess running;
        running.setProcessEnvironment(env);
        running.start(VANTOR_BINARY, {"--autostart"});
        QVERIFY(running.waitForStarted());
        const auto ownSocket = [&tmp] { // in a folder of our own, not in the one taken
            const QDir dir(tmp.path());
            for (const QString& name : dir.entryList({VANTOR_APP_ID "-*"}, QDir::Dirs)) {
                const QFileInfo socket(dir.filePath(name) + "/instance.socket");
                if (socket.exists() && QFileInfo(dir.filePath(name)).ownerId() == ::getuid())
                    return socket.filePath();
            }
            return QString();
        };
        QTRY_VERIFY_WITH_TIMEOUT(!ownSocket().isEmpty(), 10000);
        const QString socket = ownSocket();
        QCOMPARE(vantor({}, env).exit, 0); // a second plain launch hands over to it and leaves

        // Asked from another home with the same state folder, where a stand-in is noted.
        TempHome elsewhere;
        QProcessEnvironment asker = environment(elsewhere, deep);
        asker.insert("TMPDIR", tmp.path());
        asker.insert("XDG_STATE_HOME", env.value("XDG_STATE_HOME"));
        Run run = vantor({"clean", "--json"}, asker);
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.json("moves").toArray().last().toObject().value("to").toString(),
                 home.desktop(impostor.answer.isEmpty() ? "Images/a.png" : "Documents/b.pdf"));
        QVERIFY(QDir().mkpath(home.path() + "/Downloads"));
        QCOMPARE(vantor({"folders", "add", home.path() + "/Downloads", "--automatic"}, asker).out,
                 QByteArray("Added ~/Downloads to the tidied folders, tidied automatically.\n"));
        QCOMPARE(impostor.sent, 0);

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

        // What the running Vantor kept is on disk: its record undone, its folder listed.
        running.terminate();
        QVERIFY(running.waitForFinished(10000));
        QCOMPARE(vantor({"undo", "--json"}, environment(home)).json("restored").toInt(), 1);
        QCOMPARE(vantor({"folders"}, environment(home)).out,
                 QByteArray("~/Desktop\n~/Downloads  automatic\n"));
    }
};

VANTOR_TEST_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
