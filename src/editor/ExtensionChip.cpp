#include "editor/ExtensionChip.h"

#include "app/Accent.h"
#include "app/Symbols.h"
#include "app/TextStyles.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace {

// The theme's close symbol fills about half its square: a 7 px cross, like a 9 pt bold one.
constexpr int crossSize = 14;
constexpr qreal chipRadius = 5;

} // namespace

ChipRemoveButton::ChipRemoveButton(QWidget* parent) : QAbstractButton(parent) {
    setFixedSize(14, 14);
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::TabFocus);
}

void ChipRemoveButton::setHighlighted(bool highlighted) {
    m_highlighted = highlighted;
    update();
}

QColor ChipRemoveButton::crossColor() const {
    return m_highlighted ? palette().color(QPalette::WindowText) : ui::secondaryColor(palette());
}

void ChipRemoveButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (hasFocus()) {
        // Reached with Tab: a ring in the accent, the same shape as the chip's.
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(ui::quillon(), 1));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    }
    const QRect box((width() - crossSize) / 2, (height() - crossSize) / 2, crossSize, crossSize);
    ui::symbolIcon(QStringLiteral("xmark"), crossColor()).paint(&painter, box);
}

ExtensionChip::ExtensionChip(const QString& ext, std::function<void()> remove, QWidget* parent)
    : QWidget(parent), m_ext(ext), m_remove(std::move(remove)) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 3, 4, 3);
    row->setSpacing(4);

    m_label = new QLabel(u'.' + ext, this);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setFont(ui::monospacedFont(ui::TextStyle::Callout));
    row->addWidget(m_label);

    m_removeButton = new ChipRemoveButton(this);
    m_removeButton->setToolTip(QStringLiteral("Remove .") + ext);
    m_removeButton->setAccessibleName(QStringLiteral("Remove .") + ext);
    row->addWidget(m_removeButton);

    connect(m_removeButton, &QAbstractButton::clicked, this, [this] {
        if (m_remove)
            m_remove();
    });
    connect(&ui::Appearance::instance(), &ui::Appearance::changed, this,
            qOverload<>(&QWidget::update));
}

void ExtensionChip::setHovering(bool hovering) {
    m_hovering = hovering;
    m_removeButton->setHighlighted(hovering);
}

void ExtensionChip::enterEvent(QEnterEvent* event) {
    setHovering(true);
    QWidget::enterEvent(event);
}

void ExtensionChip::leaveEvent(QEvent* event) {
    setHovering(false);
    QWidget::leaveEvent(event);
}

void ExtensionChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor accent = ui::quillon();
    QColor fill = accent;
    fill.setAlphaF(0.1f);
    QColor border = accent;
    border.setAlphaF(0.25f);

    // The outline sits half a pixel inside, so the 1 px stroke stays within the chip.
    const QRectF outline = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(outline, chipRadius, chipRadius);
    painter.fillPath(shape, fill);
    painter.setPen(QPen(border, 1));
    painter.drawPath(shape);
}
