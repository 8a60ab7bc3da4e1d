#pragma once

#include "cleaner/PutBackMarks.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/NameOrder.h"
#include "rules/SortRule.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QThread;
class RuleStore;
class CleanWork;
struct CleanWorkResult;
namespace platform {
class DirectoryWatch;
}

// Scans the Desktop into one group per rule, moves the groups' files into their rules'
// folders, records that clean on disk and puts it back on request. The last cleans are kept
// in a history, and any of them not yet put back can be; the files an undo put back are
// marked until they change. Every assignment of scan, lastClean and status emits its change
// signal, also when the value is unchanged.
//
// Moves are journalled before they are made, so a clean or undo killed half-way is finished
// (recovered) when the next cleaner is made. One cleaner works per record folder at a time.
// clean() and undo() work on the calling thread and return when done; startClean() and
// startUndo() do the same work on a worker thread, report progress(), and publish the
// same results on the cleaner's thread when it ends.
class DesktopCleaner : public QObject {
    Q_OBJECT

  public:
    struct Group {
        SortRule rule;
        QStringList files; // absolute paths, in the file manager's name order
        QUuid id() const { return rule.id; }
        bool operator==(const Group&) const = default;
    };

    struct Scan {
        QList<Group> groups; // one per rule, in the store's order
        int other = 0;       // loose items that stay where they are
        int totalFiles() const;
        bool operator==(const Scan&) const = default;
    };

    struct Status {
        enum class Kind { Idle, NoAccess, Cleaned, Undone };
        Kind kind = Kind::Idle;
        int done = 0; // moved by a clean, restored by an undo
        int failed = 0;
        int inUse = 0;              // of the failed: open for writing or changed while copied
        bool recordStopped = false; // the journal could not be written, so the work stopped

        static Status idle() { return {}; }
        static Status noAccess() { return {Kind::NoAccess, 0, 0}; }
        static Status cleaned(int moved, int failed, int inUse = 0, bool recordStopped = false) {
            return {Kind::Cleaned, moved, failed, inUse, recordStopped};
        }
        static Status undone(int restored, int failed, int inUse = 0) {
            return {Kind::Undone, restored, failed, inUse, false};
        }
        int moved() const { return done; }
        int restored() const { return done; }
        bool operator==(const Status&) const = default;
    };

    struct Move {
        QString from;
        QString to;
        bool operator==(const Move&) const = default;
    };

    struct CleanRecord {
        QDateTime date;
        QList<Move> moves;
        QStringList createdFolders;
        bool operator==(const CleanRecord&) const = default;
    };

    // One clean as the history keeps it; the newest comes first.
    struct HistoryEntry {
        QString id;
        QDateTime date;
        int moved = 0;
        bool automatic = false; // started by automatic tidying rather than the user
        bool undone = false;
        bool operator==(const HistoryEntry&) const = default;
    };

    struct CleanOptions {
        bool automatic = false;
        // Only these Desktop files (absolute paths), of those a rule would move; all when unset.
        std::optional<QStringList> only;
    };

    // Why a clean or undo did not even start; the status and the record stay as they were.
    enum class Notice {
        None,
        RecordNotSaved, // the journal could not be created, so nothing was moved
        Busy,           // another cleaner of this record folder was at work
    };
    static QString noticeText(Notice notice);
    // Why a clean stopped before it had moved everything, when it was the journal.
    static QString recordStoppedText();

    // Reads last-clean.json from recordFolder (first recovering a journal a killed clean or
    // undo left there) and follows the store's rule list; neither scans nor watches until
    // the first rescan().
    // The clock dates cleans and times the rescan after Desktop changes.
    DesktopCleaner(RuleStore* rules, const QString& desktop, const QString& recordFolder,
                   QObject* parent = nullptr, platform::Clock& clock = platform::Clock::system());
    // Waits for running work, which stops after its current item and saves its record.
    ~DesktopCleaner() override;

    const Scan& scan() const { return m_scan; }
    const std::optional<CleanRecord>& lastClean() const { return m_lastClean; }
    const Status& status() const { return m_status; }
    RuleStore* rules() const { return m_rules; }
    const QString& desktop() const { return m_desktop; }
    bool isWatching() const;

    // What the last clean or undo that could not start ran into; None after one that ran.
    Notice notice() const { return m_notice; }
    // Whether startClean() or startUndo() is at work, and which of them.
    bool isBusy() const { return m_worker != nullptr; }
    bool isUndoing() const { return isBusy() && m_undoing; }

    void rescan();
    // Return when done. While a started clean or undo runs they only set notice Busy.
    void clean();
    void undo();
    // Return at once; the work runs off this thread and publishes as clean() and undo() do.
    // Ignored while other work runs.
    void startClean() { startClean(CleanOptions{}); }
    void startClean(const CleanOptions& options);
    void startUndo();
    // Puts back the history's clean with this id: what can still be moved, the rest failed.
    void undo(const QString& historyId);
    void startUndo(const QString& historyId);

    // The last cleans, newest first (at most kHistoryLength).
    const QList<HistoryEntry>& history() const { return m_history; }
    static constexpr int kHistoryLength = 20;
    // Whether an undo put this Desktop file back and it has not been modified or renamed
    // since: automatic tidying leaves such a file alone.
    bool isPutBack(const QString& path) const;
    // Asks running work to stop after the item in hand; the record then holds what was done.
    void cancel();
    // How long a clean or undo waits for another cleaner to finish (2 s unless set).
    void setBusyWait(int ms) { m_busyWaitMs = ms; }

    // Whether a record can name this path exactly: encoding and decoding give it back.
    static bool recordCanHold(const QString& path);

    // A path in `folder` for an item called `name` that replaces nothing: "name", then
    // "base 2.ext", "base 3.ext" and so on. Any entry, a dangling link too, counts as taken.
    static QString uniqueDestination(const QString& name, const QString& folder);

    // Moves one item to a free name in `folder` (`name` itself if free), taking the next
    // free name when another item claims the chosen one first. `move` moves without
    // replacing, as platform::moveItem does.
    using MoveFunction =
        std::function<platform::MoveResult(const QString& from, const QString& to)>;
    static std::optional<QString> moveToFreeName(const QString& from, const QString& name,
                                                 const QString& folder, const MoveFunction& move);

    static QByteArray encodeRecord(const CleanRecord& record);
    static std::optional<CleanRecord> decodeRecord(const QByteArray& bytes);
    QString recordFile() const;

  signals:
    void scanChanged();
    void lastCleanChanged();
    void statusChanged();
    void noticeChanged();
    void busyChanged(bool busy);
    // During a clean or undo: `done` of `total` items handled. From started work it comes
    // through the event loop, at most every few dozen milliseconds, and with done == total.
    void progress(int done, int total);
    void historyChanged();
    // A clean has ended that moved something: its entry, now first in the history.
    void cleaned(const DesktopCleaner::HistoryEntry& entry);

  private:
    void setScan(Scan scan);
    void setStatus(Status status);
    void setLastClean(std::optional<CleanRecord> record);
    void setNotice(Notice notice);
    // Publishes a scan as rescan() does; nullopt: the Desktop could not be listed.
    void applyScan(const std::optional<Scan>& scan);
    // The scan itself, on any thread.
    static std::optional<Scan> computeScan(const QList<SortRule>& rules, const QString& desktop,
                                           platform::NameOrder& nameOrder);
    void finishWithScan(const CleanWorkResult& result);
    void startWatching();
    void stopWatching();
    // Rescans; then the rule folders and files to move, or false when there is nothing.
    bool prepareClean(QList<std::pair<QString, QStringList>>* batches);
    CleanWork makeWork() const;
    void finishClean(const CleanWorkResult& result);
    void finishUndo(const CleanWorkResult& result);
    // Takes over the history and the marks the work read or wrote.
    void applyHistory(const CleanWorkResult& result);
    void startUndoWork(const std::optional<QString>& historyId);
    // Runs `work` on a worker thread, then hands its result to `finish` on this thread.
    void runInBackground(std::function<CleanWorkResult(const std::function<void(int, int)>&)> work,
                         void (DesktopCleaner::*finish)(const CleanWorkResult&));

    RuleStore* m_rules;
    QString m_desktop;
    QString m_recordFolder;
    Scan m_scan;
    std::optional<CleanRecord> m_lastClean;
    QByteArray m_lastCleanBytes; // as this cleaner last wrote it, so it need not be decoded

    Status m_status;
    platform::NameOrder m_nameOrder;
    platform::DirectoryWatch* m_watcher = nullptr;
    platform::Clock& m_clock;
    std::unique_ptr<platform::Timer> m_pendingRescan;
    Notice m_notice = Notice::None;
    int m_busyWaitMs = 2000;
    std::atomic<bool> m_cancel{false};
    QThread* m_worker = nullptr;
    bool m_undoing = false;
    QList<HistoryEntry> m_history;
    QHash<QString, PutBackMarks::Mark> m_marks; // by path
};
