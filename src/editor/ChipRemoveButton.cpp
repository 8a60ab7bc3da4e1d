#include "editor/ChipRemoveButton.h"

#include "widgets/Colors.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QPainter>

namespace {

// The theme's close symbol fills about half its square: a 7 px cross, like a 9 pt bold one.
constexpr int kCrossSize = 14;

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
    return m_highlighted ? palette().color(QPalette::WindowText)
                         : widgets::secondaryColor(palette());
}

void ChipRemoveButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (hasFocus()) {
        // Reached with Tab: a ring in the accent, the same shape as the chip's.
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(widgets::quillon(), 1));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    }
    const QRect box((width() - kCrossSize) / 2, (height() - kCrossSize) / 2, kCrossSize,
                    kCrossSize);
    widgets::symbolIcon(QStringLiteral("xmark"), crossColor()).paint(&painter, box);
}
