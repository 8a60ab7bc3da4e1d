#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace panel {

// `date` relative to `now` the way a person says it in the locale's language: "now",
// "2 minutes ago", "yesterday", "last week", "in 3 hours" in English. The largest calendar
// unit that differs is used, counted in whole units; an ICU failure gives an empty text.
// The C locale reads English.
QString relativeDateText(const QDateTime& date, const QDateTime& now,
                         const QLocale& locale = QLocale(QLocale::English));

} // namespace panel
