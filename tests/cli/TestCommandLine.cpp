#include "TestSupport.h"

#include "platform/FileLock.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {
// Listens where a running Vantor would and answers each whole request with `answer`; when
// that is empty, with a line longer than any answer read, that never ends.
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
                    socket->write(answer.isEmpty() ? QByteArray(64 * 1024 * 1024, 'x') : answer);
            });
            connect(socket, &QLocalSocket::bytesWritten, this, [this](qint64 n) { sent += n; });
        });
        return m_server.listen(folder + "/instance.socket");
    }

  private:
    QLocalServer m_server;
};

// A running Vantor's answer: {"v":3,"exit":0,"out":"...","err":"..."}.
QByteArray answerLine(int exit, const char* out, const char* err, int version = 3) {
    const QJsonObject o{{"v", version}, {"exit", exit}, {"out", out}, {"err", err}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + "\n";
}

// Whether a command's output is the expected one; a "…" in that stands for any text.
bool fits(const QByteArray& output, const QString& expected) {
    const QString pattern = QRegularExpression::escape(expected).replace("\\\u2026", ".*");
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                              QRegularExpression::DotMatchesEverythingOption)
        .match(QString::fromUtf8(output))
        .hasMatch();
}
} // namespace

// The real vantor binary, run as a process with no display: the commands, their output and
// exit statuses, and a command handed to a running Vantor.
class TestCommandLine : public QObject {
    Q_OBJECT

    struct Run {
        int exit = -1;
        QByteArray out, err;
        QJsonValue json(const QString& key) const { return QJsonDocument::fromJson(out)[key]; }
    };

    // A home for the program with no display and, as from cron, no runtime folder: the one
    // a running Vantor would use is then in the home's temporary folder.
    static QProcessEnvironment environment(const TempHome& home) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
            env.remove(var);
        env.insert("HOME", home.path());
        env.insert("TMPDIR", home.path());
        env.insert("XDG_CONFIG_HOME", home.path() + "/.config");
        env.insert("XDG_STATE_HOME", home.path() + "/.local/state");
        return env;
    }

    static Run vantor(const QStringList& args, const QProcessEnvironment& env,
                      const QString& workingFolder = {}) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(workingFolder);
        p.start(VANTOR_BINARY, args);
        // Waited for with the event loop running, so a fake instance here can answer.
        if (!QTest::qWaitFor([&p] { return p.state() == QProcess::NotRunning; }, 30000)) {
            p.kill();
            p.waitForFinished();
        }
        if (p.exitStatus() != QProcess::NormalExit)
            return {};
        return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    }

  private slots:
    // One command, run in the home after the commands of `before`. The home holds the files
    // of `given` ("path=content"; "@" stands for the home folder), "Desktop->" makes the
    // Desktop a link to home, "lock" holds the lock of another cleaner at work and "german"
    // makes the session a German one.
    void commands_data() {
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        // What a running Vantor answers (empty: a line that never ends) and the request it
        // must get; none runs when that is empty.
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("sent");
        const auto row = [](const char* name, const QStringList& given, const QStringList& before,
                            const char* command, int exit, const QString& out,
                            const QString& err = {}, const QByteArray& answer = {},
                            const QByteArray& sent = {}) {
            QTest::newRow(name) << given << before << QString(command) << exit << out << err
                                << answer << sent;
        };
        for (const char* help : {"--help", "-h"})
            row(help, {}, {}, help, 0, "Usage: vantor\u2026");
        for (const char* version : {"--version", "-v"})
            row(version, {}, {}, version, 0, "Vantor " VANTOR_VERSION "\n");
        for (const char* args :
             {"tidy", "open", "scan --yaml", "scan clean", "--json", "undo a b", "folders add",
              "folders add a b", "folders list", "folders --automatic", "folders add a --json",
              "folders remove a --automatic", "folders remove "})
            row(args, {}, {}, args, 2, "", "vantor: \u2026 See 'vantor --help'.\n");

        const QString rules =
            ".config/Vantor/rules.json=["
            R"({"id":"11111111-1111-1111-1111-111111111111","name":"Images",)"
            R"("symbol":"s","destination":"~/Desktop/Images","extensions":["png"],)"
            R"("action":"trash"},{"id":"22222222-2222-2222-2222-222222222222",)"
            R"("name":"Text","symbol":"s","destination":"~/Desktop/Text",)"
            R"("extensions":["pdf"]}])";
        const QStringList desktop{rules, "Desktop/b.png", "Desktop/a.png", "Desktop/c.xyz"};
        const QString groups =
            "[{\"rule\": \"Images\", \"id\": \"11111111-1111-1111-1111-111111111111\", "
            "\"destination\": \"@/Desktop/Images\", \"action\": \"trash\", \"files\": "
            "[\"@/Desktop/a.png\", \"@/Desktop/b.png\"]}, {\"rule\": \"Text\", \"id\": "
            "\"22222222-2222-2222-2222-222222222222\", \"destination\": \"@/Desktop/Text\", "
            "\"action\": \"move\", \"files\": []}]";
        const QString scanJson = "{\"desktop\": \"@/Desktop\", \"groups\": " + groups +
                                 ", \"other\": 1, \"folders\": [{\"path\": \"@/Desktop\", "
                                 "\"groups\": " +
                                 groups + ", \"other\": 1}]}\n";
        // Every rule in order, with the files it would take, and how; in German as text.
        row("scan as JSON", desktop, {}, "scan --json", 0, scanJson);
        row("German scan", QStringList{"german"} + desktop, {}, "scan", 0,
            "Images: 2 Dateien \u2192 Papierkorb\n"
            "1 anderes Objekt bleibt auf dem Schreibtisch.\n");
        row("nothing to clean", {}, {}, "clean", 0, "Nothing to move.\n");
        row("nothing to undo", {}, {}, "undo --json", 1, "{\"restored\": 0, \"failed\": 0}\n",
            "vantor: Nothing to undo.\n");
        row("undo of an unknown ID", {}, {}, "undo nosuch", 1, "",
            "vantor: No clean with ID 'nosuch' in the history.\n");
        row("no history", {}, {}, "history", 0, "No cleans yet.\n");
        // A clean listed with the ID ("%id", the newest) that undo takes, once.
        const QStringList cleaned{"clean"}, putBack{"clean", "undo"};
        row("history as JSON", {"Desktop/a.png"}, cleaned, "history --json", 0,
            "[{\"id\": \"%id\", \"date\": \"\u2026-\u2026-\u2026T\u2026:\u2026:\u2026Z\", "
            "\"moved\": 1, "
            "\"automatic\": false, \"undone\": false}]\n");
        row("undo by ID", {"Desktop/a.png"}, cleaned, "undo %id", 0, "Put back 1 file.\n");
        row("history", {"Desktop/a.png"}, putBack, "history", 0,
            "%id  \u2026  Moved 1 file; put back.\n");
        row("undo by ID of a clean put back", {"Desktop/a.png"}, putBack, "undo %id", 1, "",
            "vantor: Clean %id was put back already.\n");
        // A file where the Images folder should be: the pictures cannot go; the rest does.
        row("a file in a rule folder's place", {"Desktop/Images", "Desktop/a.png", "Desktop/b.pdf"},
            {}, "clean", 1, "Moved 1 file; 1 couldn't be moved.\n");
        const QString zeros = "{\"moved\": 0, \"failed\": 0, \"moves\": []}\n";
        row("another cleaner at work", {"lock", "Desktop/a.png"}, {}, "clean --json", 1, zeros,
            "vantor: Vantor is busy with another clean. Try again in a moment.\n");
        row("unreadable rules", {".config/Vantor/rules.json={\"rules\": [", "Desktop/a.png"}, {},
            "scan", 0, "Images: 1 file \u2192 ~/Desktop/Images\n",
            "vantor: ~/.config/Vantor/rules.json can't be read; using the default rules.\n");
        // Home is never tidied: a Desktop folder that links to it can't be seen.
        row("a Desktop that links to home", {"Desktop->"}, {}, "clean --json", 1, zeros,
            "vantor: Vantor can't see your Desktop (~/Desktop).\n");
        // A tidied folder that is gone: said, and the others are still scanned and cleaned.
        row("clean beside a folder that is gone",
            {".config/Vantor/folders.json=[{\"id\":\"aaaaaaaa\",\"path\":\"@/Gone\"}]",
             "Desktop/b.pdf"},
            {}, "clean", 1, "Moved 1 file.\n", "vantor: Vantor can't read ~/Gone.\n");
        // Folders are added as the settings page adds them, by a path relative to where the
        // command runs; listed with their switch, scanned each under its name.
        const char* add = "folders add Downloads --automatic";
        const QStringList added{add};
        row("folders add", {"Downloads/a.zip"}, {}, add, 0,
            "Added ~/Downloads to the tidied folders, tidied automatically.\n");
        row("folders as JSON", {"Downloads/a.zip"}, added, "folders --json", 0,
            "[{\"path\": \"@/Desktop\", \"automatic\": false}, "
            "{\"path\": \"@/Downloads\", \"automatic\": true}]\n");
        row("scan of two folders", {"Downloads/a.zip", "Desktop/b.pdf"}, added, "scan", 0,
            "~/Desktop:\n  Documents: 1 file \u2192 ~/Desktop/Documents\n"
            "~/Downloads:\n  Archives: 1 file \u2192 ~/Downloads/Archives\n");
        row("folders remove", {"Downloads/a.zip"}, added, "folders remove Downloads", 0,
            "Removed ~/Downloads from the tidied folders.\n");
        row("folders remove of the Desktop", {}, {}, "folders remove @/Desktop", 1, "",
            "vantor: The Desktop is always tidied; it can't be removed.\n");
        row("folders remove of another", {}, {}, "folders remove @/Music", 1, "",
            "vantor: ~/Music is not a tidied folder.\n");

        // What a running Vantor answers reaches the terminal without control characters, and
        // an answer that never ends is not read to its end. A request goes as the oldest
        // version that carries it, so that an older Vantor takes it; a path as an absolute
        // one, as the running Vantor's working folder is another.
        const QByteArray clean = R"({"command":"clean","v":1})";
        row("escape sequences from a running Vantor", {}, {}, "clean", 0,
            "]0;ownedMoved[2J 42\tfiles.\n", "vantor: [31mred\n",
            answerLine(0, "\x1b]0;owned\aMoved\x1b[2J 42\tfiles.\r\n", "\x1b[31mred\u009b\n"),
            clean);
        row("an exit status no command gives", {}, {}, "clean", 1, "",
            "vantor: The running Vantor's answer can't be read; nothing was done here.\n",
            answerLine(139, "", ""), clean);
        row("an answer that never ends", {}, {}, "clean", 1, "",
            "vantor: The running Vantor's answer is longer than 32 MB\u2026", "", clean);
        row("an older Vantor refuses", {}, {}, "folders add Downloads --automatic", 2, "",
            "vantor: The running Vantor (1.1.0) does not understand this request.\n",
            answerLine(2, "", "The running Vantor (1.1.0) does not understand this request.\n", 2),
            R"({"action":"add","automatic":true,"command":"folders","path":"@/Downloads","v":3})");
    }
    void commands() {
        QFETCH(QStringList, given);
        QFETCH(QStringList, before);
        QFETCH(QString, command);
        QFETCH(int, exit);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, sent);
        TempHome home;
        QString id;
        const auto inHome = [&](QString text) {
            return text.replace('@', home.path()).replace("%id", id);
        };
        QProcessEnvironment env = environment(home);
        std::unique_ptr<platform::FileLock> lock;
        QVERIFY(testsupport::touch(home.path() + "/home.png"));
        for (const QString& entry : given) {
            const QString path = home.path() + '/' + entry.section('=', 0, 0);
            if (entry == "lock") {
                QVERIFY(QDir().mkpath(home.stateFolder()));
                QVERIFY(lock = platform::FileLock::acquire(home.stateFolder() + "/lock", 0));
            } else if (entry == "german") {
                env.remove("LC_ALL");
                env.insert("LANG", "de_DE.UTF-8");
                env.insert("LANGUAGE", "de");
            } else if (entry.endsWith("->")) {
                QVERIFY(QDir(path.chopped(2)).removeRecursively());
                QVERIFY(QFile::link(home.path(), path.chopped(2)));
            } else {
                const QString content = entry.contains('=') ? entry.section('=', 1) : "x";
                QVERIFY(testsupport::touch(path, inHome(content).toUtf8()));
            }
        }
        // A running Vantor's folder in a runtime folder of the test's own, short enough for
        // a socket's path.
        QTemporaryDir runtime(QDir::tempPath() + "/vantor-run-XXXXXX");
        FakeInstance instance;
        instance.answer = answer;
        if (!sent.isEmpty()) {
            QVERIFY(::chmod(QFile::encodeName(runtime.path()).constData(), 0700) == 0);
            const QString folder = runtime.path() + "/" VANTOR_APP_ID;
            QVERIFY(::mkdir(QFile::encodeName(folder).constData(), 0700) == 0);
            QVERIFY(instance.listen(folder));
            env.insert("XDG_RUNTIME_DIR", runtime.path());
        }
        for (const QString& earlier : before)
            QCOMPARE(vantor(earlier.split(' '), env, home.path()).exit, 0);
        if (!before.isEmpty())
            id =
                QJsonDocument::fromJson(vantor({"history", "--json"}, env).out)[0]["id"].toString();
        const Run run = vantor(inHome(command).split(' '), env, home.path());
        QCOMPARE(run.exit, exit);
        QVERIFY2(fits(run.out, inHome(out)), run.out.constData());
        QVERIFY2(fits(run.err, inHome(err)) && run.err.count('\n') <= 1, run.err.constData());
        QVERIFY(QFile::exists(home.path() + "/home.png"));
        // A removed folder leaves no switch behind.
        if (command.startsWith("folders remove"))
            QVERIFY(!testsupport::readFile(home.configFolder() + "/settings.ini").contains("true"));
        // Commands only ask whether Vantor runs: they never become the running instance.
        QCOMPARE(QDir(home.path()).entryList({VANTOR_APP_ID "*"}), QStringList());
        QVERIFY2(instance.sent < 40 * 1024 * 1024, QByteArray::number(instance.sent));
        QCOMPARE(instance.received, sent.isEmpty() ? QByteArray() : inHome(sent).toUtf8() + '\n');
    }

    // Started at login, Vantor carries out what later launches ask, also from another home:
    // only it knows this Desktop. Where the shared temporary folder holds a folder of
    // another user by Vantor's name, open to all and listened in, commands never ask there
    // and Vantor starts in a folder of its own.
    void aRunningVantorCarriesOutTheCommand() {
        TempHome home;
        QVERIFY(testsupport::touch(home.desktop("a.png")));
        QTemporaryDir tmp(QDir::tempPath() + "/vantor-tmp-XXXXXX"); // the shared one
        QProcessEnvironment env = environment(home);
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
        const auto listening = [&tmp] { // in a folder of our own, not in the one taken
            const QDir dir(tmp.path());
            for (const QString& name : dir.entryList({VANTOR_APP_ID "-*"}, QDir::Dirs))
                if (QFileInfo::exists(dir.filePath(name) + "/instance.socket") &&
                    QFileInfo(dir.filePath(name)).ownerId() == ::getuid())
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(listening(), 10000);
        QCOMPARE(vantor({}, env).exit, 0); // a second plain launch hands over to it and leaves

        // Asked from another home with the same state folder, where a stand-in is noted.
        TempHome elsewhere;
        QProcessEnvironment asker = environment(elsewhere);
        asker.insert("TMPDIR", tmp.path());
        asker.insert("XDG_STATE_HOME", env.value("XDG_STATE_HOME"));
        const Run run = vantor({"clean", "--json"}, asker);
        QCOMPARE(run.exit, 0);
        QCOMPARE(run.json("moves").toArray().last().toObject().value("to").toString(),
                 home.desktop(impostor.answer.isEmpty() ? "Images/a.png" : "Documents/b.pdf"));
        QCOMPARE(impostor.sent, 0);
    }
};

VANTOR_TEST_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
