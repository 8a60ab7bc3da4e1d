#include "panel/RelativeDate.h"

#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/reldatefmt.h>

#include <memory>

namespace panel {

namespace {

struct Unit {
    UCalendarDateFields field;
    URelativeDateTimeUnit unit;
};

// Largest first: the first one that differs names the distance.
constexpr Unit kUnits[] = {
    {UCAL_YEAR, UDAT_REL_UNIT_YEAR},         {UCAL_MONTH, UDAT_REL_UNIT_MONTH},
    {UCAL_WEEK_OF_YEAR, UDAT_REL_UNIT_WEEK}, {UCAL_DATE, UDAT_REL_UNIT_DAY},
    {UCAL_HOUR, UDAT_REL_UNIT_HOUR},         {UCAL_MINUTE, UDAT_REL_UNIT_MINUTE},
    {UCAL_SECOND, UDAT_REL_UNIT_SECOND},
};

} // namespace

QString relativeDateText(const QDateTime& date, const QDateTime& now, const QLocale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale language = locale.language() == QLocale::C
                                     ? icu::Locale::getEnglish()
                                     : icu::Locale(locale.name().toLatin1().constData());
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(language, status));
    if (U_FAILURE(status))
        return {};
    calendar->setTime(UDate(now.toMSecsSinceEpoch()), status);
    const UDate target = UDate(date.toMSecsSinceEpoch());

    // fieldDifference() moves the calendar on by the whole units it counted, so each smaller
    // unit sees only what is left: elapsed calendar time, as in "1 day 2 hours".
    double offset = 0;
    URelativeDateTimeUnit unit = UDAT_REL_UNIT_SECOND;
    for (const Unit& candidate : kUnits) {
        const int32_t difference = calendar->fieldDifference(target, candidate.field, status);
        if (U_FAILURE(status))
            return {};
        if (difference != 0) {
            offset = difference;
            unit = candidate.unit;
            break;
        }
    }

    // format() prefers the named forms ("yesterday", "last week", "now") and falls back to
    // the counted ones ("3 days ago") where the language has no name.
    const icu::RelativeDateTimeFormatter formatter(language, nullptr, UDAT_STYLE_LONG,
                                                   UDISPCTX_CAPITALIZATION_NONE, status);
    icu::UnicodeString text;
    formatter.format(offset, unit, text, status);
    if (U_FAILURE(status))
        return {};
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

} // namespace panel
