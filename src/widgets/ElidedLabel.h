#pragma once

#include <QLabel>

// A one-line label that shortens its text with "…" to fit (in the middle by default, so
// both ends of a path stay readable) and shows the whole text as its tooltip when it does.
class ElidedLabel : public QLabel {
    Q_OBJECT

  public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    const QString& fullText() const { return m_fullText; }
    void setElideMode(Qt::TextElideMode mode);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void updateShownText();
    int lineHeight() const;

    QString m_fullText;
    Qt::TextElideMode m_mode = Qt::ElideMiddle;
};
