#include "FakeNotificationServer.h"
#include "TestSupport.h"

#include "RecordingServices.h"
#include "app/PanelWindow.h"
#include "app/TrayIcon.h"
#include "app/VantorApp.h"
#include "cleaner/AutoTidy.h"
#include "cleaner/AutoTidySettings.h"
#include "cleaner/Cleaner.h"
#include "panel/FolderList.h"
#include "panel/PanelView.h"
#include "panel/SettingsView.h"
#include "rules/TidiedFolders.h"

#include <QJsonDocument>
#include <QProcess>
#include <QPushButton>

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

// A Vantor over a fresh home, on a clock of the test's own that runs ahead of the files' own
// times, which are then long quiet.
struct AppHome {
    TempHome home;
    TestClock clock{QDateTime::currentDateTimeUtc().addSecs(60)};
    VantorApp app;

    explicit AppHome(const QDBusConnection& notificationBus = QDBusConnection::sessionBus())
        : app(home.configFolder(), home.desktop(), home.stateFolder(), nullptr, clock,
              notificationBus) {}
};

// Waits for the cleaner's work and what follows it.
bool finishWork(Cleaner& cleaner) {
    testsupport::settle();
    const bool done = QTest::qWaitFor([&] { return !cleaner.isBusy(); }, 10000);
    testsupport::settle();
    return done;
}

} // namespace

class TestShell : public QObject {
    Q_OBJECT

  private slots:
    // Without a display Vantor says, on one line, what to install.
    void withoutADisplayItSaysWhatToInstall() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(var);
        QProcess vantor;
        vantor.setProcessEnvironment(env);
        vantor.start(VANTOR_BINARY, {});
        QVERIFY(vantor.waitForFinished(10000) && vantor.exitStatus() == QProcess::NormalExit);
        QCOMPARE(vantor.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(vantor.readAllStandardError());
        QVERIFY2(err.contains("the xvfb package") && err.count('\n') == 1, qPrintable(err));
    }

    // The hint points at the tray icon, so it waits for one; without a tray a reopen opens
    // the panel's window instead.
    void firstRunHintOnceAndOnlyWithATray() {
        TempHome home;
        TestClock clock;
        for (const bool firstRun : {true, false}) { // quit with the hint open: it was remembered
            VantorApp app(home.configFolder(), home.desktop(), home.stateFolder(), nullptr, clock);
            app.start();
            clock.advance(VantorApp::kHintDelayMs);
            QVERIFY(!app.hint()); // no tray offscreen
            app.createTrayIcon();
            clock.advance(VantorApp::kHintDelayMs);
            QCOMPARE(bool(app.hint()), firstRun);
            if (!firstRun)
                app.showMenuBarHint(); // what a reopen does while there is a tray
            // The panel it points to can take the focus while it is open.
            QCOMPARE(app.hint()->windowModality(), Qt::NonModal);
            QVERIFY(app.hint()->isVisible());
        }
    }

    // The popup makes way for the file manager and the folder dialog of Add Folder…, and comes
    // back where it was when no file manager showed the folder (its message on the page whose
    // button was pressed) and after the dialog, with the folder it added.
    void popupComesBackWhereItWas() {
        PanelHome f;
        const QString projects = f.home.path() + "/Projects";
        QVERIFY(QDir().mkpath(projects) && QDir().mkpath(f.home.desktop("Images")));
        f.services.chosenFolder = projects;
        PanelWindow& window = f.window;
        window.showAt(QRect(600, 2, 24, 24));
        const QPoint placed = window.pos();
        window.panel()->setShowingSettings(true);
        SettingsView* settings = window.panel()->settingsView();
        settings->showButtons().first()->click();
        QCOMPARE(f.services.revealed, QStringList{f.home.desktop("Images")});
        QVERIFY(!window.isVisible()); // out of the file manager's way
        window.showAt(QRect(600, 2, 24, 24));
        f.services.fileManagerFound = false;
        settings->showButtons().first()->click();
        QCOMPARE(settings->fileManagerError(), "No file manager found to show ~/Desktop/Images.");
        QVERIFY(window.isVisible() && window.isPopup());
        QCOMPARE(window.pos(), placed);
        settings->folderList()->addFolderButton()->click();
        QCOMPARE(f.folders.indexOf(projects), 1); // the dialog's answer was taken
        QVERIFY(window.isVisible() && window.isPopup());
        QCOMPARE(window.pos(), placed);
    }

    // Offscreen there is no tray: the fallback window opens after the grace time, except
    // at login, when Vantor only waits. Launched again by hand ("reopen" is how earlier
    // versions ask), it opens the window. A request of a newer Vantor is bad usage.
    void withoutATrayTheWindowOpensUnlessStartedAtLogin() {
        for (const bool atLogin : {false, true}) {
            AppHome f;
            QList<int> exits;
            const auto reply = [&](const QByteArray& line) {
                exits.append(QJsonDocument::fromJson(line)["exit"].toInt(-1));
            };
            f.app.start(atLogin);
            f.app.answer(R"({"v":9,"command":"open"})", reply);
            f.clock.advance(VantorApp::kNoTrayGraceMs - 1);
            QVERIFY(!f.app.panelWindow()->isVisible());
            f.clock.advance(1);
            QCOMPARE(f.app.panelWindow()->isVisible(), !atLogin);
            f.clock.advance(VantorApp::kLoginTrayGraceMs);
            QCOMPARE(f.app.panelWindow()->isVisible(), !atLogin);
            f.app.panelWindow()->hide();
            f.app.answer(atLogin ? "reopen" : R"({"v":1,"command":"open"})", reply);
            QVERIFY(f.app.panelWindow()->isVisible() && !f.app.panelWindow()->isPopup());
            QCOMPARE(exits, (QList<int>{2, 0}));
        }
    }

    // Files put away without a click are announced, saying what went where, with an Undo
    // that puts them back; the user's own clean is not. Its click opens the panel on the last
    // cleans.
    void automaticCleanIsAnnouncedWithAnUndo() {
        if (NotificationBus::daemon().isEmpty())
            QSKIP("dbus-daemon is not installed");
        NotificationBus bus;
        QVERIFY(bus.start());
        AppHome f(NotificationBus::client());
        VantorApp& app = f.app;
        QVERIFY(testsupport::touch(f.home.desktop("u.pdf")));
        app.cleaner()->rescan();
        app.cleaner()->clean();
        app.autoTidySettings()->setQuietSeconds(60);
        app.autoTidySettings()->setEnabled(true);
        QVERIFY(testsupport::touch(f.home.desktop("b.png")) &&
                testsupport::touch(f.home.desktop("c.pdf")));
        testsupport::settle(); // their writes are over before they are followed
        f.clock.advance(61000);
        QVERIFY(finishWork(*app.cleaner()) && QFile::exists(f.home.desktop("Documents/c.pdf")));
        QTRY_COMPARE(bus.fake.shown.size(), 1);
        const auto& shown = bus.fake.shown.first();
        QCOMPARE(shown.summary, "Put away 2 files");
        QCOMPARE(shown.body, "b.png \u2192 Images, 1 more \u2192 Documents");
        const auto invoke = [&](const QString& key) {
            QVERIFY(NotificationBus::emitSignal("ActionInvoked", {shown.id, key}));
        };
        invoke("undo");
        QTRY_VERIFY(QFile::exists(f.home.desktop("b.png")));
        QVERIFY(finishWork(*app.cleaner()) && QFile::exists(f.home.desktop("c.pdf")));
        invoke("default");
        QTRY_VERIFY(app.panelWindow()->isVisible());
        QVERIFY(app.panelWindow()->panel()->showingSettings());
        QCOMPARE(bus.fake.shown.size(), 1);
    }

    // The tray's Clean and Undo work the cleaner; Clean counts what there is to put away. With
    // a tray, a reopen opens the popup.
    void trayCleansAndUndoes() {
        AppHome f;
        f.app.createTrayIcon();
        TrayIcon* tray = f.app.trayIcon();
        Cleaner& cleaner = *f.app.cleaner();
        QVERIFY(testsupport::touch(f.home.desktop("a.png")) &&
                testsupport::touch(f.home.desktop("b.pdf")));
        cleaner.rescan();
        QCOMPARE(tray->cleanAction()->text(), "Clean Desktop (2 files)");
        QVERIFY(tray->hasBadge() && !tray->undoAction()->isEnabled());
        tray->cleanAction()->trigger();
        QVERIFY(finishWork(cleaner) && QFile::exists(f.home.desktop("Images/a.png")));
        QVERIFY(!tray->hasBadge() && !tray->cleanAction()->isEnabled());
        tray->undoAction()->trigger();
        QVERIFY(finishWork(cleaner) && QFile::exists(f.home.desktop("a.png")));
        QVERIFY(!tray->undoAction()->isEnabled());
        f.app.reopen();
        QVERIFY(f.app.panelWindow()->isVisible() && f.app.panelWindow()->isPopup());
    }

    // Pausing holds automatic tidying back for an hour, or until unchecked.
    void pauseHoldsAutomaticTidyingForAnHour() {
        AppHome f;
        VantorApp& app = f.app;
        app.createTrayIcon();
        QAction* pause = app.trayIcon()->pauseAction();
        app.autoTidySettings()->setQuietSeconds(60);
        app.autoTidySettings()->setEnabled(true);
        pause->trigger();
        pause->trigger(); // unchecked: tidying goes on at once
        QVERIFY(!app.autoTidy()->isPaused());
        pause->trigger();
        QVERIFY(testsupport::touch(f.home.desktop("a.png")));
        testsupport::settle();
        f.clock.advance(TrayIcon::kPauseMs - 1);
        QVERIFY(finishWork(*app.cleaner()) && QFile::exists(f.home.desktop("a.png")));
        QVERIFY(pause->isChecked());
        f.clock.advance(1);
        QVERIFY(finishWork(*app.cleaner()) && QFile::exists(f.home.desktop("Images/a.png")));
        QVERIFY(!pause->isChecked());
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
