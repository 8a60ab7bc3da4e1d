#include "cli/CommandRequest.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {
constexpr std::pair<CommandRequest::Command, const char*> kNames[] = {
    {CommandRequest::Command::Open, "open"},
    {CommandRequest::Command::Scan, "scan"},
    {CommandRequest::Command::Clean, "clean"},
    {CommandRequest::Command::Undo, "undo"},
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

QByteArray CommandRequest::toLine() const {
    QJsonObject o{{QStringLiteral("v"), kVersion}, {QStringLiteral("command"), name(command)}};
    if (json)
        o.insert(QStringLiteral("json"), true);
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
    if (o.value(u"v").toInt(-1) != kVersion)
        return std::nullopt;
    const auto command = commandNamed(o.value(u"command").toString());
    if (!command)
        return std::nullopt;
    return CommandRequest{*command, o.value(u"json").toBool(false)};
}
