#include "rules/SortRule.h"

#include "platform/FileSystem.h"
#include "platform/Locations.h"
#include "rules/JsonWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeDatabase>
#include <QRegularExpression>

SortRule::SortRule(QString name, QString symbol, QString destination, QStringList extensions,
                   QUuid id)
    : id(id), name(std::move(name)), symbol(std::move(symbol)), destination(std::move(destination)),
      extensions(std::move(extensions)) {}

const QList<SortRule>& SortRule::defaults() {
    // Sub-folders of the Desktop as the user's own desktop names it (~/Desktop on an English
    // system, ~/Schreibtisch on a German one).
    static const QList<SortRule> rules = defaultsInside(platform::desktopFolder());
    return rules;
}

QList<SortRule> SortRule::defaultsInside(const QString& folder) {
    const QString inside = tildePath(folder);
    return {
        SortRule("Images", "photo", inside + "/Images",
                 {"png", "jpg", "jpeg", "heic", "heif", "gif", "webp", "tiff", "tif", "bmp"}),
        SortRule("Documents", "doc.text", inside + "/Documents",
                 {"pdf", "doc", "docx", "pages", "txt", "rtf", "md", "csv", "xls", "xlsx",
                  "numbers", "ppt", "pptx", "key",
                  // and the office formats Linux desktops write
                  "odt", "ods", "odp"}),
        SortRule("Installers", "shippingbox", inside + "/Installers",
                 {"dmg", "pkg", "mpkg", "iso",
                  // and the packages Linux installs from
                  "deb", "rpm", "appimage", "flatpak", "flatpakref", "snap"}),
    };
}

QString SortRule::tildePath(const QString& folder) {
    const QString home = platform::standardize(platform::homePath());
    const QString path = platform::standardize(folder);
    if (path == home)
        return QStringLiteral("~");
    if (path.startsWith(home) && path.size() > home.size() && path.at(home.size()) == u'/' &&
        home != u"/")
        return u'~' + path.mid(home.size());
    return path;
}

QString SortRule::destinationURL() const {
    QString expanded = platform::expandTilde(destination);
    // A relative destination (only a hand-edited file holds one) is taken inside the home
    // folder rather than the process's working folder, which depends on how Vantor started.
    if (!expanded.startsWith(u'/'))
        expanded = platform::appendingPathComponent(platform::homePath(), expanded);
    return platform::standardize(expanded);
}

QString SortRule::uuidText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> SortRule::parseUuid(const QString& text) {
    if (text.size() != 36)
        return std::nullopt;
    for (qsizetype i = 0; i < 36; ++i) {
        const QChar c = text.at(i);
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != u'-')
                return std::nullopt;
        } else if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') ||
                     (c >= u'A' && c <= u'F'))) {
            return std::nullopt;
        }
    }
    const QUuid id = QUuid::fromString(text);
    if (id.isNull() && text != QStringLiteral("00000000-0000-0000-0000-000000000000"))
        return std::nullopt;
    return id;
}

QByteArray SortRule::toJson() const {
    QByteArray out;
    out += "{\"id\":" + json::string(uuidText(id));
    out += ",\"name\":" + json::string(name);
    out += ",\"symbol\":" + json::string(symbol);
    out += ",\"destination\":" + json::string(destination);
    out += ",\"extensions\":[";
    for (qsizetype i = 0; i < extensions.size(); ++i) {
        if (i > 0)
            out += ',';
        out += json::string(extensions.at(i));
    }
    out += ']';
    // A raw value kept from the file is written back as it came.
    const auto raw = [this](QLatin1StringView key) -> std::optional<QByteArray> {
        if (!unreadable.contains(key))
            return std::nullopt;
        const QByteArray array =
            QJsonDocument(QJsonArray{unreadable.value(key)}).toJson(QJsonDocument::Compact);
        return array.mid(1, array.size() - 2);
    };
    const auto key = [&](QLatin1StringView name, auto&& write, bool set) {
        if (const auto kept = raw(name))
            out += ",\"" + QByteArray(name.data(), name.size()) + "\":" + *kept;
        else if (set)
            out += ",\"" + QByteArray(name.data(), name.size()) + "\":" + write();
    };
    key(
        QLatin1StringView("kinds"),
        [&] {
            QByteArray list = "[";
            for (qsizetype i = 0; i < kinds.size(); ++i)
                list += (i > 0 ? "," : "") + json::string(kinds.at(i));
            return list + ']';
        },
        !kinds.isEmpty());
    key(
        QLatin1StringView("namePattern"), [&] { return json::string(namePattern); },
        !namePattern.isEmpty());
    key(
        QLatin1StringView("minSize"), [&] { return QByteArray::number(minSize); }, minSize >= 0);
    key(
        QLatin1StringView("maxSize"), [&] { return QByteArray::number(maxSize); }, maxSize >= 0);
    key(
        QLatin1StringView("minAgeDays"), [&] { return QByteArray::number(minAgeDays); },
        minAgeDays >= 0);
    key(
        QLatin1StringView("action"), [] { return QByteArray("\"trash\""); },
        action == Action::Trash);
    out += '}';
    return out;
}

bool SortRule::isValidKind(const QString& kind) {
    const qsizetype slash = kind.indexOf(u'/');
    if (slash <= 0 || slash == kind.size() - 1 || kind.indexOf(u'/', slash + 1) >= 0)
        return false;
    if (kind.endsWith(QStringLiteral("/*"))) {
        // A family is one of the top-level media types.
        static const QStringList top = {"application", "audio", "font", "image", "inode",
                                        "message",     "model", "text", "video", "x-content"};
        return top.contains(kind.left(slash));
    }
    const QMimeDatabase db;
    return db.mimeTypeForName(kind).isValid();
}

bool SortRule::isValidNamePattern(const QString& pattern) {
    if (pattern.isEmpty() || pattern.contains(u'/') || pattern.contains(QChar(0)))
        return false;
    return QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern)).isValid();
}

namespace {

// A whole number in [0, max] from a JSON number, or nullopt.
std::optional<qint64> wholeNumber(const QJsonValue& value, qint64 max) {
    if (!value.isDouble())
        return std::nullopt;
    const double d = value.toDouble();
    if (!(d >= 0) || d > double(max) || d != double(qint64(d)))
        return std::nullopt;
    return qint64(d);
}

} // namespace

std::optional<SortRule> SortRule::fromJson(const QJsonValue& value, QStringList* problems) {
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject o = value.toObject();
    const QJsonValue id = o.value(u"id"), name = o.value(u"name"), symbol = o.value(u"symbol"),
                     destination = o.value(u"destination"), extensions = o.value(u"extensions");
    if (!id.isString() || !name.isString() || !symbol.isString() || !destination.isString() ||
        !extensions.isArray())
        return std::nullopt;
    const auto uuid = parseUuid(id.toString());
    if (!uuid)
        return std::nullopt;
    QStringList types;
    for (const QJsonValue& t : extensions.toArray()) {
        if (!t.isString())
            return std::nullopt;
        types.append(t.toString());
    }
    SortRule rule(name.toString(), symbol.toString(), destination.toString(), types, *uuid);

    const auto refuse = [&](QLatin1StringView key, const QString& why) {
        rule.unreadable.insert(key, o.value(key));
        if (problems)
            problems->append(QStringLiteral("rule \"%1\": %2 %3; the rule takes no file")
                                 .arg(rule.name, key, why));
    };
    if (o.contains(u"kinds")) {
        const QJsonValue v = o.value(u"kinds");
        QStringList kinds;
        bool ok = v.isArray() && !v.toArray().isEmpty();
        for (const QJsonValue& k : v.toArray()) {
            ok = ok && k.isString() && isValidKind(k.toString());
            kinds.append(k.toString());
        }
        if (ok)
            rule.kinds = kinds;
        else
            refuse(QLatin1StringView("kinds"), QStringLiteral("names an unknown content type"));
    }
    if (o.contains(u"namePattern")) {
        const QJsonValue v = o.value(u"namePattern");
        if (v.isString() && isValidNamePattern(v.toString()))
            rule.namePattern = v.toString();
        else
            refuse(QLatin1StringView("namePattern"), QStringLiteral("is not a usable pattern"));
    }
    for (const auto& [key, field] : {std::pair{QLatin1StringView("minSize"), &rule.minSize},
                                     std::pair{QLatin1StringView("maxSize"), &rule.maxSize}}) {
        if (!o.contains(key))
            continue;
        if (const auto n = wholeNumber(o.value(key), kMaxSize))
            *field = *n;
        else
            refuse(key, QStringLiteral("is not a size in bytes up to 1 PiB"));
    }
    if (o.contains(u"minAgeDays")) {
        if (const auto n = wholeNumber(o.value(u"minAgeDays"), kMaxAgeDays))
            rule.minAgeDays = int(*n);
        else
            refuse(QLatin1StringView("minAgeDays"),
                   QStringLiteral("is not a number of days up to 36500"));
    }
    if (o.contains(u"action")) {
        const QJsonValue v = o.value(u"action");
        if (v == QJsonValue(QStringLiteral("trash")))
            rule.action = Action::Trash;
        else if (v != QJsonValue(QStringLiteral("move")))
            refuse(QLatin1StringView("action"),
                   QStringLiteral("is neither \"move\" nor \"trash\""));
    }
    return rule;
}
