#pragma once

#include "cleaner/Cleaner.h"

#include <QList>
#include <QScrollArea>

#include <memory>

class HistorySource;
class QLabel;
class QPushButton;
class QVBoxLayout;
namespace platform {
class Clock;
class Timer;
} // namespace platform

// The last cleans, newest first: how many files each moved, when, whether automatic tidying
// made it, and Put Back on those not yet put back (disabled while the cleaner is at work).
// As tall as its first few rows; the rest scroll, so twenty cleans keep the panel small.
// "2 minutes ago" is worked out again whenever the list is shown, and while it is shown,
// at the moment the words change.
class HistoryList : public QScrollArea {
    Q_OBJECT

  public:
    HistoryList(HistorySource& history, platform::Clock& clock, QWidget* parent = nullptr);
    ~HistoryList() override;

    // One per row, newest first: its Put Back button, or nullptr where it was put back.
    QList<QPushButton*> putBackButtons() const;
    int rowCount() const { return m_rowCount; }
    // "No cleans yet" while there are none, else empty.
    QString emptyText() const;

    // Rows shown whole before the list scrolls; half of the next one shows there is more.
    static constexpr int kRowsShown = 4;
    // The height of those rows, and of a single one: the least it gives up to a short screen.
    int compactHeight() const;
    int smallestHeight() const;
    // At most this tall from now on; a negative limit lets it take its compact height.
    void setHeightLimit(int limit);
    int heightLimit() const { return m_limit; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  signals:
    // The rows were made anew: their buttons join the end of the Tab order.
    void rowsChanged();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void refresh();
    void applyBusy();
    // Writes each row's date against the clock's now, and wakes when the next one changes.
    void updateDates();
    QWidget* makeRow(const CleanSummary& entry);

    HistorySource& m_history;
    platform::Clock& m_clock;
    std::unique_ptr<platform::Timer> m_dateTimer;
    QList<CleanSummary> m_entries;
    QVBoxLayout* m_rows = nullptr;
    QLabel* m_empty = nullptr;
    int m_rowCount = 0;
    int m_limit = -1;
};
