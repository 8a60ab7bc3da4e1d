#include "widgets/ToggleSwitch.h"

#include "widgets/Colors.h"
#include "widgets/TextStyles.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

namespace {

constexpr qreal kTrackWidth = 30;
constexpr qreal kTrackHeight = 17;
constexpr qreal kKnobInset = 2;
constexpr int kLabelGap = 12;
constexpr int kSlideMilliseconds = 120;

} // namespace

ToggleSwitch::ToggleSwitch(const QString& text, QWidget* parent) : QAbstractButton(parent) {
    setText(text);
    setCheckable(true);
    setFont(widgets::font(widgets::TextStyle::Callout));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);

    m_slide.setDuration(kSlideMilliseconds);
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
    connect(&Appearance::instance(), &Appearance::changed, this, qOverload<>(&QWidget::update));
}

QSize ToggleSwitch::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + kLabelGap + int(kTrackWidth) + 4,
            qMax(metrics.height(), int(kTrackHeight)) + 4};
}

QSize ToggleSwitch::minimumSizeHint() const {
    return {int(kTrackWidth) + 4, sizeHint().height()};
}

QRectF ToggleSwitch::trackRect() const {
    return {width() - kTrackWidth - 2, (height() - kTrackHeight) / 2, kTrackWidth, kTrackHeight};
}

void ToggleSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.5);

    const QRectF track = trackRect();
    const QRect textRect(0, 0, int(track.left()) - kLabelGap, height());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     painter.fontMetrics().elidedText(text(), Qt::ElideRight, textRect.width()));

    // Off: a grey track that shows on light and dark windows; on: the accent, blended in as
    // the knob slides.
    QColor off = palette().color(QPalette::WindowText);
    off.setAlphaF(underMouse() ? 0.3f : 0.22f);
    const QColor on = widgets::quillon();
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
        painter.setPen(QPen(widgets::quillon(), 1.5));
        painter.setBrush(Qt::NoBrush);
        const QRectF ring = track.adjusted(-2, -2, 2, 2);
        painter.drawRoundedRect(ring, ring.height() / 2, ring.height() / 2);
    }

    const qreal knob = track.height() - 2 * kKnobInset;
    const qreal travel = track.width() - 2 * kKnobInset - knob;
    const QRectF knobRect(track.left() + kKnobInset + travel * m_position, track.top() + kKnobInset,
                          knob, knob);
    painter.setPen(QPen(QColor(0, 0, 0, 40), 0.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(knobRect);
}
