#include "cli/CommandResult.h"

#include "cli/CommandRequest.h"

#include <QJsonDocument>
#include <QJsonObject>

QByteArray CommandResult::toLine() const {
    const QJsonObject o{{QStringLiteral("v"), CommandRequest::kVersion},
                        {QStringLiteral("exit"), exitCode},
                        {QStringLiteral("out"), out},
                        {QStringLiteral("err"), err}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<CommandResult> CommandResult::fromLine(const QByteArray& line) {
    const QJsonDocument doc = QJsonDocument::fromJson(line.trimmed());
    if (!doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    if (o.value(u"v").toInt(-1) != CommandRequest::kVersion || !o.value(u"exit").isDouble())
        return std::nullopt;
    return CommandResult{o.value(u"exit").toInt(), o.value(u"out").toString(),
                         o.value(u"err").toString()};
}
