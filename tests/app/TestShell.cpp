#include "TestSupport.h"

#include "app/PanelWindow.h"
#include "app/VantorApp.h"
#include "cleaner/DesktopCleaner.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

class TestShell : public QObject {
    Q_OBJECT

  private slots:
    // The hint names this very binary in a form a shell reads back as its path, and the
    // package that has xvfb-run.
    void withoutADisplayItSaysHowToRunThisBinary() {
        QTemporaryDir dir(QDir::currentPath() + "/with space's $HOME-XXXXXX");
        QVERIFY(dir.isValid());
        const QString binary = dir.path() + "/vantor";
        QVERIFY(QFile::copy(VANTOR_BINARY, binary));
        QProcess vantor;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(var);
        vantor.setProcessEnvironment(env);
        vantor.start(binary, {});
        QVERIFY(vantor.waitForFinished(10000));
        QCOMPARE(vantor.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(vantor.readAllStandardError());
        QVERIFY(err.contains("no graphical session"));
        QVERIFY(err.contains("the xvfb package"));
        QCOMPARE(err.count('\n'), 1);
        const QRegularExpression command("xvfb-run -a (.*) \\(xvfb-run");
        const QString words = command.match(err).captured(1);
        QVERIFY2(!words.isEmpty(), qPrintable(err));
        QProcess shell;
        shell.start("/bin/sh", {"-c", "printf %s " + words});
        QVERIFY(shell.waitForFinished(10000));
        QCOMPARE(QString::fromLocal8Bit(shell.readAllStandardOutput()),
                 QFileInfo(binary).canonicalFilePath());
    }

    void onWaylandWithoutQtsWaylandPluginItSaysSoAndExits() {
        const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms");
        if (!platforms.entryList({"libqwayland-*.so"}).isEmpty())
            QSKIP("Qt's Wayland plugin is installed on this machine");
        QProcess vantor;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"DISPLAY", "QT_QPA_PLATFORM", "QT_PLUGIN_PATH"})
            env.remove(var);
        env.insert("WAYLAND_DISPLAY", "wayland-vantor-test");
        vantor.setProcessEnvironment(env);
        vantor.start(VANTOR_BINARY, {});
        QVERIFY(vantor.waitForFinished(10000));
        QCOMPARE(vantor.exitStatus(), QProcess::NormalExit);
        QCOMPARE(vantor.exitCode(), 1);
        const QByteArray err = vantor.readAllStandardError();
        QVERIFY2(err.contains("install the qt6-wayland package"), err.constData());
        QCOMPARE(err.count('\n'), 1);
    }

    void aSecondLaunchReopensTheFirstAndLeaves() {
        // Two real processes sharing one runtime folder.
        QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess first, second;
        first.setProcessEnvironment(env);
        second.setProcessEnvironment(env);
        first.start(VANTOR_BINARY, {});
        QVERIFY(first.waitForStarted());
        const QString socket = runtime.path() + "/" VANTOR_APP_ID "/instance.socket";
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket), 10000);
        second.start(VANTOR_BINARY, {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished(10000));
    }

    void firstRunHintOnlyOnceAndAReopenOpensThePanel() {
        QTemporaryDir dir;
        const QString config = dir.path() + "/config";
        {
            VantorApp app(config, dir.path() + "/Desktop", dir.path() + "/state");
            app.start();
            QVERIFY(!app.hint());
            QTRY_VERIFY_WITH_TIMEOUT(app.hint() && app.hint()->isVisible(), 3000);
        } // quit with the hint open: it was remembered when it showed
        VantorApp app(config, dir.path() + "/Desktop", dir.path() + "/state");
        app.start();
        QTest::qWait(VantorApp::kHintDelayMs + 300);
        QVERIFY(!app.hint() || !app.hint()->isVisible());
        // No tray offscreen: a reopen shows the panel as an ordinary window, not the hint.
        app.reopen();
        QVERIFY(app.panelWindow()->isVisible());
        QVERIFY(!app.panelWindow()->isPopup());
        QVERIFY(!app.hint() || !app.hint()->isVisible());
    }

    // Offscreen there is no tray: the fallback window opens after the grace time, except
    // at login, when Vantor only waits.
    void withoutATrayTheWindowOpensUnlessStartedAtLogin() {
        QTemporaryDir dir;
        for (const bool atLogin : {false, true}) {
            TestClock clock;
            VantorApp app(dir.path() + "/config", dir.path() + "/Desktop", dir.path() + "/state",
                          nullptr, clock);
            app.start(atLogin);
            clock.advance(VantorApp::kNoTrayGraceMs - 1);
            QVERIFY(!app.panelWindow()->isVisible());
            clock.advance(1);
            QCOMPARE(app.panelWindow()->isVisible(), !atLogin);
            clock.advance(VantorApp::kLoginTrayGraceMs);
            QCOMPARE(app.panelWindow()->isVisible(), !atLogin);
            app.reopen(); // launched again by hand: the window
            QVERIFY(app.panelWindow()->isVisible());
        }
    }

    // What a second launch and the command line ask of the running Vantor.
    void requestsFromOtherLaunches() {
        QTemporaryDir dir;
        VantorApp app(dir.path() + "/config", dir.path() + "/Desktop", dir.path() + "/state");
        QVERIFY(testsupport::touch(dir.path() + "/Desktop/a.png"));
        QList<QByteArray> replies;
        const auto reply = [&](const QByteArray& line) { replies.append(line); };

        for (const QByteArray& open : {QByteArray("{\"v\":1,\"command\":\"open\"}"),
                                       QByteArray("reopen")}) { // as earlier versions ask
            app.panelWindow()->hide();
            app.answer(open, reply);
            QVERIFY(app.panelWindow()->isVisible());
            QCOMPARE(QJsonDocument::fromJson(replies.takeLast()).object().value("exit"), 0);
        }

        app.answer("{\"v\":1,\"command\":\"clean\",\"json\":true}", reply);
        QTRY_COMPARE(replies.size(), 1);
        const QJsonObject result = QJsonDocument::fromJson(replies.takeLast()).object();
        QCOMPARE(result.value("exit"), 0);
        QCOMPARE(QJsonDocument::fromJson(result.value("out").toString().toUtf8())
                     .object()
                     .value("moved"),
                 1);
        // The panel's own cleaner did it: its record is there for its Undo.
        QCOMPARE(app.cleaner()->lastClean()->moves.size(), 1);

        app.answer("{\"v\":9,\"command\":\"undo\"}", reply);
        QCOMPARE(QJsonDocument::fromJson(replies.takeLast()).object().value("exit"), 2);
        QVERIFY(app.cleaner()->lastClean());
    }

    void popupStaysOnScreenBesideTheIcon_data() {
        QTest::addColumn<QRect>("anchor");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("top right, below the icon") << QRect(1250, 2, 24, 24) << QPoint(960, 30);
        QTest::newRow("bottom, above the icon") << QRect(600, 770, 24, 24) << QPoint(451, 366);
        QTest::newRow("top left corner") << QRect(0, 0, 1, 1) << QPoint(0, 5);
        QTest::newRow("cursor off the bottom") << QRect(100, 900, 1, 1) << QPoint(0, 400);
    }
    void popupStaysOnScreenBesideTheIcon() {
        QFETCH(QRect, anchor);
        QFETCH(QPoint, expected);
        QCOMPARE(PanelWindow::popupPosition(anchor, QSize(320, 400), QRect(0, 0, 1280, 800)),
                 expected);
    }
};

VANTOR_WIDGET_TEST_MAIN(TestShell)
#include "TestShell.moc"
