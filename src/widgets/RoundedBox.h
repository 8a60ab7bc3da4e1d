#pragma once

#include <QWidget>

// A faint rounded fill that sets a group of controls apart from the page behind it.
class RoundedBox : public QWidget {
    Q_OBJECT

  public:
    explicit RoundedBox(qreal radius, QWidget* parent = nullptr);

    // The box's fill as it shows over the window: what a text inside it is read against.
    static QColor background(const QPalette& palette);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    qreal m_radius;
};
