#include "widgets/SmallButton.h"

#include "widgets/TextStyles.h"

namespace {

constexpr int kPaddingX = 10;
constexpr int kPaddingY = 4;

} // namespace

SmallButton::SmallButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setFont(widgets::font(widgets::TextStyle::Subheadline));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize SmallButton::sizeHint() const {
    // The style would make every labelled button at least 80 px wide; a small control is only
    // as wide as its label needs.
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 2 * kPaddingX, metrics.height() + 2 * kPaddingY};
}
