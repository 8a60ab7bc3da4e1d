#pragma once

#include "app/Accent.h"

#include <QColor>
#include <QIcon>
#include <QString>
#include <QWidget>

#include <optional>

namespace ui {

// Rules and views name their icons by symbol name ("photo", "doc.text", ...). These map
// them onto the freedesktop icon theme; stored names never change.

// The icon names tried for a symbol, best first, without the "-symbolic" suffix. A name
// the table does not know (a hand-edited rules file) gets the folder's.
QStringList iconNamesForSymbol(const QString& symbol);

// The themed icon for a symbol, its "-symbolic" variant first. Symbolic icons are one
// colour: without a tint they are drawn in the application palette's text colour at the
// moment they are painted, so they follow light and dark; with one, in that colour.
QIcon symbolIcon(const QString& symbol);
QIcon symbolIcon(const QString& symbol, const QColor& tint);

// A device-pixel-exact tinted pixmap, for views that paint the symbol themselves.
QPixmap symbolPixmap(const QString& symbol, int size, const QColor& tint, qreal devicePixelRatio);

// Makes sure themed icons can be found: uses Adwaita when no theme is set (bare sessions,
// offscreen), and as the fallback of any other theme. Called by the functions above.
void ensureIconTheme();

// A symbol drawn centred in its own rectangle in a colour that follows the appearance.
class SymbolView : public QWidget {
    Q_OBJECT

  public:
    enum class Tint { Accent, Primary, Secondary, Custom };

    SymbolView(const QString& symbol, int pixelSize, Tint tint, QWidget* parent = nullptr);

    QString symbol() const { return m_symbol; }
    void setSymbol(const QString& symbol);
    void setTint(Tint tint);
    void setColor(const QColor& color); // switches to Tint::Custom
    // The colour it draws in now.
    QColor color() const;

    QSize sizeHint() const override { return {m_pixelSize, m_pixelSize}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString m_symbol;
    int m_pixelSize;
    Tint m_tint;
    QColor m_color;
};

} // namespace ui
