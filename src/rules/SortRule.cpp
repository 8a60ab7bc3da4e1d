#include "rules/SortRule.h"

#include "platform/FileSystem.h"
#include "platform/Locations.h"
#include "rules/JsonWriter.h"

#include <QJsonArray>
#include <QJsonObject>

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
    out += "]}";
    return out;
}

std::optional<SortRule> SortRule::fromJson(const QJsonValue& value) {
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
    return SortRule(name.toString(), symbol.toString(), destination.toString(), types, *uuid);
}
