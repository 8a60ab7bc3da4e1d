#pragma once

#include "panel/HistorySource.h"

// The cleaner's history as the settings page sees it: Put Back starts an undo of that clean.
class CleanerHistorySource : public HistorySource {
    Q_OBJECT

  public:
    explicit CleanerHistorySource(Cleaner& cleaner, QObject* parent = nullptr);

    QList<CleanSummary> entries() const override;
    bool isBusy() const override;
    void putBack(const QString& id) override;

  private:
    Cleaner& m_cleaner;
};
