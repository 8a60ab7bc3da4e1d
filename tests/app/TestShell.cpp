#include "FakeNotificationServer.h"
#include "TestSupport.h"

#include "platform/Trash.h"

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
#include <QLibraryInfo>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
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
    // Without a usable display Vantor says, on one line, what to install. The xvfb hint names
    // this very binary in a form a shell reads back as its path.
    void withoutAUsableDisplayItSaysWhatToInstall_data() {
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QString>("hint");
        QTest::newRow("no display") << QString() << "the xvfb package";
        QTest::newRow("Wayland without Qt's plugin") << "wayland-vantor-test"
                                                     << "install the qt6-wayland package";
    }
    void withoutAUsableDisplayItSaysWhatToInstall() {
        QFETCH(QString, wayland);
        QFETCH(QString, hint);
        const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms");
        if (!wayland.isEmpty() && !platforms.entryList({"libqwayland-*.so"}).isEmpty())
            QSKIP("Qt's Wayland plugin is installed on this machine");
        QTemporaryDir dir(QDir::currentPath() + "/with space's $HOME-XXXXXX");
        const QString binary = dir.path() + "/vantor";
        QVERIFY(QFile::copy(VANTOR_BINARY, binary));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_PLUGIN_PATH"})
            env.remove(var);
        if (!wayland.isEmpty())
            env.insert("WAYLAND_DISPLAY", wayland);
        QProcess vantor;
        vantor.setProcessEnvironment(env);
        vantor.start(binary, {});
        QVERIFY(vantor.waitForFinished(10000) && vantor.exitStatus() == QProcess::NormalExit);
        QCOMPARE(vantor.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(vantor.readAllStandardError());
        QVERIFY2(err.contains(hint) && err.count('\n') == 1, qPrintable(err));
        if (!wayland.isEmpty())
            return;
        const QString words =
            QRegularExpression("xvfb-run -a (.*) \\(xvfb-run").match(err).captured(1);
        QProcess shell;
        shell.start("/bin/sh", {"-c", "printf %s " + words});
        QVERIFY(shell.waitForFinished(10000));
        QCOMPARE(QString::fromLocal8Bit(shell.readAllStandardOutput()),
                 QFileInfo(binary).canonicalFilePath());
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
            if (firstRun) {
                QVERIFY(!QGuiApplication::windowIcon().isNull()); // Vantor's own, for every window
                QCOMPARE(app.hint()->text(), "Vantor is in your system tray");
                // The panel it points to can take the focus while it is open.
                QCOMPARE(app.hint()->windowModality(), Qt::NonModal);
            } else {
                app.showMenuBarHint(); // what a reopen does while there is a tray
            }
            QVERIFY(app.hint()->isVisible());
        }
    }

    // The popup makes way for the file manager or the folder dialog of Add Folder…, and comes
    // back where it was when no file manager showed the folder (its message on the page whose
    // button was pressed) and after the dialog, with the folder it added.
    void popupComesBackWhereItWas_data() {
        QTest::addColumn<bool>("dialog");
        QTest::newRow("no file manager") << false;
        QTest::newRow("folder dialog") << true;
    }
    void popupComesBackWhereItWas() {
        QFETCH(bool, dialog);
        PanelHome f;
        const QString projects = f.home.path() + "/Projects";
        QVERIFY(QDir().mkpath(projects) && QDir().mkpath(f.home.desktop("Images")));
        f.services.chosenFolder = projects;
        PanelWindow& window = f.window;
        window.showAt(QRect(600, 2, 24, 24));
        const QPoint placed = window.pos();
        window.panel()->setShowingSettings(true);
        SettingsView* settings = window.panel()->settingsView();
        if (dialog) {
            settings->folderList()->addFolderButton()->click();
            QCOMPARE(f.folders.indexOf(projects), 1); // the dialog's answer was taken
        } else {
            settings->showButtons().first()->click();
            QCOMPARE(f.services.revealed, QStringList{f.home.desktop("Images")});
            QVERIFY(!window.isVisible()); // out of the file manager's way
            window.showAt(QRect(600, 2, 24, 24));
            f.services.fileManagerFound = false;
            settings->showButtons().first()->click();
            QCOMPARE(settings->fileManagerError(),
                     "No file manager found to show ~/Desktop/Images.");
        }
        QVERIFY(window.isVisible() && window.isPopup());
        QCOMPARE(window.pos(), placed);
    }

    // Offscreen there is no tray: the fallback window opens after the grace time, except
    // at login, when Vantor only waits. Launched again by hand ("reopen" is how earlier
    // versions ask), it opens the window, and a hint pointing at the tray is not shown. A
    // request of a newer Vantor, and a bare line that is no request, are bad usage.
    void withoutATrayTheWindowOpensUnlessStartedAtLogin() {
        for (const bool atLogin : {false, true}) {
            AppHome f;
            QList<int> exits;
            const auto reply = [&](const QByteArray& line) {
                exits.append(QJsonDocument::fromJson(line)["exit"].toInt(-1));
            };
            f.app.start(atLogin);
            f.app.answer(R"({"v":9,"command":"open"})", reply);
            f.app.answer("tidy", reply);
            f.clock.advance(VantorApp::kNoTrayGraceMs - 1);
            QVERIFY(!f.app.panelWindow()->isVisible());
            f.clock.advance(1);
            QCOMPARE(f.app.panelWindow()->isVisible(), !atLogin);
            f.clock.advance(VantorApp::kLoginTrayGraceMs);
            QCOMPARE(f.app.panelWindow()->isVisible(), !atLogin);
            f.app.panelWindow()->hide();
            f.app.answer(atLogin ? "reopen" : R"({"v":1,"command":"open"})", reply);
            QVERIFY(f.app.panelWindow()->isVisible() && !f.app.panelWindow()->isPopup());
            QCOMPARE(exits, (QList<int>{2, 2, 0}));
            f.app.showMenuBarHint();
            QVERIFY(!f.app.hint());
        }
    }

    // Files put away without a click are announced, saying what went where, with an Undo
    // that puts them back; the user's own clean is not. While the panel is open, which shows
    // them, the notification of the latest waits for it to close; its click opens the panel
    // on the last cleans.
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
        app.openPanel();
        app.autoTidySettings()->setQuietSeconds(60);
        app.autoTidySettings()->setEnabled(true);
        QVERIFY(testsupport::touch(f.home.desktop("b.png")) &&
                testsupport::touch(f.home.desktop("c.pdf")));
        testsupport::settle(); // their writes are over before they are followed
        f.clock.advance(61000);
        QVERIFY(finishWork(*app.cleaner()) && QFile::exists(f.home.desktop("Documents/c.pdf")));
        QVERIFY(bus.fake.shown.isEmpty());

        app.panelWindow()->hide();
        QTRY_COMPARE(bus.fake.shown.size(), 1);
        const auto& shown = bus.fake.shown.first();
        QCOMPARE(shown.summary, "Put away 2 files");
        QCOMPARE(shown.body, "b.png \u2192 Images, 1 more \u2192 Documents");
        QCOMPARE(shown.actions, (QStringList{"default", "Show History", "undo", "Undo"}));
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

    void notificationSaysWhatWentWhere_data() {
        QTest::addColumn<QStringList>("moves"); // file name, then its folder, of each move
        QTest::addColumn<QString>("text");
        QTest::newRow("one folder")
            << QStringList{"a.png", "Images", "b.png", "Images", "c.png", "Images"}
            << "3 files \u2192 Images";
        QTest::newRow("the rest counted together")
            << QStringList{"a.png",    "Images", "b.pdf", "Documents", "c.zip",
                           "Archives", "d.mp3",  "Music", "e.mp3",     "Music"}
            << "a.png \u2192 Images, 1 more \u2192 Documents, 3 more elsewhere";
        QTest::newRow("a long name is shortened")
            << QStringList{QString(60, 'x') + ".pdf", "Documents"}
            << QString(20, 'x') + "\u2026" + QString(15, 'x') + ".pdf \u2192 Documents";
        QTest::newRow("the Trash by its name")
            << QStringList{"old.zip", platform::Trash::homeRoot() + "/files"}
            << "old.zip \u2192 Trash";
    }
    void notificationSaysWhatWentWhere() {
        QFETCH(QStringList, moves);
        QFETCH(QString, text);
        QList<CleanRecord::Move> record;
        for (qsizetype i = 0; i + 1 < moves.size(); i += 2)
            record.append({"/home/u/Desktop/" + moves.at(i),
                           (moves.at(i + 1).startsWith('/') ? "" : "/home/u/Desktop/") +
                               moves.at(i + 1) + "/" + moves.at(i)});
        QCOMPARE(VantorApp::movedText(record), text);
    }

    // The tray's menu, tooltip and dot follow the scan and the last clean.
    void trayFollowsTheCleaner() {
        AppHome f;
        f.app.createTrayIcon();
        TrayIcon* tray = f.app.trayIcon();
        Cleaner& cleaner = *f.app.cleaner();
        QVERIFY(finishWork(cleaner));
        QStringList items;
        for (const QAction* action : tray->contextMenu()->actions())
            items.append(action->isSeparator() ? "-" : action->text());
        QCOMPARE(items, (QStringList{"Clean Desktop", "Undo", "Pause Automatic Tidying for 1 Hour",
                                     "-", "Edit Rules\u2026", "Open Vantor", "-", "Quit Vantor"}));
        // Clean's text; whether Clean and Undo are enabled and the dot shows; the tooltip.
        const auto state = [&] {
            const QString flags = QString("%1%2%3")
                                      .arg(tray->cleanAction()->isEnabled())
                                      .arg(tray->undoAction()->isEnabled())
                                      .arg(tray->hasBadge());
            return QStringList{tray->cleanAction()->text(), flags, tray->toolTip()};
        };
        const QString nothing = "Vantor \u2014 nothing to put away";
        QCOMPARE(state(), (QStringList{"Clean Desktop", "000", nothing}));
        QVERIFY(!tray->pauseAction()->isVisible());

        QVERIFY(testsupport::touch(f.home.desktop("a.png")) &&
                testsupport::touch(f.home.desktop("b.pdf")));
        cleaner.rescan();
        QCOMPARE(state(), (QStringList{"Clean Desktop (2 files)", "101",
                                       "Vantor \u2014 2 files to put away"}));
        const QImage badged = tray->icon().pixmap(22).toImage();
        tray->cleanAction()->trigger();
        QVERIFY(finishWork(cleaner) && QFile::exists(f.home.desktop("Images/a.png")));
        QCOMPARE(state(), (QStringList{"Clean Desktop", "010", nothing}));
        QVERIFY(tray->icon().pixmap(22).toImage() != badged);
        tray->undoAction()->trigger();
        QVERIFY(finishWork(cleaner) && QFile::exists(f.home.desktop("a.png")));
        QVERIFY(!tray->undoAction()->isEnabled());
    }

    // Pausing holds automatic tidying back for an hour, or until unchecked.
    void pauseHoldsAutomaticTidyingForAnHour() {
        AppHome f;
        VantorApp& app = f.app;
        app.createTrayIcon();
        QAction* pause = app.trayIcon()->pauseAction();
        app.autoTidySettings()->setQuietSeconds(60);
        app.autoTidySettings()->setEnabled(true);
        QVERIFY(pause->isVisible());

        pause->trigger();
        QVERIFY(pause->isChecked());
        pause->trigger();
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

    // Opened from the application menu, the panel goes where the tray icon is or, with its
    // place unknown, where trays usually are, and never where the pointer happens to be.
    void fromTheMenuThePanelOpensAtTheTopRight() {
        AppHome f;
        f.app.createTrayIcon(); // offscreen, the tray gives no geometry
        QCursor::setPos(10, 10);
        f.app.reopen();
        PanelWindow* window = f.app.panelWindow();
        QVERIFY(window->isVisible() && window->isPopup());
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(window->frameGeometry().right(), available.right());
        QVERIFY(window->y() - available.top() < 10);
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
