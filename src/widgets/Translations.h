#pragma once

#include <QLocale>

namespace widgets {

// Installs Vantor's texts in the language of `locale` when there is a translation for it
// (and Qt's own, for the standard buttons of dialogs). Without one, the English texts stay.
// Returns whether a translation was installed.
bool installTranslations(const QLocale& locale);

// The language the texts are shown in: the installed translation's, else English. Dates
// written in words follow it, so a sentence never mixes two languages.
QLocale interfaceLocale();

} // namespace widgets
