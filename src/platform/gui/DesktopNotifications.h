#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

class QDBusPendingCallWatcher;
class QDBusServiceWatcher;

namespace platform {

// Desktop notifications through org.freedesktop.Notifications: one of Vantor's on screen at
// a time, each new one taking the place of the last while that is still up, gone after
// kExpireMs. Where the server offers actions, clicking it opens and an Undo action undoes.
// Every call is asynchronous; without a session bus or a notification server nothing is
// shown and nothing else happens.
class DesktopNotifications : public QObject {
    Q_OBJECT

  public:
    struct Message {
        QString summary;
        QString body;
        QString openLabel; // the click on the notification, where the server names it
        QString undoLabel;
        QString tag; // handed back by undoRequested()
    };

    explicit DesktopNotifications(QDBusConnection bus = QDBusConnection::sessionBus(),
                                  QObject* parent = nullptr);

    // Sent once the notification before it has its id; of several waiting, only the newest.
    void show(const Message& message);

    // Whether the last notification shown may still be on screen.
    bool isShowing() const { return m_shownId != 0; }

    static constexpr int kExpireMs = 10000;

  signals:
    void openRequested();
    void undoRequested(const QString& tag);

  private slots:
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

  private:
    void send(const Message& message);
    void notify(const Message& message, const QStringList& capabilities);
    void finishCall(QDBusPendingCallWatcher* call);
    void follow(bool on);

    QDBusConnection m_bus;
    QDBusServiceWatcher* m_serverWatcher = nullptr;
    uint m_shownId = 0;
    QString m_shownTag; // empty once its Undo was used, or when it has none
    bool m_sending = false;
    std::optional<Message> m_waiting;
    bool m_following = false;
};

} // namespace platform
