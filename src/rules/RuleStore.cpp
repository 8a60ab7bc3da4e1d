#include "rules/RuleStore.h"

#include "platform/FileSystem.h"
#include "platform/Locations.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMutex>
#include <QMutexLocker>

#include <algorithm>

namespace {

// Compares by code point (not UTF-16 unit) after canonical composition, so upper-case
// names come before lower-case ones and equivalent spellings sort together.
bool codePointLess(const QString& a, const QString& b) {
    const QList<uint> ua = a.toUcs4(), ub = b.toUcs4();
    return std::lexicographical_compare(ua.begin(), ua.end(), ub.begin(), ub.end());
}

bool isLetterOrNumberOnly(const QString& text) {
    const QList<uint> codePoints = text.toUcs4();
    return std::all_of(codePoints.begin(), codePoints.end(),
                       [](uint c) { return QChar::isLetter(c) || QChar::isNumber(c); });
}

// The folder can be renamed with its rule: it is missing or holds nothing at all.
bool isMissingOrEmpty(const QString& folder) {
    if (!platform::entryExists(folder))
        return true;
    const auto entries = platform::listFolder(folder, false);
    return entries && entries->isEmpty();
}

} // namespace

RuleStore::RuleStore(const QString& folder, QObject* parent)
    : RuleStore(folder, platform::desktopFolder(), SortRule::defaults(), parent) {}

RuleStore::RuleStore(const QString& folder, const QString& tidiedFolder, QList<SortRule> defaults,
                     QObject* parent)
    : QObject(parent), m_fileName(platform::appendingPathComponent(folder, "rules.json")),
      m_tidiedFolder(tidiedFolder), m_defaults(std::move(defaults)) {
    platform::makePath(folder);
    std::optional<QList<SortRule>> loaded;
    if (const auto bytes = platform::readWholeFile(m_fileName, kMaxFileBytes))
        loaded = decode(*bytes);
    m_rules = loaded ? *loaded : m_defaults;
}

QByteArray RuleStore::encode(const QList<SortRule>& rules) {
    QByteArray out = "[";
    for (qsizetype i = 0; i < rules.size(); ++i) {
        if (i > 0)
            out += ',';
        out += rules.at(i).toJson();
    }
    out += ']';
    return out;
}

std::optional<QList<SortRule>> RuleStore::decode(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray())
        return std::nullopt;
    QList<SortRule> rules;
    for (const QJsonValue value : doc.array()) {
        QStringList problems;
        auto rule = SortRule::fromJson(value, &problems);
        if (!rule)
            return std::nullopt;
        // Once per run: the same file is read again whenever its folder's rules are needed.
        static QMutex mutex;
        static QSet<QString> told;
        const QMutexLocker lock(&mutex);
        for (const QString& problem : problems)
            if (!told.contains(problem)) {
                told.insert(problem);
                qWarning("rules.json: %s", qUtf8Printable(problem));
            }
        rules.append(std::move(*rule));
    }
    return rules;
}

void RuleStore::assign(QList<SortRule> rules) {
    m_rules = std::move(rules);
    emit rulesChanged();
    save();
}

void RuleStore::save() const {
    // A failed save is dropped: the list in memory stays and the next change tries again.
    platform::writeFileAtomically(m_fileName, encode(m_rules));
}

qsizetype RuleStore::indexOf(const QUuid& id) const {
    for (qsizetype i = 0; i < m_rules.size(); ++i)
        if (m_rules.at(i).id == id)
            return i;
    return -1;
}

std::optional<SortRule> RuleStore::rule(const QUuid& id) const {
    const qsizetype i = indexOf(id);
    if (i < 0)
        return std::nullopt;
    return m_rules.at(i);
}

std::optional<SortRule> RuleStore::ruleForExtension(const QString& extension) const {
    const QString type = extension.toLower();
    for (const SortRule& r : m_rules)
        if (r.extensions.contains(type))
            return r;
    return std::nullopt;
}

QString RuleStore::ruleFolderFor(const QString& name) const {
    // A name that makes no folder of its own in the tidied folder gives none.
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || trimmed == u'.' || trimmed == QStringLiteral("..") ||
        trimmed.contains(u'/') || trimmed.contains(QChar(0)))
        return {};
    return SortRule::tildePath(m_tidiedFolder) + u'/' + name;
}

bool RuleStore::followsName(const SortRule& rule) const {
    if (!m_followingName.contains(rule.id) && rule.destination != ruleFolderFor(rule.name))
        return false;
    return isMissingOrEmpty(rule.destinationURL());
}

QUuid RuleStore::addRule() {
    const auto taken = [this](const QString& name) {
        const QString folder = ruleFolderFor(name);
        return std::any_of(m_rules.begin(), m_rules.end(), [&](const SortRule& r) {
            return r.name == name || r.destination == folder;
        });
    };
    // In the user's language, unlike the default rules' names: a new rule is the user's own.
    QString name = QCoreApplication::translate("RuleStore", "New Rule");
    for (int n = 2; taken(name); ++n)
        name = QCoreApplication::translate("RuleStore", "New Rule %1").arg(n);
    const SortRule rule(name, "folder", ruleFolderFor(name), {});
    QList<SortRule> rules = m_rules;
    rules.append(rule);
    assign(std::move(rules));
    return rule.id;
}

std::optional<QString> RuleStore::remove(const QUuid& id) {
    QStringList orphaned;
    if (const auto gone = rule(id))
        for (const QString& type : m_takenTypes.value(id))
            if (gone->extensions.contains(type))
                orphaned.append(u'.' + type);
    m_takenTypes.remove(id);
    m_followingName.remove(id);
    QList<SortRule> rules = m_rules;
    rules.removeIf([&](const SortRule& r) { return r.id == id; });
    assign(std::move(rules));
    if (orphaned.isEmpty())
        return std::nullopt;
    return tr("%1 now belongs to no rule.", nullptr, int(orphaned.size()))
        .arg(orphaned.join(u", "));
}

void RuleStore::insert(const SortRule& rule, qsizetype index) {
    SortRule back = rule;
    if (!back.hasConditions())
        back.extensions.removeIf([this](const QString& type) {
            return std::any_of(m_rules.begin(), m_rules.end(), [&](const SortRule& r) {
                return !r.hasConditions() && r.extensions.contains(type);
            });
        });
    QList<SortRule> rules = m_rules;
    rules.insert(qBound(qsizetype(0), index, rules.size()), back);
    assign(std::move(rules));
}

void RuleStore::rename(const QUuid& id, const QString& name) {
    const qsizetype i = indexOf(id);
    if (i < 0)
        return;
    QList<SortRule> rules = m_rules;
    if (followsName(rules[i])) {
        m_followingName.insert(id);
        const QString folder = ruleFolderFor(name);
        // Another rule's folder is not shared: this one waits for a name of its own.
        const bool used = std::any_of(rules.begin(), rules.end(), [&](const SortRule& r) {
            return r.id != id && r.destination == folder;
        });
        if (!folder.isEmpty() && !used)
            rules[i].destination = folder;
    } else {
        m_followingName.remove(id);
    }
    rules[i].name = name;
    assign(std::move(rules));
}

void RuleStore::setDestination(const QUuid& id, const QString& folder) {
    const qsizetype i = indexOf(id);
    if (i < 0)
        return;
    m_followingName.remove(id);
    QList<SortRule> rules = m_rules;
    rules[i].destination = SortRule::tildePath(folder);
    assign(std::move(rules));
}

std::optional<QString> RuleStore::addExtensions(const QString& text, const QUuid& id) {
    const QStringList types = parseExtensions(text);
    if (types.isEmpty())
        return std::nullopt;
    const qsizetype target = indexOf(id);
    if (target < 0)
        return std::nullopt;

    // Rule name → types taken from rules of that name, in order of first appearance.
    // Keyed by the composed form: names that look the same are one name.
    struct Taken {
        QString name;
        QStringList types;
    };
    QList<Taken> taken;
    QList<SortRule> rules = m_rules;
    const bool takes = !rules[target].hasConditions();
    for (const QString& type : types) {
        for (SortRule& r : rules) {
            if (!takes || r.id == id || r.hasConditions())
                continue;
            const qsizetype at = r.extensions.indexOf(type);
            if (at < 0)
                continue;
            r.extensions.removeAt(at);
            m_takenTypes[r.id].removeAll(type);
            if (!m_takenTypes[id].contains(type))
                m_takenTypes[id].append(type);
            const QString key = r.name.normalized(QString::NormalizationForm_C);
            auto entry = std::find_if(taken.begin(), taken.end(),
                                      [&](const Taken& t) { return t.name == key; });
            if (entry == taken.end())
                taken.append({key, {u'.' + type}});
            else
                entry->types.append(u'.' + type);
        }
        if (!rules[target].extensions.contains(type))
            rules[target].extensions.append(type);
    }
    assign(std::move(rules));

    if (taken.isEmpty())
        return std::nullopt;
    std::stable_sort(taken.begin(), taken.end(),
                     [](const Taken& a, const Taken& b) { return codePointLess(a.name, b.name); });
    QStringList sentences;
    for (const Taken& t : taken)
        sentences.append(tr("Moved %1 from %2.").arg(t.types.join(u", "), t.name));
    return sentences.join(u' ');
}

void RuleStore::removeExtension(const QString& extension, const QUuid& id) {
    const qsizetype i = indexOf(id);
    if (i < 0)
        return;
    m_takenTypes[id].removeAll(extension);
    QList<SortRule> rules = m_rules;
    rules[i].extensions.removeAll(extension);
    assign(std::move(rules));
}

template <typename Change>
void RuleStore::editCondition(const QUuid& id, const char* key, Change change) {
    const qsizetype i = indexOf(id);
    if (i < 0)
        return;
    QList<SortRule> rules = m_rules;
    change(rules[i]);
    rules[i].unreadable.remove(QLatin1StringView(key));
    assign(std::move(rules));
}

void RuleStore::setKinds(const QUuid& id, const QStringList& kinds) {
    QStringList valid;
    for (const QString& kind : kinds)
        if (SortRule::isValidKind(kind) && !valid.contains(kind))
            valid.append(kind);
    editCondition(id, "kinds", [&](SortRule& r) { r.kinds = valid; });
}

void RuleStore::setNamePattern(const QUuid& id, const QString& pattern) {
    editCondition(id, "namePattern", [&](SortRule& r) {
        r.namePattern = SortRule::isValidNamePattern(pattern) ? pattern : QString();
    });
}

void RuleStore::setMinSize(const QUuid& id, qint64 bytes) {
    editCondition(id, "minSize", [&](SortRule& r) {
        r.minSize = bytes < 0 ? -1 : qMin(bytes, SortRule::kMaxSize);
    });
}

void RuleStore::setMaxSize(const QUuid& id, qint64 bytes) {
    editCondition(id, "maxSize", [&](SortRule& r) {
        r.maxSize = bytes < 0 ? -1 : qMin(bytes, SortRule::kMaxSize);
    });
}

void RuleStore::setMinAgeDays(const QUuid& id, int days) {
    editCondition(id, "minAgeDays", [&](SortRule& r) {
        r.minAgeDays = days < 0 ? -1 : qMin(days, SortRule::kMaxAgeDays);
    });
}

void RuleStore::setAction(const QUuid& id, SortRule::Action action) {
    editCondition(id, "action", [&](SortRule& r) { r.action = action; });
}

void RuleStore::moveRule(const QUuid& id, qsizetype toIndex) {
    const qsizetype from = indexOf(id);
    if (from < 0)
        return;
    QList<SortRule> rules = m_rules;
    rules.move(from, qBound(qsizetype(0), toIndex, rules.size() - 1));
    assign(std::move(rules));
}

void RuleStore::restoreDefaults() {
    QList<SortRule> rules;
    for (SortRule r : m_defaults) {
        r.id = QUuid::createUuid();
        rules.append(std::move(r));
    }
    assign(std::move(rules));
}

QStringList RuleStore::parseExtensions(const QString& text) {
    QStringList accepted;
    qsizetype start = 0;
    const auto take = [&](qsizetype end) {
        QStringView piece = QStringView(text).mid(start, end - start);
        while (!piece.isEmpty() && (piece.front() == u'.' || piece.front() == u'*'))
            piece = piece.mid(1);
        while (!piece.isEmpty() && (piece.back() == u'.' || piece.back() == u'*'))
            piece.chop(1);
        const QString type = piece.toString().toLower();
        if (!type.isEmpty() && isLetterOrNumberOnly(type) && !accepted.contains(type))
            accepted.append(type);
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u',' || c.isSpace()) {
            take(i);
            start = i + 1;
        }
    }
    take(text.size());
    return accepted;
}
