#include "panel/CleanerHistorySource.h"

CleanerHistorySource::CleanerHistorySource(DesktopCleaner& cleaner, QObject* parent)
    : HistorySource(parent), m_cleaner(cleaner) {
    connect(&m_cleaner, &DesktopCleaner::historyChanged, this, &HistorySource::entriesChanged);
    connect(&m_cleaner, &DesktopCleaner::busyChanged, this, &HistorySource::busyChanged);
}

QList<DesktopCleaner::HistoryEntry> CleanerHistorySource::entries() const {
    return m_cleaner.history();
}

bool CleanerHistorySource::isBusy() const {
    return m_cleaner.isBusy();
}

void CleanerHistorySource::putBack(const QString& id) {
    m_cleaner.startUndo(id);
}
