#include "panel/CleanerHistorySource.h"

CleanerHistorySource::CleanerHistorySource(Cleaner& cleaner, QObject* parent)
    : HistorySource(parent), m_cleaner(cleaner) {
    connect(&m_cleaner, &Cleaner::historyChanged, this, &HistorySource::entriesChanged);
    connect(&m_cleaner, &Cleaner::busyChanged, this, &HistorySource::busyChanged);
}

QList<CleanSummary> CleanerHistorySource::entries() const {
    return m_cleaner.history();
}

bool CleanerHistorySource::isBusy() const {
    return m_cleaner.isBusy();
}

void CleanerHistorySource::putBack(const QString& id) {
    m_cleaner.startUndo(id);
}
