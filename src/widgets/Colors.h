#pragma once

#include "widgets/Appearance.h"

#include <QColor>

namespace widgets {

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

} // namespace widgets
