#include "TestSupport.h"

#include "RecordingServices.h"
#include "app/PanelWindow.h"
#include "app/VantorApp.h"
#include "cleaner/DesktopCleaner.h"
#include "panel/PanelView.h"
#include "panel/SettingsView.h"
#include "rules/RuleStore.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

class TestShell : public QObject {
    Q_OBJECT

  private slots:
    void withoutADisplayItSaysSoAndExits() {
        QProcess vantor;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(var);
        vantor.setProcessEnvironment(env);
        vantor.start(VANTOR_BINARY, {});
        QVERIFY(vantor.waitForFinished(10000));
        QCOMPARE(vantor.exitCode(), 1);
        const QByteArray err = vantor.readAllStandardError();
        QVERIFY(err.contains("no graphical session"));
        QVERIFY(err.contains("xvfb-run"));
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
        TempHome home;
        QDir().mkpath(home.desktop("Images"));
        RuleStore store(home.configFolder());
        DesktopCleaner cleaner(&store, home.desktop(), home.stateFolder());
        RecordingServices services;
        PanelWindow window(&cleaner, services);
        window.showAt(QRect(600, 2, 24, 24));
        const QPoint placed = window.pos();
        window.panel()->setShowingSettings(true);
        QPushButton* show = window.panel()->settingsView()->showButtons().first();

        show->click();
        QCOMPARE(services.revealed, QStringList{home.desktop("Images")});
        QVERIFY(!window.isVisible()); // out of the file manager's way

        window.showAt(QRect(600, 2, 24, 24));
        services.fileManagerFound = false;
        show->click();
        QVERIFY(window.isVisible());
        QVERIFY(window.isPopup());
        QCOMPARE(window.pos(), placed);
        QCOMPARE(window.panel()->settingsView()->fileManagerError(),
                 "No file manager found to show ~/Desktop/Images.");
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
