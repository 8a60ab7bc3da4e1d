#include "cleaner/CleanJournal.h"

#include "platform/JournalFile.h"

#include <QFile>
#include <QHash>

#include <algorithm>
#include <array>
#include <charconv>

namespace {

const QByteArray kMagic = "vantor-journal";

// A path as its bytes, percent-encoded where they could break a line or a field. Cheaper
// than a URL, and the journal is read by nothing but Vantor.
const QByteArray kKept = "/-._~!$&'()*+,;=:@";

// What toPercentEncoding(kKept) gives, written in place: a run of moves writes two paths a
// line, and building each as a byte array of its own cost more than the rest of the line.
// `text` holds bytes, or characters below 0x80.
template <class Char> void appendEscaped(QByteArray* out, const Char* text, qsizetype length) {
    static const auto kept = [] {
        std::array<bool, 256> table{};
        for (int c = 0; c < 256; ++c)
            table[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       kKept.contains(char(c));
        return table;
    }();
    static constexpr char kHex[] = "0123456789ABCDEF";
    const qsizetype start = out->size();
    out->resize(start + 3 * length);
    char* at = out->data() + start;
    for (qsizetype i = 0; i < length; ++i) {
        const auto u = static_cast<unsigned char>(text[i]);
        if (kept[u]) {
            *at++ = char(u);
        } else {
            *at++ = '%';
            *at++ = kHex[u >> 4];
            *at++ = kHex[u & 15];
        }
    }
    out->truncate(at - out->constData());
}

void appendLocation(QByteArray* out, const QString& path) {
    const auto* text = path.utf16();
    if (std::all_of(text, text + path.size(), [](auto c) { return c < 0x80; })) {
        appendEscaped(out, text, path.size()); // its bytes are its characters
        return;
    }
    const QByteArray bytes = QFile::encodeName(path);
    appendEscaped(out, bytes.constData(), bytes.size());
}

QByteArray location(const QString& path) {
    QByteArray out;
    appendLocation(&out, path);
    return out;
}

std::optional<QString> pathFrom(const QByteArray& text) {
    const QString path = QFile::decodeName(QByteArray::fromPercentEncoding(text));
    if (!path.startsWith(u'/') || text.isEmpty())
        return std::nullopt;
    return platform::standardize(path);
}

template <class Number> void appendNumber(QByteArray* out, Number n) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    out->append(digits, end - digits);
}

void appendIdentity(QByteArray* out, const platform::FileIdentity& id) {
    appendNumber(out, id.device);
    out->append(' ');
    appendNumber(out, id.inode);
    out->append(' ');
    appendNumber(out, int(id.type));
    for (const qint64 n : {id.size, id.modifiedNs, id.changedNs, id.bornNs}) {
        out->append(':');
        appendNumber(out, n);
    }
}

QByteArray identityText(const platform::FileIdentity& id) {
    QByteArray text;
    appendIdentity(&text, id);
    return text;
}

// From "device inode" and, in lines that have it, the state after them.
std::optional<platform::FileIdentity> identityFrom(const QList<QByteArray>& fields,
                                                   bool withState) {
    bool deviceOk = false, inodeOk = false;
    platform::FileIdentity id;
    id.device = fields[1].toULongLong(&deviceOk);
    id.inode = fields[2].toULongLong(&inodeOk);
    if (!deviceOk || !inodeOk)
        return std::nullopt;
    if (!withState)
        return id;
    const QList<QByteArray> state = fields[3].split(':');
    if (state.size() != 5)
        return std::nullopt;
    bool ok[5] = {};
    const int type = state[0].toInt(&ok[0]);
    id.size = state[1].toLongLong(&ok[1]);
    id.modifiedNs = state[2].toLongLong(&ok[2]);
    id.changedNs = state[3].toLongLong(&ok[3]);
    id.bornNs = state[4].toLongLong(&ok[4]);
    if (!(ok[0] && ok[1] && ok[2] && ok[3] && ok[4]) || type < 0 ||
        type > int(platform::FileIdentity::Type::Other))
        return std::nullopt;
    id.type = platform::FileIdentity::Type(type);
    id.hasState = true;
    return id;
}

QByteArray kindWord(CleanJournal::Kind kind) {
    switch (kind) {
    case CleanJournal::Kind::Clean:
        return "clean";
    case CleanJournal::Kind::Undo:
        return "undo";
    case CleanJournal::Kind::PutBack:
        break;
    }
    return "putback";
}

} // namespace

CleanJournal::CleanJournal(std::unique_ptr<platform::JournalFile> file) : m_file(std::move(file)) {}
CleanJournal::~CleanJournal() = default;

QString CleanJournal::fileIn(const QString& recordFolder, Kind kind) {
    switch (kind) {
    case Kind::Clean:
        return platform::appendingPathComponent(recordFolder, QStringLiteral("last-clean.journal"));
    case Kind::Undo:
        return platform::appendingPathComponent(recordFolder, QStringLiteral("last-undo.journal"));
    case Kind::PutBack:
        break;
    }
    return platform::appendingPathComponent(recordFolder, QStringLiteral("history-undo.journal"));
}

std::unique_ptr<CleanJournal> CleanJournal::begin(const QString& path, Kind kind,
                                                  const QDateTime& date) {
    auto file = platform::JournalFile::create(path);
    if (!file)
        return nullptr;
    const QByteArray header =
        kMagic + " 1 " + kindWord(kind) + ' ' + QByteArray::number(date.toMSecsSinceEpoch());
    if (!file->append(header))
        return nullptr;
    return std::unique_ptr<CleanJournal>(new CleanJournal(std::move(file)));
}

bool CleanJournal::folderCreated(const QString& folder) {
    return m_file->append("folder " + location(folder));
}

bool CleanJournal::entry(const QString& id, bool automatic) {
    return m_file->append("entry " + id.toUtf8().toPercentEncoding() + (automatic ? " auto" : ""));
}

bool CleanJournal::moveStarting(const QString& from, const QString& to,
                                const platform::FileIdentity& item) {
    queueMove(from, to, item);
    return flush();
}

void CleanJournal::queueMove(const QString& from, const QString& to,
                             const platform::FileIdentity& item) {
    if (!m_pending.isEmpty())
        m_pending += '\n';
    m_pending += "move ";
    appendIdentity(&m_pending, item);
    m_pending += ' ';
    appendLocation(&m_pending, from);
    m_pending += ' ';
    appendLocation(&m_pending, to);
}

bool CleanJournal::flush() {
    if (m_pending.isEmpty())
        return true;
    const bool ok = m_file->append(m_pending);
    m_pending.clear();
    return ok;
}

bool CleanJournal::copyComplete(const QString& to, const platform::FileIdentity& copy) {
    return m_file->append("copied " + identityText(copy) + ' ' + location(to));
}

bool CleanJournal::partialCreated(const QString& path, const platform::FileIdentity& id) {
    return m_file->append("partial " + identityText(id) + ' ' + location(path));
}

bool CleanJournal::sync() {
    return m_file->sync();
}

std::optional<CleanJournal::Contents> CleanJournal::read(const QString& path) {
    const auto lines = platform::JournalFile::readLines(path);
    if (!lines || lines->isEmpty())
        return std::nullopt;
    const QList<QByteArray> header = lines->first().split(' ');
    std::optional<Kind> kind;
    for (Kind k : {Kind::Clean, Kind::Undo, Kind::PutBack})
        if (header.size() == 4 && header[2] == kindWord(k))
            kind = k;
    if (!kind || header[0] != kMagic || header[1] != "1")
        return std::nullopt;
    bool dateOk = false;
    const qint64 ms = header[3].toLongLong(&dateOk);
    if (!dateOk)
        return std::nullopt;

    Contents contents;
    contents.kind = *kind;
    contents.date = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    QHash<QString, qsizetype> lastMoveTo; // so that a copy finds its move at once
    for (qsizetype i = 1; i < lines->size(); ++i) {
        const QList<QByteArray> f = lines->at(i).split(' ');
        if (f[0] == "entry" && (f.size() == 2 || f.size() == 3)) {
            contents.entryId = QString::fromUtf8(QByteArray::fromPercentEncoding(f[1]));
            contents.automatic = f.size() == 3 && f[2] == "auto";
        } else if (f[0] == "folder" && f.size() == 2) {
            if (const auto folder = pathFrom(f[1]))
                contents.createdFolders.append(*folder);
        } else if (f[0] == "move" && (f.size() == 5 || f.size() == 6)) {
            const bool withState = f.size() == 6;
            const auto item = identityFrom(f, withState);
            const auto from = pathFrom(f[f.size() - 2]), to = pathFrom(f[f.size() - 1]);
            if (item && from && to) {
                lastMoveTo.insert(*to, contents.moves.size());
                contents.moves.append({*from, *to, *item, std::nullopt});
            }
        } else if (f[0] == "copied" && (f.size() == 4 || f.size() == 5)) {
            const auto to = pathFrom(f.last());
            const auto move = to ? lastMoveTo.constFind(*to) : lastMoveTo.constEnd();
            if (move != lastMoveTo.constEnd())
                contents.moves[*move].copy = identityFrom(f, f.size() == 5);
        } else if (f[0] == "partial" && f.size() == 5) {
            const auto id = identityFrom(f, true);
            if (const auto path = pathFrom(f[4]); id && path)
                contents.partials.append({*path, *id});
        }
    }
    return contents;
}
