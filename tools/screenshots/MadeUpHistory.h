#pragma once

#include "panel/HistorySource.h"

// A history of cleans to show on the settings page, without making them.
class MadeUpHistory : public HistorySource {
    Q_OBJECT

  public:
    explicit MadeUpHistory(QList<CleanSummary> entries, QObject* parent = nullptr)
        : HistorySource(parent), m_entries(std::move(entries)) {}

    QList<CleanSummary> entries() const override { return m_entries; }
    bool isBusy() const override { return false; }
    void putBack(const QString& id) override { (void)id; }

  private:
    QList<CleanSummary> m_entries;
};
