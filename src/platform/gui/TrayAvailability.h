#pragma once

#include <QObject>
#include <QTimer>

class QDBusServiceWatcher;

namespace platform {

// Tells when a system tray exists, without asking Qt too early: Qt 6.4 decides once per
// process whether a StatusNotifierItem host exists, so the tray icon may only be created
// once the host is on the session bus (or an XEmbed tray owns its selection on X11).
class TrayAvailability : public QObject {
    Q_OBJECT

  public:
    explicit TrayAvailability(QObject* parent = nullptr);

    bool isAvailable() const { return m_available; }
    bool hasStatusNotifierHost() const;
    bool hasXEmbedTray() const;

  signals:
    // Emitted once, when a tray first becomes available.
    void available();

  private:
    void check();

    bool m_available = false;
    QDBusServiceWatcher* m_watcher = nullptr;
    QTimer m_poll;
};

} // namespace platform
