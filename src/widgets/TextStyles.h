#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QLabel;
class QWidget;

namespace widgets {

// The text styles the views are described in, derived from the application font so they
// follow the user's font choice and size.
enum class TextStyle {
    Body,        // the application font
    Headline,    // bold
    Title3,      // 1.25x, semibold
    Subheadline, // 0.93x
    Callout,     // 0.93x
    Caption,     // 0.85x
};

QFont font(TextStyle style);
QFont font(TextStyle style, QFont::Weight weight);
// The same size in the system's fixed-width family.
QFont monospacedFont(TextStyle style);

// The second-level text colour: the palette's placeholder-text colour.
QColor secondaryColor(const QPalette& palette);
// A faint fill for boxes and disabled buttons, the same in spirit on light and dark.
QColor quaternaryFill(const QPalette& palette);

// A label in a text style. Secondary labels draw with the palette's placeholder-text role,
// so they keep following palette changes without being touched again.
enum class Emphasis { Primary, Secondary };
QLabel* makeLabel(const QString& text, TextStyle style, Emphasis emphasis = Emphasis::Primary,
                  QWidget* parent = nullptr);
// The same, wrapping its words onto more lines when it is narrow.
QLabel* makeWrappingLabel(const QString& text, TextStyle style,
                          Emphasis emphasis = Emphasis::Primary, QWidget* parent = nullptr);
void setEmphasis(QWidget* widget, Emphasis emphasis);

} // namespace widgets
