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

    // The fill of the selected row, and the colour of a row's subtitle: small text, which
    // must read 4.5:1 on the selection as on the sidebar.
    static QColor selectionFill();
    static QColor subtitleColor(const QPalette& palette, bool selected);
};
