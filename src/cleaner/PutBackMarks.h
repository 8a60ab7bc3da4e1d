#pragma once

#include "platform/FileSystem.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The Desktop files an undo put back, as put-back.json in the record folder keeps them: each
// with its identity, size and modification time then. A mark holds while the same file
// stands at its path unchanged; once the file is modified, renamed or gone the mark is
// dropped, so automatic tidying takes it again like any other file.
class PutBackMarks {
  public:
    struct Mark {
        QString path;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modified = 0; // nanoseconds since 1970
        bool operator==(const Mark&) const = default;
    };

    // The newest this many are kept; an undo of more leaves the rest unmarked.
    static constexpr int kMaxMarks = 4096;

    static QString fileIn(const QString& recordFolder);

    // The file at `path` as it stands; nullopt unless it is a plain file.
    static std::optional<Mark> markFor(const QString& path);
    // The same from an identity taken before the file was renamed to `path`: a rename keeps
    // device, inode, size and modification time.
    static std::optional<Mark> markFor(const QString& path, const platform::FileIdentity& id);
    // Whether the file at the mark's path is still the one marked, unchanged.
    static bool holds(const Mark& mark);

    static QByteArray encode(const QList<Mark>& marks);
    static QList<Mark> decode(const QByteArray& bytes); // the marks that decode
    // The marks of the file that still hold; the file's bytes through `bytes`.
    static QList<Mark> read(const QString& file, QByteArray* bytes = nullptr);
    // Adds marks for `paths` to those of the file that still hold and writes them
    // atomically; the marks as written, or nullopt.
    static std::optional<QList<Mark>> add(const QString& file, const QStringList& paths);
    // Adds `added` to `marks`, replacing those of the same paths, and writes them
    // atomically (the newest kMaxMarks); the marks as written with their bytes, or nullopt.
    static std::optional<QList<Mark>> add(const QString& file, QList<Mark> marks,
                                          const QList<Mark>& added, QByteArray* bytes = nullptr);
};
