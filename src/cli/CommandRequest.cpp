#include "cli/CommandRequest.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {
constexpr std::pair<CommandRequest::Command, const char*> kNames[] = {
    {CommandRequest::Command::Open, "open"},       {CommandRequest::Command::Scan, "scan"},
    {CommandRequest::Command::Clean, "clean"},     {CommandRequest::Command::Undo, "undo"},
    {CommandRequest::Command::History, "history"},
};
} // namespace

QString CommandRequest::name(Command command) {
    for (const auto& [c, n] : kNames)
        if (c == command)
            return QString::fromLatin1(n);
    return {};
}

std::optional<CommandRequest::Command> CommandRequest::commandNamed(const QString& name) {
    for (const auto& [c, n] : kNames)
        if (name == QLatin1String(n))
            return c;
    return std::nullopt;
}

int CommandRequest::version() const {
    return command == Command::History || !id.isEmpty() ? 2 : 1;
}

QByteArray CommandRequest::toLine() const {
    QJsonObject o{{QStringLiteral("v"), version()}, {QStringLiteral("command"), name(command)}};
    if (json)
        o.insert(QStringLiteral("json"), true);
    if (!id.isEmpty())
        o.insert(QStringLiteral("id"), id);
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
    const QJsonValue id = o.value(u"id");
    if (!command || (!id.isUndefined() && (!id.isString() || *command != Command::Undo)))
        return std::nullopt;
    CommandRequest request{*command, o.value(u"json").toBool(false), id.toString()};
    if (request.version() > version)
        return std::nullopt;
    return request;
}
