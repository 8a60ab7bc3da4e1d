#include "cli/CommandRunner.h"

#include "cleaner/DesktopCleaner.h"
#include "platform/FileSystem.h"
#include "rules/RuleStore.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>

#include <memory>

namespace {

using Command = CommandRequest::Command;

QString files(int count) {
    return QString::number(count) +
           (count == 1 ? QStringLiteral(" file") : QStringLiteral(" files"));
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

QString cleanJson(int moved, int failed, const QList<DesktopCleaner::Move>& moves) {
    QStringList list;
    for (const DesktopCleaner::Move& m : moves)
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

QString noAccessText(const QString& desktop) {
    return QStringLiteral("Vantor can't see your Desktop (%1).\n")
        .arg(SortRule::tildePath(desktop));
}

} // namespace

CommandRunner::CommandRunner(DesktopCleaner* cleaner, QObject* parent)
    : QObject(parent), m_cleaner(cleaner) {}

QString CommandRunner::rulesNote() const {
    const QString file = m_cleaner->rules()->fileName();
    if (!platform::entryExists(file))
        return {};
    const auto bytes = platform::readWholeFile(file, RuleStore::kMaxFileBytes);
    if (bytes && RuleStore::decode(*bytes))
        return {};
    return QStringLiteral("%1 can't be read; using the default rules.\n")
        .arg(SortRule::tildePath(file));
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
    case Command::Clean:
    case Command::Undo:
        runWork(request, std::move(withNote));
        return;
    }
}

CommandResult CommandRunner::scan(bool json) const {
    m_cleaner->rescan();
    const DesktopCleaner::Scan& scan = m_cleaner->scan();
    CommandResult result;
    if (m_cleaner->status().kind == DesktopCleaner::Status::Kind::NoAccess) {
        result.exitCode = CommandResult::kFailure;
        result.err = noAccessText(m_cleaner->desktop());
    }
    if (json) {
        QStringList groups;
        for (const DesktopCleaner::Group& g : scan.groups)
            groups.append(jsonObject({{"rule", jsonString(g.rule.name)},
                                      {"id", jsonString(SortRule::uuidText(g.rule.id))},
                                      {"destination", jsonString(g.rule.destinationURL())},
                                      {"files", jsonStrings(g.files)}}));
        result.out = jsonObject({{"desktop", jsonString(m_cleaner->desktop())},
                                 {"groups", jsonArray(groups)},
                                 {"other", QString::number(scan.other)}}) +
                     u'\n';
        return result;
    }
    if (result.exitCode != CommandResult::kSuccess)
        return result;
    for (const DesktopCleaner::Group& g : scan.groups)
        if (!g.files.isEmpty())
            result.out += QStringLiteral("%1: %2 \u2192 %3\n")
                              .arg(g.rule.name, files(int(g.files.size())),
                                   SortRule::tildePath(g.rule.destinationURL()));
    if (scan.totalFiles() == 0)
        result.out += QStringLiteral("Nothing to move.\n");
    if (scan.other > 0)
        result.out += scan.other == 1
                          ? QStringLiteral("1 other item stays on the Desktop.\n")
                          : QStringLiteral("%1 other items stay on the Desktop.\n").arg(scan.other);
    return result;
}

CommandResult CommandRunner::history(bool json) const {
    const QList<DesktopCleaner::HistoryEntry>& entries = m_cleaner->history();
    CommandResult result;
    if (json) {
        QStringList list;
        for (const DesktopCleaner::HistoryEntry& e : entries)
            list.append(jsonObject(
                {{"id", jsonString(e.id)},
                 {"date", jsonString(e.date.toUTC().toString(Qt::ISODate))},
                 {"moved", QString::number(e.moved)},
                 {"automatic", e.automatic ? QStringLiteral("true") : QStringLiteral("false")},
                 {"undone", e.undone ? QStringLiteral("true") : QStringLiteral("false")}}));
        result.out = jsonArray(list) + u'\n';
        return result;
    }
    // One line a clean: its id to give to undo, its local time, what it did.
    for (const DesktopCleaner::HistoryEntry& e : entries) {
        QString line =
            QStringLiteral("%1  %2  Moved %3")
                .arg(e.id, e.date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                     files(e.moved));
        if (e.automatic)
            line += QStringLiteral(", automatically");
        if (e.undone)
            line += QStringLiteral("; put back");
        result.out += line + QStringLiteral(".\n");
    }
    if (entries.isEmpty())
        result.out = QStringLiteral("No cleans yet.\n");
    return result;
}

void CommandRunner::runWork(const CommandRequest& request,
                            std::function<void(const CommandResult&)> done) {
    const bool clean = request.command == Command::Clean;
    const bool json = request.json;
    DesktopCleaner* cleaner = m_cleaner;
    const auto empty = [clean, json](const QString& err) {
        CommandResult r{CommandResult::kFailure, QString(), err};
        if (json)
            r.out = clean ? cleanJson(0, 0, {}) : undoJson(0, 0);
        return r;
    };
    if (cleaner->isBusy()) {
        done(empty(DesktopCleaner::noticeText(DesktopCleaner::Notice::Busy) + u'\n'));
        return;
    }
    const QString id = request.id;
    if (!clean && !id.isEmpty()) {
        const auto& entries = cleaner->history();
        const auto entry = std::find_if(entries.begin(), entries.end(),
                                        [&id](const auto& e) { return e.id == id; });
        if (entry == entries.end()) {
            done(empty(QStringLiteral("No clean with ID '%1' in the history.\n").arg(id)));
            return;
        }
        if (entry->undone) {
            done(empty(QStringLiteral("Clean %1 was put back already.\n").arg(id)));
            return;
        }
    } else if (!clean && !cleaner->lastClean()) {
        done(empty(QStringLiteral("Nothing to undo.\n")));
        return;
    }

    // What this run's work reports, as it reports it: the status it ends with and a notice
    // when it could not start. Earlier values say nothing about this run.
    struct Outcome {
        std::optional<DesktopCleaner::Status> status;
        bool noticed = false;
        QList<QMetaObject::Connection> connections;
    };
    auto outcome = std::make_shared<Outcome>();
    const auto wanted =
        clean ? DesktopCleaner::Status::Kind::Cleaned : DesktopCleaner::Status::Kind::Undone;
    outcome->connections << connect(cleaner, &DesktopCleaner::statusChanged, this,
                                    [cleaner, outcome, wanted] {
                                        if (!outcome->status && cleaner->status().kind == wanted)
                                            outcome->status = cleaner->status();
                                    });
    outcome->connections << connect(cleaner, &DesktopCleaner::noticeChanged, this,
                                    [cleaner, outcome] {
                                        if (cleaner->notice() != DesktopCleaner::Notice::None)
                                            outcome->noticed = true;
                                    });

    auto finish = [cleaner, outcome, clean, json, empty, done] {
        for (const auto& c : std::as_const(outcome->connections))
            disconnect(c);
        if (outcome->noticed && cleaner->notice() != DesktopCleaner::Notice::None) {
            done(empty(DesktopCleaner::noticeText(cleaner->notice()) + u'\n'));
            return;
        }
        if (!outcome->status) {
            // The work never ran: nothing to move, no Desktop, or the record was gone.
            if (!clean)
                done(empty(QStringLiteral("Nothing to undo.\n")));
            else if (cleaner->status().kind == DesktopCleaner::Status::Kind::NoAccess)
                done(empty(noAccessText(cleaner->desktop())));
            else
                done({CommandResult::kSuccess,
                      json ? cleanJson(0, 0, {}) : QStringLiteral("Nothing to move.\n"),
                      QString()});
            return;
        }
        const DesktopCleaner::Status status = *outcome->status;
        CommandResult r;
        r.exitCode = status.failed > 0 ? CommandResult::kFailure : CommandResult::kSuccess;
        if (clean) {
            const QList<DesktopCleaner::Move> moves = status.moved() > 0 && cleaner->lastClean()
                                                          ? cleaner->lastClean()->moves
                                                          : QList<DesktopCleaner::Move>();
            if (json)
                r.out = cleanJson(status.moved(), status.failed, moves);
            else if (status.recordStopped)
                r.out = QStringLiteral("Moved %1; %2 couldn't be moved.\n%3\n")
                            .arg(files(status.moved()), QString::number(status.failed),
                                 DesktopCleaner::recordStoppedText());
            else if (status.failed > 0)
                r.out = QStringLiteral("Moved %1; %2 couldn't be moved%3.\n")
                            .arg(files(status.moved()), QString::number(status.failed),
                                 status.inUse > 0 ? QStringLiteral(" (%1 in use)").arg(status.inUse)
                                                  : QString());
            else
                r.out = QStringLiteral("Moved %1.\n").arg(files(status.moved()));
        } else {
            if (json)
                r.out = undoJson(status.restored(), status.failed);
            else if (status.failed > 0)
                r.out = QStringLiteral("Put back %1; %2 couldn't be put back.\n")
                            .arg(files(status.restored()), QString::number(status.failed));
            else
                r.out = QStringLiteral("Put back %1.\n").arg(files(status.restored()));
        }
        done(r);
    };

    if (clean)
        cleaner->startClean();
    else if (!id.isEmpty())
        cleaner->startUndo(id);
    else
        cleaner->startUndo();
    if (!cleaner->isBusy()) {
        finish();
        return;
    }
    // Queued: the cleaner publishes the work's results right after it says it is idle.
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(
        cleaner, &DesktopCleaner::busyChanged, this,
        [once, finish](bool busy) {
            if (busy)
                return;
            disconnect(*once);
            finish();
        },
        Qt::QueuedConnection);
}
