#include "panel/ToggleSwitch.h"

#include "app/Accent.h"
#include "app/TextStyles.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

namespace {

constexpr qreal trackWidth = 30;
constexpr qreal trackHeight = 17;
constexpr qreal knobInset = 2;
constexpr int labelGap = 12;
constexpr int slideMilliseconds = 120;

} // namespace

ToggleSwitch::ToggleSwitch(const QString& text, QWidget* parent) : QAbstractButton(parent) {
    setText(text);
    setCheckable(true);
    setFont(ui::font(ui::TextStyle::Callout));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);

    m_slide.setDuration(slideMilliseconds);
    m_slide.setEasingCurve(QEasingCurve::OutCubic);
    connect(&m_slide, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_position = value.toReal();
        update();
    });
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        m_slide.stop();
        // Only a switch on screen slides; one set while hidden is simply in place.
        if (!isVisible()) {
            m_position = on ? 1.0 : 0.0;
            update();
            return;
        }
        m_slide.setStartValue(m_position);
        m_slide.setEndValue(on ? 1.0 : 0.0);
        m_slide.start();
    });
    connect(&ui::Appearance::instance(), &ui::Appearance::changed, this,
            qOverload<>(&QWidget::update));
}

QSize ToggleSwitch::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + labelGap + int(trackWidth) + 4,
            qMax(metrics.height(), int(trackHeight)) + 4};
}

QSize ToggleSwitch::minimumSizeHint() const {
    return {int(trackWidth) + 4, sizeHint().height()};
}

QRectF ToggleSwitch::trackRect() const {
    return {width() - trackWidth - 2, (height() - trackHeight) / 2, trackWidth, trackHeight};
}

void ToggleSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.5);

    const QRectF track = trackRect();
    const QRect textRect(0, 0, int(track.left()) - labelGap, height());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     painter.fontMetrics().elidedText(text(), Qt::ElideRight, textRect.width()));

    // Off: a grey track that shows on light and dark windows; on: the accent, blended in as
    // the knob slides.
    QColor off = palette().color(QPalette::WindowText);
    off.setAlphaF(underMouse() ? 0.3f : 0.22f);
    const QColor on = ui::quillon();
    const auto mix = [&](qreal t) {
        const QColor a = off.toRgb(), b = on.toRgb();
        return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                                float(a.greenF() + (b.greenF() - a.greenF()) * t),
                                float(a.blueF() + (b.blueF() - a.blueF()) * t),
                                float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
    };
    QPainterPath shape;
    shape.addRoundedRect(track, track.height() / 2, track.height() / 2);
    painter.fillPath(shape, mix(m_position));

    QStyleOption option;
    option.initFrom(this);
    if (hasFocus() && (option.state & QStyle::State_KeyboardFocusChange)) {
        painter.setPen(QPen(ui::quillon(), 1.5));
        painter.setBrush(Qt::NoBrush);
        const QRectF ring = track.adjusted(-2, -2, 2, 2);
        painter.drawRoundedRect(ring, ring.height() / 2, ring.height() / 2);
    }

    const qreal knob = track.height() - 2 * knobInset;
    const qreal travel = track.width() - 2 * knobInset - knob;
    const QRectF knobRect(track.left() + knobInset + travel * m_position, track.top() + knobInset,
                          knob, knob);
    painter.setPen(QPen(QColor(0, 0, 0, 40), 0.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(knobRect);
}
