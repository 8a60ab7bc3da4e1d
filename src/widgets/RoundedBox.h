#pragma once

#include <QWidget>

// A faint rounded fill that sets a group of controls apart from the page behind it.
class RoundedBox : public QWidget {
    Q_OBJECT

  public:
    explicit RoundedBox(qreal radius, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    qreal m_radius;
};
