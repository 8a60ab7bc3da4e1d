#include "app/Accent.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>

namespace ui {

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearanceGroup = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");

// Read() wraps the value in one variant more than SettingChanged does; peel them all.
QVariant unwrap(QVariant value) {
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

} // namespace

QColor quillon(ColorScheme scheme) {
    return scheme == ColorScheme::Dark ? QColor::fromRgbF(0.29f, 0.42f, 0.95f)
                                       : QColor::fromRgbF(0.18f, 0.34f, 0.88f);
}

QColor quillon() {
    return quillon(Appearance::instance().scheme());
}

QColor warningOrange() {
    return Appearance::instance().isDark() ? QColor(0xff, 0xa3, 0x48) : QColor(0xe6, 0x61, 0x00);
}

QColor successGreen() {
    return Appearance::instance().isDark() ? QColor(0x57, 0xe3, 0x89) : QColor(0x26, 0xa2, 0x69);
}

QColor destructiveRed() {
    return Appearance::instance().isDark() ? QColor(0xff, 0x7b, 0x63) : QColor(0xc0, 0x1c, 0x28);
}

Appearance& Appearance::instance() {
    // Owned by the application object; a later application (tests) gets a fresh one.
    static QPointer<Appearance> appearance;
    if (!appearance)
        appearance = new Appearance;
    return *appearance;
}

Appearance::Appearance() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        setParent(app);
        app->installEventFilter(this);
    }
    m_scheme = resolve(std::nullopt, QGuiApplication::palette());

    // Without a session bus (a bare session, the tests) the palette alone decides.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    // A QDBusMessage slot: Qt 6.4 rejects a QDBusVariant parameter until something has
    // used QtDBus's own types, which at start-up nothing has.
    bus.connect(portalService, portalPath, settingsInterface, QStringLiteral("SettingChanged"),
                this, SLOT(onSettingChanged(QDBusMessage)));
    QDBusMessage read = QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface,
                                                       QStringLiteral("Read"));
    read << appearanceGroup << colorSchemeKey;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(read, 2000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                const QDBusPendingReply<QDBusVariant> reply = *call;
                if (!reply.isError())
                    applyPortalValue(reply.value().variant());
                call->deleteLater();
            });
}

ColorScheme Appearance::resolve(std::optional<uint> portalColorScheme, const QPalette& palette) {
    if (portalColorScheme == 1u)
        return ColorScheme::Dark;
    const int window = palette.color(QPalette::Active, QPalette::Window).lightness();
    const int text = palette.color(QPalette::Active, QPalette::WindowText).lightness();
    return window < text ? ColorScheme::Dark : ColorScheme::Light;
}

void Appearance::setOverride(std::optional<ColorScheme> scheme) {
    const ColorScheme before = this->scheme();
    m_override = scheme;
    if (this->scheme() != before)
        emit changed();
}

void Appearance::reresolve() {
    const ColorScheme before = scheme();
    m_scheme = resolve(m_portalScheme, QGuiApplication::palette());
    if (scheme() != before)
        emit changed();
}

void Appearance::applyPortalValue(const QVariant& value) {
    const QVariant inner = unwrap(value);
    bool ok = false;
    const uint scheme = inner.toUInt(&ok);
    m_portalScheme = ok ? std::optional<uint>(scheme) : std::nullopt;
    reresolve();
}

void Appearance::onSettingChanged(const QDBusMessage& message) {
    const QList<QVariant> args = message.arguments();
    if (args.size() == 3 && args.at(0).toString() == appearanceGroup &&
        args.at(1).toString() == colorSchemeKey)
        applyPortalValue(args.at(2));
}

bool Appearance::eventFilter(QObject* watched, QEvent* event) {
    // A palette change is announced to the application object and then again to every
    // widget; listening to the first is enough. A theme change goes to the windows only.
    if ((event->type() == QEvent::ApplicationPaletteChange &&
         watched == QCoreApplication::instance()) ||
        event->type() == QEvent::ThemeChange)
        reresolve();
    return QObject::eventFilter(watched, event);
}

} // namespace ui
