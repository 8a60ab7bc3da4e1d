#pragma once

#include <QPushButton>

// A push button in the small control size: a smaller label and tighter padding than the
// style's standard button, for secondary actions that sit beside text (Undo, Show).
class SmallButton : public QPushButton {
    Q_OBJECT

  public:
    explicit SmallButton(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
};
