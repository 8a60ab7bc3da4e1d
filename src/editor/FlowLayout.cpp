#include "editor/FlowLayout.h"

#include <QWidget>

FlowLayout::FlowLayout(int spacing, QWidget* parent) : QLayout(parent), m_spacing(spacing) {
    setContentsMargins(0, 0, 0, 0);
}

FlowLayout::~FlowLayout() {
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void FlowLayout::addItem(QLayoutItem* item) {
    m_items.append(item);
    invalidate();
}

QLayoutItem* FlowLayout::itemAt(int index) const {
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

QLayoutItem* FlowLayout::takeAt(int index) {
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem* item = m_items.takeAt(index);
    invalidate();
    return item;
}

void FlowLayout::moveItem(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= m_items.size() || to >= m_items.size())
        return;
    m_items.move(from, to);
    invalidate();
}

void FlowLayout::setSpacing(int spacing) {
    m_spacing = spacing;
    invalidate();
}

QSize FlowLayout::idealSize(int index) const {
    // Hidden widgets take no room, as in Qt's own layouts.
    const QLayoutItem* item = m_items.at(index);
    return item->isEmpty() ? QSize() : item->sizeHint();
}

QList<FlowLayout::Row> FlowLayout::arrange(std::optional<int> width) const {
    QList<Row> rows;
    Row current;
    qint64 x = 0;
    int y = 0;
    int rowHeight = 0;
    const auto closeRow = [&] {
        current.y = y;
        current.width = int(x);
        current.height = rowHeight;
        rows.append(current);
    };
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i)->isEmpty())
            continue;
        const QSize size = idealSize(i);
        int gap = 0;
        if (!current.indices.isEmpty()) {
            // An item that ends exactly at the edge still fits; the first item of a row is
            // never tested, so it may overflow.
            if (width && *width < x + m_spacing + size.width()) {
                closeRow();
                y += rowHeight + m_spacing;
                current = Row();
                x = 0;
                rowHeight = 0;
            } else {
                gap = m_spacing;
            }
        }
        rowHeight = qMax(rowHeight, size.height());
        current.indices.append(i);
        x += size.width() + gap;
    }
    if (!current.indices.isEmpty())
        closeRow();
    return rows;
}

QSize FlowLayout::sizeThatFits(std::optional<int> proposedWidth) const {
    const QList<Row> rows = arrange(proposedWidth);
    const int height = rows.isEmpty() ? 0 : rows.last().y + rows.last().height;
    if (proposedWidth)
        return {*proposedWidth, height};
    int width = 0;
    for (const Row& row : rows)
        width = qMax(width, row.width);
    return {width, height};
}

int FlowLayout::heightForWidth(int width) const {
    const QMargins m = contentsMargins();
    return sizeThatFits(qMax(0, width - m.left() - m.right())).height() + m.top() + m.bottom();
}

QSize FlowLayout::sizeHint() const {
    const QMargins m = contentsMargins();
    return sizeThatFits(std::nullopt).grownBy(m);
}

QSize FlowLayout::minimumSize() const {
    // Any width will do (the rows wrap); height-for-width supplies the real height.
    int height = 0;
    for (int i = 0; i < m_items.size(); ++i)
        height = qMax(height, idealSize(i).height());
    const QMargins m = contentsMargins();
    return QSize(0, height).grownBy(m);
}

void FlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const QRect bounds = rect.marginsRemoved(contentsMargins());
    for (const Row& row : arrange(bounds.width())) {
        int x = bounds.x();
        for (int index : row.indices) {
            const QSize size = idealSize(index);
            m_items.at(index)->setGeometry(QRect(QPoint(x, bounds.y() + row.y), size));
            x += size.width() + m_spacing;
        }
    }
}
