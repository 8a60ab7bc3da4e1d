#include "rules/RuleMatcher.h"

#include <QMimeDatabase>

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
        if (!takesFiles)
            continue;
        for (const QString& type : m_rules[i].extensions)
            if (!m_ruleByType.contains(type))
                m_ruleByType.insert(type, i);
    }
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
        const auto found = m_ruleByType.constFind(platform::pathExtension(entry.name).toLower());
        if (found == m_ruleByType.cend() || arriving.contains(entry.name) ||
            isPartialDownload(entry.name)) {
            result.append(kStays);
            continue;
        }
        if (anyPartial) {
            const auto id = platform::identity(m_prefix + entry.name, false);
            if (!id || (id->hasState && id->size == 0)) {
                result.append(kStays);
                continue;
            }
        }
        result.append(*found);
    }
    return result;
}
