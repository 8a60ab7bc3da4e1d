#pragma once

#include "cleaner/CleanHistory.h"
#include "cleaner/CleanJournal.h"
#include "cleaner/DesktopCleaner.h"
#include "cleaner/PutBackMarks.h"

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
    NoWork,    // started clean: the Desktop could not be listed or held nothing to move
};

struct CleanWorkResult {
    CleanWorkOutcome outcome = CleanWorkOutcome::Done;
    std::optional<DesktopCleaner::CleanRecord> record; // the last clean afterwards
    int done = 0;                                      // moved or restored
    int failed = 0;
    int inUse = 0; // of the failed: open for writing or changed while copied, so they stay
    // A clean stopped because its journal could no longer be written (a full disk).
    bool recordStopped = false;
    QByteArray recordBytes; // what was written for `record`, when this work wrote it
    // Started work: the Desktop scanned afterwards, nullopt when it could not be listed.
    std::optional<std::optional<DesktopCleaner::Scan>> scanAfter;
    // The history as the work left it, when it read it (a clean's entry comes first).
    std::optional<QList<CleanHistory::Entry>> history;
    // The put-back marks after an undo, when they could be written.
    std::optional<QList<PutBackMarks::Mark>> marks;
    // An undo by history id that left last-clean.json alone: `record` is the file's as read.
    bool fromHistory = false;
};

// The file work of a clean and of an undo, run on whichever thread calls it: it touches the
// Desktop, the rule folders and the files in the record folder, never the cleaner's
// published state. Each run holds the record folder's lock, so one cleaner works at a time,
// and records every move in the journal before making it.
class CleanWork {
  public:
    using Record = DesktopCleaner::CleanRecord;
    using History = QList<CleanHistory::Entry>;
    using Marks = QList<PutBackMarks::Mark>;
    using Progress = std::function<void(int done, int total)>;

    // One rule folder and the Desktop files that go into it, in order.
    struct Batch {
        QString folder;
        QStringList files;
    };

    using Outcome = CleanWorkOutcome;
    using Result = CleanWorkResult;

    // `ruleFolders` are the current rules' folders: with the Desktop, the only places an undo
    // takes items from and removes folders in.
    CleanWork(const QString& recordFolder, const QString& desktop, const QStringList& ruleFolders,
              int lockWaitMs);

    // The record last written or read, with its bytes: when the file still holds exactly
    // these, it is not decoded again.
    void setKnownRecord(const QByteArray& bytes, const std::optional<Record>& record) {
        m_knownBytes = bytes;
        m_knownRecord = record;
    }

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
                                           Marks* marks = nullptr) const;

    QString recordFile() const;
    QString journalFile(CleanJournal::Kind kind) const;
    QString lockFile() const;
    QString historyFile() const;
    QString marksFile() const;

  private:
    // Takes the record folder's lock and finishes what a killed clean or undo left, into
    // `result` and `history`; nullptr, with outcome Busy, while another cleaner works.
    std::unique_ptr<platform::FileLock> lockAndRecover(Result* result, History* history) const;
    std::optional<Record> recoverLocked(History* history) const;
    bool recoverPutBackLocked(History* history, QStringList* restored) const;
    Result undoRecordLocked(const Record& record, History history, const std::atomic<bool>& cancel,
                            const Progress& progress) const;
    void putBack(const Record& record, CleanJournal* journal, const std::atomic<bool>& cancel,
                 const Progress& progress, Result* result, QList<DesktopCleaner::Move>* untried,
                 QStringList* restored) const;
    // Removes the folders the clean created that are left empty and marks the entry undone.
    void markUndone(CleanHistory::Entry* entry, const Record& record) const;
    std::optional<Record> readRecord() const;
    bool writeRecord(const std::optional<Record>& record) const;
    bool undoMayTakeFrom(const QString& folder) const;
    // The Desktop or a folder an undo may take from: the only places recovery removes in.
    bool isTidiedPlace(const QString& folder) const;
    // Removes the hidden copies a killed run left and finds which journalled moves
    // happened, removing sources left behind where that is proven safe.
    QList<CleanJournal::Entry> settleJournal(const CleanJournal::Contents& journal) const;
    void removeCreatedFolders(const Record& record) const;

    QString m_recordFolder;
    QString m_desktop;
    QStringList m_ruleFolders;
    int m_lockWaitMs;
    QByteArray m_knownBytes;
    std::optional<Record> m_knownRecord;
};
