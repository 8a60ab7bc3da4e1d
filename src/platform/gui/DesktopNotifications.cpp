#include "platform/gui/DesktopNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QLoggingCategory>
#include <QVariantMap>

Q_LOGGING_CATEGORY(lcNotifications, "vantor.notifications")

namespace platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kUndoKey = QStringLiteral("undo");
const QString kAppName = QStringLiteral("Vantor");
constexpr int kCallTimeoutMs = 5000;
constexpr int kServerDefaultExpiry = -1;

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
        m_tags.clear();
        m_order.clear();
        follow(m_callsInFlight > 0);
    });
}

void DesktopNotifications::show(const QString& summary, const QString& undoLabel,
                                const QString& tag) {
    if (!m_bus.isConnected()) {
        qCDebug(lcNotifications) << "no session bus, not shown:" << summary;
        return;
    }
    // Listen before anything is sent, so no answer about the new notification is missed.
    ++m_callsInFlight;
    follow(true);
    // Asked each time: the server may have been replaced since the last notification.
    const QDBusMessage ask =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, "GetCapabilities");
    auto* call = new QDBusPendingCallWatcher(m_bus.asyncCall(ask, kCallTimeoutMs), this);
    connect(call, &QDBusPendingCallWatcher::finished, this,
            [this, summary, undoLabel, tag](QDBusPendingCallWatcher* answered) {
                const QDBusPendingReply<QStringList> capabilities = *answered;
                answered->deleteLater();
                if (capabilities.isError()) {
                    qCDebug(lcNotifications) << "no notification server, not shown:" << summary
                                             << capabilities.error().message();
                    --m_callsInFlight;
                    follow(!m_tags.isEmpty() || m_callsInFlight > 0);
                    return;
                }
                notify(summary, undoLabel, tag,
                       capabilities.value().contains(QStringLiteral("actions")));
            });
}

void DesktopNotifications::notify(const QString& summary, const QString& undoLabel,
                                  const QString& tag, bool withActions) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    const QStringList actions = withActions ? QStringList{kUndoKey, undoLabel} : QStringList{};
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral(VANTOR_APP_ID)}};
    call << kAppName << uint(0) << QStringLiteral(VANTOR_APP_ID) << summary << QString() << actions
         << hints << kServerDefaultExpiry;
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kCallTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, tag, withActions](QDBusPendingCallWatcher* answered) {
                const QDBusPendingReply<uint> id = *answered;
                if (id.isError())
                    qCDebug(lcNotifications) << "not shown:" << id.error().message();
                else if (withActions) {
                    // Only a notification with an Undo can ask for anything later.
                    forget(id.value());
                    m_tags.insert(id.value(), tag);
                    m_order.append(id.value());
                    while (m_order.size() > kMaxTracked)
                        m_tags.remove(m_order.takeFirst());
                }
                finishCall(answered);
            });
}

void DesktopNotifications::finishCall(QDBusPendingCallWatcher* call) {
    call->deleteLater();
    --m_callsInFlight;
    follow(!m_tags.isEmpty() || m_callsInFlight > 0);
}

void DesktopNotifications::onActionInvoked(uint id, const QString& actionKey) {
    if (actionKey != kUndoKey || !m_tags.contains(id))
        return;
    const QString tag = m_tags.value(id);
    // One Undo per notification, even if the server keeps it on screen.
    forget(id);
    follow(!m_tags.isEmpty() || m_callsInFlight > 0);
    emit undoRequested(tag);
}

void DesktopNotifications::onNotificationClosed(uint id, uint) {
    forget(id);
    follow(!m_tags.isEmpty() || m_callsInFlight > 0);
}

void DesktopNotifications::forget(uint id) {
    m_tags.remove(id);
    m_order.removeOne(id);
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
