#pragma once

#include "platform/FileSystem.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace platform {
class JournalFile;
}

// The journal a clean or an undo keeps beside last-clean.json while it works: every move is
// written down before it is made, so a process killed half-way can be recovered from it at
// the next start. It holds one line per event:
//   vantor-journal 1 clean|undo|putback <ms since 1970>
//   entry <id> [auto]                      the history entry the work makes or puts back
//   folder <path>                          a folder the clean created
//   move <device> <inode> <state> <from> <to>
//                                          about to move the item with this identity
//   partial <device> <inode> <state> <path>
//                                          a hidden copy was created under this name
//   copied <device> <inode> <state> <to>   the copy across file systems for the move to
//                                          <to> is complete and about to get its name
// <state> is type:size:modified:changed:born, the times in nanoseconds; lines written
// before it existed lack it, and then only device and inode are known. Paths are
// percent-encoded bytes, so no line break or space can occur in them.
class CleanJournal {
  public:
    enum class Kind { Clean, Undo, PutBack };

    struct Entry {
        QString from;
        QString to;
        platform::FileIdentity item;                // the item as it was at `from`
        std::optional<platform::FileIdentity> copy; // its copy, for a move across file systems
    };

    struct Partial {
        QString path;
        platform::FileIdentity id;
    };

    struct Contents {
        Kind kind = Kind::Clean;
        QList<Partial> partials;
        QDateTime date;
        QList<Entry> moves;
        QStringList createdFolders;
        QString entryId;
        bool automatic = false;
    };

    // In the folder that holds last-clean.json: last-clean.journal for a clean,
    // last-undo.journal for an undo, history-undo.journal for putting back an older clean
    // from the history. Each kind keeps its own journal, so a clean's journal that still
    // stands in for an unsaved record is never lost to an undo, and putting back an older
    // clean never touches last-clean.json.
    static QString fileIn(const QString& recordFolder, Kind kind);

    // Starts a new journal, replacing any earlier one; nullptr when it cannot be written.
    static std::unique_ptr<CleanJournal> begin(const QString& path, Kind kind,
                                               const QDateTime& date);
    ~CleanJournal();

    // Each returns false when the line could not be written: no more work may be done then.
    bool folderCreated(const QString& folder);
    bool entry(const QString& id, bool automatic);
    bool moveStarting(const QString& from, const QString& to, const platform::FileIdentity& item);
    // Moves planned as a run: their lines go out together at flush(), before the first of
    // them is made, so a run costs one write.
    void queueMove(const QString& from, const QString& to, const platform::FileIdentity& item);
    bool flush();
    bool copyComplete(const QString& to, const platform::FileIdentity& copy);
    bool partialCreated(const QString& path, const platform::FileIdentity& id);
    bool sync();

    // nullopt when there is no journal or it is not one; unusable lines are skipped.
    static std::optional<Contents> read(const QString& path);

  private:
    explicit CleanJournal(std::unique_ptr<platform::JournalFile> file);
    std::unique_ptr<platform::JournalFile> m_file;
    QByteArray m_pending;
};
