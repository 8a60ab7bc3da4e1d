#pragma once

#include <QPushButton>
#include <QVariantAnimation>

// The main button of a page: as wide as its space, at least 32 px high, a white semibold
// label on quillon with 7 px rounded corners. Disabled, the label turns secondary on a faint
// grey fill; while pressed the whole button fades to 0.85 opacity.
class PrimaryButton : public QPushButton {
    Q_OBJECT

  public:
    explicit PrimaryButton(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The fill and label colours for the current state.
    QColor fillColor() const;
    QColor labelColor() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    // The whole rounded rectangle takes clicks, not only the label.
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

  private:
    void animateOpacity(qreal target);

    qreal m_opacity = 1.0;
    QVariantAnimation m_fade;
};
