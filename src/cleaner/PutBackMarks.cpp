#include "cleaner/PutBackMarks.h"

#include "platform/FileSystem.h"
#include "rules/JsonWriter.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <charconv>

#include <sys/stat.h>

QString PutBackMarks::fileIn(const QString& recordFolder) {
    return platform::appendingPathComponent(recordFolder, QStringLiteral("put-back.json"));
}

std::optional<PutBackMarks::Mark> PutBackMarks::markFor(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return Mark{path, quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::optional<PutBackMarks::Mark> PutBackMarks::markFor(const QString& path,
                                                        const platform::FileIdentity& id) {
    if (id.type != platform::FileIdentity::Type::File || !id.hasState)
        return std::nullopt;
    return Mark{path, id.device, id.inode, id.size, id.modifiedNs};
}

bool PutBackMarks::holds(const Mark& mark) {
    const auto now = markFor(mark.path);
    return now && *now == mark;
}

namespace {

template <class Number> void appendNumber(QByteArray* out, Number n) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    out->append(digits, end - digits);
}

// json::string(path), written in place where the path is plain ASCII, as nearly all are.
void appendString(QByteArray* out, const QString& path) {
    const auto* text = path.utf16();
    if (!std::all_of(text, text + path.size(), [](auto c) { return c >= 0x20 && c < 0x80; })) {
        *out += json::string(path);
        return;
    }
    const qsizetype start = out->size();
    out->resize(start + 2 * path.size() + 2);
    char* at = out->data() + start;
    *at++ = '"';
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char c = char(text[i]);
        if (c == '"' || c == '\\' || c == '/')
            *at++ = '\\';
        *at++ = c;
    }
    *at++ = '"';
    out->truncate(at - out->constData());
}

} // namespace

// Numbers as strings: device and inode numbers do not fit a JSON double. Appended in place,
// as an undo writes thousands.
QByteArray PutBackMarks::encode(const QList<Mark>& marks) {
    QByteArray out = "[";
    qsizetype pathBytes = 0;
    for (const Mark& m : marks)
        pathBytes += m.path.size();
    out.reserve(pathBytes * 2 + marks.size() * 128 + 8);
    for (qsizetype i = 0; i < marks.size(); ++i) {
        const Mark& m = marks[i];
        out += i > 0 ? ",\n{\"path\":" : "\n{\"path\":";
        appendString(&out, m.path);
        out += ",\"device\":\"";
        appendNumber(&out, m.device);
        out += "\",\"inode\":\"";
        appendNumber(&out, m.inode);
        out += "\",\"size\":\"";
        appendNumber(&out, m.size);
        out += "\",\"modified\":\"";
        appendNumber(&out, m.modified);
        out += "\"}";
    }
    out += "\n]\n";
    return out;
}

QList<PutBackMarks::Mark> PutBackMarks::decode(const QByteArray& bytes) {
    const QJsonDocument doc = QJsonDocument::fromJson(bytes);
    QList<Mark> marks;
    for (const QJsonValue v : doc.array()) {
        const QJsonObject o = v.toObject();
        bool ok[4] = {};
        Mark m{o.value(u"path").toString(), o.value(u"device").toString().toULongLong(&ok[0]),
               o.value(u"inode").toString().toULongLong(&ok[1]),
               o.value(u"size").toString().toLongLong(&ok[2]),
               o.value(u"modified").toString().toLongLong(&ok[3])};
        if (m.path.startsWith(u'/') && ok[0] && ok[1] && ok[2] && ok[3])
            marks.append(m);
    }
    return marks;
}

QList<PutBackMarks::Mark> PutBackMarks::read(const QString& file, QByteArray* bytes) {
    // kMaxMarks marks of the longest paths there can be.
    const auto read = platform::readWholeFile(file, kMaxMarks * 4200);
    if (bytes)
        *bytes = read.value_or(QByteArray());
    QList<Mark> marks = read ? decode(*read) : QList<Mark>();
    marks.removeIf([](const Mark& m) { return !holds(m); });
    return marks;
}

std::optional<QList<PutBackMarks::Mark>> PutBackMarks::add(const QString& file,
                                                           const QStringList& paths) {
    QList<Mark> added;
    // Only the newest marks are kept: an undo of thousands need not look at the rest.
    for (const QString& path : paths.mid(std::max<qsizetype>(0, paths.size() - kMaxMarks)))
        if (const auto m = markFor(path))
            added.append(*m);
    QList<Mark> marks = read(file);
    const QSet<QString> replaced(paths.begin(), paths.end());
    marks.removeIf([&](const Mark& m) { return replaced.contains(m.path); });
    return add(file, marks, added);
}

std::optional<QList<PutBackMarks::Mark>> PutBackMarks::add(const QString& file, QList<Mark> marks,
                                                           const QList<Mark>& added,
                                                           QByteArray* bytes) {
    if (!marks.isEmpty()) { // after a clean moved the files of the last undo, mostly none
        QSet<QString> paths;
        for (const Mark& m : added)
            paths.insert(m.path);
        marks.removeIf([&](const Mark& m) { return paths.contains(m.path); });
    }
    marks.append(added.mid(std::max<qsizetype>(0, added.size() - kMaxMarks)));
    if (marks.size() > kMaxMarks)
        marks.remove(0, marks.size() - kMaxMarks);
    const QByteArray encoded = marks.isEmpty() ? QByteArray() : encode(marks);
    const bool written = marks.isEmpty()
                             ? platform::removeItem(file) || !platform::entryExists(file)
                             : platform::writeFileAtomically(file, encoded);
    if (!written)
        return std::nullopt;
    if (bytes)
        *bytes = encoded;
    return marks;
}
