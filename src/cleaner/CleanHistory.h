#pragma once

#include "cleaner/CleanRecord.h"
#include "cleaner/CleanSummary.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// The last cleans as history.json in the record folder lists them, newest first. The file is
// a JSON array with one entry per line, so a file cut short or edited by hand still yields
// every line that decodes. Each clean's moves, which can run to many megabytes, are in a
// file of its own, history/<id>.json (the form of last-clean.json), read only when that
// clean is put back; so the size of a clean is no limit, and a listing stays small.
// Histories written before kept the moves in their lines; they are read as they are and
// moved out at the next write.
//
// It never holds more than kLength entries: the oldest go first.
class CleanHistory {
  public:
    using Record = CleanRecord;

    struct Entry {
        QString id;
        bool automatic = false;
        bool undone = false;
        int moved = 0; // as the clean moved them, whatever is put back since
        Record record; // what is left to put back; no moves once undone
        // The moves are in the entry's own file and not read yet (see loadMoves()).
        bool movesOnDisk = false;
        // When it was put back; invalid when it was not, or by a version that kept no time.
        QDateTime putBackAt = {};
        bool operator==(const Entry&) const = default;
    };

    static constexpr int kLength = 20;

    // A listing of 20 lines is a few kilobytes; older ones held moves up to 512 KiB.
    static constexpr qint64 kMaxListingBytes = 4 * 1024 * 1024;
    // One clean's moves: room for several hundred thousand files with long names.
    static constexpr qint64 kMaxMovesBytes = 128 * 1024 * 1024;

    static QString fileIn(const QString& recordFolder);
    // The file that holds the moves of the entry `id` of the history in `historyFile`.
    static QString movesFile(const QString& historyFile, const QString& id);
    // Reads the entry's moves from its file when they are still there; false when they are
    // gone or unreadable (the entry then has none).
    static bool loadMoves(const QString& historyFile, Entry* entry);

    static QByteArray encode(const QList<Entry>& entries);
    // The entries that decode; a line that does not is skipped.
    static QList<Entry> decode(const QByteArray& bytes);

    // Empty when there is no file or nothing in it decodes. Moves kept in files of their own
    // are not read.
    static QList<Entry> read(const QString& file);
    // Trims to the limit; writes the moves read or made since (each to its own file), then
    // the listing atomically, then removes the files of entries no longer listed. The
    // entries as written, or nullopt. `encoded` holds, by id, what an entry's record
    // encodes to where the caller has it already (a clean's, as for last-clean.json).
    static std::optional<QList<Entry>> write(const QString& file, QList<Entry> entries,
                                             const QHash<QString, QByteArray>& encoded = {});

    // Puts `entry` first, replacing one with its id, and trims to the limits.
    static void add(QList<Entry>* entries, Entry entry);
    static void trim(QList<Entry>* entries);

    // The entry of the clean that `record` (last-clean.json) holds, not yet put back: same
    // date, same moves left (read from its file for the entry that has the date). -1 when
    // none is. `recordBytes`, when given, are what `record` encodes to: an entry's file
    // that holds exactly these need not be decoded, nor read for the entry `sameMovesId`,
    // whose file is known to hold them.
    static qsizetype indexOfRecord(QList<Entry>* entries, const std::optional<Record>& record,
                                   const QString& historyFile, const QByteArray& recordBytes = {},
                                   const QString& sameMovesId = {});
    static qsizetype indexOf(const QList<Entry>& entries, const QString& id);

    // Letters and digits only, at most 64: an id names a file in the history's folder.
    static bool isValidId(const QString& id);
    // A fresh id, unlike those of `entries`: eight hex digits, short enough to type.
    static QString newId(const QList<Entry>& entries);

    static QList<CleanSummary> summary(const QList<Entry>& entries);
};
