#include "cleaner/DesktopCleaner.h"

#include "platform/DirectoryWatch.h"
#include "platform/FileSystem.h"
#include "rules/JsonWriter.h"
#include "rules/RuleStore.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>
#include <QUrl>

#include <cmath>

namespace {

constexpr int kRescanDelayMs = 400;
// A free name is claimed by someone else between our check and our move only in a race;
// a bounded number of retries keeps a misbehaving file system from looping forever.
constexpr int kMoveAttempts = 64;

const QDateTime& referenceDate() {
    static const QDateTime date(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return date;
}

QByteArray fileUrl(const QString& path, bool folder) {
    QString p = path;
    if (folder && !p.endsWith(u'/'))
        p += u'/';
    return QUrl::fromLocalFile(p).toString(QUrl::FullyEncoded).toUtf8();
}

// Only absolute file URLs are accepted: a record names the files Vantor will move back.
std::optional<QString> pathFromUrl(const QJsonValue& value) {
    if (!value.isString())
        return std::nullopt;
    const QUrl url(value.toString(), QUrl::StrictMode);
    if (!url.isValid() || !url.isLocalFile())
        return std::nullopt;
    const QString path = url.toLocalFile();
    if (!path.startsWith(u'/'))
        return std::nullopt;
    return platform::standardize(path);
}

// Metadata files that file managers leave in folders they have shown. An undo removes a
// folder it created when only these remain; any other entry, hidden or not, keeps it.
bool isFolderMetadata(const platform::DirEntry& entry) {
    return entry.kind == platform::DirEntry::Kind::File &&
           (entry.name == u".DS_Store" || entry.name == u".directory" ||
            entry.name == u".localized");
}

// Deletes the metadata files one by one and then the folder itself without recursion, so
// nothing else, not even a file that arrived a moment ago, can go with it.
void removeIfLeftEmpty(const QString& folder) {
    const auto entries = platform::listFolder(folder, /*skipHidden=*/false);
    if (!entries || !std::all_of(entries->begin(), entries->end(), isFolderMetadata))
        return;
    for (const platform::DirEntry& entry : *entries)
        platform::removeItem(platform::appendingPathComponent(folder, entry.name));
    platform::removeEmptyFolder(folder);
}

} // namespace

int DesktopCleaner::Scan::totalFiles() const {
    int total = 0;
    for (const Group& g : groups)
        total += int(g.files.size());
    return total;
}

DesktopCleaner::DesktopCleaner(RuleStore* rules, const QString& desktop,
                               const QString& recordFolder, QObject* parent, platform::Clock& clock)
    : QObject(parent), m_rules(rules), m_desktop(platform::standardize(desktop)),
      m_recordFolder(recordFolder), m_clock(clock), m_pendingRescan(clock.makeTimer()) {
    if (const auto bytes = platform::readWholeFile(recordFile()))
        m_lastClean = decodeRecord(*bytes);

    // One rescan per published list, queued so it runs with the new list in place; the
    // connection dies with the cleaner.
    connect(m_rules, &RuleStore::rulesChanged, this, &DesktopCleaner::rescan, Qt::QueuedConnection);

    connect(m_pendingRescan.get(), &platform::Timer::timeout, this, &DesktopCleaner::rescan);
}

DesktopCleaner::~DesktopCleaner() = default;

bool DesktopCleaner::isWatching() const {
    return m_watcher != nullptr;
}

void DesktopCleaner::setScan(Scan scan) {
    m_scan = std::move(scan);
    emit scanChanged();
}

void DesktopCleaner::setStatus(Status status) {
    m_status = status;
    emit statusChanged();
}

void DesktopCleaner::setLastClean(std::optional<CleanRecord> record) {
    m_lastClean = std::move(record);
    emit lastCleanChanged();
}

void DesktopCleaner::rescan() {
    const auto entries = platform::listFolder(m_desktop, /*skipHidden=*/true);
    if (!entries) {
        setScan({});
        setStatus(Status::noAccess());
        return;
    }

    const QList<SortRule>& rules = m_rules->rules();
    // Type → index of the first rule holding it, so each entry costs one lookup. Rules
    // whose folder is the Desktop itself take nothing.
    QHash<QString, qsizetype> ruleByType;
    QList<bool> takesFiles(rules.size());
    for (qsizetype i = 0; i < rules.size(); ++i) {
        takesFiles[i] = rules[i].destinationURL() != m_desktop;
        for (const QString& type : rules[i].extensions)
            if (!ruleByType.contains(type))
                ruleByType.insert(type, i);
    }

    QList<QStringList> names(rules.size());
    int other = 0;
    for (const platform::DirEntry& entry : *entries) {
        switch (entry.kind) {
        case platform::DirEntry::Kind::Symlink:
            ++other;
            continue;
        case platform::DirEntry::Kind::Directory:
            continue;
        case platform::DirEntry::Kind::File:
            break;
        }
        if (!entry.nameIsValid) { // cannot be moved by name: it stays
            ++other;
            continue;
        }
        const auto found = ruleByType.constFind(platform::pathExtension(entry.name).toLower());
        if (found != ruleByType.cend() && takesFiles[*found])
            names[*found].append(entry.name);
        else
            ++other;
    }

    Scan scan;
    scan.other = other;
    scan.groups.reserve(rules.size());
    const QString prefix = m_desktop.endsWith(u'/') ? m_desktop : m_desktop + u'/';
    for (qsizetype i = 0; i < rules.size(); ++i) {
        m_nameOrder.stableSort(names[i], [](const QString& n) -> const QString& { return n; });
        QStringList files;
        files.reserve(names[i].size());
        for (const QString& name : std::as_const(names[i]))
            files.append(prefix + name);
        scan.groups.append({rules[i], std::move(files)});
    }
    setScan(std::move(scan));

    if (m_status.kind == Status::Kind::NoAccess)
        setStatus(Status::idle());
    if (!m_watcher)
        startWatching();
}

void DesktopCleaner::startWatching() {
    auto* watch = new platform::DirectoryWatch(m_desktop, this);
    if (!watch->isValid()) {
        delete watch; // tried again at the next successful rescan
        return;
    }
    m_watcher = watch;
    connect(watch, &platform::DirectoryWatch::changed, this,
            [this] { m_pendingRescan->start(kRescanDelayMs); });
    connect(watch, &platform::DirectoryWatch::folderGone, this, [this] {
        // The old folder object is gone: drop its watch so the next successful rescan
        // watches whatever folder stands at the Desktop's path then.
        stopWatching();
        m_pendingRescan->start(kRescanDelayMs);
    });
}

void DesktopCleaner::stopWatching() {
    if (m_watcher)
        m_watcher->deleteLater();
    m_watcher = nullptr;
}

QString DesktopCleaner::uniqueDestination(const QString& name, const QString& folder) {
    const QString first = platform::appendingPathComponent(folder, name);
    if (!platform::entryExists(first))
        return first;
    const QString base = platform::deletingPathExtension(name);
    const QString extension = platform::pathExtension(name);
    for (qint64 n = 2;; ++n) {
        QString candidate = base + u' ' + QString::number(n);
        if (!extension.isEmpty())
            candidate += u'.' + extension;
        candidate = platform::appendingPathComponent(folder, candidate);
        if (!platform::entryExists(candidate))
            return candidate;
    }
}

std::optional<QString> DesktopCleaner::moveToFreeName(const QString& from, const QString& name,
                                                      const QString& folder,
                                                      const MoveFunction& move) {
    for (int attempt = 0; attempt < kMoveAttempts; ++attempt) {
        const QString target = uniqueDestination(name, folder);
        switch (move(from, target)) {
        case platform::MoveResult::Moved:
            return target;
        case platform::MoveResult::TargetExists:
            continue; // taken since we looked: choose again
        case platform::MoveResult::Failed:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

void DesktopCleaner::clean() {
    rescan();
    if (m_status.kind == Status::Kind::NoAccess)
        return;
    if (m_scan.totalFiles() <= 0)
        return;

    QList<Move> moves;
    QStringList createdFolders;
    int failed = 0;
    const Scan scan = m_scan;
    for (const Group& group : scan.groups) {
        if (group.files.isEmpty())
            continue;
        const QString folder = group.rule.destinationURL();
        if (platform::exists(folder)) {
            if (!platform::isDirectory(folder)) {
                failed += int(group.files.size());
                continue;
            }
        } else {
            if (!platform::makePath(folder)) {
                failed += int(group.files.size());
                continue;
            }
            createdFolders.append(folder);
        }
        for (const QString& file : group.files) {
            if (const auto to = moveToFreeName(file, platform::lastPathComponent(file), folder))
                moves.append({file, *to});
            else
                ++failed;
        }
    }

    if (!moves.isEmpty()) {
        setLastClean(CleanRecord{m_clock.now(), moves, createdFolders});
        saveRecord();
    }
    setStatus(Status::cleaned(int(moves.size()), failed));
    rescan();
}

void DesktopCleaner::undo() {
    if (!m_lastClean)
        return;
    const CleanRecord record = *m_lastClean;
    int restored = 0, failed = 0;
    for (auto move = record.moves.crbegin(); move != record.moves.crend(); ++move) {
        // An item moved away or deleted since the clean fails its move back: counted.
        const QString origin = platform::deletingLastPathComponent(move->from);
        if (moveToFreeName(move->to, platform::lastPathComponent(move->from), origin))
            ++restored;
        else
            ++failed;
    }

    for (const QString& folder : record.createdFolders)
        removeIfLeftEmpty(folder);

    setLastClean(std::nullopt);
    saveRecord();
    setStatus(Status::undone(restored, failed));
    rescan();
}

QString DesktopCleaner::recordFile() const {
    platform::makePath(m_recordFolder);
    return platform::appendingPathComponent(m_recordFolder, "last-clean.json");
}

void DesktopCleaner::saveRecord() {
    if (m_lastClean)
        platform::writeFileAtomically(recordFile(), encodeRecord(*m_lastClean));
    else
        platform::removeItem(recordFile());
}

QByteArray DesktopCleaner::encodeRecord(const CleanRecord& record) {
    const double seconds = double(referenceDate().msecsTo(record.date)) / 1000.0;
    QByteArray out = "{\"date\":" + json::number(seconds) + ",\"moves\":[";
    for (qsizetype i = 0; i < record.moves.size(); ++i) {
        if (i > 0)
            out += ',';
        out += "{\"from\":" + json::string(QString::fromUtf8(fileUrl(record.moves[i].from, false)));
        out += ",\"to\":" + json::string(QString::fromUtf8(fileUrl(record.moves[i].to, false)));
        out += '}';
    }
    out += "],\"createdFolders\":[";
    for (qsizetype i = 0; i < record.createdFolders.size(); ++i) {
        if (i > 0)
            out += ',';
        out += json::string(QString::fromUtf8(fileUrl(record.createdFolders[i], true)));
    }
    out += "]}";
    return out;
}

std::optional<DesktopCleaner::CleanRecord> DesktopCleaner::decodeRecord(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    const QJsonValue date = o.value(u"date"), moves = o.value(u"moves"),
                     folders = o.value(u"createdFolders");
    // Dates beyond a few thousand years are not a clean Vantor made.
    if (!date.isDouble() || !std::isfinite(date.toDouble()) || std::abs(date.toDouble()) > 1e11 ||
        !moves.isArray() || !folders.isArray())
        return std::nullopt;

    CleanRecord record;
    record.date = referenceDate().addMSecs(qint64(std::llround(date.toDouble() * 1000.0)));
    for (const QJsonValue m : moves.toArray()) {
        if (!m.isObject())
            return std::nullopt;
        const auto from = pathFromUrl(m.toObject().value(u"from"));
        const auto to = pathFromUrl(m.toObject().value(u"to"));
        if (!from || !to)
            return std::nullopt;
        record.moves.append({*from, *to});
    }
    for (const QJsonValue f : folders.toArray()) {
        const auto folder = pathFromUrl(f);
        if (!folder)
            return std::nullopt;
        record.createdFolders.append(*folder);
    }
    return record;
}
