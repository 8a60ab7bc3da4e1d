#include "FakeNotificationServer.h"
#include "TestSupport.h"

#include "RecordingServices.h"
#include "app/PanelWindow.h"
#include "app/VantorApp.h"
#include "cleaner/AutoTidySettings.h"
#include "cleaner/Cleaner.h"
#include "panel/FolderList.h"
#include "panel/PanelView.h"
#include "panel/SettingsView.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"

#include <QAccessible>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>

namespace {

// A panel window over a fresh home, as the tray shows it.
struct PanelHome {
    TempHome home;
    TidiedFolders folders{home.configFolder(), home.desktop()};
    Cleaner cleaner{&folders, home.stateFolder()};
    RecordingServices services;
    AutoTidySettings autoTidy{home.configFolder() + "/settings.ini"};
    PanelWindow window{&cleaner, autoTidy, services};
};

} // namespace

class TestShell : public QObject {
    Q_OBJECT

    // Runs `binary` with `unset` removed from the environment (and `extra` added); its stderr.
    static QByteArray launch(const QString& binary, std::initializer_list<const char*> unset,
                             const QString& extra = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* var : unset)
            env.remove(var);
        if (!extra.isEmpty())
            env.insert(extra.section('=', 0, 0), extra.section('=', 1));
        QProcess vantor;
        vantor.setProcessEnvironment(env);
        vantor.start(binary, {});
        const bool exited = vantor.waitForFinished(10000) &&
                            vantor.exitStatus() == QProcess::NormalExit && vantor.exitCode() == 1;
        return exited ? vantor.readAllStandardError() : QByteArray("no exit with status 1");
    }

  private slots:
    // The hint names this very binary in a form a shell reads back as its path, and the
    // package that has xvfb-run.
    void withoutADisplayItSaysHowToRunThisBinary() {
        QTemporaryDir dir(QDir::currentPath() + "/with space's $HOME-XXXXXX");
        QVERIFY(dir.isValid());
        const QString binary = dir.path() + "/vantor";
        QVERIFY(QFile::copy(VANTOR_BINARY, binary));
        const QString err = QString::fromLocal8Bit(
            launch(binary, {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}));
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
        const QByteArray err =
            launch(VANTOR_BINARY, {"DISPLAY", "QT_QPA_PLATFORM", "QT_PLUGIN_PATH"},
                   "WAYLAND_DISPLAY=wayland-vantor-test");
        QVERIFY2(err.contains("install the qt6-wayland package"), err.constData());
        QCOMPARE(err.count('\n'), 1);
    }

    // The hint points at the tray icon, so it waits for one; without a tray a reopen opens
    // the panel's window instead.
    void firstRunHintOnceAndOnlyWithATray() {
        QTemporaryDir dir;
        const QString config = dir.path() + "/config";
        {
            VantorApp app(config, dir.path() + "/Desktop", dir.path() + "/state");
            app.start();
            QVERIFY(!QGuiApplication::windowIcon().isNull()); // Vantor's own, for every window
            QTest::qWait(VantorApp::kHintDelayMs + 300);
            QVERIFY(!app.hint()); // no tray offscreen
            app.createTrayIcon();
            QTRY_VERIFY_WITH_TIMEOUT(app.hint() && app.hint()->isVisible(), 3000);
            QCOMPARE(app.hint()->text(), "Vantor is in your system tray");
            QCOMPARE(app.hint()->informativeText(),
                     "Click its icon in the system tray to clean your desktop. Vantor has no "
                     "main window.");
        } // quit with the hint open: it was remembered when it showed
        VantorApp app(config, dir.path() + "/Desktop", dir.path() + "/state");
        app.start();
        app.createTrayIcon();
        QTest::qWait(VantorApp::kHintDelayMs + 300);
        QVERIFY(!app.hint());
        app.showMenuBarHint(); // what a reopen does while there is a tray
        QVERIFY(app.hint()->isVisible());

        VantorApp trayless(dir.path() + "/other", dir.path() + "/Desktop", dir.path() + "/state");
        trayless.reopen();
        QVERIFY(trayless.panelWindow()->isVisible());
        QVERIFY(!trayless.panelWindow()->isPopup());
        trayless.showMenuBarHint();
        QVERIFY(!trayless.hint());
    }

    // The popup closes for the file manager; when none could show the folder, it comes back
    // where it was with the message on the page whose button was pressed.
    void popupComesBackWhenNoFileManagerShows() {
        PanelHome f;
        QDir().mkpath(f.home.desktop("Images"));
        PanelWindow& window = f.window;
        window.showAt(QRect(600, 2, 24, 24));
        const QPoint placed = window.pos();
        window.panel()->setShowingSettings(true);
        QPushButton* show = window.panel()->settingsView()->showButtons().first();

        show->click();
        QCOMPARE(f.services.revealed, QStringList{f.home.desktop("Images")});
        QVERIFY(!window.isVisible()); // out of the file manager's way

        window.showAt(QRect(600, 2, 24, 24));
        f.services.fileManagerFound = false;
        show->click();
        QVERIFY(window.isVisible());
        QVERIFY(window.isPopup());
        QCOMPARE(window.pos(), placed);
        QCOMPARE(window.panel()->settingsView()->fileManagerError(),
                 "No file manager found to show ~/Desktop/Images.");
    }

    // The popup makes way for the folder dialog of Add Folder… and comes back where it was,
    // with the folder it added.
    void popupComesBackAfterTheFolderDialog() {
        PanelHome f;
        const QString projects = f.home.path() + "/Projects";
        QVERIFY(QDir().mkpath(projects));
        f.services.chosenFolder = projects;
        PanelWindow& window = f.window;
        window.showAt(QRect(600, 2, 24, 24));
        const QPoint placed = window.pos();
        window.panel()->setShowingSettings(true);
        window.panel()->settingsView()->folderList()->addFolderButton()->click();
        QCOMPARE(f.services.folderRequests.size(), 1);
        QVERIFY(window.isVisible());
        QVERIFY(window.isPopup());
        QCOMPARE(window.pos(), placed);
        QCOMPARE(f.folders.indexOf(projects), 1);
    }

    // A screen reader meets the panel as a window, and what has the focus on opening by its
    // name.
    void thePanelReadsAsANamedWindow() {
        PanelHome f;
        PanelWindow& window = f.window;
        window.showAt(QRect(600, 2, 24, 24));
        QCOMPARE(QAccessible::queryAccessibleInterface(&window)->role(), QAccessible::Window);
        QVERIFY(window.focusWidget());
        QCOMPARE(
            QAccessible::queryAccessibleInterface(window.focusWidget())->text(QAccessible::Name),
            "Vantor");
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

    // Files put away without a click are announced with an Undo that puts them back; the
    // user's own clean is not announced.
    void automaticCleanIsAnnouncedWithAnUndo() {
        if (PrivateBus::daemon().isEmpty())
            QSKIP("dbus-daemon is not installed");
        PrivateBus bus;
        const QString address = bus.start();
        QVERIFY(!address.isEmpty());
        const auto disconnect = qScopeGuard([] {
            QDBusConnection::disconnectFromBus("server");
            QDBusConnection::disconnectFromBus("client");
        });
        QDBusConnection server = QDBusConnection::connectToBus(address, "server");
        FakeNotificationServer fake;
        QVERIFY(fake.serveOn(server));

        TempHome home;
        // Ahead of the files' own times, which are then long quiet.
        TestClock clock(QDateTime::currentDateTimeUtc().addSecs(60));
        VantorApp app(home.configFolder(), home.desktop(), home.stateFolder(), nullptr, clock,
                      QDBusConnection::connectToBus(address, "client"));
        const auto finishWork = [&] {
            testsupport::settle();
            QVERIFY(QTest::qWaitFor([&] { return !app.cleaner()->isBusy(); }, 10000));
            testsupport::settle();
        };
        QVERIFY(testsupport::touch(home.desktop("b.pdf")));
        QVERIFY(testsupport::touch(home.desktop("c.pdf")));
        app.cleaner()->rescan();
        app.cleaner()->clean();

        QVERIFY(testsupport::touch(home.desktop("a.png")));
        testsupport::settle();
        app.autoTidySettings()->setQuietSeconds(60);
        app.autoTidySettings()->setEnabled(true);
        clock.advance(1000); // the cleaner's rescan after the Desktop changed
        finishWork();
        QVERIFY(QFile::exists(home.desktop("Images/a.png")));
        QTRY_VERIFY(!fake.shown.isEmpty());
        QCOMPARE(fake.shown.first().summary, "Put away 1 file"); // not the 2 of the user's
        QCOMPARE(fake.shown.first().actions, (QStringList{"undo", "Undo"}));

        QDBusMessage invoked = QDBusMessage::createSignal(
            FakeNotificationServer::kPath, FakeNotificationServer::kInterface, "ActionInvoked");
        invoked << fake.shown.first().id << QString("undo");
        QVERIFY(server.send(invoked));
        QTRY_VERIFY(QFile::exists(home.desktop("a.png")));
        finishWork();
        QVERIFY(QFile::exists(home.desktop("Documents/b.pdf")));
        QCOMPARE(fake.shown.size(), 1);
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
