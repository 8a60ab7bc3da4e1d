#pragma once

#include "cleaner/Cleaner.h"

#include <QWidget>

class ElidedLabel;
class QLabel;
class QVBoxLayout;

// One rule with files to put away: its symbol, its name with the number of files, and the
// first file names. Hovering it tells where the files go.
class RuleGroupRow : public QWidget {
    Q_OBJECT

  public:
    explicit RuleGroupRow(Scan::Group group, QWidget* parent = nullptr);

    const Scan::Group& group() const { return m_group; }

    // "a.png", "a.png, b.png", or the first two names and " +N" for the rest.
    static QString previewText(const Scan::Group& group);

    // Empties `layout` of its rows, then fills it with a row for each group that has files,
    // with dividers between them.
    static void fillList(QVBoxLayout* layout, const QList<Scan::Group>& groups);
    // The rows in `layout`, in order.
    static QList<RuleGroupRow*> rowsIn(const QVBoxLayout* layout);

  private:
    Scan::Group m_group;
};
