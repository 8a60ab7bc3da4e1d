#include "cleaner/Cleaner.h"

#include "cleaner/Arrivals.h"
#include "cleaner/CleanHistory.h"
#include "cleaner/CleanWork.h"
#include "platform/DirectoryWatch.h"
#include "platform/FileSystem.h"
#include "rules/RuleMatcher.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

namespace {

constexpr int kRescanDelayMs = 400;
// Progress from started work comes at most this often, so the event loop is not flooded.
constexpr qint64 kProgressIntervalMs = 30;

bool isLink(const QString& path) {
    const auto id = platform::identity(path, false);
    return id && id->type == platform::FileIdentity::Type::Symlink;
}

} // namespace

Cleaner::Cleaner(TidiedFolders* folders, const QString& recordFolder, QObject* parent,
                 platform::Clock& clock)
    : QObject(parent), m_folders(folders), m_recordFolder(recordFolder), m_clock(clock),
      m_pendingRescan(clock.makeTimer()), m_ageRescan(clock.makeTimer()),
      m_arrivals(std::make_shared<Arrivals>(
          platform::appendingPathComponent(recordFolder, QStringLiteral("arrivals.json")))) {
    CleanWork::History history;
    CleanWork::KnownMarks marks;
    CleanWork work = makeWork();
    CleanWorkResult loaded;
    m_lastClean = work.loadWithRecovery(&history, &marks);
    loaded.history = history;
    loaded.marks = marks;
    applyHistory(loaded);

    // One rescan per published list, queued so it runs with the new list in place; the
    // connections die with the cleaner.
    const auto follow = [this] {
        for (const TidiedFolders::Folder& folder : m_folders->folders())
            connect(folder.rules, &RuleStore::rulesChanged, this, &Cleaner::rescan,
                    Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
    };
    follow();
    connect(m_folders, &TidiedFolders::foldersChanged, this, [this, follow] {
        follow();
        rescan();
    });
    connect(m_pendingRescan.get(), &platform::Timer::timeout, this, &Cleaner::rescan);
    connect(m_ageRescan.get(), &platform::Timer::timeout, this, &Cleaner::rescan);
}

bool Cleaner::Target::countsAge() const {
    return std::any_of(rules.begin(), rules.end(),
                       [](const SortRule& r) { return r.takesFiles() && r.minAgeDays >= 0; });
}

Cleaner::~Cleaner() {
    if (m_worker) {
        cancel();
        m_worker->wait();
        delete m_worker;
    }
}

QString Cleaner::noticeText(Notice notice) {
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

QString Cleaner::recordStoppedText() {
    return QCoreApplication::translate(
        "DesktopCleaner", "Couldn't save the record for Undo, so nothing more was moved.");
}

QString Cleaner::desktop() const {
    return m_folders->folders().first().path;
}

void Cleaner::setNotice(Notice notice) {
    m_notice = notice;
    emit noticeChanged();
}

void Cleaner::cancel() {
    m_cancel.store(true);
}

void Cleaner::setScan(Scan scan) {
    m_scan = std::move(scan);
    ++m_scanGeneration;
    emit scanChanged();
}

void Cleaner::setStatus(Status status) {
    m_status = status;
    emit statusChanged();
}

void Cleaner::setLastClean(std::optional<CleanRecord> record) {
    m_lastClean = std::move(record);
    emit lastCleanChanged();
}

QList<Cleaner::Target> Cleaner::targets() const {
    QList<Target> list;
    for (const TidiedFolders::Folder& folder : m_folders->folders())
        list.append(
            {folder.path, folder.rules->rules(), m_arrivals, m_clock.now().toMSecsSinceEpoch()});
    return list;
}

void Cleaner::rescan() {
    Arriving arriving;
    const Scan scan = computeScan(targets(), m_nameOrder, &arriving);
    applyScan(scan, arriving);
}

void Cleaner::applyScan(const Scan& scan, const Arriving& arriving) {
    m_arriving = arriving;
    applyScan(scan);
}

void Cleaner::applyScan(const Scan& scan) {
    setScan(scan);
    const QList<Target> now = targets();
    if (std::none_of(now.begin(), now.end(), [](const Target& t) { return t.countsAge(); }))
        m_ageRescan->stop();
    else if (!m_ageRescan->isActive())
        m_ageRescan->start(kAgeRescanMs);
    if (scan.noneReadable())
        setStatus(Status::noAccess());
    else if (m_status.kind == Status::Kind::NoAccess)
        setStatus(Status::idle());
    updateWatches();
}

Scan Cleaner::computeScan(const QList<Target>& targets, platform::NameOrder& nameOrder,
                          Arriving* arriving) {
    QStringList tidied;
    for (const Target& t : targets)
        tidied.append(t.path);
    Scan scan;
    for (const Target& target : targets) {
        Scan::Folder folder;
        folder.path = target.path;
        // The home folder (or one above it) is never tidied, by whatever path it was given;
        // nor is an added folder that has turned into a link, which may lead anywhere.
        const bool usable = !platform::isHomeOrAbove(target.path) &&
                            (&target == &targets.first() || !isLink(target.path));
        const auto entries =
            usable ? platform::listFolder(target.path, /*skipHidden=*/true) : std::nullopt;
        if (!entries) {
            folder.readable = false;
            scan.folders.append(std::move(folder));
            continue;
        }
        RuleMatcher matcher(target.rules, target.path, tidied, &CleanRecord::canHold);
        if (target.countsAge() && target.arrivals) {
            target.arrivals->note(target.path, *entries, target.nowMs);
            matcher.setArrival(
                [&target](const QString& name, const platform::FileIdentity& id) {
                    auto at = target.arrivals->arrival(target.path, name);
                    if (!at && id.bornNs > 0)
                        at = id.bornNs / 1000000;
                    return at;
                },
                target.nowMs);
        }
        const QList<qsizetype> matched = matcher.match(*entries);
        QList<QStringList> names(target.rules.size());
        for (qsizetype i = 0; i < entries->size(); ++i) {
            const platform::DirEntry& entry = (*entries)[i];
            if (matched[i] >= 0)
                names[matched[i]].append(entry.name);
            else if (matched[i] == RuleMatcher::kStays)
                ++folder.other;
            if (matched[i] == RuleMatcher::kStays && entry.nameIsValid &&
                RuleMatcher::isPartialDownload(entry.name))
                (*arriving)[target.path].append(entry);
        }
        const QString prefix = target.path.endsWith(u'/') ? target.path : target.path + u'/';
        folder.groups.reserve(target.rules.size());
        for (qsizetype i = 0; i < target.rules.size(); ++i) {
            nameOrder.stableSort(names[i], [](const QString& n) -> const QString& { return n; });
            QStringList files;
            files.reserve(names[i].size());
            for (const QString& name : std::as_const(names[i]))
                files.append(prefix + name);
            folder.groups.append({target.rules[i], std::move(files)});
        }
        scan.folders.append(std::move(folder));
    }
    return scan;
}

void Cleaner::setWatchingWrites(bool on) {
    if (on == m_watchingWrites)
        return;
    m_watchingWrites = on;
    const QList<QString> watched = m_watches.keys();
    for (const QString& folder : watched)
        dropWatch(folder);
    updateWatches();
}

void Cleaner::dropWatch(const QString& folder) {
    if (platform::DirectoryWatch* watch = m_watches.take(folder))
        watch->deleteLater();
}

// A watch for every folder the last scan could read, none for the rest: an unreadable or
// missing folder is watched again once a rescan finds it.
void Cleaner::updateWatches() {
    QSet<QString> wanted;
    for (const Scan::Folder& folder : std::as_const(m_scan.folders))
        if (folder.readable)
            wanted.insert(folder.path);
    const QList<QString> watched = m_watches.keys();
    for (const QString& folder : watched)
        if (!wanted.contains(folder))
            dropWatch(folder);
    for (const QString& path : std::as_const(wanted)) {
        if (m_watches.contains(path))
            continue;
        auto* watch = new platform::DirectoryWatch(
            path, this,
            m_watchingWrites ? platform::DirectoryWatch::Events::EntriesAndWrites
                             : platform::DirectoryWatch::Events::Entries);
        if (!watch->isValid()) {
            delete watch; // tried again at the next successful rescan
            continue;
        }
        m_watches.insert(path, watch);
        connect(watch, &platform::DirectoryWatch::changed, this,
                [this] { m_pendingRescan->start(kRescanDelayMs); });
        connect(watch, &platform::DirectoryWatch::folderGone, this, [this, path] {
            // The old folder object is gone: drop its watch so the next successful rescan
            // watches whatever folder stands at the path then.
            dropWatch(path);
            m_pendingRescan->start(kRescanDelayMs);
        });
        connect(watch, &platform::DirectoryWatch::modified, this, [this, path](const QString& n) {
            emit fileWritten(platform::appendingPathComponent(path, n));
        });
        connect(watch, &platform::DirectoryWatch::closedAfterWrite, this,
                [this, path](const QString& n) {
                    emit fileClosed(platform::appendingPathComponent(path, n));
                });
        connect(watch, &platform::DirectoryWatch::eventsLost, this, &Cleaner::writesLost);
    }
}

void Cleaner::clean() {
    if (isBusy()) {
        setNotice(Notice::Busy);
        return;
    }
    rescan();
    const QList<CleanWork::Batch> batches = CleanWork::batchesOf(m_scan);
    if (batches.isEmpty())
        return;
    m_cancel.store(false);
    finishClean(makeWork().clean(batches, m_cancel, progressHere()));
}

void Cleaner::undo() {
    if (!m_lastClean)
        return;
    if (isBusy()) {
        setNotice(Notice::Busy);
        return;
    }
    m_cancel.store(false);
    finishUndo(makeWork().undo(m_cancel, progressHere()));
}

void Cleaner::undo(const QString& historyId) {
    if (isBusy()) {
        setNotice(Notice::Busy);
        return;
    }
    m_cancel.store(false);
    finishUndo(makeWork().undoEntry(historyId, m_cancel, progressHere()));
}

std::function<void(int, int)> Cleaner::progressHere() {
    return [this](int done, int total) { emit progress(done, total); };
}

namespace {

Cleaner::Outcome notStarted(Cleaner::Notice notice) {
    Cleaner::Outcome outcome;
    outcome.kind = Cleaner::Outcome::Kind::NotStarted;
    outcome.notice = notice;
    return outcome;
}

} // namespace

// Even the scans run on the worker, so folders of many thousand files never hold up this
// thread; each scan is published here as rescan() publishes it.
void Cleaner::startClean(const CleanOptions& options, Done done) {
    if (isBusy()) {
        if (done)
            done(notStarted(Notice::Busy));
        return;
    }
    m_undoing = false;
    const CleanWork work = makeWork();
    runInBackground(
        [this, work, targets = targets(), only = options.only,
         automatic = options.automatic](const CleanWork::Progress& progress) {
            platform::NameOrder nameOrder;
            Arriving arriving;
            const Scan scan = computeScan(targets, nameOrder, &arriving);
            QMetaObject::invokeMethod(
                this, [this, scan, arriving] { applyScan(scan, arriving); }, Qt::QueuedConnection);
            CleanWorkResult result;
            const QList<CleanWork::Batch> batches = CleanWork::batchesOf(scan, only);
            if (batches.isEmpty()) {
                result.outcome = CleanWorkOutcome::NoWork;
                return result;
            }
            return work.clean(batches, m_cancel, progress, automatic);
        },
        &Cleaner::finishClean, std::move(done));
}

void Cleaner::startUndo(Done done) {
    if (isBusy() || !m_lastClean) {
        if (done)
            done(isBusy() ? notStarted(Notice::Busy) : Outcome{});
        return;
    }
    startUndoWork(std::nullopt, std::move(done));
}

void Cleaner::startUndo(const QString& historyId, Done done) {
    if (isBusy()) {
        if (done)
            done(notStarted(Notice::Busy));
        return;
    }
    startUndoWork(historyId, std::move(done));
}

void Cleaner::startUndoWork(const std::optional<QString>& historyId, Done done) {
    m_undoing = true;
    const CleanWork work = makeWork();
    // The scan afterwards is made on the worker too, from the one published now; should
    // another be published meanwhile, it is made again from that one when the work ends.
    m_undoBase = m_scanGeneration;
    runInBackground(
        [this, work, historyId, base = m_scan, arriving = m_arriving,
         targets = targets()](const CleanWork::Progress& progress) {
            CleanWorkResult result = historyId ? work.undoEntry(*historyId, m_cancel, progress)
                                               : work.undo(m_cancel, progress);
            if (result.outcome == CleanWorkOutcome::Done && !result.restored.isEmpty()) {
                const platform::NameOrder order;
                result.scanAfter = scanWith(base, arriving, targets, result.restored, order);
            }
            return result;
        },
        &Cleaner::finishUndo, std::move(done));
}

void Cleaner::runInBackground(
    std::function<CleanWorkResult(const std::function<void(int, int)>&)> work,
    Outcome (Cleaner::*finish)(const CleanWorkResult&), Done done) {
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
    connect(m_worker, &QThread::finished, this, [this, result, finish, done = std::move(done)] {
        m_worker->deleteLater();
        m_worker = nullptr;
        emit busyChanged(false);
        const Outcome outcome = (this->*finish)(*result);
        if (done)
            done(outcome);
    });
    m_worker->start();
    emit busyChanged(true);
}

CleanWork Cleaner::makeWork() const {
    QList<CleanWork::Place> places;
    for (const TidiedFolders::Folder& folder : m_folders->folders()) {
        CleanWork::Place place{folder.path, {}, folder.id.isEmpty()};
        for (const SortRule& rule : folder.rules->rules())
            place.ruleFolders.append(rule.destinationURL());
        places.append(place);
    }
    CleanWork work(m_recordFolder, places, m_busyWaitMs, m_clock.now());
    work.setKnownRecord(m_knownRecord);
    work.setKnownMarks(m_knownMarks);
    return work;
}

Cleaner::Outcome Cleaner::finishClean(const CleanWorkResult& result) {
    applyHistory(result);
    Outcome outcome;
    switch (result.outcome) {
    case CleanWorkOutcome::Busy:
        setNotice(Notice::Busy);
        return notStarted(Notice::Busy);
    case CleanWorkOutcome::NoJournal:
        if (result.record != m_lastClean)
            setLastClean(result.record);
        setNotice(Notice::RecordNotSaved);
        return notStarted(Notice::RecordNotSaved);
    case CleanWorkOutcome::NoWork:
        outcome.kind = m_scan.noneReadable() ? Outcome::Kind::NoAccess : Outcome::Kind::NoWork;
        return outcome;
    case CleanWorkOutcome::NoRecord:
    case CleanWorkOutcome::Done:
        break;
    }
    if (m_notice != Notice::None)
        setNotice(Notice::None);
    m_knownRecord = result.written;
    if (result.done > 0 && result.record && !m_marks.isEmpty()) {
        // Files moved away: their marks no longer hold.
        QSet<QString> moved;
        for (const CleanRecord::Move& move : result.record->moves)
            moved.insert(move.from);
        m_knownMarks.marks.removeIf(
            [&](const PutBackMarks::Mark& m) { return moved.contains(m.path); });
        for (const QString& path : std::as_const(moved))
            m_marks.remove(path);
    }
    if (result.done > 0 || result.record != m_lastClean)
        setLastClean(result.record);
    setStatus(Status::cleaned(result.done, result.failed, result.inUse, result.recordStopped));
    finishWithScan(result, false);
    if (result.done > 0 && !m_history.isEmpty())
        emit cleaned(m_history.first());
    outcome.kind = Outcome::Kind::Done;
    outcome.status = m_status;
    if (result.done > 0 && result.record)
        outcome.moves = result.record->moves;
    return outcome;
}

void Cleaner::finishWithScan(const CleanWorkResult& result, bool undo) {
    // Only a scan of the folders as they are tidied now (none before the first rescan).
    const QList<Target> now = targets();
    const bool current =
        m_scan.folders.size() == now.size() &&
        std::equal(now.begin(), now.end(), m_scan.folders.begin(),
                   [](const Target& t, const Scan::Folder& f) { return t.path == f.path; });
    if (!current)
        rescan();
    else if (!undo)
        applyScan(result.done > 0 && result.record ? scanWithout(result.record->moves) : m_scan);
    else if (result.scanAfter && m_undoBase == m_scanGeneration)
        applyScan(*result.scanAfter);
    else if (const auto scan = scanWith(m_scan, m_arriving, now, result.restored, m_nameOrder))
        applyScan(*scan);
    else
        rescan();
}

Scan Cleaner::scanWithout(const QList<CleanRecord::Move>& moves) const {
    QSet<QString> gone;
    for (const CleanRecord::Move& move : moves)
        gone.insert(move.from);
    Scan scan = m_scan;
    for (Scan::Folder& folder : scan.folders)
        for (Scan::Group& group : folder.groups)
            group.files.removeIf([&](const QString& file) { return gone.contains(file); });
    return scan;
}

namespace {

// Adds `paths` (with their names at the same index, in the order put back) to `files`
// (in name order) in name order, but none that is there already: a rescan during the work
// may have listed it.
void addInOrder(QStringList* files, const QStringList& paths, const QStringList& names,
                const platform::NameOrder& order) {
    // An undo puts back from the last move to the first, and a clean moves each group in
    // name order: reversed, the names are in order already, unless renamed on the way.
    QList<qsizetype> sorted(paths.size());
    for (qsizetype i = 0; i < sorted.size(); ++i)
        sorted[i] = sorted.size() - 1 - i;
    const auto nameOf = [&](qsizetype i) -> const QString& { return names[i]; };
    for (qsizetype i = 1; i < sorted.size(); ++i) {
        if (order.compare(nameOf(sorted[i - 1]), nameOf(sorted[i])) > 0) {
            order.stableSort(sorted, nameOf);
            break;
        }
    }
    if (files->isEmpty()) {
        files->reserve(sorted.size());
        for (const qsizetype i : std::as_const(sorted))
            files->append(paths[i]);
        return;
    }
    const QSet<QString> present(files->cbegin(), files->cend());
    QStringList merged;
    merged.reserve(files->size() + sorted.size());
    qsizetype next = 0;
    for (const qsizetype i : std::as_const(sorted)) {
        if (present.contains(paths[i]))
            continue;
        while (next < files->size() &&
               order.compare(platform::lastPathComponent(files->at(next)), names[i]) <= 0)
            merged.append(files->at(next++));
        merged.append(paths[i]);
    }
    while (next < files->size())
        merged.append(files->at(next++));
    *files = std::move(merged);
}

} // namespace

std::optional<Scan> Cleaner::scanWith(const Scan& base, const Arriving& arriving,
                                      const QList<Target>& now, const QStringList& restored,
                                      const platform::NameOrder& order) {
    // By folder, in the order put back; an undo puts back into few folders.
    struct PutBack {
        QString folder;
        QStringList paths;
        QList<platform::DirEntry> entries;
    };
    QList<PutBack> byFolder;
    for (const QString& path : restored) {
        const qsizetype slash = path.lastIndexOf(u'/');
        if (slash <= 0)
            return std::nullopt;
        const QStringView folder = QStringView(path).left(slash);
        auto put = std::find_if(byFolder.begin(), byFolder.end(),
                                [&](const PutBack& p) { return p.folder == folder; });
        if (put == byFolder.end())
            put = byFolder.insert(byFolder.end(), {folder.toString(), {}, {}});
        put->paths.append(path);
        put->entries.append({path.mid(slash + 1), platform::DirEntry::Kind::File, true});
    }
    Scan scan = base;
    QStringList tidied;
    for (const Target& t : now)
        tidied.append(t.path);
    for (const PutBack& put : std::as_const(byFolder)) {
        const auto folder =
            std::find_if(scan.folders.begin(), scan.folders.end(),
                         [&](const Scan::Folder& f) { return f.path == put.folder; });
        const auto target = std::find_if(now.begin(), now.end(),
                                         [&](const Target& t) { return t.path == put.folder; });
        // A file put back arrives anew, which only a listing notes.
        if (folder == scan.folders.end() || !folder->readable || target == now.end() ||
            folder->groups.size() != target->rules.size() || target->countsAge())
            return std::nullopt;
        for (qsizetype i = 0; i < target->rules.size(); ++i)
            if (!(folder->groups[i].rule == target->rules[i]))
                return std::nullopt;
        // Matched beside the downloads in progress the folder's listing showed, as a listing
        // would match them.
        const QList<platform::DirEntry> beside = arriving.value(put.folder);
        const QList<qsizetype> matched =
            RuleMatcher(target->rules, target->path, tidied, &CleanRecord::canHold)
                .match(beside.isEmpty() ? put.entries : beside + put.entries);
        QList<QStringList> paths(target->rules.size()), names(target->rules.size());
        for (qsizetype i = 0; i < put.entries.size(); ++i) {
            const qsizetype group = matched[beside.size() + i];
            if (group < 0) // it stays: a listing would count it among the others
                return std::nullopt;
            paths[group].append(put.paths[i]);
            names[group].append(put.entries[i].name);
        }
        for (qsizetype i = 0; i < paths.size(); ++i)
            if (!paths[i].isEmpty())
                addInOrder(&folder->groups[i].files, paths[i], names[i], order);
    }
    return scan;
}

Cleaner::Outcome Cleaner::finishUndo(const CleanWorkResult& result) {
    applyHistory(result);
    // Another cleaner may have changed last-clean.json meanwhile: follow it.
    const auto followRecord = [this, &result] {
        if (result.record != m_lastClean) {
            m_knownRecord = {};
            setLastClean(result.record);
        }
    };
    switch (result.outcome) {
    case CleanWorkOutcome::Busy:
        setNotice(Notice::Busy);
        return notStarted(Notice::Busy);
    case CleanWorkOutcome::NoWork:
        return {};
    case CleanWorkOutcome::NoJournal:
    case CleanWorkOutcome::NoRecord: // another cleaner put it back or replaced it first
        if (result.fromHistory)
            followRecord();
        else if (m_lastClean)
            setLastClean(std::nullopt);
        return {};
    case CleanWorkOutcome::Done:
        break;
    }
    if (m_notice != Notice::None)
        setNotice(Notice::None);
    if (result.fromHistory) {
        followRecord();
    } else {
        m_knownRecord = result.written;
        setLastClean(result.record);
    }
    setStatus(Status::undone(result.done, result.failed, result.inUse));
    m_arrivals->putBack(result.restored);
    finishWithScan(result, true);
    Outcome outcome;
    outcome.kind = Outcome::Kind::Done;
    outcome.status = m_status;
    return outcome;
}

void Cleaner::applyHistory(const CleanWorkResult& result) {
    if (result.marks) {
        m_knownMarks = *result.marks;
        m_marks.clear();
        for (const PutBackMarks::Mark& mark : std::as_const(m_knownMarks.marks))
            m_marks.insert(mark.path, mark);
    }
    if (!result.history)
        return;
    QList<CleanSummary> history = CleanHistory::summary(*result.history);
    if (history == m_history)
        return;
    m_history = std::move(history);
    emit historyChanged();
}

QString Cleaner::recordFile() const {
    platform::makePath(m_recordFolder);
    return platform::appendingPathComponent(m_recordFolder, "last-clean.json");
}

bool Cleaner::isPutBack(const QString& path) const {
    const auto mark = m_marks.constFind(platform::standardize(path));
    return mark != m_marks.cend() && PutBackMarks::holds(*mark);
}
