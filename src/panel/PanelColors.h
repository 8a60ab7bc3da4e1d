#pragma once

#include <QColor>

namespace panel {

// The green of "done" marks (the clean desktop, a clean without failures), readable on a
// light or a dark window; it follows ui::Appearance like the accent colour.
QColor successGreen();

} // namespace panel
