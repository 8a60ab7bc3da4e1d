#include "panel/SmallButton.h"

#include "app/TextStyles.h"

namespace {

constexpr int paddingX = 10;
constexpr int paddingY = 4;

} // namespace

SmallButton::SmallButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setFont(ui::font(ui::TextStyle::Subheadline));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize SmallButton::sizeHint() const {
    // The style would make every labelled button at least 80 px wide; a small control is only
    // as wide as its label needs.
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 2 * paddingX, metrics.height() + 2 * paddingY};
}
