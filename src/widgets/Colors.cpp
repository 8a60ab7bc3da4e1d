#include "widgets/Colors.h"

namespace widgets {

QColor quillon(ColorScheme scheme) {
    return scheme == ColorScheme::Dark ? QColor::fromRgbF(0.29f, 0.42f, 0.95f)
                                       : QColor::fromRgbF(0.18f, 0.34f, 0.88f);
}

QColor quillon() {
    return quillon(Appearance::instance().scheme());
}

QColor warningOrange() {
    return Appearance::instance().isDark() ? QColor(0xff, 0xa3, 0x48) : QColor(0xe6, 0x61, 0x00);
}

QColor successGreen() {
    return Appearance::instance().isDark() ? QColor(0x57, 0xe3, 0x89) : QColor(0x26, 0xa2, 0x69);
}

QColor destructiveRed() {
    return Appearance::instance().isDark() ? QColor(0xff, 0x7b, 0x63) : QColor(0xc0, 0x1c, 0x28);
}

} // namespace widgets
