#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace widgets {

// Said where a Show button was pressed when no file manager could show the folder.
QString noFileManagerMessage(const QString& folder);

// A caption line in the destructive red for a failure, wrapping, hidden until it has
// something to say; it follows a light/dark switch.
QLabel* makeErrorLabel(QWidget* parent = nullptr);
// Shows `text` in such a label, or hides it when the text is empty.
void showError(QLabel* label, const QString& text);

} // namespace widgets
