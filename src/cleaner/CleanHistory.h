#pragma once

#include "cleaner/DesktopCleaner.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The last cleans as history.json in the record folder keeps them, newest first, each with
// its moves so that it can be put back later. The file is a JSON array with one entry per
// line, so a file cut short or edited by hand still yields every line that decodes.
//
// It never holds more than DesktopCleaner::kHistoryLength entries nor kMaxBytes: the oldest
// go first. A clean too big to fit on its own is kept without its moves; it is then put back
// through last-clean.json while it is the newest, and from the history it can only be
// counted as failed.
class CleanHistory {
  public:
    using Record = DesktopCleaner::CleanRecord;

    struct Entry {
        QString id;
        bool automatic = false;
        bool undone = false;
        int moved = 0; // as the clean moved them, whatever is put back since
        Record record; // what is left to put back; no moves once undone
        bool operator==(const Entry&) const = default;
    };

    static constexpr qsizetype kMaxBytes = 512 * 1024;

    static QString fileIn(const QString& recordFolder);

    static QByteArray encode(const QList<Entry>& entries);
    // The entries that decode; a line that does not is skipped.
    static QList<Entry> decode(const QByteArray& bytes);

    // Empty when there is no file or nothing in it decodes.
    static QList<Entry> read(const QString& file);
    // Trims to the limits and writes atomically; the entries as written, or nullopt.
    static std::optional<QList<Entry>> write(const QString& file, QList<Entry> entries);

    // Puts `entry` first, replacing one with its id, and trims to the limits.
    static void add(QList<Entry>* entries, Entry entry);
    static void trim(QList<Entry>* entries);

    // The entry of the clean that `record` (last-clean.json) holds, not yet put back: same
    // date, same moves left. -1 when none is.
    static qsizetype indexOfRecord(const QList<Entry>& entries,
                                   const std::optional<Record>& record);
    static qsizetype indexOf(const QList<Entry>& entries, const QString& id);

    // A fresh id, unlike those of `entries`: eight hex digits, short enough to type.
    static QString newId(const QList<Entry>& entries);

    static QList<DesktopCleaner::HistoryEntry> summary(const QList<Entry>& entries);
};
