#include "panel/PanelColors.h"

#include "app/Accent.h"

namespace panel {

QColor successGreen() {
    return ui::Appearance::instance().isDark() ? QColor(0x57, 0xe3, 0x89)
                                               : QColor(0x26, 0xa2, 0x69);
}

} // namespace panel
