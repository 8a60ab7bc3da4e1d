#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;
class QDBusServiceWatcher;

namespace platform {

// Desktop notifications through org.freedesktop.Notifications, each with an optional Undo
// action. Every call is asynchronous; without a session bus or a notification server nothing
// is shown and nothing else happens.
class DesktopNotifications : public QObject {
    Q_OBJECT

  public:
    explicit DesktopNotifications(QDBusConnection bus = QDBusConnection::sessionBus(),
                                  QObject* parent = nullptr);

    // Shows `summary` from Vantor. Where the server offers actions the notification gets one
    // labelled `undoLabel`; using it emits undoRequested(tag).
    void show(const QString& summary, const QString& undoLabel, const QString& tag);

    // How many shown notifications may still ask for Undo.
    int trackedCount() const { return int(m_tags.size()); }

    // The most notifications followed at once; older ones are forgotten first.
    static constexpr int kMaxTracked = 20;

  signals:
    void undoRequested(const QString& tag);

  private slots:
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

  private:
    void notify(const QString& summary, const QString& undoLabel, const QString& tag,
                bool withActions);
    void forget(uint id);
    void finishCall(QDBusPendingCallWatcher* call);
    void follow(bool on);

    QDBusConnection m_bus;
    QDBusServiceWatcher* m_serverWatcher = nullptr;
    QHash<uint, QString> m_tags;
    QList<uint> m_order; // ids in the order they were shown
    int m_callsInFlight = 0;
    bool m_following = false;
};

} // namespace platform
