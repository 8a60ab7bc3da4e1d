#include "cleaner/CleanHistory.h"

#include "platform/FileSystem.h"
#include "rules/JsonWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

namespace {

QByteArray line(const CleanHistory::Entry& e) {
    return "{\"id\":" + json::string(e.id) + ",\"moved\":" + QByteArray::number(e.moved) +
           ",\"automatic\":" + (e.automatic ? "true" : "false") +
           ",\"undone\":" + (e.undone ? "true" : "false") +
           ",\"record\":" + DesktopCleaner::encodeRecord(e.record) + '}';
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
    auto decoded = DesktopCleaner::decodeRecord(
        QJsonDocument(record.toObject()).toJson(QJsonDocument::Compact));
    if (!decoded)
        return std::nullopt;
    CleanHistory::Entry e{id.toString(), automatic.toBool(), undone.toBool(), int(count),
                          std::move(*decoded)};
    if (e.undone) { // nothing is left to put back
        e.record.moves.clear();
        e.record.createdFolders.clear();
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
        if (entries.size() >= DesktopCleaner::kHistoryLength)
            break;
        auto e = entryFrom(v);
        if (e && indexOf(entries, e->id) < 0)
            entries.append(std::move(*e));
    }
    return entries;
}

QList<CleanHistory::Entry> CleanHistory::read(const QString& file) {
    const auto bytes = platform::readWholeFile(file);
    return bytes ? decode(*bytes) : QList<Entry>();
}

std::optional<QList<CleanHistory::Entry>> CleanHistory::write(const QString& file,
                                                              QList<Entry> entries) {
    trim(&entries);
    if (!platform::writeFileAtomically(file, encode(entries)))
        return std::nullopt;
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
    if (entries->size() > DesktopCleaner::kHistoryLength)
        entries->resize(DesktopCleaner::kHistoryLength);
    qsizetype total = 4; // the brackets and their line breaks
    for (qsizetype i = 0; i < entries->size(); ++i) {
        qsizetype size = line((*entries)[i]).size() + 2;
        if (i == 0 && total + size > kMaxBytes) {
            // Alone too big: kept as a date and a count, its moves left to last-clean.json.
            (*entries)[0].record.moves.clear();
            (*entries)[0].record.createdFolders.clear();
            size = line((*entries)[0]).size() + 2;
        }
        total += size;
        if (total > kMaxBytes) {
            entries->resize(i);
            return;
        }
    }
}

qsizetype CleanHistory::indexOfRecord(const QList<Entry>& entries,
                                      const std::optional<Record>& record) {
    if (!record)
        return -1;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        // Dates go through the file as fractional seconds: a millisecond either way is equal.
        // Two cleans can share a millisecond, so the moves must agree too, unless the entry
        // was kept without them.
        const Entry& e = entries[i];
        if (!e.undone && std::abs(e.record.date.msecsTo(record->date)) <= 1 &&
            (e.record.moves == record->moves || e.record.moves.isEmpty()))
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

QList<DesktopCleaner::HistoryEntry> CleanHistory::summary(const QList<Entry>& entries) {
    QList<DesktopCleaner::HistoryEntry> list;
    list.reserve(entries.size());
    for (const Entry& e : entries)
        list.append({e.id, e.record.date, e.moved, e.automatic, e.undone});
    return list;
}
