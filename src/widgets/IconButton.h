#pragma once

#include <QToolButton>

// A borderless button that shows only a symbol: read out by its tooltip's words, and with
// a ring in the accent colour while it has the keyboard focus, which the style's own
// borderless buttons barely show.
class IconButton : public QToolButton {
    Q_OBJECT

  public:
    explicit IconButton(QWidget* parent = nullptr);

    // The symbol and the words for it, as the tooltip and the accessible name.
    void setSymbol(const QString& symbol, const QString& words);

  protected:
    void paintEvent(QPaintEvent* event) override;
};
