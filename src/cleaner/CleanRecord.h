#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One clean as last-clean.json and each history file hold it: when it was made, every move
// it made (from the tidied folder into a rule folder, or into the trash's files/ folder), and
// the folders it created, outermost first. An undo reads it to put the files back where they
// came from, whichever tidied folder that was.
struct CleanRecord {
    struct Move {
        QString from;
        QString to;
        bool operator==(const Move&) const = default;
    };

    QDateTime date;
    QList<Move> moves;
    QStringList createdFolders;
    bool operator==(const CleanRecord&) const = default;

    // The file's exact bytes: written by hand, as its form is fixed (date as seconds since
    // 2001, paths as file URLs with folders ending in "/").
    QByteArray encode() const;
    static std::optional<CleanRecord> decode(const QByteArray& bytes);
    // A date in the form the record's has, for other files that keep dates the same way;
    // nullopt for a value that is not one.
    static QByteArray encodeDate(const QDateTime& date);
    static std::optional<QDateTime> decodeDate(const QJsonValue& value);

    // Whether a record can name this path exactly: encoding and decoding give it back.
    static bool canHold(const QString& path);
};
