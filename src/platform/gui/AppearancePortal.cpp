#include "platform/gui/AppearancePortal.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace platform {

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kSettingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kAppearanceGroup = QStringLiteral("org.freedesktop.appearance");
const QString kColorSchemeKey = QStringLiteral("color-scheme");
constexpr int kReadTimeoutMs = 2000;

// Read() wraps the value in one variant more than SettingChanged does; peel them all.
QVariant unwrap(QVariant value) {
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

} // namespace

AppearancePortal::AppearancePortal(QObject* parent) : QObject(parent) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    // A QDBusMessage slot: Qt 6.4 rejects a QDBusVariant parameter until something has
    // used QtDBus's own types, which at start-up nothing has.
    bus.connect(kPortalService, kPortalPath, kSettingsInterface, QStringLiteral("SettingChanged"),
                this, SLOT(onSettingChanged(QDBusMessage)));
    QDBusMessage read = QDBusMessage::createMethodCall(kPortalService, kPortalPath,
                                                       kSettingsInterface, QStringLiteral("Read"));
    read << kAppearanceGroup << kColorSchemeKey;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(read, kReadTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                const QDBusPendingReply<QDBusVariant> reply = *call;
                if (!reply.isError())
                    apply(reply.value().variant());
                call->deleteLater();
            });
}

void AppearancePortal::apply(const QVariant& value) {
    bool ok = false;
    const uint scheme = unwrap(value).toUInt(&ok);
    m_colorScheme = ok ? std::optional<uint>(scheme) : std::nullopt;
    emit colorSchemeChanged();
}

void AppearancePortal::onSettingChanged(const QDBusMessage& message) {
    const QList<QVariant> args = message.arguments();
    if (args.size() == 3 && args.at(0).toString() == kAppearanceGroup &&
        args.at(1).toString() == kColorSchemeKey)
        apply(args.at(2));
}

} // namespace platform
