#pragma once

#include <QColor>
#include <QDBusMessage>
#include <QObject>
#include <QPalette>

#include <optional>

namespace ui {

enum class ColorScheme { Light, Dark };

// Vantor's own accent colour in a given scheme.
QColor quillon(ColorScheme scheme);
// The accent colour for the scheme the desktop is in right now. Read it when drawing, and
// redraw on Appearance::changed(), so it follows a light/dark switch without a restart.
QColor quillon();

// The desktop palette's orange and red, for warnings and destructive actions, readable on
// a light or a dark window.
QColor warningOrange();
// The green of "done" marks (the clean desktop, a clean without failures).
QColor successGreen();
QColor destructiveRed();

// Follows the desktop's light/dark setting: the portal's org.freedesktop.appearance
// color-scheme when a session bus offers it, otherwise the application palette.
class Appearance : public QObject {
    Q_OBJECT

  public:
    static Appearance& instance();

    ColorScheme scheme() const { return m_override.value_or(m_scheme); }
    bool isDark() const { return scheme() == ColorScheme::Dark; }

    // Pins the scheme regardless of the desktop (screenshots, tests); nullopt follows again.
    void setOverride(std::optional<ColorScheme> scheme);

    // Dark when the portal says "prefer dark" (1); otherwise, including "prefer light" and
    // no answer at all, dark when the palette's window is darker than its text.
    static ColorScheme resolve(std::optional<uint> portalColorScheme, const QPalette& palette);

  signals:
    // The effective scheme changed; everything drawn with quillon() must be redrawn.
    void changed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Appearance();
    void reresolve();
    void applyPortalValue(const QVariant& value);

  private slots:
    void onSettingChanged(const QDBusMessage& message);

  private:
    std::optional<uint> m_portalScheme;
    ColorScheme m_scheme = ColorScheme::Light;
    std::optional<ColorScheme> m_override;
};

} // namespace ui
