#include "cleaner/DesktopCleaner.h"

#include "cleaner/CleanHistory.h"
#include "cleaner/CleanWork.h"
#include "platform/DirectoryWatch.h"
#include "platform/FileSystem.h"
#include "rules/JsonWriter.h"
#include "rules/RuleStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QThread>
#include <QTimeZone>
#include <QUrl>

#include <cmath>

namespace {

// A free name is claimed by someone else between our check and our move only in a race;
// a bounded number of retries keeps a misbehaving file system from looping forever.
constexpr int kMoveAttempts = 64;

constexpr int kRescanDelayMs = 400;
// Progress from started work comes at most this often, so the event loop is not flooded.
constexpr qint64 kProgressIntervalMs = 30;

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

bool isAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

QStringList ruleFolders(const RuleStore& store) {
    QStringList folders;
    for (const SortRule& rule : store.rules())
        folders.append(rule.destinationURL());
    return folders;
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
    CleanWork::History history;
    CleanWork::Marks marks;
    m_lastClean = CleanWork(m_recordFolder, m_desktop, ruleFolders(*m_rules), 0)
                      .loadWithRecovery(&history, &marks);
    CleanWorkResult loaded;
    loaded.history = history;
    loaded.marks = marks;
    applyHistory(loaded);

    // One rescan per published list, queued so it runs with the new list in place; the
    // connection dies with the cleaner.
    connect(m_rules, &RuleStore::rulesChanged, this, &DesktopCleaner::rescan, Qt::QueuedConnection);

    connect(m_pendingRescan.get(), &platform::Timer::timeout, this, &DesktopCleaner::rescan);
}

DesktopCleaner::~DesktopCleaner() {
    if (m_worker) {
        cancel();
        m_worker->wait();
        delete m_worker;
    }
}

QString DesktopCleaner::noticeText(Notice notice) {
    switch (notice) {
    case Notice::None:
        return QString();
    case Notice::RecordNotSaved:
        return QCoreApplication::translate(
            "DesktopCleaner", "Couldn't save the record for Undo, so nothing was moved.");
    case Notice::Busy:
        return QCoreApplication::translate(
            "DesktopCleaner", "Vantor is busy with another clean. Try again in a moment.");
    }
    return QString();
}

QString DesktopCleaner::recordStoppedText() {
    return QCoreApplication::translate(
        "DesktopCleaner", "Couldn't save the record for Undo, so nothing more was moved.");
}

void DesktopCleaner::setNotice(Notice notice) {
    m_notice = notice;
    emit noticeChanged();
}

void DesktopCleaner::cancel() {
    m_cancel.store(true);
}

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
    applyScan(computeScan(m_rules->rules(), m_desktop, m_nameOrder));
}

void DesktopCleaner::applyScan(const std::optional<Scan>& scan) {
    if (!scan) {
        setScan({});
        setStatus(Status::noAccess());
        return;
    }
    setScan(*scan);
    if (m_status.kind == Status::Kind::NoAccess)
        setStatus(Status::idle());
    if (!m_watcher)
        startWatching();
}

std::optional<DesktopCleaner::Scan> DesktopCleaner::computeScan(const QList<SortRule>& rules,
                                                                const QString& desktop,
                                                                platform::NameOrder& nameOrder) {
    // The home folder (or one above it) is never tidied, by whatever path it was given.
    const bool usable = !platform::isHomeOrAbove(desktop);
    const auto entries = usable ? platform::listFolder(desktop, /*skipHidden=*/true) : std::nullopt;
    if (!entries)
        return std::nullopt;

    // Type → index of the first rule holding it, so each entry costs one lookup. Rules
    // whose folder is the Desktop itself, by any path, take nothing; nor do folders the
    // record could not name.
    QHash<QString, qsizetype> ruleByType;
    QList<bool> takesFiles(rules.size());
    const QString prefix = desktop.endsWith(u'/') ? desktop : desktop + u'/';
    const bool desktopRecordable = recordCanHold(prefix + u'x');
    for (qsizetype i = 0; i < rules.size(); ++i) {
        const QString folder = rules[i].destinationURL();
        takesFiles[i] =
            desktopRecordable && !platform::isSameFolder(folder, desktop) &&
            recordCanHold(platform::appendingPathComponent(folder, QStringLiteral("x")));
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
        // A name that is not UTF-8 cannot be moved by name, and one the record cannot
        // name could not be put back: either stays.
        if (!entry.nameIsValid || (!isAscii(entry.name) && !recordCanHold(prefix + entry.name))) {
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
    for (qsizetype i = 0; i < rules.size(); ++i) {
        nameOrder.stableSort(names[i], [](const QString& n) -> const QString& { return n; });
        QStringList files;
        files.reserve(names[i].size());
        for (const QString& name : std::as_const(names[i]))
            files.append(prefix + name);
        scan.groups.append({rules[i], std::move(files)});
    }
    return scan;
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
        case platform::MoveResult::InUse:
        case platform::MoveResult::Failed:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

bool DesktopCleaner::prepareClean(QList<std::pair<QString, QStringList>>* batches) {
    rescan();
    if (m_status.kind == Status::Kind::NoAccess)
        return false;
    if (m_scan.totalFiles() <= 0)
        return false;
    for (const Group& group : m_scan.groups) {
        if (!group.files.isEmpty())
            batches->append({group.rule.destinationURL(), group.files});
    }
    return true;
}

namespace {

QList<CleanWork::Batch> toBatches(const QList<std::pair<QString, QStringList>>& list) {
    QList<CleanWork::Batch> batches;
    for (const auto& [folder, files] : list)
        batches.append({folder, files});
    return batches;
}

} // namespace

void DesktopCleaner::clean() {
    if (isBusy()) {
        setNotice(Notice::Busy);
        return;
    }
    QList<std::pair<QString, QStringList>> batches;
    if (!prepareClean(&batches))
        return;
    m_cancel.store(false);
    const CleanWork work = makeWork();
    finishClean(work.clean(toBatches(batches), m_cancel,
                           [this](int done, int total) { emit progress(done, total); }));
}

void DesktopCleaner::undo() {
    if (!m_lastClean)
        return;
    if (isBusy()) {
        setNotice(Notice::Busy);
        return;
    }
    m_cancel.store(false);
    const CleanWork work = makeWork();
    finishUndo(work.undo(m_cancel, [this](int done, int total) { emit progress(done, total); }));
}

namespace {

QList<CleanWork::Batch> batchesOf(const DesktopCleaner::Scan& scan,
                                  const std::optional<QStringList>& only = std::nullopt) {
    const QSet<QString> wanted = only ? QSet<QString>(only->begin(), only->end()) : QSet<QString>();
    QList<CleanWork::Batch> batches;
    for (const DesktopCleaner::Group& group : scan.groups) {
        QStringList files = group.files;
        if (only)
            files.removeIf([&](const QString& file) { return !wanted.contains(file); });
        if (!files.isEmpty())
            batches.append({group.rule.destinationURL(), files});
    }
    return batches;
}

} // namespace

// Even the scans run on the worker, so a Desktop of many thousand files never holds up this
// thread; each scan is published here as rescan() publishes it.
void DesktopCleaner::startClean(const CleanOptions& options) {
    if (isBusy())
        return;
    m_undoing = false;
    const CleanWork work = makeWork();
    const QList<SortRule> rules = m_rules->rules();
    const QString desktop = m_desktop;
    runInBackground(
        [this, work, rules, desktop, only = options.only,
         automatic = options.automatic](const CleanWork::Progress& progress) {
            platform::NameOrder nameOrder;
            const auto scan = computeScan(rules, desktop, nameOrder);
            QMetaObject::invokeMethod(
                this, [this, scan] { applyScan(scan); }, Qt::QueuedConnection);
            CleanWorkResult result;
            const QList<CleanWork::Batch> batches =
                scan ? batchesOf(*scan, only) : QList<CleanWork::Batch>();
            if (batches.isEmpty()) {
                result.outcome = CleanWorkOutcome::NoWork;
                return result;
            }
            result = work.clean(batches, m_cancel, progress, automatic);
            if (result.outcome == CleanWorkOutcome::Done)
                result.scanAfter = computeScan(rules, desktop, nameOrder);
            return result;
        },
        &DesktopCleaner::finishClean);
}

void DesktopCleaner::startUndo() {
    if (isBusy() || !m_lastClean)
        return;
    startUndoWork(std::nullopt);
}

void DesktopCleaner::startUndo(const QString& historyId) {
    if (isBusy())
        return;
    startUndoWork(historyId);
}

void DesktopCleaner::startUndoWork(const std::optional<QString>& historyId) {
    m_undoing = true;
    const CleanWork work = makeWork();
    const QList<SortRule> rules = m_rules->rules();
    const QString desktop = m_desktop;
    runInBackground(
        [this, work, rules, desktop, historyId](const CleanWork::Progress& progress) {
            CleanWorkResult result = historyId ? work.undoEntry(*historyId, m_cancel, progress)
                                               : work.undo(m_cancel, progress);
            if (result.outcome == CleanWorkOutcome::Done) {
                platform::NameOrder nameOrder;
                result.scanAfter = computeScan(rules, desktop, nameOrder);
            }
            return result;
        },
        &DesktopCleaner::finishUndo);
}

void DesktopCleaner::runInBackground(
    std::function<CleanWorkResult(const std::function<void(int, int)>&)> work,
    void (DesktopCleaner::*finish)(const CleanWorkResult&)) {
    m_cancel.store(false);
    auto result = std::make_shared<CleanWorkResult>();
    // Progress goes through the event loop, thinned out; the first and last always go.
    auto report = [this, last = std::make_shared<QElapsedTimer>()](int done, int total) {
        if (done != 0 && done != total && last->isValid() && last->elapsed() < kProgressIntervalMs)
            return;
        last->start();
        QMetaObject::invokeMethod(
            this, [this, done, total] { emit progress(done, total); }, Qt::QueuedConnection);
    };
    m_worker =
        QThread::create([work = std::move(work), result, report] { *result = work(report); });
    connect(m_worker, &QThread::finished, this, [this, result, finish] {
        m_worker->deleteLater();
        m_worker = nullptr;
        emit busyChanged(false);
        (this->*finish)(*result);
    });
    m_worker->start();
    emit busyChanged(true);
}

CleanWork DesktopCleaner::makeWork() const {
    CleanWork work(m_recordFolder, m_desktop, ruleFolders(*m_rules), m_busyWaitMs);
    work.setKnownRecord(m_lastCleanBytes, m_lastClean);
    return work;
}

void DesktopCleaner::finishClean(const CleanWorkResult& result) {
    applyHistory(result);
    switch (result.outcome) {
    case CleanWorkOutcome::Busy:
        setNotice(Notice::Busy);
        return;
    case CleanWorkOutcome::NoJournal:
        if (result.record != m_lastClean)
            setLastClean(result.record);
        setNotice(Notice::RecordNotSaved);
        return;
    case CleanWorkOutcome::NoWork:
        return;
    case CleanWorkOutcome::NoRecord:
    case CleanWorkOutcome::Done:
        break;
    }
    if (m_notice != Notice::None)
        setNotice(Notice::None);
    m_lastCleanBytes = result.recordBytes;
    if (result.done > 0 || result.record != m_lastClean)
        setLastClean(result.record);
    setStatus(Status::cleaned(result.done, result.failed, result.inUse, result.recordStopped));
    finishWithScan(result);
    if (result.done > 0 && !m_history.isEmpty())
        emit cleaned(m_history.first());
}

void DesktopCleaner::finishWithScan(const CleanWorkResult& result) {
    if (result.scanAfter)
        applyScan(*result.scanAfter);
    else
        rescan();
}

void DesktopCleaner::finishUndo(const CleanWorkResult& result) {
    applyHistory(result);
    // Another cleaner may have changed last-clean.json meanwhile: follow it.
    const auto followRecord = [this, &result] {
        if (result.record != m_lastClean) {
            m_lastCleanBytes.clear();
            setLastClean(result.record);
        }
    };
    switch (result.outcome) {
    case CleanWorkOutcome::Busy:
        setNotice(Notice::Busy);
        return;
    case CleanWorkOutcome::NoWork:
        return;
    case CleanWorkOutcome::NoJournal:
    case CleanWorkOutcome::NoRecord: // another cleaner put it back or replaced it first
        if (result.fromHistory)
            followRecord();
        else if (m_lastClean)
            setLastClean(std::nullopt);
        return;
    case CleanWorkOutcome::Done:
        break;
    }
    if (m_notice != Notice::None)
        setNotice(Notice::None);
    if (result.fromHistory) {
        followRecord();
    } else {
        m_lastCleanBytes = result.recordBytes;
        setLastClean(result.record);
    }
    setStatus(Status::undone(result.done, result.failed, result.inUse));
    finishWithScan(result);
}

void DesktopCleaner::applyHistory(const CleanWorkResult& result) {
    if (result.marks) {
        m_marks.clear();
        for (const PutBackMarks::Mark& mark : *result.marks)
            m_marks.insert(mark.path, mark);
    }
    if (!result.history)
        return;
    QList<HistoryEntry> history = CleanHistory::summary(*result.history);
    if (history == m_history)
        return;
    m_history = std::move(history);
    emit historyChanged();
}

bool DesktopCleaner::recordCanHold(const QString& path) {
    const CleanRecord probe{referenceDate(), {{path, path}}, {}};
    const auto back = decodeRecord(encodeRecord(probe));
    return back && back->moves.size() == 1 && back->moves[0].from == path;
}

QString DesktopCleaner::recordFile() const {
    platform::makePath(m_recordFolder);
    return platform::appendingPathComponent(m_recordFolder, "last-clean.json");
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

void DesktopCleaner::undo(const QString& historyId) {
    if (isBusy()) {
        setNotice(Notice::Busy);
        return;
    }
    m_cancel.store(false);
    const CleanWork work = makeWork();
    finishUndo(work.undoEntry(historyId, m_cancel,
                              [this](int done, int total) { emit progress(done, total); }));
}

bool DesktopCleaner::isPutBack(const QString& path) const {
    const auto mark = m_marks.constFind(platform::standardize(path));
    return mark != m_marks.cend() && PutBackMarks::holds(*mark);
}
