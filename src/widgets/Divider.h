#pragma once

#include <QWidget>

// A one-pixel separator line in a colour between the window and its text.
class Divider : public QWidget {
    Q_OBJECT

  public:
    explicit Divider(Qt::Orientation orientation, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {1, 1}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
};
