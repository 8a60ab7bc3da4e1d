#include "platform/gui/DesktopNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QLoggingCategory>
#include <QVariantMap>

#include <utility>

Q_LOGGING_CATEGORY(lcNotifications, "vantor.notifications")

namespace platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kDefaultKey = QStringLiteral("default");
const QString kUndoKey = QStringLiteral("undo");
const QString kAppName = QStringLiteral("Vantor");
constexpr int kCallTimeoutMs = 5000;

} // namespace

DesktopNotifications::DesktopNotifications(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)) {
    if (!m_bus.isConnected())
        return;
    // Notification ids belong to the server that gave them: a new server may hand out the
    // same numbers to other programs' notifications.
    m_serverWatcher =
        new QDBusServiceWatcher(kService, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_serverWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        m_shownId = 0;
        m_shownTag.clear();
        follow(m_sending);
    });
}

void DesktopNotifications::show(const Message& message) {
    if (!m_bus.isConnected()) {
        qCDebug(lcNotifications) << "no session bus, not shown:" << message.summary;
        return;
    }
    // The one to replace is known only once the server answered about the last.
    if (m_sending)
        m_waiting = message;
    else
        send(message);
}

void DesktopNotifications::send(const Message& message) {
    // Listen before anything is sent, so no answer about the new notification is missed.
    m_sending = true;
    follow(true);
    // Asked each time: the server may have been replaced since the last notification.
    const QDBusMessage ask =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, "GetCapabilities");
    auto* call = new QDBusPendingCallWatcher(m_bus.asyncCall(ask, kCallTimeoutMs), this);
    connect(call, &QDBusPendingCallWatcher::finished, this,
            [this, message](QDBusPendingCallWatcher* answered) {
                const QDBusPendingReply<QStringList> capabilities = *answered;
                if (capabilities.isError()) {
                    qCDebug(lcNotifications)
                        << "no notification server, not shown:" << message.summary
                        << capabilities.error().message();
                    finishCall(answered);
                    return;
                }
                answered->deleteLater();
                notify(message, capabilities.value());
            });
}

void DesktopNotifications::notify(const Message& message, const QStringList& capabilities) {
    const bool withActions = capabilities.contains(QStringLiteral("actions"));
    // A file name is no markup: "&" or "<" in one would garble or blank the text.
    const QString body = capabilities.contains(QStringLiteral("body-markup"))
                             ? message.body.toHtmlEscaped()
                             : message.body;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    const QStringList actions =
        withActions ? QStringList{kDefaultKey, message.openLabel, kUndoKey, message.undoLabel}
                    : QStringList{};
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral(VANTOR_APP_ID)}};
    call << kAppName << m_shownId << QStringLiteral(VANTOR_APP_ID) << message.summary << body
         << actions << hints << kExpireMs;
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kCallTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, tag = withActions ? message.tag : QString()](QDBusPendingCallWatcher* answered) {
                const QDBusPendingReply<uint> id = *answered;
                if (id.isError()) {
                    qCDebug(lcNotifications) << "not shown:" << id.error().message();
                } else {
                    m_shownId = id.value();
                    m_shownTag = tag;
                }
                finishCall(answered);
            });
}

void DesktopNotifications::finishCall(QDBusPendingCallWatcher* call) {
    call->deleteLater();
    m_sending = false;
    if (m_waiting)
        send(*std::exchange(m_waiting, std::nullopt));
    else
        follow(m_shownId != 0);
}

void DesktopNotifications::onActionInvoked(uint id, const QString& actionKey) {
    if (id == 0 || id != m_shownId)
        return;
    if (actionKey == kDefaultKey) {
        emit openRequested();
    } else if (actionKey == kUndoKey && !m_shownTag.isEmpty()) {
        // One Undo per notification, even if the server keeps it on screen.
        emit undoRequested(std::exchange(m_shownTag, QString()));
    }
}

void DesktopNotifications::onNotificationClosed(uint id, uint) {
    if (id == 0 || id != m_shownId)
        return;
    m_shownId = 0;
    m_shownTag.clear();
    follow(m_sending);
}

// The server's signals go to every listener on the bus; Vantor listens only while one of its
// own notifications is out, so other programs' notifications never wake it.
void DesktopNotifications::follow(bool on) {
    if (on == m_following)
        return;
    m_following = on;
    // No service name: matching by name would make Qt ask the bus for its owner, blocking.
    const std::pair<const char*, const char*> signalsFollowed[] = {
        {"ActionInvoked", SLOT(onActionInvoked(uint, QString))},
        {"NotificationClosed", SLOT(onNotificationClosed(uint, uint))}};
    for (const auto& [name, slot] : signalsFollowed) {
        if (on)
            m_bus.connect(QString(), kPath, kInterface, QString::fromLatin1(name), this, slot);
        else
            m_bus.disconnect(QString(), kPath, kInterface, QString::fromLatin1(name), this, slot);
    }
}

} // namespace platform
