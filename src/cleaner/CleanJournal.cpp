#include "cleaner/CleanJournal.h"

#include "platform/JournalFile.h"

#include <QFile>

namespace {

const QByteArray kMagic = "vantor-journal";

// A path as its bytes, percent-encoded where they could break a line or a field. Cheaper
// than a URL, and the journal is read by nothing but Vantor.
const QByteArray kKept = "/-._~!$&'()*+,;=:@";

QByteArray location(const QString& path) {
    return QFile::encodeName(path).toPercentEncoding(kKept);
}

std::optional<QString> pathFrom(const QByteArray& text) {
    const QString path = QFile::decodeName(QByteArray::fromPercentEncoding(text));
    if (!path.startsWith(u'/') || text.isEmpty())
        return std::nullopt;
    return platform::standardize(path);
}

QByteArray identityText(const platform::FileIdentity& id) {
    return QByteArray::number(id.device) + ' ' + QByteArray::number(id.inode);
}

std::optional<platform::FileIdentity> identityFrom(const QByteArray& device,
                                                   const QByteArray& inode) {
    bool deviceOk = false, inodeOk = false;
    platform::FileIdentity id;
    id.device = device.toULongLong(&deviceOk);
    id.inode = inode.toULongLong(&inodeOk);
    if (!deviceOk || !inodeOk)
        return std::nullopt;
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
    m_pending += "move " + identityText(item) + ' ' + location(from) + ' ' + location(to);
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
    for (qsizetype i = 1; i < lines->size(); ++i) {
        const QList<QByteArray> f = lines->at(i).split(' ');
        if (f[0] == "entry" && (f.size() == 2 || f.size() == 3)) {
            contents.entryId = QString::fromUtf8(QByteArray::fromPercentEncoding(f[1]));
            contents.automatic = f.size() == 3 && f[2] == "auto";
        } else if (f[0] == "folder" && f.size() == 2) {
            if (const auto folder = pathFrom(f[1]))
                contents.createdFolders.append(*folder);
        } else if (f[0] == "move" && f.size() == 5) {
            const auto item = identityFrom(f[1], f[2]);
            const auto from = pathFrom(f[3]), to = pathFrom(f[4]);
            if (item && from && to)
                contents.moves.append({*from, *to, *item, std::nullopt});
        } else if (f[0] == "copied" && f.size() == 4) {
            const auto to = pathFrom(f[3]);
            for (qsizetype m = contents.moves.size() - 1; to && m >= 0; --m) {
                if (contents.moves[m].to == *to) {
                    contents.moves[m].copy = identityFrom(f[1], f[2]);
                    break;
                }
            }
        }
    }
    return contents;
}
