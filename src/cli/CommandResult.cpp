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

namespace {
// What another process sends is printed on a terminal, where control characters would act:
// move the cursor, retitle the window, hide text. Only newlines and tabs, which lay out the
// text, are kept.
QString printable(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (c.category() != QChar::Other_Control || c == u'\n' || c == u'\t')
            out += c;
    return out;
}
} // namespace

std::optional<CommandResult> CommandResult::fromLine(const QByteArray& line) {
    const QJsonDocument doc = QJsonDocument::fromJson(line.trimmed());
    if (!doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    const int exitCode = o.value(u"exit").toInt(-1);
    // An older Vantor answers in its own version, also when it refuses a newer request: the
    // answer has kept its form since the first.
    const int version = o.value(u"v").toInt(-1);
    if (version < 1 || version > CommandRequest::kVersion ||
        (exitCode != kSuccess && exitCode != kFailure && exitCode != kUsage))
        return std::nullopt;
    return CommandResult{exitCode, printable(o.value(u"out").toString()),
                         printable(o.value(u"err").toString())};
}
