#include "widgets/Appearance.h"

#include "platform/gui/AppearancePortal.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>

Appearance& Appearance::instance() {
    // Owned by the application object; a later application (tests) gets a fresh one.
    static QPointer<Appearance> appearance;
    if (!appearance)
        appearance = new Appearance;
    return *appearance;
}

Appearance::Appearance() : m_portal(new platform::AppearancePortal(this)) {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        setParent(app);
        app->installEventFilter(this);
    }
    m_scheme = resolve(std::nullopt, QGuiApplication::palette());
    connect(m_portal, &platform::AppearancePortal::colorSchemeChanged, this,
            &Appearance::reresolve);
}

Appearance::ColorScheme Appearance::resolve(std::optional<uint> portalColorScheme,
                                            const QPalette& palette) {
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
    m_scheme = resolve(m_portal->colorScheme(), QGuiApplication::palette());
    if (scheme() != before)
        emit changed();
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
