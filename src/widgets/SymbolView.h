#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// A symbol drawn centred in its own rectangle in a colour that follows the appearance.
class SymbolView : public QWidget {
    Q_OBJECT

  public:
    enum class Tint { Accent, Primary, Secondary, Custom };

    SymbolView(const QString& symbol, int pixelSize, Tint tint, QWidget* parent = nullptr);

    QString symbol() const { return m_symbol; }
    void setSymbol(const QString& symbol);
    void setTint(Tint tint);
    void setColor(const QColor& color); // switches to Tint::Custom
    // The colour it draws in now.
    QColor color() const;

    QSize sizeHint() const override { return {m_pixelSize, m_pixelSize}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString m_symbol;
    int m_pixelSize;
    Tint m_tint;
    QColor m_color;
};
