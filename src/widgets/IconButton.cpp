#include "widgets/IconButton.h"

#include "widgets/Colors.h"
#include "widgets/Symbols.h"

#include <QPainter>
#include <QStyleOptionToolButton>

IconButton::IconButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(true);
    setFocusPolicy(Qt::TabFocus);
}

void IconButton::setSymbol(const QString& symbol, const QString& words) {
    setIcon(widgets::symbolIcon(symbol));
    setToolTip(words);
    setAccessibleName(words);
}

void IconButton::paintEvent(QPaintEvent* event) {
    QToolButton::paintEvent(event);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    if (!hasFocus() || !(option.state & QStyle::State_KeyboardFocusChange))
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(widgets::quillon(), 1.5));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), 4, 4);
}
