#pragma once

#include <QAbstractButton>
#include <QVariantAnimation>

// An on/off switch with its label: the text on the left, the switch at the right edge.
// A click anywhere on it, or Space while it has focus, flips it; the track is quillon
// while on.
class ToggleSwitch : public QAbstractButton {
    Q_OBJECT

  public:
    explicit ToggleSwitch(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

  private:
    QRectF trackRect() const;

    qreal m_position = 0;
    QVariantAnimation m_slide;
};
