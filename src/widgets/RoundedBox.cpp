#include "widgets/RoundedBox.h"

#include "widgets/TextStyles.h"

#include <QPainter>
#include <QPainterPath>

RoundedBox::RoundedBox(qreal radius, QWidget* parent) : QWidget(parent), m_radius(radius) {}

void RoundedBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = widgets::quaternaryFill(palette());
    fill.setAlphaF(fill.alphaF() * 0.5f);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), m_radius, m_radius);
    painter.fillPath(shape, fill);
}
