#include "panel/CleanerHistory.h"

CleanerHistory::CleanerHistory(DesktopCleaner& cleaner, QObject* parent)
    : CleanHistory(parent), m_cleaner(cleaner) {
    connect(&m_cleaner, &DesktopCleaner::historyChanged, this, &CleanHistory::entriesChanged);
    connect(&m_cleaner, &DesktopCleaner::busyChanged, this, &CleanHistory::busyChanged);
}

QList<DesktopCleaner::HistoryEntry> CleanerHistory::entries() const {
    return m_cleaner.history();
}

bool CleanerHistory::isBusy() const {
    return m_cleaner.isBusy();
}

void CleanerHistory::putBack(const QString& id) {
    m_cleaner.startUndo(id);
}
