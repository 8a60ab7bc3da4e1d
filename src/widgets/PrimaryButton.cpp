#include "widgets/PrimaryButton.h"

#include "widgets/Colors.h"
#include "widgets/TextStyles.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

namespace {

constexpr int kButtonMinHeight = 32;
constexpr qreal kCornerRadius = 7;
constexpr qreal kPressedOpacity = 0.85;
constexpr int kFadeMilliseconds = 150;

} // namespace

PrimaryButton::PrimaryButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setFont(widgets::font(widgets::TextStyle::Body, QFont::DemiBold));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);

    m_fade.setDuration(kFadeMilliseconds);
    m_fade.setEasingCurve(QEasingCurve::OutCubic);
    connect(&m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_opacity = value.toReal();
        update();
    });
    connect(this, &QAbstractButton::pressed, this, [this] { animateOpacity(kPressedOpacity); });
    connect(this, &QAbstractButton::released, this, [this] { animateOpacity(1.0); });
    connect(&Appearance::instance(), &Appearance::changed, this, qOverload<>(&QWidget::update));
}

void PrimaryButton::animateOpacity(qreal target) {
    m_fade.stop();
    m_fade.setStartValue(m_opacity);
    m_fade.setEndValue(target);
    m_fade.start();
}

QSize PrimaryButton::sizeHint() const {
    const QFontMetrics metrics(font());
    // No padding of its own beyond room for the label to breathe when space is short.
    return {metrics.horizontalAdvance(text()) + 32, qMax(kButtonMinHeight, metrics.height())};
}

QSize PrimaryButton::minimumSizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 16, qMax(kButtonMinHeight, metrics.height())};
}

QColor PrimaryButton::fillColor() const {
    return isEnabled() ? widgets::accentFill() : widgets::quaternaryFill(palette());
}

QColor PrimaryButton::labelColor() const {
    return isEnabled() ? QColor(Qt::white) : widgets::secondaryColor(palette());
}

void PrimaryButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isEnabled() ? m_opacity : 1.0);

    const QRectF box = QRectF(rect());
    QPainterPath shape;
    shape.addRoundedRect(box, kCornerRadius, kCornerRadius);
    painter.fillPath(shape, fillColor());

    QStyleOptionButton option;
    option.initFrom(this);
    if (hasFocus() && (option.state & QStyle::State_KeyboardFocusChange)) {
        // Keyboard focus: a light ring just inside the edge, visible on the accent fill.
        QPen ring(isEnabled() ? QColor(255, 255, 255, 170) : widgets::quillon(), 1.5);
        painter.setPen(ring);
        painter.drawRoundedRect(box.adjusted(2.5, 2.5, -2.5, -2.5), kCornerRadius - 2,
                                kCornerRadius - 2);
    }

    painter.setPen(labelColor());
    painter.setFont(font());
    const QString label =
        painter.fontMetrics().elidedText(text(), Qt::ElideRight, qMax(0, width() - 8));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, label);
}
