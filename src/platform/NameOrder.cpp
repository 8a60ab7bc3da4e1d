#include "NameOrder.h"

#include <QLocale>

namespace platform {

namespace {

// Qt's collator compares plain code points in the C/POSIX locale, ignoring numeric mode (and
// its sort keys then disagree with compare), so such a session gets the root collation.
QLocale collationLocale() {
    const QLocale locale;
    if (locale.language() == QLocale::C)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

} // namespace

NameOrder::NameOrder() = default;

const QCollator& NameOrder::collator() const {
    if (!m_collator) {
        m_collator.emplace(collationLocale());
        m_collator->setNumericMode(true);
        m_collator->setCaseSensitivity(Qt::CaseInsensitive);
    }
    return *m_collator;
}

} // namespace platform
