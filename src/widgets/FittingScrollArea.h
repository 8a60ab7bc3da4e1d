#pragma once

#include <QScrollArea>

// A borderless scroll area as tall as its content, until its window runs short of room:
// then the window lowers its height limit and the content scrolls, while everything around
// it stays in view.
class FittingScrollArea : public QScrollArea {
    Q_OBJECT

  public:
    explicit FittingScrollArea(QWidget* content, QWidget* parent = nullptr);

    // The height that shows the whole content without scrolling.
    int naturalHeight() const;
    // At most this tall from now on; a negative limit lets it grow to its natural height.
    void setHeightLimit(int limit);
    int heightLimit() const { return m_limit; }

    // Tab stops at `area` only while it has something to scroll: a list that shows whole
    // is no control of its own.
    static void takeFocusOnlyWhenScrolling(QAbstractScrollArea* area);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int m_limit = -1;
};
