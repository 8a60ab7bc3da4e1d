#pragma once

#include "cleaner/CleanJournal.h"
#include "cleaner/DesktopCleaner.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>

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
    QByteArray recordBytes; // what was written for `record`, when this work wrote it
    // Started work: the Desktop scanned afterwards, nullopt when it could not be listed.
    std::optional<std::optional<DesktopCleaner::Scan>> scanAfter;
};

// The file work of a clean and of an undo, run on whichever thread calls it: it touches the
// Desktop, the rule folders and the files in the record folder, never the cleaner's
// published state. Each run holds the record folder's lock, so one cleaner works at a time,
// and records every move in the journal before making it.
class CleanWork {
  public:
    using Record = DesktopCleaner::CleanRecord;
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

    Result clean(const QList<Batch>& batches, const std::atomic<bool>& cancel,
                 const Progress& progress) const;
    Result undo(const std::atomic<bool>& cancel, const Progress& progress) const;

    // Takes the lock without waiting and returns the last clean, first finishing what a
    // killed clean or undo left in the journal. Without the lock (another cleaner is at
    // work) the record file is read as it stands.
    std::optional<Record> loadWithRecovery() const;

    QString recordFile() const;
    QString journalFile(CleanJournal::Kind kind) const;
    QString lockFile() const;

  private:
    std::optional<Record> recoverLocked() const;
    std::optional<Record> readRecord() const;
    bool writeRecord(const std::optional<Record>& record) const;
    bool undoMayTakeFrom(const QString& folder) const;
    void removeCreatedFolders(const Record& record) const;

    QString m_recordFolder;
    QString m_desktop;
    QStringList m_ruleFolders;
    int m_lockWaitMs;
    QByteArray m_knownBytes;
    std::optional<Record> m_knownRecord;
};
