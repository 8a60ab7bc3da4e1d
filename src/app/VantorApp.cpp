#include "app/VantorApp.h"

#include "app/PanelWindow.h"
#include "app/TrayIcon.h"
#include "cleaner/AutoTidy.h"
#include "cleaner/AutoTidySettings.h"
#include "cleaner/Cleaner.h"
#include "cli/CommandRunner.h"
#include "panel/HistoryList.h"
#include "panel/PanelView.h"
#include "panel/SettingsView.h"
#include "platform/Locations.h"
#include "platform/Trash.h"
#include "platform/gui/DesktopNotifications.h"
#include "platform/gui/TrayAvailability.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"
#include "widgets/Appearance.h"
#include "widgets/Symbols.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>

namespace {
const QString kDidShowWelcome = QStringLiteral("didShowWelcome");
// Folders a notification names before it counts the rest together.
constexpr int kFoldersNamed = 2;
constexpr int kLongestName = 40;

QString shortName(const QString& name) {
    if (name.size() <= kLongestName)
        return name;
    return name.left(kLongestName / 2) + u'\u2026' + name.right(kLongestName / 2 - 1);
}

} // namespace

QString VantorApp::movedText(const QList<CleanRecord::Move>& moves) {
    QList<std::pair<QString, QStringList>> byFolder; // in the order of their first file
    for (const CleanRecord::Move& move : moves) {
        const QString folder = platform::Trash::holding(move.to)
                                   ? tr("Trash")
                                   : QFileInfo(QFileInfo(move.to).path()).fileName();
        auto it = std::find_if(byFolder.begin(), byFolder.end(),
                               [&](const auto& entry) { return entry.first == folder; });
        if (it == byFolder.end())
            it = byFolder.insert(byFolder.end(), {folder, {}});
        it->second.append(QFileInfo(move.from).fileName());
    }
    QStringList parts;
    int rest = 0;
    for (qsizetype i = 0; i < byFolder.size(); ++i) {
        const auto& [folder, files] = byFolder.at(i);
        if (i >= kFoldersNamed)
            rest += int(files.size());
        else if (i > 0)
            parts.append(tr("%n more \u2192 %1", nullptr, int(files.size())).arg(folder));
        else if (files.size() == 1)
            parts.append(tr("%1 \u2192 %2").arg(shortName(files.first()), folder));
        else
            parts.append(tr("%n files \u2192 %1", nullptr, int(files.size())).arg(folder));
    }
    if (rest > 0)
        parts.append(tr("%n more elsewhere", nullptr, rest));
    return parts.join(QStringLiteral(", "));
}

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
      m_hintTimer(clock.makeTimer()), m_autoTidySettings(new AutoTidySettings(
                                          configFolder + QStringLiteral("/settings.ini"), this)),
      m_commands(new CommandRunner(m_cleaner, m_autoTidySettings, this)),
      m_autoTidy(new AutoTidy(m_cleaner, m_autoTidySettings, clock, this)),
      m_notifications(new platform::DesktopNotifications(notificationBus, this)) {
    // Asks the portal for light or dark now, so the hint already has the right palette.
    Appearance::instance();
    // The rules window, the hint and the dialogs carry Vantor's icon, not a generic one.
    widgets::ensureIconTheme();
    QGuiApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(VANTOR_APP_ID)));
    connect(m_hintTimer.get(), &platform::Timer::timeout, this, &VantorApp::showFirstRunHint);
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
    connect(m_cleaner, &Cleaner::cleaned, this, &VantorApp::announce);
    connect(m_notifications, &platform::DesktopNotifications::undoRequested, m_cleaner,
            [this](const QString& id) { m_cleaner->startUndo(id); });
    connect(m_notifications, &platform::DesktopNotifications::openRequested, this,
            &VantorApp::openHistory);
}

void VantorApp::announce(const CleanSummary& entry) {
    // The user's own cleans show in the panel already.
    if (!entry.automatic)
        return;
    const auto& record = m_cleaner->lastClean();
    platform::DesktopNotifications::Message message{tr("Put away %n files", nullptr, entry.moved),
                                                    record ? movedText(record->moves) : QString(),
                                                    tr("Show History"), tr("Undo"), entry.id};
    if (m_panel && m_panel->isVisible())
        m_held = std::move(message);
    else
        m_notifications->show(message);
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
        connect(m_panel, &PanelWindow::closed, this, [this] {
            if (m_held)
                m_notifications->show(*std::exchange(m_held, std::nullopt));
        });
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
        m_hintTimer->start(kHintDelayMs);
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
    m_tray = new TrayIcon(*m_cleaner, *m_autoTidy, *m_autoTidySettings, trayIconImage(), this);
    connect(m_tray, &TrayIcon::openRequested, this, &VantorApp::openPanel);
    connect(m_tray, &TrayIcon::editRulesRequested, this,
            [this] { m_services.showRules(*m_folders, QString()); });
    connect(m_tray, &TrayIcon::quitRequested, qApp, &QCoreApplication::quit);
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    panelWindow()->toggleAt(m_tray->geometry());
            });
    // The icon's count and dot need the scan and the watches before the panel first opens.
    if (!m_cleaner->isWatching() && !m_cleaner->isBusy())
        m_cleaner->rescan();
    m_tray->show();
    if (m_hintWaitsForTray)
        m_hintTimer->start(kHintDelayMs);
}

void VantorApp::openPanel() {
    if (!m_tray) {
        panelWindow()->showAsWindow();
        return;
    }
    // Opened from the application menu the pointer is wherever the menu was, so without
    // the icon's place the panel goes where trays usually are.
    QRect anchor = m_tray->geometry();
    if (anchor.isEmpty()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
        anchor = QRect(available.topRight(), QSize(1, 1));
    }
    panelWindow()->showAt(anchor);
}

void VantorApp::openHistory() {
    PanelWindow* window = panelWindow();
    // Before it opens, so the panel takes the page's size as it is placed.
    window->panel()->setShowingSettings(true);
    openPanel();
    QWidget* history = window->panel()->settingsView()->historyList();
    for (QWidget* up = history->parentWidget(); up; up = up->parentWidget()) {
        if (auto* page = qobject_cast<QScrollArea*>(up)) {
            page->ensureWidgetVisible(history);
            break;
        }
    }
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
        // It only informs: modal, it would keep the panel it points to from taking the focus.
        m_hint->setWindowModality(Qt::NonModal);
    }
    m_hint->show();
    m_hint->raise();
    m_hint->activateWindow();
}
