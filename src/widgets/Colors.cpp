#include "widgets/Colors.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace widgets {

namespace {

// WCAG 2 relative luminance of an sRGB colour.
double luminance(const QColor& color) {
    const auto channel = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}

// What state colours are drawn on: the window, in the palette the windows really have.
QColor windowBackground() {
    return QGuiApplication::palette().color(QPalette::Active, QPalette::Window);
}

// The desktop's hue for a state, brought to a contrast that text needs (4.5:1) on the
// window, which is more than any icon needs (3:1).
QColor stateColor(const QColor& light, const QColor& dark) {
    return readableOn(Appearance::instance().isDark() ? dark : light, windowBackground(),
                      kTextContrast);
}

} // namespace

QColor quillon(ColorScheme scheme) {
    return scheme == ColorScheme::Dark ? QColor::fromRgbF(0.29f, 0.42f, 0.95f)
                                       : QColor::fromRgbF(0.18f, 0.34f, 0.88f);
}

QColor quillon() {
    return quillon(Appearance::instance().scheme());
}

QColor accentFill() {
    return readableOn(quillon(), Qt::white, kTextContrast);
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& color, const QColor& background, double ratio) {
    QColor result = color.toHsl();
    const bool darken = luminance(background) > 0.18;
    float hue = 0, saturation = 0, lightness = 0, alpha = 1;
    result.getHslF(&hue, &saturation, &lightness, &alpha);
    while (contrastRatio(result, background) < ratio && lightness > 0.0f && lightness < 1.0f) {
        lightness = std::clamp(lightness + (darken ? -0.01f : 0.01f), 0.0f, 1.0f);
        result.setHslF(hue, saturation, lightness, alpha);
    }
    return result.toRgb();
}

QColor over(const QColor& color, const QColor& background) {
    const float a = color.alphaF();
    const auto mix = [a](float fore, float back) { return fore * a + back * (1 - a); };
    return QColor::fromRgbF(mix(color.redF(), background.redF()),
                            mix(color.greenF(), background.greenF()),
                            mix(color.blueF(), background.blueF()));
}

QColor warningOrange() {
    return stateColor(QColor(0xe6, 0x61, 0x00), QColor(0xff, 0xa3, 0x48));
}

QColor successGreen() {
    return stateColor(QColor(0x26, 0xa2, 0x69), QColor(0x57, 0xe3, 0x89));
}

QColor destructiveRed() {
    return stateColor(QColor(0xc0, 0x1c, 0x28), QColor(0xff, 0x7b, 0x63));
}

} // namespace widgets
