#pragma once

#include "cleaner/Cleaner.h"

#include <QWidget>

class ElidedLabel;
class QLabel;

// One rule with files to put away: its symbol, its name with the number of files, and the
// first file names. Hovering it tells where the files go.
class RuleGroupRow : public QWidget {
    Q_OBJECT

  public:
    explicit RuleGroupRow(Scan::Group group, QWidget* parent = nullptr);

    const Scan::Group& group() const { return m_group; }

    // "a.png", "a.png, b.png", or the first two names and " +N" for the rest.
    static QString previewText(const Scan::Group& group);

  private:
    Scan::Group m_group;
};
