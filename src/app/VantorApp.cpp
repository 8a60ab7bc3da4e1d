#include "app/VantorApp.h"

#include "app/PanelWindow.h"
#include "cleaner/AutoTidy.h"
#include "cleaner/AutoTidySettings.h"
#include "cleaner/Cleaner.h"
#include "cli/CommandRunner.h"
#include "platform/Locations.h"
#include "platform/gui/DesktopNotifications.h"
#include "platform/gui/TrayAvailability.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"
#include "widgets/Appearance.h"
#include "widgets/Symbols.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QSystemTrayIcon>

#include <cstdio>

namespace {
const QString kDidShowWelcome = QStringLiteral("didShowWelcome");
} // namespace

VantorApp::VantorApp(QObject* parent)
    : VantorApp(platform::configFolder(), platform::desktopFolder(), platform::stateFolder(),
                parent) {}

VantorApp::VantorApp(const QString& configFolder, const QString& desktop,
                     const QString& stateFolder, QObject* parent, platform::Clock& clock,
                     const QDBusConnection& notificationBus)
    : QObject(parent),
      m_settings(configFolder + QStringLiteral("/settings.ini"), QSettings::IniFormat),
      m_folders(new TidiedFolders(configFolder, desktop, this)),
      m_cleaner(new Cleaner(m_folders, stateFolder, this, clock)), m_noTrayTimer(clock.makeTimer()),
      m_autoTidySettings(
          new AutoTidySettings(configFolder + QStringLiteral("/settings.ini"), this)),
      m_commands(new CommandRunner(m_cleaner, m_autoTidySettings, this)),
      m_autoTidy(new AutoTidy(m_cleaner, m_autoTidySettings, clock, this)),
      m_notifications(new platform::DesktopNotifications(notificationBus, this)) {
    // Asks the portal for light or dark now, so the hint already has the right palette.
    Appearance::instance();
    // The rules window, the hint and the dialogs carry Vantor's icon, not a generic one.
    widgets::ensureIconTheme();
    QGuiApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(VANTOR_APP_ID)));
    connect(m_noTrayTimer.get(), &platform::Timer::timeout, this, [this] {
        if (m_tray)
            return;
        // At login nobody asked for a window: Vantor waits quietly, and opens as a window
        // when launched again.
        if (m_atLogin)
            std::fputs("vantor: no system tray appeared; run vantor to open its window\n", stderr);
        else
            panelWindow()->showAsWindow();
    });
    // Files put away without a click are announced, with the way back; the user's own
    // cleans show in the panel already.
    connect(m_cleaner, &Cleaner::cleaned, this, [this](const CleanSummary& entry) {
        if (entry.automatic)
            m_notifications->show(tr("Put away %n files", nullptr, entry.moved), tr("Undo"),
                                  entry.id);
    });
    connect(m_notifications, &platform::DesktopNotifications::undoRequested, m_cleaner,
            [this](const QString& id) { m_cleaner->startUndo(id); });
}

VantorApp::~VantorApp() {
    delete m_hint;
    delete m_panel;
}

PanelWindow* VantorApp::panelWindow() {
    // Made when first opened: an idle Vantor holds no widgets but its tray icon.
    if (!m_panel) {
        m_panel = new PanelWindow(m_cleaner, *m_autoTidySettings, m_services);
        connect(m_panel, &PanelWindow::quitRequested, qApp, &QCoreApplication::quit,
                Qt::QueuedConnection);
    }
    return m_panel;
}

void VantorApp::start(bool atLogin) {
    m_atLogin = atLogin;
    m_trayAvailability = new platform::TrayAvailability(this);
    if (m_trayAvailability->isAvailable())
        createTrayIcon();
    else
        m_noTrayTimer->start(atLogin ? kLoginTrayGraceMs : kNoTrayGraceMs);
    connect(m_trayAvailability, &platform::TrayAvailability::available, this,
            &VantorApp::createTrayIcon);

    if (!m_settings.value(kDidShowWelcome, false).toBool())
        QTimer::singleShot(kHintDelayMs, this, &VantorApp::showFirstRunHint);
    // The icon theme loads once per process: while Vantor waits for its first click, so
    // opening the panel need not wait for it. (Loading the fonts too would save more time
    // but cost an idle Vantor 3 MB.)
    QTimer::singleShot(kPreloadDelayMs, this, &widgets::preloadSymbols);
}

void VantorApp::showFirstRunHint() {
    // The hint points at the tray icon: with none (yet) it waits for one, and without a
    // tray the panel's window opens instead.
    if (!m_tray) {
        m_hintWaitsForTray = true;
        return;
    }
    m_hintWaitsForTray = false;
    // Set before showing, so quitting while the hint is open does not bring it back.
    m_settings.setValue(kDidShowWelcome, true);
    m_settings.sync();
    showMenuBarHint();
}

QIcon VantorApp::trayIconImage() const {
    widgets::ensureIconTheme();
    // A StatusNotifierItem host draws a symbolic icon it can find by name in the colour of
    // its panel. Qt can only hand an XEmbed tray (or a host that cannot find the name) a
    // picture, and cannot know the panel's colour: the full-colour icon reads on any.
    const QString symbolic = QStringLiteral(VANTOR_APP_ID "-symbolic");
    const bool installed =
        !QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                "icons/hicolor/symbolic/apps/" + symbolic + ".svg")
             .isEmpty();
    if (installed && m_trayAvailability && m_trayAvailability->hasStatusNotifierHost())
        return QIcon::fromTheme(symbolic);
    return QIcon::fromTheme(QStringLiteral(VANTOR_APP_ID));
}

void VantorApp::createTrayIcon() {
    if (m_tray)
        return;
    m_tray = new QSystemTrayIcon(trayIconImage(), this);
    m_tray->setToolTip(QStringLiteral("Vantor"));
    auto* menu = new QMenu();
    menu->addAction(tr("Open Vantor"), this, &VantorApp::openPanel);
    menu->addSeparator();
    menu->addAction(tr("Quit Vantor"), qApp, &QCoreApplication::quit);
    connect(m_tray, &QObject::destroyed, menu, &QObject::deleteLater);
    m_tray->setContextMenu(menu);
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    panelWindow()->toggleAt(m_tray->geometry());
            });
    m_tray->show();
    if (m_hintWaitsForTray)
        QTimer::singleShot(kHintDelayMs, this, &VantorApp::showFirstRunHint);
}

void VantorApp::openPanel() {
    if (m_tray)
        panelWindow()->showAt(m_tray->geometry());
    else
        panelWindow()->showAsWindow();
}

void VantorApp::reopen() {
    openPanel();
}

void VantorApp::answer(const QByteArray& request,
                       const std::function<void(const QByteArray&)>& reply) {
    const auto parsed = CommandRequest::fromLine(request);
    if (!parsed) {
        reply(CommandResult{CommandResult::kUsage, QString(),
                            QStringLiteral("The running Vantor (" VANTOR_VERSION
                                           ") does not understand this request.\n")}
                  .toLine());
        return;
    }
    if (parsed->command == CommandRequest::Command::Open) {
        reopen();
        reply(CommandResult{}.toLine());
        return;
    }
    m_commands->run(*parsed, [reply](const CommandResult& result) { reply(result.toLine()); });
}

void VantorApp::showMenuBarHint() {
    if (!m_tray)
        return;
    if (!m_hint) {
        m_hint = new QMessageBox(QMessageBox::Information, QStringLiteral("Vantor"),
                                 tr("Vantor is in your system tray"));
        m_hint->setInformativeText(
            tr("Click its icon in the system tray to clean your desktop. Vantor has no main "
               "window."));
        m_hint->addButton(tr("Got It"), QMessageBox::AcceptRole);
        m_hint->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_hint->show();
    m_hint->raise();
    m_hint->activateWindow();
}
