#pragma once

#include "cleaner/CleanHistory.h"
#include "cleaner/CleanRecord.h"
#include "cleaner/CleanSummary.h"
#include "cleaner/CleanWork.h"
#include "cleaner/PutBackMarks.h"
#include "cleaner/Scan.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/NameOrder.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class Arrivals;
class QThread;
class TidiedFolders;
class CleanWork;
struct CleanWorkResult;
namespace platform {
class DirectoryWatch;
}

// Scans the tidied folders into one group per rule each, moves the groups' files into their
// rules' folders, records that clean on disk and puts it back on request: one clean over all
// folders is one record, and its undo puts every file back into the folder it came from. The
// last cleans are kept in a history, and any of them not yet put back can be; the files an
// undo put back are marked until they change. Every assignment of scan, lastClean and status
// emits its change signal, also when the value is unchanged.
//
// Moves are journalled before they are made, so a clean or undo killed half-way is finished
// (recovered) when the next cleaner is made. One cleaner works per record folder at a time.
// clean() and undo() work on the calling thread and return when done; startClean() and
// startUndo() do the same work on a worker thread, report progress(), and publish the
// same results on the cleaner's thread when it ends.
//
// Each tidied folder has one watch, which also tells automatic tidying of writes when
// asked to (setWatchingWrites()).
class Cleaner : public QObject {
    Q_OBJECT

  public:
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

    struct CleanOptions {
        bool automatic = false;
        // Only these files (absolute paths), of those a rule would move; all when unset.
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

    // What one started clean or undo came to, handed to its caller.
    struct Outcome {
        enum class Kind {
            Done,       // it ran: see status
            NoWork,     // nothing to move, or nothing to put back
            NoAccess,   // no tidied folder could be read
            NotStarted, // see notice
        };
        Kind kind = Kind::NoWork;
        Notice notice = Notice::None;
        Status status;
        QList<CleanRecord::Move> moves; // a clean's, as it made them
    };
    using Done = std::function<void(const Outcome&)>;

    // Reads last-clean.json from recordFolder (first recovering a journal a killed clean or
    // undo left there) and follows the folders and their rules; neither scans nor watches
    // until the first rescan(). The clock dates cleans and times the rescan after changes.
    Cleaner(TidiedFolders* folders, const QString& recordFolder, QObject* parent = nullptr,
            platform::Clock& clock = platform::Clock::system());
    // Waits for running work, which stops after its current item and saves its record.
    ~Cleaner() override;

    const Scan& scan() const { return m_scan; }
    const std::optional<CleanRecord>& lastClean() const { return m_lastClean; }
    const Status& status() const { return m_status; }
    TidiedFolders* folders() const { return m_folders; }
    // The Desktop, the first tidied folder.
    QString desktop() const;
    bool isWatching() const { return !m_watches.isEmpty(); }
    // Whether the watches report writes and closes (fileWritten(), fileClosed()).
    void setWatchingWrites(bool on);

    // What the last clean or undo that could not start ran into; None after one that ran.
    Notice notice() const { return m_notice; }
    // Whether startClean() or startUndo() is at work, and which of them.
    bool isBusy() const { return m_worker != nullptr; }
    bool isUndoing() const { return isBusy() && m_undoing; }

    void rescan();
    // Return when done. While a started clean or undo runs they only set notice Busy.
    void clean();
    void undo();
    // Puts back the history's clean with this id: what can still be moved, the rest failed.
    void undo(const QString& historyId);
    // Return at once; the work runs off this thread and publishes as clean() and undo() do,
    // then hands its outcome to `done`. While other work runs, `done` gets NotStarted, Busy.
    void startClean() { startClean(CleanOptions{}); }
    void startClean(const CleanOptions& options, Done done = {});
    void startUndo(Done done = {});
    void startUndo(const QString& historyId, Done done = {});

    // How often the folders are scanned again while a rule counts files' age.
    static constexpr int kAgeRescanMs = 60 * 60 * 1000;

    // The last cleans, newest first (at most kHistoryLength).
    const QList<CleanSummary>& history() const { return m_history; }
    static constexpr int kHistoryLength = CleanHistory::kLength;
    // Whether an undo put this file back and it has not been modified or renamed since:
    // automatic tidying leaves such a file alone.
    bool isPutBack(const QString& path) const;
    // Asks running work to stop after the item in hand; the record then holds what was done.
    void cancel();
    // How long a clean or undo waits for another cleaner to finish (2 s unless set).
    void setBusyWait(int ms) { m_busyWaitMs = ms; }

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
    void cleaned(const CleanSummary& entry);
    // With setWatchingWrites(true): a file of a tidied folder was written to and is still
    // open, or was closed after writing; writesLost() when such events were dropped.
    void fileWritten(const QString& path);
    void fileClosed(const QString& path);
    void writesLost();

  private:
    // A tidied folder and its rules as they are now, for a scan on any thread.
    struct Target {
        QString path;
        QList<SortRule> rules;
        // Where and when arrivals are noted, for rules that count a file's age.
        std::shared_ptr<Arrivals> arrivals;
        qint64 nowMs = 0;
        bool countsAge() const;
    };
    QList<Target> targets() const;
    // Per tidied folder, the downloads in progress its listing showed: they decide whether
    // a file by them may be moved.
    using Arriving = QHash<QString, QList<platform::DirEntry>>;
    static Scan computeScan(const QList<Target>& targets, platform::NameOrder& nameOrder,
                            Arriving* arriving);

    void setScan(Scan scan);
    // Counts the scans published, so that a scan made from an older one is known as such.
    quint64 m_scanGeneration = 0;
    quint64 m_undoBase = 0; // the generation a started undo made its scan from
    void setStatus(Status status);
    void setLastClean(std::optional<CleanRecord> record);
    void setNotice(Notice notice);
    // Publishes a scan as rescan() does.
    void applyScan(const Scan& scan);
    void applyScan(const Scan& scan, const Arriving& arriving);
    // After work that moved files: the scan as a listing would give it now, made from the
    // moves rather than by listing the folders again. A change by anybody else is seen by
    // the watches, which rescan; so is anything that arrived during the work.
    void finishWithScan(const CleanWorkResult& result, bool undo);
    // The scan without the files a clean moved away.
    Scan scanWithout(const QList<CleanRecord::Move>& moves) const;
    // `base` with the files an undo put back, each in the group a listing would give it
    // beside the downloads in progress `arriving`; nullopt when that cannot be told without
    // listing (a folder not in the scan, rules changed since, a file that would stay). `now`
    // are the targets. Runs on any thread.
    static std::optional<Scan> scanWith(const Scan& base, const Arriving& arriving,
                                        const QList<Target>& now, const QStringList& restored,
                                        const platform::NameOrder& order);
    void updateWatches();
    void dropWatch(const QString& folder);
    CleanWork makeWork() const;
    Outcome finishClean(const CleanWorkResult& result);
    Outcome finishUndo(const CleanWorkResult& result);
    // Takes over the history and the marks the work read or wrote.
    void applyHistory(const CleanWorkResult& result);
    void startUndoWork(const std::optional<QString>& historyId, Done done);
    // Runs `work` on a worker thread, then hands its result to `finish` on this thread and
    // the outcome to `done`.
    void runInBackground(std::function<CleanWorkResult(const std::function<void(int, int)>&)> work,
                         Outcome (Cleaner::*finish)(const CleanWorkResult&), Done done);
    std::function<void(int, int)> progressHere();

    TidiedFolders* m_folders;
    QString m_recordFolder;
    Scan m_scan;
    std::optional<CleanRecord> m_lastClean;
    // last-clean.json as this cleaner last wrote it, so it need not be read or decoded.
    CleanWorkKnownRecord m_knownRecord;

    Status m_status;
    platform::NameOrder m_nameOrder;
    QHash<QString, platform::DirectoryWatch*> m_watches; // by folder path
    bool m_watchingWrites = false;
    platform::Clock& m_clock;
    std::unique_ptr<platform::Timer> m_pendingRescan;
    // While a rule counts files' age, files come of age with no change on disk: a rescan
    // every so often finds them.
    std::unique_ptr<platform::Timer> m_ageRescan;
    std::shared_ptr<Arrivals> m_arrivals;
    Notice m_notice = Notice::None;
    int m_busyWaitMs = 2000;
    std::atomic<bool> m_cancel{false};
    QThread* m_worker = nullptr;
    bool m_undoing = false;
    QList<CleanSummary> m_history;
    Arriving m_arriving; // as the listing of m_scan showed them
    // As put-back.json held them when last written or read, less those of files a clean has
    // moved away since: oldest first, and by path.
    CleanWorkKnownMarks m_knownMarks;
    QHash<QString, PutBackMarks::Mark> m_marks;
};
