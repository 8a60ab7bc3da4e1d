#include "widgets/TextStyles.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>

namespace widgets {

namespace {

qreal scale(TextStyle style) {
    switch (style) {
    case TextStyle::Title3:
        return 1.25;
    case TextStyle::Subheadline:
    case TextStyle::Callout:
        return 0.93;
    case TextStyle::Caption:
        return 0.85;
    case TextStyle::Body:
    case TextStyle::Headline:
        break;
    }
    return 1.0;
}

QFont::Weight defaultWeight(TextStyle style) {
    switch (style) {
    case TextStyle::Headline:
        return QFont::Bold;
    case TextStyle::Title3:
        return QFont::DemiBold;
    default:
        return QFont::Normal;
    }
}

void scaleFont(QFont& font, qreal factor) {
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else
        font.setPixelSize(qMax(1, qRound(font.pixelSize() * factor)));
}

} // namespace

QFont font(TextStyle style) {
    return font(style, defaultWeight(style));
}

QFont font(TextStyle style, QFont::Weight weight) {
    QFont f = QApplication::font();
    scaleFont(f, scale(style));
    f.setWeight(weight);
    return f;
}

QFont monospacedFont(TextStyle style) {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QFont base = QApplication::font();
    // The fixed font carries its own size; match the application font's instead.
    if (base.pointSizeF() > 0)
        f.setPointSizeF(base.pointSizeF());
    else
        f.setPixelSize(base.pixelSize());
    scaleFont(f, scale(style));
    f.setWeight(defaultWeight(style));
    return f;
}

QColor secondaryColor(const QPalette& palette) {
    return palette.color(QPalette::PlaceholderText);
}

QColor quaternaryFill(const QPalette& palette) {
    QColor c = palette.color(QPalette::WindowText);
    c.setAlphaF(0.1f);
    return c;
}

void setEmphasis(QWidget* widget, Emphasis emphasis) {
    widget->setForegroundRole(emphasis == Emphasis::Secondary ? QPalette::PlaceholderText
                                                              : QPalette::WindowText);
}

QLabel* makeLabel(const QString& text, TextStyle style, Emphasis emphasis, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font(style));
    setEmphasis(label, emphasis);
    return label;
}

QLabel* makeWrappingLabel(const QString& text, TextStyle style, Emphasis emphasis,
                          QWidget* parent) {
    QLabel* label = makeLabel(text, style, emphasis, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace widgets
