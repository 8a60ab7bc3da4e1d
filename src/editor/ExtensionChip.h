#pragma once

#include <QAbstractButton>
#include <QWidget>

#include <functional>

class QLabel;

// The chip's × button: a 14 x 14 target whose cross is secondary, or primary while the
// pointer is anywhere over the chip.
class ChipRemoveButton : public QAbstractButton {
    Q_OBJECT

  public:
    explicit ChipRemoveButton(QWidget* parent = nullptr);

    void setHighlighted(bool highlighted);
    bool isHighlighted() const { return m_highlighted; }
    // The cross's colour now.
    QColor crossColor() const;

    QSize sizeHint() const override { return {14, 14}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool m_highlighted = false;
};

// One file type of a rule, shown as ".png" with a button that removes it.
class ExtensionChip : public QWidget {
    Q_OBJECT

  public:
    ExtensionChip(const QString& ext, std::function<void()> remove, QWidget* parent = nullptr);

    const QString& ext() const { return m_ext; }
    bool isHovering() const { return m_hovering; }
    ChipRemoveButton* removeButton() const { return m_removeButton; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void setHovering(bool hovering);

    QString m_ext;
    std::function<void()> m_remove;
    bool m_hovering = false;
    QLabel* m_label;
    ChipRemoveButton* m_removeButton;
};
