#include "cli/CommandRequest.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {
using Command = CommandRequest::Command;
using FolderAction = CommandRequest::FolderAction;

constexpr std::pair<Command, const char*> kNames[] = {
    {Command::Open, "open"}, {Command::Scan, "scan"},       {Command::Clean, "clean"},
    {Command::Undo, "undo"}, {Command::History, "history"}, {Command::Folders, "folders"},
};

constexpr std::pair<FolderAction, const char*> kActionNames[] = {
    {FolderAction::List, "list"},
    {FolderAction::Add, "add"},
    {FolderAction::Remove, "remove"},
};

template <typename T, std::size_t N>
QString nameIn(const std::pair<T, const char*> (&names)[N], T value) {
    for (const auto& [v, n] : names)
        if (v == value)
            return QString::fromLatin1(n);
    return {};
}

template <typename T, std::size_t N>
std::optional<T> valueIn(const std::pair<T, const char*> (&names)[N], const QString& name) {
    for (const auto& [v, n] : names)
        if (name == QLatin1String(n))
            return v;
    return std::nullopt;
}
} // namespace

QString CommandRequest::name(Command command) {
    return nameIn(kNames, command);
}

std::optional<Command> CommandRequest::commandNamed(const QString& name) {
    return valueIn(kNames, name);
}

QString CommandRequest::name(FolderAction action) {
    return nameIn(kActionNames, action);
}

std::optional<FolderAction> CommandRequest::folderActionNamed(const QString& name) {
    return valueIn(kActionNames, name);
}

int CommandRequest::version() const {
    if (command == Command::Folders)
        return 3;
    return command == Command::History || !id.isEmpty() ? 2 : 1;
}

QByteArray CommandRequest::toLine() const {
    QJsonObject o{{QStringLiteral("v"), version()}, {QStringLiteral("command"), name(command)}};
    if (json)
        o.insert(QStringLiteral("json"), true);
    if (!id.isEmpty())
        o.insert(QStringLiteral("id"), id);
    if (command == Command::Folders)
        o.insert(QStringLiteral("action"), name(folderAction));
    if (!path.isEmpty())
        o.insert(QStringLiteral("path"), path);
    if (automatic)
        o.insert(QStringLiteral("automatic"), true);
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<CommandRequest> CommandRequest::fromLine(const QByteArray& line) {
    const QByteArray trimmed = line.trimmed();
    if (trimmed == "reopen")
        return CommandRequest{};
    const QJsonDocument doc = QJsonDocument::fromJson(trimmed);
    if (!doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    const int version = o.value(u"v").toInt(-1);
    if (version < 1 || version > kVersion)
        return std::nullopt;
    const auto command = commandNamed(o.value(u"command").toString());
    if (!command)
        return std::nullopt;
    CommandRequest request;
    request.command = *command;
    request.json = o.value(u"json").toBool(false);

    // A field where its command takes none, or of another type, makes a request other than
    // it seems: refused, never carried out as a near one.
    const QJsonValue id = o.value(u"id");
    if (!id.isUndefined() && (!id.isString() || *command != Command::Undo))
        return std::nullopt;
    request.id = id.toString();

    const QJsonValue action = o.value(u"action");
    if (*command == Command::Folders) {
        const auto named = folderActionNamed(action.toString());
        if (!named)
            return std::nullopt;
        request.folderAction = *named;
    } else if (!action.isUndefined()) {
        return std::nullopt;
    }
    const bool changesList =
        *command == Command::Folders && request.folderAction != FolderAction::List;
    // Only the asking launch knows its working folder: a relative path would be taken as
    // relative to the running Vantor's.
    const QJsonValue path = o.value(u"path");
    if (changesList ? !path.toString().startsWith(u'/') : !path.isUndefined())
        return std::nullopt;
    request.path = path.toString();
    const QJsonValue automatic = o.value(u"automatic");
    if (!automatic.isUndefined() &&
        (!automatic.isBool() || !changesList || request.folderAction != FolderAction::Add))
        return std::nullopt;
    request.automatic = automatic.toBool(false);
    // Adding and removing print no JSON.
    if (changesList && o.contains(u"json"))
        return std::nullopt;

    if (request.version() > version)
        return std::nullopt;
    return request;
}
