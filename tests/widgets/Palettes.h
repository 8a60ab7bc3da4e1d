#pragma once

#include <QColor>
#include <QPalette>

// A desktop's light and dark palettes, for the tests that switch between them.
inline QPalette lightPalette() {
    QPalette p(QColor(0xe0, 0xe0, 0xe0), QColor(0xef, 0xef, 0xef));
    p.setColor(QPalette::WindowText, Qt::black);
    return p;
}

inline QPalette darkPalette() {
    QPalette p(QColor(0x3a, 0x3a, 0x3a), QColor(0x2b, 0x2b, 0x2b));
    p.setColor(QPalette::WindowText, QColor(0xf2, 0xf2, 0xf2));
    return p;
}
