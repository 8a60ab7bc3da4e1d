#include "editor/ExtensionChip.h"

#include "editor/ChipRemoveButton.h"
#include "widgets/Colors.h"
#include "widgets/TextStyles.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal kChipRadius = 5;

} // namespace

ExtensionChip::ExtensionChip(const QString& ext, std::function<void()> remove, QWidget* parent)
    : QWidget(parent), m_ext(ext), m_remove(std::move(remove)) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 3, 4, 3);
    row->setSpacing(4);

    m_label = new QLabel(u'.' + ext, this);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setFont(widgets::monospacedFont(widgets::TextStyle::Callout));
    row->addWidget(m_label);

    m_removeButton = new ChipRemoveButton(this);
    m_removeButton->setToolTip(tr("Remove .%1").arg(ext));
    m_removeButton->setAccessibleName(m_removeButton->toolTip());
    row->addWidget(m_removeButton);

    connect(m_removeButton, &QAbstractButton::clicked, this, [this] {
        if (m_remove)
            m_remove();
    });
    connect(&Appearance::instance(), &Appearance::changed, this, qOverload<>(&QWidget::update));
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
    const QColor accent = widgets::quillon();
    QColor fill = accent;
    fill.setAlphaF(0.1f);
    QColor border = accent;
    border.setAlphaF(0.25f);

    // The outline sits half a pixel inside, so the 1 px stroke stays within the chip.
    const QRectF outline = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(outline, kChipRadius, kChipRadius);
    painter.fillPath(shape, fill);
    painter.setPen(QPen(border, 1));
    painter.drawPath(shape);
}
