#include "widgets/Appearance.h"

#include "platform/gui/AppearancePortal.h"
#include "widgets/Colors.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>

namespace {

// The palette with its second-level text reading well on the window and on the base, where
// captions and subtitles are drawn. Themes often give it as the text at half strength,
// which reads about 3.8:1 on a light grey window. Aimed above 4.5:1: small antialiased
// glyphs never quite reach their colour, and the panel's rounded boxes are a shade darker
// than the window (measured on screen: 4.37:1 and 3.86:1 when aimed at exactly 4.5:1).
QPalette withReadableSecondaryText(QPalette palette) {
    constexpr double kRatio = 5.5;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const QColor window = palette.color(group, QPalette::Window);
        const QColor base = palette.color(group, QPalette::Base);
        const QColor given = palette.color(group, QPalette::PlaceholderText);
        if (widgets::contrastRatio(widgets::over(given, window), window) >= kRatio &&
            widgets::contrastRatio(widgets::over(given, base), base) >= kRatio)
            continue;
        // Away from one background is further from the other too when both lie on the
        // same side of the text, so a pass for each reaches both.
        const QColor onWindow = widgets::readableOn(widgets::over(given, window), window, kRatio);
        palette.setColor(group, QPalette::PlaceholderText,
                         widgets::readableOn(onWindow, base, kRatio));
    }
    return palette;
}

} // namespace

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
    m_applying = true;
    makeSecondaryTextReadable();
    m_applying = false;
    connect(m_portal, &platform::AppearancePortal::colorSchemeChanged, this,
            &Appearance::reresolve);
}

Appearance::ColorScheme Appearance::resolve(std::optional<uint> portalColorScheme,
                                            const QPalette& palette) {
    if (portalColorScheme == 1u)
        return ColorScheme::Dark;
    if (portalColorScheme == 2u)
        return ColorScheme::Light;
    return schemeOf(palette);
}

Appearance::ColorScheme Appearance::schemeOf(const QPalette& palette) {
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

QPalette Appearance::ownPalette(ColorScheme scheme) {
    const bool dark = scheme == ColorScheme::Dark;
    const auto c = [](QRgb rgb) { return QColor(rgb); };
    const QColor window = c(dark ? 0x2d2d2d : 0xf2f2f2);
    const QColor text = c(dark ? 0xeeeeee : 0x1d1d1d);
    QPalette p(text, c(dark ? 0x3a3a3a : 0xe6e6e6), c(dark ? 0x555555 : 0xffffff),
               c(dark ? 0x1c1c1c : 0xa0a0a0), c(dark ? 0x333333 : 0xb8b8b8), text, c(0xffffff),
               c(dark ? 0x1f1f1f : 0xffffff), window);
    p.setColor(QPalette::AlternateBase, c(dark ? 0x262626 : 0xf7f7f7));
    p.setColor(QPalette::ToolTipBase, c(dark ? 0x3a3a3a : 0xffffdc));
    p.setColor(QPalette::ToolTipText, text);
    // The second-level text: 5:1 or more on the window, on either side.
    p.setColor(QPalette::PlaceholderText, c(dark ? 0xa3a3a3 : 0x5e5e5e));
    p.setColor(QPalette::Shadow, c(dark ? 0x000000 : 0x767676));
    p.setColor(QPalette::Highlight, widgets::quillon(scheme));
    p.setColor(QPalette::HighlightedText, c(0xffffff));
    p.setColor(QPalette::Link, dark ? c(0x8fa8ff) : widgets::quillon(scheme));
    p.setColor(QPalette::LinkVisited, dark ? c(0xb59cff) : c(0x6a3fc4));
    const QColor disabled = c(dark ? 0x7f7f7f : 0x9a9a9a);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::PlaceholderText})
        p.setColor(QPalette::Disabled, role, disabled);
    return p;
}

void Appearance::reresolve() {
    const ColorScheme before = scheme();
    applyPalette();
    if (scheme() != before)
        emit changed();
}

void Appearance::applyPalette() {
    if (m_applying)
        return;
    // A palette that is not ours came in meanwhile (a theme change): it is the desktop's now.
    const QPalette current = QGuiApplication::palette();
    if (m_desktopPalette &&
        (current.color(QPalette::Window) != m_ownPalette.color(QPalette::Window) ||
         current.color(QPalette::WindowText) != m_ownPalette.color(QPalette::WindowText)))
        m_desktopPalette.reset();
    const QPalette desktop = m_desktopPalette.value_or(current);
    m_scheme = resolve(m_portal->colorScheme(), desktop);

    m_applying = true;
    if (m_scheme != schemeOf(desktop)) {
        if (!m_desktopPalette || schemeOf(m_ownPalette) != m_scheme) {
            m_desktopPalette = desktop;
            m_ownPalette = ownPalette(m_scheme);
            QApplication::setPalette(m_ownPalette);
        }
    } else if (m_desktopPalette) {
        m_desktopPalette.reset();
        QApplication::setPalette(desktop);
    }
    makeSecondaryTextReadable();
    m_applying = false;
}

void Appearance::makeSecondaryTextReadable() {
    const QPalette current = QGuiApplication::palette();
    const QPalette readable = withReadableSecondaryText(current);
    if (readable != current)
        QApplication::setPalette(readable);
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
