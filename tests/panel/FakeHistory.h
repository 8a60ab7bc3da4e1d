#pragma once

#include "panel/HistorySource.h"

// A history a test writes, which records what it was asked to put back.
class FakeHistory : public HistorySource {
  public:
    QList<CleanSummary> list;
    bool busy = false;
    QStringList putBackIds;

    QList<CleanSummary> entries() const override { return list; }
    bool isBusy() const override { return busy; }
    void putBack(const QString& id) override { putBackIds.append(id); }

    void setBusy(bool on) {
        busy = on;
        emit busyChanged(on);
    }
    void setList(QList<CleanSummary> entries) {
        list = std::move(entries);
        emit entriesChanged();
    }
};
