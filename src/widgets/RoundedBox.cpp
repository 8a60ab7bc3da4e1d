#include "widgets/RoundedBox.h"

#include "widgets/Colors.h"
#include "widgets/TextStyles.h"

#include <QPainter>
#include <QPainterPath>

RoundedBox::RoundedBox(qreal radius, QWidget* parent) : QWidget(parent), m_radius(radius) {}

namespace {
QColor fillOf(const QPalette& palette) {
    QColor fill = widgets::quaternaryFill(palette);
    fill.setAlphaF(fill.alphaF() * 0.5f);
    return fill;
}
} // namespace

QColor RoundedBox::background(const QPalette& palette) {
    return widgets::over(fillOf(palette), palette.color(QPalette::Window));
}

void RoundedBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor fill = fillOf(palette());
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), m_radius, m_radius);
    painter.fillPath(shape, fill);
}
