#pragma once

#include <QIcon>
#include <QSystemTrayIcon>

class AutoTidy;
class AutoTidySettings;
class Cleaner;
class QAction;

// The tray icon: a menu that follows the cleaner (clean, undo, pausing automatic tidying,
// the rules, the panel, quit), a tooltip that says how many files wait to be put away, and
// while any do, a dot on the icon.
class TrayIcon : public QSystemTrayIcon {
    Q_OBJECT

  public:
    // `idle` shows while nothing waits.
    TrayIcon(Cleaner& cleaner, AutoTidy& autoTidy, AutoTidySettings& autoTidySettings,
             const QIcon& idle, QObject* parent = nullptr);
    ~TrayIcon() override;

    QAction* cleanAction() const { return m_clean; }
    QAction* undoAction() const { return m_undo; }
    QAction* pauseAction() const { return m_pause; }
    bool hasBadge() const { return m_badged; }

    static constexpr int kPauseMs = 60 * 60 * 1000;

  signals:
    void openRequested();
    void editRulesRequested();
    void quitRequested();

  private:
    void refresh();

    Cleaner& m_cleaner;
    AutoTidy& m_autoTidy;
    AutoTidySettings& m_autoTidySettings;
    QIcon m_idle;
    QIcon m_withBadge; // made when first needed
    bool m_badged = false;
    QAction* m_clean;
    QAction* m_undo;
    QAction* m_pause;
};
