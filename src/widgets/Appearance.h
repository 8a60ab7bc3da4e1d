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

    // Dark when the portal says "prefer dark" (1); otherwise, including "prefer light" and
    // no answer at all, dark when the palette's window is darker than its text.
    static ColorScheme resolve(std::optional<uint> portalColorScheme, const QPalette& palette);

  signals:
    // The effective scheme changed; everything drawn with the accent must be redrawn.
    void changed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Appearance();
    void reresolve();

    platform::AppearancePortal* m_portal;
    ColorScheme m_scheme = ColorScheme::Light;
    std::optional<ColorScheme> m_override;
};
