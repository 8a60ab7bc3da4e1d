#include "cleaner/CleanHistory.h"

#include "platform/FileSystem.h"
#include "rules/JsonWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSet>

namespace {

// The listing's line: the record's date, its moves in the entry's own file.
QByteArray line(const CleanHistory::Entry& e) {
    const CleanRecord listed{e.record.date, {}, {}};
    return "{\"id\":" + json::string(e.id) + ",\"moved\":" + QByteArray::number(e.moved) +
           ",\"automatic\":" + (e.automatic ? "true" : "false") +
           ",\"undone\":" + (e.undone ? "true" : "false") +
           // Only where it is known: entries not put back keep the form older versions wrote.
           (e.undone && e.putBackAt.isValid()
                ? ",\"putBackAt\":" + CleanRecord::encodeDate(e.putBackAt)
                : QByteArray()) +
           ",\"record\":" + listed.encode() + '}';
}

bool validId(const QString& id) {
    return !id.isEmpty() && id.size() <= 64 && std::all_of(id.begin(), id.end(), [](QChar c) {
        return c.isLetterOrNumber() && c.unicode() < 0x80;
    });
}

std::optional<CleanHistory::Entry> entryFrom(const QJsonValue& value) {
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject o = value.toObject();
    const QJsonValue id = o.value(u"id"), moved = o.value(u"moved"),
                     automatic = o.value(u"automatic"), undone = o.value(u"undone"),
                     record = o.value(u"record");
    if (!id.isString() || !validId(id.toString()) || !moved.isDouble() || !automatic.isBool() ||
        !undone.isBool() || !record.isObject())
        return std::nullopt;
    const double count = moved.toDouble();
    if (!(count >= 0 && count <= 1e9) || count != std::floor(count))
        return std::nullopt;
    auto decoded =
        CleanRecord::decode(QJsonDocument(record.toObject()).toJson(QJsonDocument::Compact));
    if (!decoded)
        return std::nullopt;
    CleanHistory::Entry e{id.toString(), automatic.toBool(), undone.toBool(), int(count),
                          std::move(*decoded)};
    if (e.undone) { // nothing is left to put back
        e.record.moves.clear();
        e.record.createdFolders.clear();
        // A time that does not read as one is as good as none: the entry itself still counts.
        e.putBackAt = CleanRecord::decodeDate(o.value(u"putBackAt")).value_or(QDateTime());
    }
    return e;
}

} // namespace

QString CleanHistory::fileIn(const QString& recordFolder) {
    return platform::appendingPathComponent(recordFolder, QStringLiteral("history.json"));
}

QByteArray CleanHistory::encode(const QList<Entry>& entries) {
    QByteArray out = "[\n";
    for (qsizetype i = 0; i < entries.size(); ++i) {
        out += line(entries[i]);
        out += i + 1 < entries.size() ? ",\n" : "\n";
    }
    out += "]\n";
    return out;
}

QList<CleanHistory::Entry> CleanHistory::decode(const QByteArray& bytes) {
    QList<QJsonValue> values;
    QJsonParseError error;
    const QJsonDocument whole = QJsonDocument::fromJson(bytes, &error);
    if (error.error == QJsonParseError::NoError && whole.isArray()) {
        for (const QJsonValue v : whole.array())
            values.append(v);
    } else {
        // Cut short or damaged: each line that is an entry on its own still counts.
        for (QByteArray text : bytes.split('\n')) {
            text = text.trimmed();
            if (text.endsWith(','))
                text.chop(1);
            if (!text.startsWith('{'))
                continue;
            const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
            if (error.error == QJsonParseError::NoError && doc.isObject())
                values.append(doc.object());
        }
    }
    QList<Entry> entries;
    for (const QJsonValue& v : std::as_const(values)) {
        if (entries.size() >= kLength)
            break;
        auto e = entryFrom(v);
        if (e && indexOf(entries, e->id) < 0)
            entries.append(std::move(*e));
    }
    return entries;
}

QString CleanHistory::movesFile(const QString& historyFile, const QString& id) {
    const QString folder = platform::appendingPathComponent(
        platform::deletingLastPathComponent(historyFile), QStringLiteral("history"));
    return platform::appendingPathComponent(folder, id + QStringLiteral(".json"));
}

bool CleanHistory::isValidId(const QString& id) {
    return validId(id);
}

bool CleanHistory::loadMoves(const QString& historyFile, Entry* entry) {
    if (!entry->movesOnDisk)
        return !entry->record.moves.isEmpty();
    const auto bytes = platform::readWholeFile(movesFile(historyFile, entry->id), kMaxMovesBytes);
    const auto record = bytes ? CleanRecord::decode(*bytes) : std::nullopt;
    if (!record) // the file stays for a later try; it is not an orphan
        return false;
    entry->movesOnDisk = false;
    entry->record.moves = record->moves;
    entry->record.createdFolders = record->createdFolders;
    return !entry->record.moves.isEmpty();
}

QList<CleanHistory::Entry> CleanHistory::read(const QString& file) {
    const auto bytes = platform::readWholeFile(file, kMaxListingBytes);
    if (!bytes && platform::entryExists(file))
        qWarning("Vantor: %s is not a history it can read (not a file, or too large); it starts "
                 "a new one.",
                 qPrintable(file));
    QList<Entry> entries = bytes ? decode(*bytes) : QList<Entry>();
    for (Entry& e : entries) {
        if (!e.undone && e.record.moves.isEmpty() && platform::entryExists(movesFile(file, e.id)))
            e.movesOnDisk = true;
    }
    return entries;
}

std::optional<QList<CleanHistory::Entry>>
CleanHistory::write(const QString& file, QList<Entry> entries,
                    const QHash<QString, QByteArray>& encoded) {
    trim(&entries);
    const QString folder = platform::deletingLastPathComponent(movesFile(file, QString()));
    QSet<QString> kept;
    for (const Entry& e : std::as_const(entries)) {
        const QString moves = movesFile(file, e.id);
        if (e.movesOnDisk) {
            kept.insert(platform::lastPathComponent(moves));
        } else if (!e.undone && !e.record.moves.isEmpty()) {
            const auto known = encoded.constFind(e.id);
            if (!platform::makePath(folder) ||
                !platform::writeFileAtomically(moves, known != encoded.cend() ? *known
                                                                              : e.record.encode()))
                return std::nullopt;
            kept.insert(platform::lastPathComponent(moves));
        }
    }
    if (!platform::writeFileAtomically(file, encode(entries)))
        return std::nullopt;
    // Files of cleans put back or gone from the listing: only names this history gives.
    for (const platform::DirEntry& d :
         platform::listFolder(folder, false).value_or(QList<platform::DirEntry>())) {
        if (d.kind == platform::DirEntry::Kind::File && d.name.endsWith(u".json") &&
            validId(d.name.chopped(5)) && !kept.contains(d.name))
            platform::removeItem(platform::appendingPathComponent(folder, d.name));
    }
    for (Entry& e : entries) { // as a later read() would give them
        if (!e.undone && !e.record.moves.isEmpty()) {
            e.movesOnDisk = true;
            e.record.moves.clear();
            e.record.createdFolders.clear();
        }
    }
    return entries;
}

void CleanHistory::add(QList<Entry>* entries, Entry entry) {
    const qsizetype old = indexOf(*entries, entry.id);
    if (old >= 0)
        entries->removeAt(old);
    entries->prepend(std::move(entry));
    trim(entries);
}

void CleanHistory::trim(QList<Entry>* entries) {
    if (entries->size() > kLength)
        entries->resize(kLength);
}

qsizetype CleanHistory::indexOfRecord(QList<Entry>* entries, const std::optional<Record>& record,
                                      const QString& historyFile, const QByteArray& recordBytes,
                                      const QString& sameMovesId) {
    if (!record)
        return -1;
    for (qsizetype i = 0; i < entries->size(); ++i) {
        // Dates go through the file as fractional seconds: a millisecond either way is equal.
        // Two cleans can share a millisecond, so the moves must agree too, unless the entry
        // was kept without them by an older history.
        Entry& e = (*entries)[i];
        if (e.undone || std::abs(e.record.date.msecsTo(record->date)) > 1)
            continue;
        // A clean's file and last-clean.json are written from the same bytes, and stay so
        // through every undo that leaves both: equal bytes are equal moves, without decoding.
        if (e.movesOnDisk && !recordBytes.isEmpty() &&
            (e.id == sameMovesId || platform::readWholeFile(movesFile(historyFile, e.id),
                                                            kMaxMovesBytes) == recordBytes)) {
            e.movesOnDisk = false;
            e.record.moves = record->moves;
            e.record.createdFolders = record->createdFolders;
            return i;
        }
        loadMoves(historyFile, &e);
        if (e.record.moves == record->moves || e.record.moves.isEmpty())
            return i;
    }
    return -1;
}

qsizetype CleanHistory::indexOf(const QList<Entry>& entries, const QString& id) {
    for (qsizetype i = 0; i < entries.size(); ++i)
        if (entries[i].id == id)
            return i;
    return -1;
}

QString CleanHistory::newId(const QList<Entry>& entries) {
    for (;;) {
        const QString id =
            QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
        if (indexOf(entries, id) < 0)
            return id;
    }
}

QList<CleanSummary> CleanHistory::summary(const QList<Entry>& entries) {
    QList<CleanSummary> list;
    list.reserve(entries.size());
    for (const Entry& e : entries)
        list.append({e.id, e.record.date, e.moved, e.automatic, e.undone, e.putBackAt});
    return list;
}
