#pragma once

#include "widgets/Appearance.h"

#include <QColor>

namespace widgets {

// Vantor's own accent colour in a given scheme.
QColor quillon(ColorScheme scheme);
// The accent colour for the scheme the desktop is in right now. Read it when drawing, and
// redraw on Appearance::changed(), so it follows a light/dark switch without a restart.
QColor quillon();

// The accent as a fill under white text (the primary button, a selected row): deepened
// where needed until the text reads on it.
QColor accentFill();

// The contrast a text needs against what it is drawn on, and an icon or a shape.
constexpr double kTextContrast = 4.5;
constexpr double kIconContrast = 3.0;

// The WCAG contrast ratio of two opaque colours: 1 (none) to 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);
// `color`, darkened on a light background or lightened on a dark one, keeping its hue,
// just until it reaches `ratio` against `background`.
QColor readableOn(const QColor& color, const QColor& background, double ratio);
// `color` with its transparency resolved: the opaque colour it shows as over `background`.
QColor over(const QColor& color, const QColor& background);

// The state colours: orange for warnings and failures, green for "done" marks (the clean
// desktop, a clean without failures), red for destructive actions and errors. Each is the
// desktop's hue for the scheme, readable as text on the window it is drawn on.
QColor warningOrange();
QColor successGreen();
QColor destructiveRed();

} // namespace widgets
