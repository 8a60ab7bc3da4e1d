#pragma once

#include <QObject>
#include <QPalette>

#include <optional>

namespace platform {
class AppearancePortal;
}

namespace widgets {
enum class ColorScheme { Light, Dark };
} // namespace widgets

// Follows the desktop's light/dark setting: the portal's color-scheme when a session bus
// offers it, otherwise the application palette.
class Appearance : public QObject {
    Q_OBJECT

  public:
    using ColorScheme = widgets::ColorScheme;

    static Appearance& instance();

    ColorScheme scheme() const { return m_override.value_or(m_scheme); }
    bool isDark() const { return scheme() == ColorScheme::Dark; }

    // Pins the scheme regardless of the desktop (screenshots, tests); nullopt follows again.
    void setOverride(std::optional<ColorScheme> scheme);

    // The portal's preference when it has one: dark for "prefer dark" (1), light for
    // "prefer light" (2). Without one (0, or no answer at all) the palette decides: dark
    // when its window is darker than its text.
    static ColorScheme resolve(std::optional<uint> portalColorScheme, const QPalette& palette);
    static ColorScheme schemeOf(const QPalette& palette);

    // Vantor's own palette for a scheme, put in place of the desktop's while the portal
    // asks for the other scheme than the palette has (GNOME's dark style with no Qt theme
    // leaves Qt light): every text and state colour then stands on the background it was
    // chosen for.
    static QPalette ownPalette(ColorScheme scheme);
    // True while the application runs with ownPalette() instead of the desktop's.
    bool usesOwnPalette() const { return m_desktopPalette.has_value(); }

  signals:
    // The effective scheme changed; everything drawn with the accent must be redrawn.
    void changed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Appearance();
    void reresolve();
    void applyPalette();
    // Captions and subtitles draw in the palette's placeholder-text colour: it must read
    // as small text does on the window and the base, whatever the theme gave.
    void makeSecondaryTextReadable();

    platform::AppearancePortal* m_portal;
    ColorScheme m_scheme = ColorScheme::Light;
    std::optional<ColorScheme> m_override;
    // The desktop's palette while ours replaces it.
    std::optional<QPalette> m_desktopPalette;
    QPalette m_ownPalette;
    bool m_applying = false;
};
