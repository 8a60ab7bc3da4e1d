#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

namespace widgets {

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

// Finds every symbol's themed icon and draws it once, so the first window to show symbols
// need not wait for the icon theme.
void preloadSymbols();

// Makes sure themed icons can be found: uses Adwaita when no theme is set (bare sessions,
// offscreen), and as the fallback of any other theme. Called by the functions above.
void ensureIconTheme();

} // namespace widgets
