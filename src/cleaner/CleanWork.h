#pragma once

#include "cleaner/CleanHistory.h"
#include "cleaner/CleanJournal.h"
#include "cleaner/CleanRecord.h"
#include "cleaner/PutBackMarks.h"
#include "cleaner/Scan.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace platform {
class FileLock;
}

enum class CleanWorkOutcome {
    Done,
    Busy,      // another cleaner held the lock: nothing was done
    NoJournal, // the journal could not be created: nothing was moved
    NoRecord,  // undo: there was no record on disk to put back
    NoWork,    // started clean: no folder could be listed or they held nothing to move
};

// last-clean.json as a work last wrote or read it, and the history's file of the same clean
// when it holds the very same bytes: while a file still stands exactly as it stood then
// (FileIdentity::unchangedSince), it holds these bytes and need not be read again.
struct CleanWorkKnownRecord {
    QByteArray bytes; // empty: nothing known
    std::optional<CleanRecord> record;
    std::optional<platform::FileIdentity> file;
    QString movesId;
    std::optional<platform::FileIdentity> movesFile;
};

// put-back.json as a work last wrote or read it, the same way; `marks` may since have lost
// those of files a clean moved away.
struct CleanWorkKnownMarks {
    QByteArray bytes;
    QList<PutBackMarks::Mark> marks;
    std::optional<platform::FileIdentity> file;
};

struct CleanWorkResult {
    CleanWorkOutcome outcome = CleanWorkOutcome::Done;
    std::optional<CleanRecord> record; // the last clean afterwards
    int done = 0;                      // moved or restored
    int failed = 0;
    int inUse = 0; // of the failed: open for writing or changed while copied, so they stay
    // A clean stopped because its journal could no longer be written (a full disk).
    bool recordStopped = false;
    // What was written for `record`, when this work wrote it (no bytes otherwise).
    CleanWorkKnownRecord written;
    // The history as the work left it, when it read it (a clean's entry comes first).
    std::optional<QList<CleanHistory::Entry>> history;
    // The put-back marks after an undo, when they could be written.
    std::optional<CleanWorkKnownMarks> marks;
    // An undo's: where it put the items back, in the order it did.
    QStringList restored;
    // A started undo's: the published scan with them, made on the worker.
    std::optional<Scan> scanAfter;
    // An undo by history id that left last-clean.json alone: `record` is the file's as read.
    bool fromHistory = false;
};

// The file work of a clean and of an undo, run on whichever thread calls it: it touches the
// tidied folders, their rule folders, their trash and the files in the record folder, never
// the cleaner's published state. Each run holds the record folder's lock, so one cleaner
// works at a time, and records every move in the journal before making it.
class CleanWork {
  public:
    using Record = CleanRecord;
    using Move = CleanRecord::Move;
    using History = QList<CleanHistory::Entry>;
    using Marks = QList<PutBackMarks::Mark>;
    using Progress = std::function<void(int done, int total)>;

    // One rule folder and the files of a tidied folder that go into it, in order. With
    // `toTrash`, `folder` is the tidied folder, and the files go to its trash.
    struct Batch {
        QString folder;
        QStringList files;
        bool toTrash = false;
    };

    // A tidied folder and its rules' folders: an undo takes items only from these rule
    // folders (or from inside the folder) and puts them back only into this folder. The
    // folder's trash counts as one of them.
    struct Place {
        QString folder;
        QStringList ruleFolders;
        bool mayBeLink = false; // the Desktop may be a link to where it really is
    };

    // The files each rule of the scan would move (of `only`, when given), in one batch per
    // tidied folder and rule.
    static QList<Batch> batchesOf(const Scan& scan,
                                  const std::optional<QStringList>& only = std::nullopt);

    using Outcome = CleanWorkOutcome;
    using Result = CleanWorkResult;

    // `places` are the tidied folders with their current rules' folders: the only places an
    // undo takes items from, puts them into and removes folders in. `now` dates a clean.
    CleanWork(const QString& recordFolder, const QList<Place>& places, int lockWaitMs,
              const QDateTime& now);

    using KnownRecord = CleanWorkKnownRecord;
    using KnownMarks = CleanWorkKnownMarks;
    // The record last written or read: while the file holds exactly its bytes, it is not
    // decoded again.
    void setKnownRecord(const KnownRecord& known) { m_known = known; }
    // The put-back marks last written or read: while the file holds exactly their bytes, an
    // undo adds to them without reading and checking them again.
    void setKnownMarks(const KnownMarks& known) { m_knownMarks = known; }

    // Adds the clean to the history, marked automatic or not, when it moved something.
    Result clean(const QList<Batch>& batches, const std::atomic<bool>& cancel,
                 const Progress& progress, bool automatic = false) const;
    // Puts back the clean of last-clean.json.
    Result undo(const std::atomic<bool>& cancel, const Progress& progress) const;
    // Puts back the history's clean with this id: from last-clean.json when that holds it,
    // else from the history, under its own journal. Outcome NoRecord when there is no such
    // clean or it was put back already.
    Result undoEntry(const QString& id, const std::atomic<bool>& cancel,
                     const Progress& progress) const;

    // Takes the lock without waiting and returns the last clean, first finishing what a
    // killed clean or undo left in the journal. Without the lock (another cleaner is at
    // work) the files are read as they stand. Also gives the history and the marks.
    std::optional<Record> loadWithRecovery(History* history = nullptr,
                                           KnownMarks* marks = nullptr) const;

    QString recordFile() const;
    QString journalFile(CleanJournal::Kind kind) const;
    QString lockFile() const;
    QString historyFile() const;
    QString marksFile() const;

  private:
    // Takes the record folder's lock and finishes what a killed clean or undo left, into
    // `result` and `history`; nullptr, with outcome Busy, while another cleaner works. The
    // record's bytes through `recordBytes` when it is the file's as read, and the id of the
    // history's entry whose file is known to hold them too through `sameMovesId`.
    std::unique_ptr<platform::FileLock> lockAndRecover(Result* result, History* history,
                                                       QByteArray* recordBytes = nullptr,
                                                       QString* sameMovesId = nullptr) const;
    std::optional<Record> recoverLocked(History* history, QByteArray* recordBytes,
                                        QString* sameMovesId) const;
    bool recoverPutBackLocked(History* history, QStringList* restored) const;
    Result undoRecordLocked(const Record& record, const QByteArray& recordBytes,
                            const QString& sameMovesId, History history,
                            const std::atomic<bool>& cancel, const Progress& progress) const;
    // Into `result`: the counts and the items put back; their marks into `marks`.
    void putBack(const Record& record, CleanJournal* journal, const std::atomic<bool>& cancel,
                 const Progress& progress, Result* result, QList<Move>* untried,
                 Marks* marks) const;
    // The end of every run, in this order: the history, the put-back marks, the record (when
    // given), and then the journal goes, once what it stands for is on disk (the history
    // when no record is given). Otherwise the journal is synced to stand in for them.
    void commit(Result* result, const History& history, const Marks& restored,
                const std::optional<std::optional<Record>>& record,
                std::unique_ptr<CleanJournal> journal, CleanJournal::Kind kind) const;
    // The marks put-back.json holds now: the known ones while it is unchanged.
    Marks currentMarks() const;
    // Removes the folders the clean created that are left empty and marks the entry undone,
    // put back at `when`.
    void markUndone(CleanHistory::Entry* entry, const Record& record, const QDateTime& when) const;
    // With its bytes, and the id of the history's entry known to hold them too.
    std::optional<Record> readRecord(QByteArray* bytes = nullptr,
                                     QString* sameMovesId = nullptr) const;
    bool writeRecord(const std::optional<Record>& record) const;
    // The place whose folder is `folder`; -1 when none is.
    qsizetype placeOf(const QString& folder) const;
    // Whether an undo may take items from `folder` back into the place's folder: one of its
    // rule folders, or a folder inside it (by real path). With no place, into any of them.
    bool undoMayTakeFrom(const QString& folder, qsizetype place = -1) const;
    // A tidied folder or a folder an undo may take from: the only places recovery removes in.
    bool isTidiedPlace(const QString& folder) const;
    // Removes the hidden copies a killed run left and finds which journalled moves
    // happened, removing sources left behind where that is proven safe.
    QList<CleanJournal::Entry> settleJournal(const CleanJournal::Contents& journal) const;
    void removeCreatedFolders(const Record& record) const;

    QString m_recordFolder;
    QList<Place> m_places;
    QStringList m_realFolders; // of the places, where they resolve
    int m_lockWaitMs;
    QDateTime m_now;
    KnownRecord m_known;
    KnownMarks m_knownMarks;
};
