#pragma once

#include "app/SystemServices.h"
#include "cleaner/CleanRecord.h"
#include "platform/Clock.h"
#include "platform/gui/DesktopNotifications.h"

#include <QDBusConnection>
#include <QIcon>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QSettings>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

struct CleanSummary;
class AutoTidy;
class AutoTidySettings;
class CommandRunner;
class Cleaner;
class PanelWindow;
class RuleStore;
class TidiedFolders;
class TrayIcon;
namespace platform {
class TrayAvailability;
} // namespace platform

// The running application: one rule store and one cleaner for the whole run, the tray icon
// once a tray exists, the panel, and the first-run hint.
class VantorApp : public QObject {
    Q_OBJECT

  public:
    // Folders are the user's own unless given (tests). The clock times the wait for a tray,
    // the first-run hint, the cleaner and automatic tidying; notifications go over
    // `notificationBus`.
    explicit VantorApp(QObject* parent = nullptr);
    VantorApp(const QString& configFolder, const QString& desktop, const QString& stateFolder,
              QObject* parent = nullptr, platform::Clock& clock = platform::Clock::system(),
              const QDBusConnection& notificationBus = QDBusConnection::sessionBus());
    ~VantorApp() override;

    TidiedFolders* folders() const { return m_folders; }
    Cleaner* cleaner() const { return m_cleaner; }
    AutoTidySettings* autoTidySettings() const { return m_autoTidySettings; }
    platform::DesktopNotifications* notifications() const { return m_notifications; }
    PanelWindow* panelWindow();
    AutoTidy* autoTidy() const { return m_autoTidy; }
    TrayIcon* trayIcon() const { return m_tray; }
    QMessageBox* hint() const { return m_hint; }

    // Watches for a tray and schedules the first-run hint. Started at login, Vantor gives
    // the session longer to bring up its tray and never opens its window by itself.
    void start(bool atLogin = false);
    // Another launch while running: the panel, at the tray icon or as a window.
    void reopen();
    // Shows the hint while a tray icon exists; without one it does nothing.
    void showMenuBarHint();
    // At the tray icon, or without its place known at the top right of the screen; with no
    // tray, as a window.
    void openPanel();
    // The panel on its list of the last cleans.
    void openHistory();
    // A request line from another launch (open, or a command); `reply` gets the answer line
    // when the work is done.
    void answer(const QByteArray& request, const std::function<void(const QByteArray&)>& reply);
    // A tray turned up (or was there at start): the icon is added, and a first-run hint
    // that waited for it follows.
    void createTrayIcon();

    // What went where, briefly: "report.pdf → Documents, 2 more → Images".
    static QString movedText(const QList<CleanRecord::Move>& moves);

    static constexpr int kHintDelayMs = 600;
    // After start-up is over, so the tray icon is never kept waiting.
    static constexpr int kPreloadDelayMs = 1000;
    // How long a session may take to bring up its tray before the panel opens as a window.
    static constexpr int kNoTrayGraceMs = 3000;
    // At login the tray host may start well after Vantor.
    static constexpr int kLoginTrayGraceMs = 60000;

  private:
    void showFirstRunHint();
    QIcon trayIconImage() const;
    // Files put away without a click are announced, unless the panel shows them already.
    void announce(const CleanSummary& entry);

    SystemServices m_services;
    QSettings m_settings;
    TidiedFolders* m_folders;
    Cleaner* m_cleaner;
    PanelWindow* m_panel = nullptr;
    platform::TrayAvailability* m_trayAvailability = nullptr;
    TrayIcon* m_tray = nullptr;
    QPointer<QMessageBox> m_hint;
    std::unique_ptr<platform::Timer> m_noTrayTimer;
    std::unique_ptr<platform::Timer> m_hintTimer;
    bool m_atLogin = false;
    AutoTidySettings* m_autoTidySettings;
    CommandRunner* m_commands;
    AutoTidy* m_autoTidy;
    platform::DesktopNotifications* m_notifications;
    // What was put away while the panel was open: shown when it closes.
    std::optional<platform::DesktopNotifications::Message> m_held;
    bool m_hintWaitsForTray = false;
};
