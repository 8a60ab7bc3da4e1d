#pragma once

#include <QStyledItemDelegate>

// Draws a sidebar row: the rule's symbol in quillon, its name and, smaller, how many file
// types it has; selected rows are filled with the highlight and drawn in its text colour.
class RuleListDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
