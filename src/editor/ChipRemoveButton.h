#pragma once

#include <QAbstractButton>

// The chip's × button: a 14 x 14 target whose cross is secondary, or primary while the
// pointer is anywhere over the chip.
class ChipRemoveButton : public QAbstractButton {
    Q_OBJECT

  public:
    explicit ChipRemoveButton(QWidget* parent = nullptr);

    void setHighlighted(bool highlighted);
    // The cross's colour now.
    QColor crossColor() const;

    QSize sizeHint() const override { return {14, 14}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool m_highlighted = false;
};
