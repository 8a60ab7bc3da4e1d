#include "cleaner/CleanRecord.h"

#include "platform/FileSystem.h"
#include "rules/JsonWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>
#include <QUrl>

#include <cmath>

namespace {

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

} // namespace

bool CleanRecord::canHold(const QString& path) {
    const CleanRecord probe{referenceDate(), {{path, path}}, {}};
    const auto back = decode(probe.encode());
    return back && back->moves.size() == 1 && back->moves[0].from == path;
}

QByteArray CleanRecord::encodeDate(const QDateTime& date) {
    return json::number(double(referenceDate().msecsTo(date)) / 1000.0);
}

std::optional<QDateTime> CleanRecord::decodeDate(const QJsonValue& value) {
    // Dates beyond a few thousand years are not a clean Vantor made.
    if (!value.isDouble() || !std::isfinite(value.toDouble()) || std::abs(value.toDouble()) > 1e11)
        return std::nullopt;
    return referenceDate().addMSecs(qint64(std::llround(value.toDouble() * 1000.0)));
}

QByteArray CleanRecord::encode() const {
    QByteArray out = "{\"date\":" + encodeDate(date) + ",\"moves\":[";
    for (qsizetype i = 0; i < moves.size(); ++i) {
        if (i > 0)
            out += ',';
        out += "{\"from\":" + json::string(QString::fromUtf8(fileUrl(moves[i].from, false)));
        out += ",\"to\":" + json::string(QString::fromUtf8(fileUrl(moves[i].to, false)));
        out += '}';
    }
    out += "],\"createdFolders\":[";
    for (qsizetype i = 0; i < createdFolders.size(); ++i) {
        if (i > 0)
            out += ',';
        out += json::string(QString::fromUtf8(fileUrl(createdFolders[i], true)));
    }
    out += "]}";
    return out;
}

std::optional<CleanRecord> CleanRecord::decode(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    const QJsonValue moves = o.value(u"moves"), folders = o.value(u"createdFolders");
    const auto date = decodeDate(o.value(u"date"));
    if (!date || !moves.isArray() || !folders.isArray())
        return std::nullopt;

    CleanRecord record;
    record.date = *date;
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
