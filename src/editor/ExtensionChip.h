#pragma once

#include <QWidget>

#include <functional>

class ChipRemoveButton;
class QLabel;

// One file type of a rule, shown as ".png" with a button that removes it.
class ExtensionChip : public QWidget {
    Q_OBJECT

  public:
    ExtensionChip(const QString& ext, std::function<void()> remove, QWidget* parent = nullptr);

    const QString& ext() const { return m_ext; }
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
