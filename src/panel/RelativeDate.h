#pragma once

#include <QDateTime>
#include <QString>

namespace panel {

// `date` relative to `now` in English, the way a person says it: "now", "2 minutes ago",
// "yesterday", "last week", "in 3 hours". The largest calendar unit that differs is used,
// counted in whole units; an ICU failure gives an empty text.
QString relativeDateText(const QDateTime& date, const QDateTime& now);

} // namespace panel
