#include "cli/CommandRunner.h"

#include "cleaner/AutoTidySettings.h"
#include "cleaner/Cleaner.h"
#include "platform/FileSystem.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>

#include <memory>

namespace {

using Command = CommandRequest::Command;
using FolderAction = CommandRequest::FolderAction;

QString files(int count) {
    return QCoreApplication::translate("CommandRunner", "%n files", nullptr, count);
}

// JSON written by hand, to keep the keys in the documented order: a value is JSON text.
using Field = std::pair<const char*, QString>;

QString jsonString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString jsonObject(const QList<Field>& fields) {
    QStringList parts;
    for (const auto& [key, value] : fields)
        parts.append(jsonString(QString::fromLatin1(key)) + QStringLiteral(": ") + value);
    return u'{' + parts.join(QStringLiteral(", ")) + u'}';
}

QString jsonArray(const QStringList& values) {
    return u'[' + values.join(QStringLiteral(", ")) + u']';
}

QString jsonStrings(const QStringList& texts) {
    QStringList values;
    for (const QString& t : texts)
        values.append(jsonString(t));
    return jsonArray(values);
}

QString cleanJson(int moved, int failed, const QList<CleanRecord::Move>& moves) {
    QStringList list;
    for (const CleanRecord::Move& m : moves)
        list.append(jsonObject({{"from", jsonString(m.from)}, {"to", jsonString(m.to)}}));
    return jsonObject({{"moved", QString::number(moved)},
                       {"failed", QString::number(failed)},
                       {"moves", jsonArray(list)}}) +
           u'\n';
}

QString undoJson(int restored, int failed) {
    return jsonObject(
               {{"restored", QString::number(restored)}, {"failed", QString::number(failed)}}) +
           u'\n';
}

QString jsonBool(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// A line for each tidied folder the scan could not read; the first folder is the Desktop.
QString noAccessText(const Scan& scan) {
    QString text;
    for (const Scan::Folder& folder : scan.folders) {
        if (folder.readable)
            continue;
        if (&folder == &scan.folders.first())
            text +=
                QCoreApplication::translate("CommandRunner", "Vantor can't see your Desktop (%1).")
                    .arg(SortRule::tildePath(folder.path));
        else
            text += QCoreApplication::translate("CommandRunner", "Vantor can't read %1.")
                        .arg(SortRule::tildePath(folder.path));
        text += u'\n';
    }
    return text;
}

CommandResult failure(const QString& err) {
    return {CommandResult::kFailure, QString(), err};
}

} // namespace

CommandRunner::CommandRunner(Cleaner* cleaner, AutoTidySettings* autoTidy, QObject* parent)
    : QObject(parent), m_cleaner(cleaner), m_autoTidy(autoTidy) {}

QString CommandRunner::rulesNote() const {
    const QString file = m_cleaner->folders()->desktopRules()->fileName();
    if (!platform::entryExists(file))
        return {};
    const auto bytes = platform::readWholeFile(file, RuleStore::kMaxFileBytes);
    if (bytes && RuleStore::decode(*bytes))
        return {};
    return tr("%1 can't be read; using the default rules.").arg(SortRule::tildePath(file)) + u'\n';
}

CommandResult CommandRunner::runAndWait(const CommandRequest& request) {
    CommandResult result;
    bool finished = false;
    QEventLoop loop;
    run(request, [&](const CommandResult& r) {
        result = r;
        finished = true;
        loop.quit();
    });
    if (!finished)
        loop.exec();
    return result;
}

void CommandRunner::run(const CommandRequest& request,
                        std::function<void(const CommandResult&)> done) {
    const QString note = rulesNote();
    auto withNote = [note, done = std::move(done)](CommandResult result) {
        result.err.prepend(note);
        done(result);
    };
    switch (request.command) {
    case Command::Open:
        withNote({});
        return;
    case Command::Scan:
        withNote(scan(request.json));
        return;
    case Command::History:
        withNote(history(request.json));
        return;
    case Command::Folders:
        withNote(folders(request));
        return;
    case Command::Clean:
    case Command::Undo:
        runWork(request, std::move(withNote));
        return;
    }
}

CommandResult CommandRunner::scan(bool json) const {
    m_cleaner->rescan();
    const Scan& scan = m_cleaner->scan();
    CommandResult result;
    result.err = noAccessText(scan);
    if (!result.err.isEmpty())
        result.exitCode = CommandResult::kFailure;
    if (json) {
        const auto groupsJson = [](const Scan::Folder& folder) {
            QStringList groups;
            for (const Scan::Group& g : folder.groups)
                groups.append(
                    jsonObject({{"rule", jsonString(g.rule.name)},
                                {"id", jsonString(SortRule::uuidText(g.rule.id))},
                                {"destination", jsonString(g.rule.destinationURL())},
                                {"action", jsonString(g.rule.action == SortRule::Action::Trash
                                                          ? QStringLiteral("trash")
                                                          : QStringLiteral("move"))},
                                {"files", jsonStrings(g.files)}}));
            return jsonArray(groups);
        };
        QStringList folders;
        for (const Scan::Folder& folder : scan.folders)
            folders.append(jsonObject({{"path", jsonString(folder.path)},
                                       {"groups", groupsJson(folder)},
                                       {"other", QString::number(folder.other)}}));
        const Scan::Folder desktop = scan.folders.isEmpty()
                                         ? Scan::Folder{m_cleaner->desktop(), false, {}, 0}
                                         : scan.folders.first();
        result.out = jsonObject({{"desktop", jsonString(desktop.path)},
                                 {"groups", groupsJson(desktop)},
                                 {"other", QString::number(desktop.other)},
                                 {"folders", jsonArray(folders)}}) +
                     u'\n';
        return result;
    }
    // With the Desktop alone, as it always read; with more, each folder under its name.
    const bool several = scan.folders.size() > 1;
    const QString indent = several ? QStringLiteral("  ") : QString();
    for (const Scan::Folder& folder : scan.folders) {
        if (!folder.readable)
            continue;
        if (several)
            result.out += SortRule::tildePath(folder.path) + QStringLiteral(":\n");
        for (const Scan::Group& g : folder.groups)
            if (!g.files.isEmpty())
                result.out += indent + QStringLiteral("%1: %2 \u2192 %3\n")
                                           .arg(g.rule.name, files(int(g.files.size())),
                                                g.rule.action == SortRule::Action::Trash
                                                    ? tr("Trash")
                                                    : SortRule::tildePath(g.rule.destinationURL()));
        if (folder.totalFiles() == 0)
            result.out += indent + tr("Nothing to move.") + u'\n';
        if (folder.other > 0)
            result.out +=
                indent +
                (several ? tr("%n other items stay there.", nullptr, folder.other)
                         : tr("%n other items stay on the Desktop.", nullptr, folder.other)) +
                u'\n';
    }
    return result;
}

CommandResult CommandRunner::history(bool json) const {
    const QList<CleanSummary>& entries = m_cleaner->history();
    CommandResult result;
    if (json) {
        QStringList list;
        for (const CleanSummary& e : entries)
            list.append(jsonObject({{"id", jsonString(e.id)},
                                    {"date", jsonString(e.date.toUTC().toString(Qt::ISODate))},
                                    {"moved", QString::number(e.moved)},
                                    {"automatic", jsonBool(e.automatic)},
                                    {"undone", jsonBool(e.undone)}}));
        result.out = jsonArray(list) + u'\n';
        return result;
    }
    // One line a clean: its id to give to undo, its local time, what it did.
    for (const CleanSummary& e : entries) {
        const QString what = e.automatic ? (e.undone ? tr("Moved %1, automatically; put back.")
                                                     : tr("Moved %1, automatically."))
                                         : (e.undone ? tr("Moved %1; put back.") : tr("Moved %1."));
        result.out +=
            QStringLiteral("%1  %2  %3\n")
                .arg(e.id, e.date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                     what.arg(files(e.moved)));
    }
    if (entries.isEmpty())
        result.out = tr("No cleans yet.") + u'\n';
    return result;
}

CommandResult CommandRunner::folders(const CommandRequest& request) {
    TidiedFolders* list = m_cleaner->folders();
    CommandResult result;
    switch (request.folderAction) {
    case FolderAction::List: {
        QStringList entries;
        for (const TidiedFolders::Folder& folder : list->folders()) {
            const bool automatic = m_autoTidy->isEnabled(folder.id);
            entries.append(request.json
                               ? jsonObject({{"path", jsonString(folder.path)},
                                             {"automatic", jsonBool(automatic)}})
                               : SortRule::tildePath(folder.path) +
                                     (automatic ? QStringLiteral("  automatic") : QString()));
        }
        result.out = (request.json ? jsonArray(entries) : entries.join(u'\n')) + u'\n';
        return result;
    }
    case FolderAction::Add: {
        QString id;
        const TidiedFolders::Refusal refusal = list->add(request.path, &id);
        if (refusal != TidiedFolders::Refusal::None)
            return failure(TidiedFolders::refusalText(refusal, request.path) + u'\n');
        if (request.automatic)
            m_autoTidy->setEnabled(id, true);
        const TidiedFolders::Folder* added = list->folder(id);
        result.out =
            (request.automatic ? tr("Added %1 to the tidied folders, tidied automatically.")
                               : tr("Added %1 to the tidied folders."))
                .arg(SortRule::tildePath(added ? added->path : request.path)) +
            u'\n';
        return result;
    }
    case FolderAction::Remove: {
        const qsizetype index = list->indexOf(request.path);
        if (index == 0)
            return failure(tr("The Desktop is always tidied; it can't be removed.") + u'\n');
        const QString notListed =
            tr("%1 is not a tidied folder.").arg(SortRule::tildePath(request.path)) + u'\n';
        if (index < 0)
            return failure(notListed);
        // A copy: removing it changes the list.
        const TidiedFolders::Folder folder = list->folders().at(index);
        if (!list->remove(folder.path))
            return failure(notListed);
        // As the settings page does: a removed folder leaves no switch behind.
        m_autoTidy->setEnabled(folder.id, false);
        result.out =
            tr("Removed %1 from the tidied folders.").arg(SortRule::tildePath(folder.path)) + u'\n';
        return result;
    }
    }
    return result;
}

void CommandRunner::runWork(const CommandRequest& request,
                            std::function<void(const CommandResult&)> done) {
    const bool clean = request.command == Command::Clean;
    const bool json = request.json;
    Cleaner* cleaner = m_cleaner;
    const auto empty = [clean, json](const QString& err) {
        CommandResult r{CommandResult::kFailure, QString(), err};
        if (json)
            r.out = clean ? cleanJson(0, 0, {}) : undoJson(0, 0);
        return r;
    };
    if (cleaner->isBusy()) {
        done(empty(Cleaner::noticeText(Cleaner::Notice::Busy) + u'\n'));
        return;
    }
    const QString id = request.id;
    if (!clean && !id.isEmpty()) {
        const auto& entries = cleaner->history();
        const auto entry = std::find_if(entries.begin(), entries.end(),
                                        [&id](const auto& e) { return e.id == id; });
        if (entry == entries.end()) {
            done(empty(tr("No clean with ID '%1' in the history.").arg(id) + u'\n'));
            return;
        }
        if (entry->undone) {
            done(empty(tr("Clean %1 was put back already.").arg(id) + u'\n'));
            return;
        }
    } else if (!clean && !cleaner->lastClean()) {
        done(empty(tr("Nothing to undo.") + u'\n'));
        return;
    }

    auto finish = [clean, json, empty, done, cleaner](const Cleaner::Outcome& outcome) {
        // A clean skips the folders it cannot read and tidies the rest: not done in full.
        const QString unreadable = clean ? noAccessText(cleaner->scan()) : QString();
        const auto report = [&unreadable, &done](CommandResult r) {
            if (!unreadable.isEmpty()) {
                r.exitCode = CommandResult::kFailure;
                r.err += unreadable;
            }
            done(r);
        };
        switch (outcome.kind) {
        case Cleaner::Outcome::Kind::NotStarted:
            done(empty(Cleaner::noticeText(outcome.notice) + u'\n'));
            return;
        case Cleaner::Outcome::Kind::NoAccess:
            done(empty(unreadable)); // only a clean finds no folder it can read
            return;
        case Cleaner::Outcome::Kind::NoWork:
            if (!clean)
                done(empty(tr("Nothing to undo.") + u'\n'));
            else
                report({CommandResult::kSuccess,
                        json ? cleanJson(0, 0, {}) : tr("Nothing to move.") + u'\n', QString()});
            return;
        case Cleaner::Outcome::Kind::Done:
            break;
        }
        const Cleaner::Status& status = outcome.status;
        CommandResult r;
        r.exitCode = status.failed > 0 ? CommandResult::kFailure : CommandResult::kSuccess;
        if (clean) {
            if (json)
                r.out = cleanJson(status.moved(), status.failed, outcome.moves);
            else if (status.recordStopped)
                r.out = tr("Moved %1; %n couldn't be moved.", nullptr, status.failed)
                            .arg(files(status.moved())) +
                        u'\n' + Cleaner::recordStoppedText() + u'\n';
            else if (status.failed > 0 && status.inUse > 0)
                r.out = tr("Moved %1; %n couldn't be moved (%2 in use).", nullptr, status.failed)
                            .arg(files(status.moved()), QString::number(status.inUse)) +
                        u'\n';
            else if (status.failed > 0)
                r.out = tr("Moved %1; %n couldn't be moved.", nullptr, status.failed)
                            .arg(files(status.moved())) +
                        u'\n';
            else
                r.out = tr("Moved %1.").arg(files(status.moved())) + u'\n';
        } else {
            if (json)
                r.out = undoJson(status.restored(), status.failed);
            else if (status.failed > 0)
                r.out = tr("Put back %1; %n couldn't be put back.", nullptr, status.failed)
                            .arg(files(status.restored())) +
                        u'\n';
            else
                r.out = tr("Put back %1.").arg(files(status.restored())) + u'\n';
        }
        report(r);
    };

    if (clean)
        cleaner->startClean(Cleaner::CleanOptions{}, finish);
    else if (!id.isEmpty())
        cleaner->startUndo(id, finish);
    else
        cleaner->startUndo(finish);
}
