#include "widgets/ElidedLabel.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QMenu>
#include <QtMath>

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ElidedLabel::setFullText(const QString& text) {
    if (text == m_fullText && !this->text().isEmpty())
        return;
    m_fullText = text;
    updateGeometry();
    updateShownText();
}

void ElidedLabel::setElideMode(Qt::TextElideMode mode) {
    m_mode = mode;
    updateShownText();
}

int ElidedLabel::lineHeight() const {
    // The font's height is not always enough: in some fonts and sizes the underscore and
    // the descenders reach a pixel below the descent, and a label only that tall cuts them
    // off ("IMG_0002" would read "IMG 0002"). Measure the ink they really need, once per font:
    // the panel makes its rows afresh on every scan.
    static QHash<QString, int> heights;
    const QString key = font().key();
    if (const auto known = heights.constFind(key); known != heights.constEnd())
        return *known;
    const QFontMetricsF metrics(font());
    const qreal below =
        qMax(metrics.descent(), metrics.tightBoundingRect(QStringLiteral("_gjpqy|")).bottom());
    const qreal above =
        qMax(metrics.ascent(), -metrics.tightBoundingRect(QStringLiteral("\u00c5bdfhkl|")).top());
    // The text is centred, so what is added goes half above and half below; one pixel more
    // keeps the anti-aliased edge.
    const int height = qCeil(above + below) + 2;
    heights.insert(key, height);
    return height;
}

QSize ElidedLabel::sizeHint() const {
    const QMargins m = contentsMargins();
    return QSize(fontMetrics().horizontalAdvance(m_fullText) + 2 * margin() + 1,
                 lineHeight() + 2 * margin())
        .grownBy(m);
}

QSize ElidedLabel::minimumSizeHint() const {
    const QMargins m = contentsMargins();
    const int shortest = fontMetrics().horizontalAdvance(QStringLiteral("M…M"));
    return QSize(qMin(shortest, sizeHint().width()), lineHeight() + 2 * margin()).grownBy(m);
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    updateShownText();
}

void ElidedLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateShownText();
}

void ElidedLabel::updateShownText() {
    const int available = contentsRect().width() - 2 * margin();
    const QString shown = fontMetrics().elidedText(m_fullText, m_mode, available);
    setToolTip(shown == m_fullText ? QString() : m_fullText);
    if (shown != text())
        setText(shown);
}

// Copying takes the whole text: the shortened one on screen is no path anyone can use.
void ElidedLabel::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy) && text() != m_fullText) {
        QGuiApplication::clipboard()->setText(m_fullText);
        return;
    }
    QLabel::keyPressEvent(event);
}

void ElidedLabel::contextMenuEvent(QContextMenuEvent* event) {
    if (text() == m_fullText || !(textInteractionFlags() & Qt::TextSelectableByMouse)) {
        QLabel::contextMenuEvent(event);
        return;
    }
    QMenu menu;
    menu.addAction(tr("Copy"), [this] { QGuiApplication::clipboard()->setText(m_fullText); });
    menu.exec(event->globalPos());
}
