#include "rules/RuleMatcher.h"

#include <QMimeDatabase>
#include <QMutex>
#include <QMutexLocker>

#include <algorithm>

namespace {

const QString kPartialDownload = QStringLiteral("application/x-partial-download");

bool isAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

} // namespace

RuleMatcher::RuleMatcher(QList<SortRule> rules, const QString& folder,
                         const QStringList& tidiedFolders,
                         std::function<bool(const QString&)> nameable)
    : m_rules(std::move(rules)), m_prefix(folder.endsWith(u'/') ? folder : folder + u'/'),
      m_nameable(std::move(nameable)) {
    if (!m_nameable)
        m_nameable = [](const QString&) { return true; };
    m_folderNameable = m_nameable(m_prefix + u'x');
    for (qsizetype i = 0; i < m_rules.size(); ++i) {
        const QString target = m_rules[i].destinationURL();
        const bool takesFiles =
            m_folderNameable &&
            std::none_of(tidiedFolders.begin(), tidiedFolders.end(),
                         [&](const QString& f) { return platform::isSameFolder(target, f); }) &&
            !platform::isSameFolder(target, folder) &&
            m_nameable(platform::appendingPathComponent(target, QStringLiteral("x")));
        if (!takesFiles || !m_rules[i].takesFiles())
            continue;
        const SortRule& rule = m_rules[i];
        for (const QString& type : rule.extensions)
            if (!m_ruleByType.contains(type))
                m_ruleByType.insert(type, i);
        Test test;
        test.rule = i;
        test.types = QSet<QString>(rule.extensions.begin(), rule.extensions.end());
        if (!rule.namePattern.isEmpty())
            test.name = QRegularExpression(
                QRegularExpression::wildcardToRegularExpression(rule.namePattern),
                QRegularExpression::CaseInsensitiveOption);
        test.needsIdentity = rule.minSize >= 0 || rule.maxSize >= 0 || rule.minAgeDays >= 0;
        m_typesOnly = m_typesOnly && !rule.hasConditions();
        m_tests.append(std::move(test));
    }
}

void RuleMatcher::setArrival(Arrival arrival, qint64 nowMs) {
    m_arrival = std::move(arrival);
    m_nowMs = nowMs;
}

bool RuleMatcher::isOfKind(const QString& mimeType, const QString& kind) {
    static const QMimeDatabase db;
    const QMimeType type = db.mimeTypeForName(mimeType);
    const QString name = type.isValid() ? type.name() : mimeType;
    // A family by the canonical name only: aliases cross families (application/pdf is also
    // known as image/pdf).
    if (kind.endsWith(QStringLiteral("/*")))
        return name.startsWith(QStringView(kind).chopped(1));
    return name == kind || (type.isValid() && type.inherits(kind));
}

namespace {

// Content types found before, as a folder is scanned again after every change: by name where
// the name alone tells, by the file's identity and state where its content had to be read.
// Both are dropped whole once they grow past this.
constexpr qsizetype kMaxRemembered = 50000;

struct Sniffed {
    platform::FileIdentity file;
    QString type;
};

QMutex g_typesMutex;
QHash<QString, QString> g_typeByName;
QHash<QString, Sniffed> g_typeByContent;

} // namespace

QString RuleMatcher::contentType(const QString& path, const QString& name,
                                 std::optional<std::optional<platform::FileIdentity>>& identity) {
    static const QMimeDatabase db;
    // An empty type: the name does not tell, the content must.
    std::optional<QString> named;
    {
        const QMutexLocker lock(&g_typesMutex);
        if (const auto found = g_typeByName.constFind(name); found != g_typeByName.cend())
            named = *found;
    }
    if (!named) {
        const QList<QMimeType> byName = db.mimeTypesForFileName(name);
        named = byName.size() == 1 ? byName.first().name() : QString();
        const QMutexLocker lock(&g_typesMutex);
        if (g_typeByName.size() >= kMaxRemembered)
            g_typeByName.clear();
        g_typeByName.insert(name, *named);
    }
    if (!named->isEmpty())
        return *named;
    if (!identity)
        identity = platform::identity(path, false);
    const std::optional<platform::FileIdentity>& id = *identity;
    if (id && id->hasState) {
        const QMutexLocker lock(&g_typesMutex);
        const auto found = g_typeByContent.constFind(path);
        if (found != g_typeByContent.cend() && id->unchangedSince(found->file))
            return found->type;
    }
    // By content where the name does not tell; a file that cannot be read is judged by its
    // name alone.
    const QString type = db.mimeTypeForFile(path).name();
    if (id && id->hasState) {
        const QMutexLocker lock(&g_typesMutex);
        if (g_typeByContent.size() >= kMaxRemembered)
            g_typeByContent.clear();
        g_typeByContent.insert(path, {*id, type});
    }
    return type;
}

bool RuleMatcher::holds(const Test& test, const QString& name, const QString& extension,
                        std::optional<std::optional<platform::FileIdentity>>& identity,
                        std::optional<QString>& mimeType) const {
    const SortRule& rule = m_rules.at(test.rule);
    if (!test.types.isEmpty() && !test.types.contains(extension))
        return false;
    if (!rule.namePattern.isEmpty() && !test.name.match(name).hasMatch())
        return false;
    if (test.needsIdentity) {
        if (!identity)
            identity = platform::identity(m_prefix + name, false);
        const auto& id = *identity;
        if (!id || !id->hasState)
            return false;
        if (rule.minSize >= 0 && !(id->size > rule.minSize))
            return false;
        if (rule.maxSize >= 0 && !(id->size < rule.maxSize))
            return false;
        if (rule.minAgeDays >= 0) {
            std::optional<qint64> arrived;
            if (m_arrival)
                arrived = m_arrival(name, *id);
            else if (id->bornNs > 0)
                arrived = id->bornNs / 1000000;
            if (!arrived || m_nowMs - *arrived <= qint64(rule.minAgeDays) * 86400000)
                return false;
        }
    }
    if (!rule.kinds.isEmpty()) {
        if (!mimeType) {
            mimeType = contentType(m_prefix + name, name, identity);
        }
        auto known = test.ofKind.constFind(*mimeType);
        if (known == test.ofKind.cend())
            known = test.ofKind.insert(
                *mimeType, std::any_of(rule.kinds.begin(), rule.kinds.end(),
                                       [&](const QString& k) { return isOfKind(*mimeType, k); }));
        if (!*known)
            return false;
    }
    return true;
}

namespace {

// The suffixes of the partial-download type as shared-mime-info lists them (*.part,
// *.crdownload, …), read once: a folder of thousands of files is looked up by a hash.
const QSet<QString>& partialSuffixes() {
    static const QSet<QString> suffixes = [] {
        const QMimeDatabase db;
        QSet<QString> set;
        for (const QMimeType& type : db.allMimeTypes()) {
            if (type.name() == kPartialDownload || type.inherits(kPartialDownload))
                for (const QString& s : type.suffixes())
                    set.insert(s.toLower());
        }
        return set;
    }();
    return suffixes;
}

} // namespace

bool RuleMatcher::isPartialDownload(const QString& name) {
    const QString extension = platform::pathExtension(name).toLower();
    return !extension.isEmpty() && partialSuffixes().contains(extension);
}

QString RuleMatcher::downloadTarget(const QString& partialName) {
    if (!isPartialDownload(partialName))
        return QString();
    return platform::deletingPathExtension(partialName);
}

QList<qsizetype> RuleMatcher::match(const QList<platform::DirEntry>& entries) const {
    // Downloads in progress first: what they will become must stay until they are done.
    QSet<QString> arriving;
    bool anyPartial = false;
    for (const platform::DirEntry& entry : entries) {
        if (entry.kind == platform::DirEntry::Kind::Directory || !entry.nameIsValid ||
            !isPartialDownload(entry.name))
            continue;
        anyPartial = true;
        arriving.insert(downloadTarget(entry.name));
    }

    QList<qsizetype> result;
    result.reserve(entries.size());
    for (const platform::DirEntry& entry : entries) {
        switch (entry.kind) {
        case platform::DirEntry::Kind::Symlink:
            result.append(kStays);
            continue;
        case platform::DirEntry::Kind::Directory:
            result.append(kSkipped);
            continue;
        case platform::DirEntry::Kind::File:
            break;
        }
        // A name that is not UTF-8 cannot be moved by name, and one that cannot be named
        // could not be put back: either stays.
        if (!entry.nameIsValid || (!isAscii(entry.name) && !m_nameable(m_prefix + entry.name))) {
            result.append(kStays);
            continue;
        }
        if (arriving.contains(entry.name) || isPartialDownload(entry.name)) {
            result.append(kStays);
            continue;
        }
        const QString extension = platform::pathExtension(entry.name).toLower();
        std::optional<std::optional<platform::FileIdentity>> identity;
        std::optional<QString> mimeType;
        qsizetype taker = kStays;
        if (m_typesOnly) {
            taker = m_ruleByType.value(extension, kStays);
        } else {
            // The rules a file of this type may go to, found once per type: in a folder of
            // thousands of files most share a few types.
            auto candidates = m_candidates.constFind(extension);
            if (candidates == m_candidates.cend()) {
                QList<qsizetype> list;
                for (qsizetype i = 0; i < m_tests.size(); ++i) {
                    const Test& test = m_tests.at(i);
                    if (!test.types.isEmpty() && !test.types.contains(extension))
                        continue;
                    list.append(i);
                    if (!m_rules.at(test.rule).hasConditions())
                        break; // it takes every file of the type: none reaches the next
                }
                candidates = m_candidates.insert(extension, list);
            }
            for (const qsizetype i : *candidates) {
                if (holds(m_tests.at(i), entry.name, extension, identity, mimeType)) {
                    taker = m_tests.at(i).rule;
                    break;
                }
            }
        }
        if (taker != kStays && anyPartial) {
            if (!identity)
                identity = platform::identity(m_prefix + entry.name, false);
            const auto& id = *identity;
            if (!id || (id->hasState && id->size == 0))
                taker = kStays;
        }
        result.append(taker);
    }
    return result;
}
