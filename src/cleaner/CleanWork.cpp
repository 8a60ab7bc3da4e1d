#include "cleaner/CleanWork.h"

#include "cleaner/FreeName.h"

#include "cleaner/CleanHistory.h"
#include "cleaner/CleanJournal.h"
#include "cleaner/PutBackMarks.h"
#include "platform/FileActivity.h"
#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/Trash.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

using platform::FileIdentity;

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

enum class Attempt { Moved, Failed, InUse, JournalFailed };

// The journal lines of a move across file systems: its hidden copy's name as soon as it has
// one, and the complete copy before it gets its name. The copy's identity goes to `copied`
// (reset here), as the item at `to` is then the copy, not the item.
platform::MoveHooks journalHooks(CleanJournal* journal, const QString& to, bool* journalOk,
                                 std::optional<FileIdentity>* copied) {
    platform::MoveHooks hooks;
    copied->reset();
    hooks.beforeLinking = [journal, journalOk, to, copied](const FileIdentity& copy) {
        *copied = copy;
        if (!journal)
            return true;
        *journalOk = journal->copyComplete(to, copy);
        return *journalOk;
    };
    if (!journal)
        return hooks;
    hooks.partialCreated = [journal, journalOk](const QString& path, const FileIdentity& id) {
        *journalOk = journal->partialCreated(path, id);
        return *journalOk;
    };
    return hooks;
}

Attempt attemptFrom(platform::MoveResult result, bool journalOk) {
    if (result == platform::MoveResult::Moved)
        return Attempt::Moved;
    if (!journalOk)
        return Attempt::JournalFailed;
    return result == platform::MoveResult::InUse ? Attempt::InUse : Attempt::Failed;
}

// Moves are planned in runs: the journal lines of a whole run go out in one write before the
// first of its moves, so the journal costs a write per run rather than per move.
constexpr int kRunLength = 256;

struct Job {
    QString from;
    FileIdentity item;
    QString to; // in `folder`, under the name wanted there
    QString folder;
    const platform::Trash* trash = nullptr; // set when `folder` is its files folder
};

// One attempt at a job's move to `to`: into the trash with its .trashinfo (dated `when`),
// else as any move, across file systems too.
platform::MoveResult moveJob(const Job& job, const QString& to, const QDateTime& when,
                             const platform::MoveHooks& hooks) {
    return job.trash ? job.trash->put(job.from, to, when) : platform::moveItem(job.from, to, hooks);
}

// Moves the job's item to a free name in its folder (in the trash, one free in info/ too),
// writing each attempt to the journal first.
Attempt moveJournaled(CleanJournal* journal, const Job& job, const QDateTime& when,
                      QString* movedTo, std::optional<FileIdentity>* copied) {
    bool journalOk = true;
    platform::MoveResult last = platform::MoveResult::Failed;
    const auto move = [&](const QString& source, const QString& target) {
        if (journal && !journal->moveStarting(source, target, job.item)) {
            journalOk = false;
            return platform::MoveResult::Failed;
        }
        last = moveJob(job, target, when, journalHooks(journal, target, &journalOk, copied));
        return last;
    };
    cleaner::TakenFunction taken;
    if (job.trash)
        taken = [trash = job.trash](const QString& path) { return trash->isTaken(path); };
    const auto to = cleaner::moveToFreeName(job.from, platform::lastPathComponent(job.to),
                                            job.folder, move, taken);
    if (to) {
        *movedTo = *to;
        return Attempt::Moved;
    }
    return attemptFrom(last, journalOk);
}

// appendingPathComponent(folder, lastPathComponent(path)), in one copy for the usual paths.
QString nameIn(const QString& folder, const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0 || slash == path.size() - 1 || folder.isEmpty() || folder.endsWith(u'/'))
        return platform::appendingPathComponent(folder, platform::lastPathComponent(path));
    QString to;
    to.reserve(folder.size() + path.size() - slash);
    to.append(folder);
    to.append(QStringView(path).mid(slash));
    return to;
}

enum class RunEnd { Completed, Cancelled, JournalFailed };

// Moves each job to its name in its folder; one whose name is taken meanwhile is retried
// alone under the next free name, journalled again. onDone(index, attempt, movedTo, at) is
// called for every job handled, in order; `at` is the identity of what was moved as it
// stands at movedTo: the item's own, which a rename keeps, or its copy's.
template <class OnDone>
RunEnd moveRun(CleanJournal* journal, const QList<Job>& jobs, const std::atomic<bool>& cancel,
               const QDateTime& when, OnDone&& onDone) {
    if (journal)
        for (const Job& job : jobs)
            journal->queueMove(job.from, job.to, job.item);
    if (journal && !journal->flush())
        return RunEnd::JournalFailed;
    for (qsizetype i = 0; i < jobs.size(); ++i) {
        if (cancel.load(std::memory_order_relaxed))
            return RunEnd::Cancelled;
        const Job& job = jobs[i];
        QString to = job.to;
        bool journalOk = true;
        std::optional<FileIdentity> copied;
        const auto result = moveJob(job, to, when, journalHooks(journal, to, &journalOk, &copied));
        Attempt attempt = attemptFrom(result, journalOk);
        if (result == platform::MoveResult::TargetExists && journalOk)
            attempt = moveJournaled(journal, job, when, &to, &copied);
        onDone(i, attempt, to, copied ? *copied : job.item);
        if (attempt == Attempt::JournalFailed)
            return RunEnd::JournalFailed;
    }
    return RunEnd::Completed;
}

// Whether the journalled move really happened: the item (or its complete copy) stands at
// `to`, the very file, not one that took over its inode later. A source left behind by a move
// cut short after its copy was in place is removed when it is still exactly the file that
// was copied; so is a second name of the item left by the link-and-unlink fallback. Nothing
// is removed outside the places a clean works in (`mayRemoveIn`).
template <class MayRemoveIn> bool settle(const CleanJournal::Entry& e, MayRemoveIn&& mayRemoveIn) {
    const auto at = platform::identity(e.to, false);
    if (!at)
        return false;
    // A journal from before the state was kept knows only device and inode.
    // The item itself may have grown since it was planned, when it moved within its file
    // system: its birth time, where there is one, says it is still the same file.
    const auto isMoved = [&](const FileIdentity& journalled, bool mayHaveChanged) {
        if (!journalled.hasState)
            return at->sameObject(journalled);
        if (mayHaveChanged && journalled.bornNs != 0)
            return at->sameObject(journalled) && at->type == journalled.type &&
                   at->bornNs == journalled.bornNs;
        return at->sameFileMovedSince(journalled);
    };
    const bool isItem = isMoved(e.item, true);
    const bool isCopy = e.copy && isMoved(*e.copy, false);
    if (!isItem && !isCopy)
        return false;
    if (e.from == e.to || !mayRemoveIn(platform::deletingLastPathComponent(e.from)) ||
        !mayRemoveIn(platform::deletingLastPathComponent(e.to)))
        return true;
    const auto source = platform::identity(e.from, false);
    if (!source)
        return true;
    if (isItem && source->sameObject(*at)) // two names of one file: dropping one loses nothing
        platform::removeFileIf(e.from, *source, platform::IdentityMatch::Unchanged);
    else if (isCopy && source->unchangedSince(e.item) &&
             platform::writersOf(e.from) != platform::Writers::Some)
        platform::removeFileIf(e.from, e.item, platform::IdentityMatch::Unchanged);
    return true;
}

// Whether `folder` is what deletingLastPathComponent(path) gives, told without a copy.
bool isDirectlyIn(const QString& path, const QString& folder) {
    return !folder.isEmpty() && folder != u"/" && path.size() > folder.size() + 1 &&
           path.startsWith(folder) && path[folder.size()] == u'/' &&
           path.indexOf(u'/', folder.size() + 1) < 0;
}

bool isInside(const QString& path, const QString& folder) {
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
    return path.startsWith(prefix) && path.size() > prefix.size();
}

// Once a trashed item is back where it came from, its .trashinfo goes.
void forgetTrashed(const CleanRecord::Move& move) {
    if (const auto trash = platform::Trash::holding(move.to))
        trash->forget(move.to, move.from);
}

// The same after recovery, for the items that `putBack` took out of the trash: where each was
// trashed from is in `moves`.
void forgetTrashed(const QList<CleanJournal::Entry>& putBack,
                   const QList<CleanRecord::Move>& moves) {
    QSet<QString> taken;
    for (const CleanJournal::Entry& e : putBack)
        taken.insert(e.from);
    for (const CleanRecord::Move& m : moves)
        if (taken.contains(m.to))
            forgetTrashed(m);
}

} // namespace

CleanWork::CleanWork(const QString& recordFolder, const QList<Place>& places, int lockWaitMs,
                     const QDateTime& now)
    : m_recordFolder(recordFolder), m_places(places), m_lockWaitMs(lockWaitMs), m_now(now) {
    for (Place& place : m_places) {
        m_realFolders.append(QFileInfo(place.folder).canonicalFilePath());
        // What a clean trashed comes back from the trash, whatever the rules say now.
        if (const auto trash = platform::Trash::forFolder(place.folder, false))
            place.ruleFolders.append(trash->filesFolder());
    }
}

QList<CleanWork::Batch> CleanWork::batchesOf(const Scan& scan,
                                             const std::optional<QStringList>& only) {
    const QSet<QString> wanted = only ? QSet<QString>(only->begin(), only->end()) : QSet<QString>();
    QList<Batch> batches;
    for (const Scan::Folder& folder : scan.folders) {
        for (const Scan::Group& group : folder.groups) {
            QStringList files = group.files;
            if (only)
                files.removeIf([&](const QString& file) { return !wanted.contains(file); });
            if (group.rule.action == SortRule::Action::Trash && !files.isEmpty())
                batches.append({folder.path, files, true});
            else if (!files.isEmpty())
                batches.append({group.rule.destinationURL(), files});
        }
    }
    return batches;
}

QString CleanWork::recordFile() const {
    platform::makePath(m_recordFolder);
    return platform::appendingPathComponent(m_recordFolder, QStringLiteral("last-clean.json"));
}

QString CleanWork::journalFile(CleanJournal::Kind kind) const {
    return CleanJournal::fileIn(m_recordFolder, kind);
}

QString CleanWork::lockFile() const {
    platform::makePath(m_recordFolder);
    return platform::appendingPathComponent(m_recordFolder, QStringLiteral("lock"));
}

namespace {

// Whether the file at `path` still stands exactly as `known`: then it holds what it held.
bool unchangedSince(const QString& path, const std::optional<FileIdentity>& known) {
    if (!known)
        return false;
    const auto now = platform::identity(path, true);
    return now && now->unchangedSince(*known);
}

} // namespace

std::optional<CleanWork::Record> CleanWork::readRecord(QByteArray* bytesOut,
                                                       QString* sameMovesId) const {
    const QString file = recordFile();
    // As written, unread: a clean's record runs to megabytes.
    bool known = !m_known.bytes.isEmpty() && unchangedSince(file, m_known.file);
    QByteArray bytes = m_known.bytes;
    if (!known) {
        bytes = platform::readWholeFile(file, CleanHistory::kMaxMovesBytes).value_or(QByteArray());
        if (bytes.isEmpty())
            return std::nullopt;
        known = !m_known.bytes.isEmpty() && bytes == m_known.bytes;
    }
    const std::optional<Record> record = known ? m_known.record : Record::decode(bytes);
    if (bytesOut && record)
        *bytesOut = bytes;
    if (sameMovesId && known && record && !m_known.movesId.isEmpty() &&
        unchangedSince(CleanHistory::movesFile(historyFile(), m_known.movesId), m_known.movesFile))
        *sameMovesId = m_known.movesId;
    return record;
}

bool CleanWork::writeRecord(const std::optional<Record>& record) const {
    const QString file = recordFile();
    if (record)
        return platform::writeFileAtomically(file, record->encode());
    return platform::removeItem(file) || !platform::entryExists(file);
}

std::optional<CleanWork::Record> CleanWork::loadWithRecovery(History* history,
                                                             KnownMarks* marks) const {
    const auto lock = platform::FileLock::acquire(lockFile(), 0);
    History entries;
    std::optional<Record> record;
    if (lock) {
        record = recoverLocked(&entries, nullptr, nullptr);
    } else {
        record = readRecord();
        entries = CleanHistory::read(historyFile());
    }
    if (history)
        *history = entries;
    if (marks) {
        *marks = KnownMarks();
        marks->marks = PutBackMarks::read(marksFile(), &marks->bytes);
    }
    return record;
}

QString CleanWork::historyFile() const {
    platform::makePath(m_recordFolder);
    return CleanHistory::fileIn(m_recordFolder);
}

QString CleanWork::marksFile() const {
    platform::makePath(m_recordFolder);
    return PutBackMarks::fileIn(m_recordFolder);
}

bool CleanWork::isTidiedPlace(const QString& folder) const {
    return placeOf(folder) >= 0 || undoMayTakeFrom(folder);
}

qsizetype CleanWork::placeOf(const QString& folder) const {
    for (qsizetype i = 0; i < m_places.size(); ++i)
        if (platform::isSameFolder(folder, m_places[i].folder))
            return i;
    return -1;
}

QList<CleanJournal::Entry> CleanWork::settleJournal(const CleanJournal::Contents& journal) const {
    QHash<QString, bool> places; // each folder judged once
    const auto mayRemoveIn = [&](const QString& folder) {
        auto known = places.constFind(folder);
        if (known == places.constEnd())
            known = places.insert(folder, isTidiedPlace(folder));
        return *known;
    };
    // A copy cut short is never the only version: its source is whole. Only the hidden
    // copies this journal named, still the files they were when named, are removed.
    for (const CleanJournal::Partial& p : journal.partials) {
        if (mayRemoveIn(platform::deletingLastPathComponent(p.path)) &&
            platform::isPartialCopyName(platform::lastPathComponent(p.path)))
            platform::removeFileIf(p.path, p.id, platform::IdentityMatch::SameBirth);
    }
    QList<CleanJournal::Entry> happened;
    for (const CleanJournal::Entry& e : journal.moves) {
        if (settle(e, mayRemoveIn)) {
            happened.append(e);
            continue;
        }
        // A move into the trash cut short before its rename leaves the .trashinfo it wrote.
        const auto trash = journal.kind == CleanJournal::Kind::Clean
                               ? platform::Trash::holding(e.to)
                               : std::nullopt;
        if (trash && mayRemoveIn(platform::deletingLastPathComponent(e.to)))
            trash->forget(e.to, e.from, journal.date);
    }
    return happened;
}

// Finishes putting back an older clean from the history: the entry loses the moves that
// were made. last-clean.json plays no part in it.
bool CleanWork::recoverPutBackLocked(History* history, QStringList* restored) const {
    const QString path = journalFile(CleanJournal::Kind::PutBack);
    if (!platform::entryExists(path))
        return false;
    const auto journal = CleanJournal::read(path);
    if (journal && journal->kind == CleanJournal::Kind::PutBack) {
        QSet<QString> taken; // where the entry had put them
        const QList<CleanJournal::Entry> settled = settleJournal(*journal);
        for (const CleanJournal::Entry& e : settled) {
            taken.insert(e.from);
            restored->append(e.to);
        }
        const qsizetype index = CleanHistory::indexOf(*history, journal->entryId);
        if (index >= 0 && !(*history)[index].undone) {
            CleanHistory::Entry& entry = (*history)[index];
            // Without its moves the entry stays as it is: nothing proves it was put back.
            if (CleanHistory::loadMoves(historyFile(), &entry)) {
                const Record before = entry.record;
                forgetTrashed(settled, before.moves);
                entry.record.moves.removeIf([&](const Move& m) { return taken.contains(m.to); });
                // Put back when the stopped run began, not when it is found.
                if (entry.record.moves.isEmpty())
                    markUndone(&entry, before, journal->date.isValid() ? journal->date : m_now);
            }
        }
    }
    return true;
}

void CleanWork::markUndone(CleanHistory::Entry* entry, const Record& record,
                           const QDateTime& when) const {
    removeCreatedFolders(record);
    entry->undone = true;
    entry->putBackAt = when;
    entry->record.moves.clear();
    entry->record.createdFolders.clear();
}

// The record on disk is the truth unless a journal says more: a clean's journal names the
// moves that really happened (they replace the record), an undo's the items already put
// back (they leave it). A journal goes only once the record it leads to is saved; until
// then it is read again in its place. The history follows the record: it is written before
// the journals go, and entries are replaced by id, so recovering twice adds nothing twice.
std::optional<CleanWork::Record> CleanWork::recoverLocked(History* history, QByteArray* recordBytes,
                                                          QString* sameMovesId) const {
    std::optional<Record> record = readRecord(recordBytes, sameMovesId);
    *history = CleanHistory::read(historyFile());
    QStringList restored; // Desktop files that interrupted undos put back
    const bool hadPutBackJournal = recoverPutBackLocked(history, &restored);
    bool historyChanged = hadPutBackJournal;
    bool saved = true;

    // What an undo put back before it was stopped (or before its record could be removed).
    const QString undoPath = journalFile(CleanJournal::Kind::Undo);
    const bool hadUndoJournal = platform::entryExists(undoPath);
    const auto undoJournal = hadUndoJournal ? CleanJournal::read(undoPath) : std::nullopt;
    QHash<QString, int> putBack; // by where the clean had put them; a name may recur
    QList<CleanJournal::Entry> undone;
    if (undoJournal && undoJournal->kind == CleanJournal::Kind::Undo) {
        undone = settleJournal(*undoJournal);
        for (const CleanJournal::Entry& e : std::as_const(undone)) {
            ++putBack[e.from];
            restored.append(e.to);
        }
    }

    const QString cleanPath = journalFile(CleanJournal::Kind::Clean);
    const bool hadCleanJournal = platform::entryExists(cleanPath);
    const auto cleanJournal = hadCleanJournal ? CleanJournal::read(cleanPath) : std::nullopt;
    if (cleanJournal && cleanJournal->kind == CleanJournal::Kind::Clean) {
        // A move happened when its item stands at its target, or an undo has since put it
        // back from there.
        const QList<CleanJournal::Entry> settled = settleJournal(*cleanJournal);
        QSet<QString> arrived;
        for (const CleanJournal::Entry& e : settled)
            arrived.insert(e.to);
        QList<Move> happened;
        for (const CleanJournal::Entry& e : cleanJournal->moves) {
            if (arrived.contains(e.to) || putBack.contains(e.to))
                happened.append({e.from, e.to});
        }
        if (!happened.isEmpty()) {
            record = Record{cleanJournal->date, happened, cleanJournal->createdFolders};
            const QString id = CleanHistory::isValidId(cleanJournal->entryId)
                                   ? cleanJournal->entryId
                                   : CleanHistory::newId(*history);
            CleanHistory::add(history,
                              {id, cleanJournal->automatic, false, int(happened.size()), *record});
            historyChanged = true;
        } else {
            for (const QString& folder : cleanJournal->createdFolders) {
                if (undoMayTakeFrom(folder))
                    removeIfLeftEmpty(folder);
            }
        }
    }

    if (record && hadUndoJournal) {
        forgetTrashed(undone, record->moves);
        const qsizetype index = CleanHistory::indexOfRecord(history, record, historyFile());
        // Items put back leave the record; the rest stay for the next undo.
        QList<Move> left;
        for (const Move& m : record->moves) {
            const auto back = putBack.find(m.to);
            if (back != putBack.end() && *back > 0)
                --*back;
            else
                left.append(m);
        }
        if (left.isEmpty()) {
            if (index >= 0)
                markUndone(&(*history)[index], *record,
                           undoJournal && undoJournal->date.isValid() ? undoJournal->date : m_now);
            else
                removeCreatedFolders(*record);
            record.reset();
        } else {
            record->moves = left;
            if (index >= 0)
                (*history)[index].record.moves = left;
        }
        historyChanged = historyChanged || index >= 0;
    }
    if (historyChanged) {
        if (const auto written = CleanHistory::write(historyFile(), *history))
            *history = *written;
    }
    if (!restored.isEmpty())
        PutBackMarks::add(marksFile(), restored);
    if (hadPutBackJournal)
        platform::removeItem(journalFile(CleanJournal::Kind::PutBack));
    if (hadCleanJournal || hadUndoJournal) {
        if (recordBytes) // no longer the file's
            recordBytes->clear();
        if (sameMovesId)
            sameMovesId->clear();
        saved = writeRecord(record);
        if (!saved && record) // never leave an older record to be undone in its place
            writeRecord(std::nullopt);
    }
    if (saved) {
        if (hadUndoJournal)
            platform::removeItem(undoPath);
        if (hadCleanJournal)
            platform::removeItem(cleanPath);
    }
    return record;
}

std::unique_ptr<platform::FileLock> CleanWork::lockAndRecover(Result* result, History* history,
                                                              QByteArray* recordBytes,
                                                              QString* sameMovesId) const {
    auto lock = platform::FileLock::acquire(lockFile(), m_lockWaitMs);
    if (!lock) {
        result->outcome = Outcome::Busy;
        return lock;
    }
    result->record = recoverLocked(history, recordBytes, sameMovesId);
    result->history = *history;
    return lock;
}

CleanWork::Result CleanWork::clean(const QList<Batch>& batches, const std::atomic<bool>& cancel,
                                   const Progress& progress, bool automatic) const {
    Result result;
    History history;
    const auto lock = lockAndRecover(&result, &history);
    if (!lock)
        return result;
    const QString id = CleanHistory::newId(history);
    const QString journalPath = journalFile(CleanJournal::Kind::Clean);
    auto journal = CleanJournal::begin(journalPath, CleanJournal::Kind::Clean, m_now);
    if (journal && !journal->entry(id, automatic))
        journal.reset();
    if (!journal) {
        result.outcome = Outcome::NoJournal;
        return result;
    }

    int total = 0;
    for (const Batch& b : batches)
        total += int(b.files.size());
    QList<Move> moves;
    QStringList createdFolders;
    int handled = 0;
    bool stopped = false; // quitting, or the journal can no longer be written
    if (progress)
        progress(0, total);
    for (const Batch& batch : batches) {
        if (stopped)
            break;
        // The trash is the desktop's, not the clean's: never among the folders it created.
        const auto trash =
            batch.toTrash ? platform::Trash::forFolder(batch.folder, true) : std::nullopt;
        const QString folder = trash ? trash->filesFolder() : batch.folder;
        bool usable = !batch.toTrash || trash;
        // Every level the clean makes is recorded, outermost first, so that an undo can
        // take away "Sorted" as well as "Sorted/Images".
        QStringList missing;
        for (QString level = folder;
             !batch.toTrash && !level.isEmpty() && level != u"/" && !platform::entryExists(level);
             level = platform::deletingLastPathComponent(level))
            missing.prepend(level);
        if (!usable) {
        } else if (missing.isEmpty()) {
            usable = platform::isDirectory(folder);
        } else if (!platform::makePath(folder)) {
            usable = false;
        } else {
            for (const QString& level : std::as_const(missing)) {
                createdFolders.append(level);
                stopped = stopped || !journal->folderCreated(level);
            }
            result.recordStopped = stopped;
        }
        if (!usable) {
            result.failed += int(batch.files.size());
            handled += int(batch.files.size());
            continue;
        }
        for (qsizetype start = 0; start < batch.files.size() && !stopped; start += kRunLength) {
            QList<Job> jobs;
            for (const QString& file : batch.files.mid(start, kRunLength)) {
                if (const auto item = platform::identity(file, false)) {
                    jobs.append(
                        {file, *item, nameIn(folder, file), folder, trash ? &*trash : nullptr});
                } else { // gone since the scan
                    ++result.failed;
                    ++handled;
                }
            }
            const RunEnd end =
                moveRun(journal.get(), jobs, cancel, m_now,
                        [&](qsizetype i, Attempt attempt, const QString& to, const FileIdentity&) {
                            if (attempt == Attempt::Moved)
                                moves.append({jobs[i].from, to});
                            else
                                ++result.failed;
                            if (attempt == Attempt::InUse)
                                ++result.inUse;
                            ++handled;
                            if (progress)
                                progress(handled, total);
                        });
            stopped = end != RunEnd::Completed;
            result.recordStopped = end == RunEnd::JournalFailed;
        }
    }
    result.failed += total - handled; // left undone by a stop

    result.done = int(moves.size());
    if (moves.isEmpty()) {
        journal.reset();
        platform::removeItem(journalPath);
        return result;
    }
    const Record record{m_now, moves, createdFolders};
    // A clean killed before its record is saved is added again from its journal, by its id.
    CleanHistory::add(&history, {id, automatic, false, int(moves.size()), record});
    commit(&result, history, {}, record, std::move(journal), CleanJournal::Kind::Clean);
    return result;
}

CleanWork::Marks CleanWork::currentMarks() const {
    const QString file = marksFile();
    if (unchangedSince(file, m_knownMarks.file))
        return m_knownMarks.marks;
    const auto bytes = platform::readWholeFile(file, PutBackMarks::kMaxMarks * 4200);
    if (bytes.value_or(QByteArray()) == m_knownMarks.bytes)
        return m_knownMarks.marks;
    return PutBackMarks::read(file);
}

void CleanWork::commit(Result* result, const History& history, const Marks& restored,
                       const std::optional<std::optional<Record>>& record,
                       std::unique_ptr<CleanJournal> journal, CleanJournal::Kind kind) const {
    // Encoded once: the history's file of the record's clean holds the same bytes.
    const QByteArray bytes = record && *record ? (*record)->encode() : QByteArray();
    QHash<QString, QByteArray> encoded;
    for (const CleanHistory::Entry& e : history)
        if (!bytes.isEmpty() && !e.undone && !e.movesOnDisk && e.record == **record)
            encoded.insert(e.id, bytes);
    const auto written = CleanHistory::write(historyFile(), history, encoded);
    result->history = written ? *written : history;
    if (!restored.isEmpty()) {
        KnownMarks marks;
        if (const auto all =
                PutBackMarks::add(marksFile(), currentMarks(), restored, &marks.bytes)) {
            marks.marks = *all;
            if (!marks.bytes.isEmpty())
                marks.file = platform::identity(marksFile(), true);
            result->marks = marks;
        }
    }
    bool saved = written.has_value();
    if (record) {
        result->record = *record;
        // The record is synced as it is written; the journal needs a sync of its own only when
        // it stays to stand in for the record.
        saved = *record ? platform::writeFileAtomically(recordFile(), bytes)
                        : writeRecord(std::nullopt);
        if (saved && *record) {
            // As they stand now, so that the next work need not read them back.
            result->written = {bytes, *record, platform::identity(recordFile(), true), {}, {}};
            if (written && !encoded.isEmpty()) {
                result->written.movesId = encoded.cbegin().key();
                result->written.movesFile = platform::identity(
                    CleanHistory::movesFile(historyFile(), result->written.movesId), true);
            }
        } else if (*record && kind == CleanJournal::Kind::Clean)
            writeRecord(std::nullopt); // never leave an older record to be undone in its place
    }
    if (!saved) {
        if (journal)
            journal->sync();
        return;
    }
    journal.reset();
    platform::removeItem(journalFile(kind));
    // A new record makes an old undo journal meaningless, and a finished undo a clean's.
    if (kind == CleanJournal::Kind::Clean)
        platform::removeItem(journalFile(CleanJournal::Kind::Undo));
    if (kind == CleanJournal::Kind::Undo)
        platform::removeItem(journalFile(CleanJournal::Kind::Clean));
}

// Judged by real paths only: a path inside a tidied folder by its text may lead anywhere
// through a link.
bool CleanWork::undoMayTakeFrom(const QString& folder, qsizetype place) const {
    const QString real = QFileInfo(folder).canonicalFilePath();
    if (real.isEmpty())
        return false;
    for (qsizetype i = 0; i < m_places.size(); ++i) {
        if (place >= 0 && i != place)
            continue;
        if (!m_realFolders[i].isEmpty() && isInside(real, m_realFolders[i]))
            return true;
        const QStringList& rules = m_places[i].ruleFolders;
        if (std::any_of(rules.begin(), rules.end(),
                        [&](const QString& rule) { return platform::isSameFolder(rule, folder); }))
            return true;
    }
    return false;
}

void CleanWork::removeCreatedFolders(const Record& record) const {
    if (record.createdFolders.isEmpty())
        return;
    // Only a folder the clean moved something into, where an undo may work, and the folders
    // it made around such a folder; the innermost first, so that each can be left empty.
    QSet<QString> received;
    QString last;
    for (const Move& move : record.moves) {
        if (!isDirectlyIn(move.to, last)) // most moves go where the one before went
            received.insert(last = platform::deletingLastPathComponent(move.to));
    }
    QSet<QString> mayGo;
    for (const QString& folder : record.createdFolders) {
        if (received.contains(folder) && undoMayTakeFrom(folder)) {
            for (QString level = folder; record.createdFolders.contains(level);
                 level = platform::deletingLastPathComponent(level))
                mayGo.insert(level);
        }
    }
    for (auto it = record.createdFolders.crbegin(); it != record.createdFolders.crend(); ++it) {
        if (mayGo.contains(*it))
            removeIfLeftEmpty(*it);
    }
}

CleanWork::Result CleanWork::undo(const std::atomic<bool>& cancel, const Progress& progress) const {
    Result result;
    History history;
    QByteArray recordBytes;
    QString sameMovesId;
    const auto lock = lockAndRecover(&result, &history, &recordBytes, &sameMovesId);
    if (!lock)
        return result;
    if (!result.record) {
        result.outcome = Outcome::NoRecord;
        return result;
    }
    return undoRecordLocked(*result.record, recordBytes, sameMovesId, history, cancel, progress);
}

CleanWork::Result CleanWork::undoEntry(const QString& id, const std::atomic<bool>& cancel,
                                       const Progress& progress) const {
    Result result;
    History history;
    QByteArray recordBytes;
    QString sameMovesId;
    const auto lock = lockAndRecover(&result, &history, &recordBytes, &sameMovesId);
    if (!lock)
        return result;
    result.fromHistory = true;
    const qsizetype index = CleanHistory::indexOf(history, id);
    if (index < 0 || history[index].undone) {
        result.outcome = Outcome::NoRecord;
        return result;
    }
    // The clean that last-clean.json holds is put back from there, as a plain undo does.
    if (index == CleanHistory::indexOfRecord(&history, result.record, historyFile(), recordBytes,
                                             sameMovesId))
        return undoRecordLocked(*result.record, recordBytes, sameMovesId, history, cancel,
                                progress);

    CleanHistory::Entry& entry = history[index];
    if (!CleanHistory::loadMoves(historyFile(), &entry)) {
        // Its moves are gone (or were never kept, by an older history): nothing can be put
        // back, and the clean is not put back either.
        result.failed = entry.moved;
        result.history = history;
        return result;
    }
    const Record record = entry.record;
    // Without a journal this still runs, as an undo does: the entry keeps what is left.
    const QString journalPath = journalFile(CleanJournal::Kind::PutBack);
    auto journal = CleanJournal::begin(journalPath, CleanJournal::Kind::PutBack, m_now);
    if (journal && !journal->entry(id, entry.automatic))
        journal.reset();
    QList<Move> untried;
    Marks restored;
    putBack(record, journal.get(), cancel, progress, &result, &untried, &restored);
    if (untried.isEmpty())
        markUndone(&entry, record, m_now);
    else
        entry.record.moves = untried;
    // last-clean.json stays as it is.
    commit(&result, history, restored, std::nullopt, std::move(journal),
           CleanJournal::Kind::PutBack);
    return result;
}

CleanWork::Result CleanWork::undoRecordLocked(const Record& record, const QByteArray& recordBytes,
                                              const QString& sameMovesId, History history,
                                              const std::atomic<bool>& cancel,
                                              const Progress& progress) const {
    Result result;
    // Without a journal the undo still runs: putting files back loses nothing, and a record
    // that outlives a killed undo only makes the next one count the files already back.
    const QString journalPath = journalFile(CleanJournal::Kind::Undo);
    auto journal = CleanJournal::begin(journalPath, CleanJournal::Kind::Undo, m_now);
    QList<Move> untried;
    Marks restored;
    putBack(record, journal.get(), cancel, progress, &result, &untried, &restored);

    // The history first: a record removed before its entry is marked could not be matched
    // with the entry any more. A crash in between leaves the journal, which finishes both.
    const qsizetype index =
        CleanHistory::indexOfRecord(&history, record, historyFile(), recordBytes, sameMovesId);
    std::optional<Record> rest;
    if (untried.isEmpty()) {
        if (index >= 0)
            markUndone(&history[index], record, m_now);
        else
            removeCreatedFolders(record);
    } else {
        rest = record;
        rest->moves = untried; // stopped part-way: the next undo finishes
        if (index >= 0)
            history[index].record.moves = untried;
    }
    commit(&result, history, restored, rest, std::move(journal), CleanJournal::Kind::Undo);
    return result;
}

// Moves the record's items back into the folders they came from, from the last move to the
// first, in runs. Only what a clean could have moved is taken: a file taken from directly in
// a tidied folder, now in one of that folder's rule folders (or a folder inside it). A taken
// name gets the next free one.
void CleanWork::putBack(const Record& record, CleanJournal* journalIn,
                        const std::atomic<bool>& cancel, const Progress& progress, Result* result,
                        QList<Move>* untried, Marks* marks) const {
    CleanJournal* journal = journalIn;
    QList<bool> placeUsable;
    for (const Place& place : m_places) {
        const auto id = platform::identity(place.folder, false);
        placeUsable.append(platform::isDirectory(place.folder) &&
                           !platform::isHomeOrAbove(place.folder) &&
                           (place.mayBeLink || (id && id->type == FileIdentity::Type::Directory)));
    }
    const int total = int(record.moves.size());
    QList<bool> handledMove(total, false);
    QHash<QString, qsizetype> placeOfOrigin;
    QHash<std::pair<QString, qsizetype>, bool> holderMayGive;
    int handled = 0;
    bool cancelled = false;
    if (progress)
        progress(0, total);
    // A move that failed but whose item still stands where the clean put it stays in the
    // record (counted failed with the untried at the end), so that a later undo can try
    // again: a file in use, a folder that could not be used just now.
    enum class Outcome { Done, Gone, Kept };
    const auto count = [&](int index, Outcome outcome) {
        handledMove[index] = outcome != Outcome::Kept;
        if (outcome != Outcome::Kept)
            ++(outcome == Outcome::Done ? result->done : result->failed);
        ++handled;
        if (progress)
            progress(handled, total);
    };
    // Folders are judged once each; most moves share their folders with the move before.
    QString origin, holder;
    qsizetype place = -1;
    bool mayTake = false;
    for (int runEnd = total; runEnd > 0 && !cancelled; runEnd -= kRunLength) {
        QList<Job> jobs;
        QList<int> jobMove;
        for (int m = runEnd - 1; m >= std::max(0, runEnd - kRunLength); --m) {
            const Move& move = record.moves[m];
            const auto item = platform::identity(move.to, false);
            if (!isDirectlyIn(move.from, origin) || !isDirectlyIn(move.to, holder)) {
                origin = platform::deletingLastPathComponent(move.from);
                holder = platform::deletingLastPathComponent(move.to);
                auto known = placeOfOrigin.find(origin);
                if (known == placeOfOrigin.end())
                    known = placeOfOrigin.insert(origin, placeOf(origin));
                place = *known;
                mayTake = false;
                if (place >= 0) {
                    const std::pair<QString, qsizetype> key{holder, place};
                    auto may = holderMayGive.find(key);
                    if (may == holderMayGive.end())
                        may = holderMayGive.insert(key, undoMayTakeFrom(holder, place));
                    mayTake = *may;
                }
            }
            const bool valid = item && item->type != FileIdentity::Type::Directory &&
                               item->type != FileIdentity::Type::Symlink && mayTake;
            if (!valid || !placeUsable[place]) {
                count(m, valid ? Outcome::Kept : Outcome::Gone);
                continue;
            }
            jobs.append({move.to, *item, nameIn(m_places[place].folder, move.from),
                         m_places[place].folder});
            jobMove.append(m);
        }
        qsizetype done = 0;
        // Marks come from what the move knew: no second look at each file put back.
        const auto onDone = [&](qsizetype, Attempt attempt, const QString& to,
                                const FileIdentity& at) {
            const int m = jobMove[done++];
            if (attempt == Attempt::InUse)
                ++result->inUse;
            if (attempt == Attempt::Moved) {
                forgetTrashed(record.moves[m]);
                result->restored.append(to);
                if (const auto mark = PutBackMarks::markFor(to, at))
                    marks->append(*mark);
            }
            count(m, attempt == Attempt::Moved                   ? Outcome::Done
                     : platform::entryExists(record.moves[m].to) ? Outcome::Kept
                                                                 : Outcome::Gone);
        };
        RunEnd end = moveRun(journal, jobs, cancel, {}, onDone);
        if (end == RunEnd::JournalFailed) { // carry on unjournalled: see the callers
            journal = nullptr;
            const qsizetype first = done;
            end = moveRun(nullptr, jobs.mid(first), cancel, {},
                          [&](qsizetype i, Attempt attempt, const QString& to,
                              const FileIdentity& at) { onDone(i + first, attempt, to, at); });
        }
        cancelled = end == RunEnd::Cancelled;
    }
    for (int m = 0; m < total; ++m) {
        if (!handledMove[m])
            untried->append(record.moves[m]);
    }
    result->failed += int(untried->size());
}
