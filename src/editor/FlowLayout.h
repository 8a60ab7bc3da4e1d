#pragma once

#include <QLayout>
#include <QList>

#include <optional>

// Lays its items out left to right at their size hints, wrapping onto a new row whenever the
// next item would not fit, with `spacing` between neighbours and between rows. Items are
// top-aligned in their row and never stretched; an item wider than the row stands alone
// and overflows it.
class FlowLayout : public QLayout {
    Q_OBJECT

  public:
    explicit FlowLayout(int spacing, QWidget* parent = nullptr);
    ~FlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override { return int(m_items.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    // Moves an item to another position, keeping the item itself.
    void moveItem(int from, int to);

    int spacing() const override { return m_spacing; }
    void setSpacing(int spacing) override;

    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

    // The size it wants for a proposed content width; without one, all items share one
    // row. Margins are not included.
    QSize sizeThatFits(std::optional<int> proposedWidth) const;

  private:
    struct Row {
        QList<int> indices;
        int y = 0;
        int width = 0;
        int height = 0;
    };
    // Rows for an available width; nullopt stands for unlimited.
    QList<Row> arrange(std::optional<int> width) const;
    QSize idealSize(int index) const;

    QList<QLayoutItem*> m_items;
    int m_spacing;
};
