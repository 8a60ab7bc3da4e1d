#include "rules/TidiedFolders.h"

#include "platform/FileSystem.h"
#include "platform/Locations.h"
#include "rules/RuleStore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>

namespace {

const QString kListName = QStringLiteral("folders.json");
const QString kRulesFolders = QStringLiteral("folders");
const QString kId = QStringLiteral("id");
const QString kPath = QStringLiteral("path");
// A list of folders is a few hundred bytes; one larger than this is not read.
constexpr qint64 kMaxListBytes = 256 * 1024;

// The path with every link resolved; its standardized text when nothing is there.
QString realPath(const QString& path) {
    const QString real = QFileInfo(path).canonicalFilePath();
    return real.isEmpty() ? platform::standardize(path) : real;
}

// By text: both absolute and standardized.
bool isAtOrInside(const QString& path, const QString& folder) {
    if (path == folder || folder == u"/")
        return true;
    return path.startsWith(folder) && path.size() > folder.size() && path.at(folder.size()) == u'/';
}

bool isDownloadFolder(const QString& folder) {
    const QString downloads = platform::downloadFolder();
    return !downloads.isEmpty() && platform::isSameFolder(folder, downloads);
}

// Why an entry of the list is skipped, for the warning; only the refusals loading knows.
const char* skipReason(TidiedFolders::Refusal refusal) {
    switch (refusal) {
    case TidiedFolders::Refusal::Relative:
        return "its path is not absolute";
    case TidiedFolders::Refusal::HomeOrRoot:
        return "it is the home folder, / or a folder above home";
    case TidiedFolders::Refusal::AlreadyTidied:
        return "it is the Desktop or a folder listed before it";
    case TidiedFolders::Refusal::InsideRuleFolder:
        return "it is, or lies inside, a rule folder of the Desktop or of a folder listed before "
               "it";
    default:
        return "";
    }
}

} // namespace

TidiedFolders::TidiedFolders(const QString& configFolder, const QString& desktop, QObject* parent)
    : QObject(parent), m_configFolder(configFolder) {
    m_folders.append(
        {QString(), platform::standardize(desktop), new RuleStore(configFolder, this)});
    load();
}

TidiedFolders::~TidiedFolders() = default;

bool TidiedFolders::isFolderId(const QString& id) {
    if (id.size() != 8)
        return false;
    return std::all_of(id.begin(), id.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    });
}

QString TidiedFolders::listFile() const {
    return platform::appendingPathComponent(m_configFolder, kListName);
}

QString TidiedFolders::rulesFolder(const QString& id) const {
    return platform::appendingPathComponent(
        platform::appendingPathComponent(m_configFolder, kRulesFolders), id);
}

RuleStore* TidiedFolders::makeRules(const QString& id, const QString& folder) {
    return new RuleStore(rulesFolder(id), folder, defaultRulesFor(folder, isDownloadFolder(folder)),
                         this);
}

void TidiedFolders::load() {
    const QString file = listFile();
    const auto bytes = platform::readWholeFile(file, kMaxListBytes);
    if (!bytes) {
        if (platform::entryExists(file))
            qWarning("Vantor: %s cannot be read (not a file, or too large); only the Desktop is "
                     "tidied.",
                     qPrintable(file));
        return;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(*bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray()) {
        qWarning("Vantor: %s is not a list of folders; only the Desktop is tidied.",
                 qPrintable(file));
        return;
    }
    const QJsonArray entries = doc.array();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QJsonObject entry = entries.at(i).toObject();
        const QString id = entry.value(kId).toString();
        const QString path = platform::expandTilde(entry.value(kPath).toString());
        const auto skip = [&](const char* reason) {
            qWarning("Vantor: %s: entry %lld (\"%s\") is skipped: %s.", qPrintable(file),
                     qlonglong(i + 1), qPrintable(path), reason);
        };
        if (!isFolderId(id)) {
            skip("its id is not eight hex digits");
            continue;
        }
        if (hasId(id)) {
            skip("its id is used by an entry before it");
            continue;
        }
        // A folder that is missing now stays listed: it may be on a disk not mounted yet.
        const Refusal refusal = refusalFor(path, false);
        if (refusal != Refusal::None) {
            skip(skipReason(refusal));
            continue;
        }
        const QString folder = platform::standardize(path);
        m_folders.append({id, folder, makeRules(id, folder)});
        m_listed.insert(id, entry);
    }
}

void TidiedFolders::save() const {
    QJsonArray list;
    for (qsizetype i = 1; i < m_folders.size(); ++i) {
        // Keys a newer Vantor wrote are kept.
        QJsonObject entry = m_listed.value(m_folders[i].id);
        entry.insert(kId, m_folders[i].id);
        entry.insert(kPath, m_folders[i].path);
        list.append(entry);
    }
    if (!platform::writeFileAtomically(listFile(), QJsonDocument(list).toJson()))
        qWarning("Vantor: %s cannot be written; the tidied folders are as they were when Vantor "
                 "starts again.",
                 qPrintable(listFile()));
}

QString TidiedFolders::refusalText(Refusal refusal, const QString& path) {
    const QString expanded = platform::expandTilde(path);
    const QString name = SortRule::tildePath(expanded);
    switch (refusal) {
    case Refusal::None:
        return QString();
    case Refusal::NotAFolder:
        return QCoreApplication::translate("TidiedFolders", "%1 is not a folder.").arg(name);
    case Refusal::Relative:
        return QCoreApplication::translate("TidiedFolders",
                                           "Give the folder's full path, starting with / or ~.");
    case Refusal::HomeOrRoot:
        if (platform::isSameFolder(expanded, platform::homePath()))
            return QCoreApplication::translate(
                       "TidiedFolders",
                       "%1 is your home folder: Vantor tidies folders inside it, never home "
                       "itself.")
                .arg(name);
        return QCoreApplication::translate(
                   "TidiedFolders",
                   "%1 holds your home folder: Vantor tidies folders inside home, never above it.")
            .arg(name);
    case Refusal::AlreadyTidied:
        return QCoreApplication::translate("TidiedFolders", "%1 is tidied already.").arg(name);
    case Refusal::InsideRuleFolder:
        return QCoreApplication::translate(
                   "TidiedFolders",
                   "%1 is a rule folder or inside one: files are put away there, so it is not "
                   "tidied itself.")
            .arg(name);
    }
    return QString();
}

qsizetype TidiedFolders::indexOf(const QString& path) const {
    const QString expanded = platform::expandTilde(path);
    if (!expanded.startsWith(u'/'))
        return -1;
    for (qsizetype i = 0; i < m_folders.size(); ++i)
        if (platform::isSameFolder(m_folders[i].path, expanded))
            return i;
    return -1;
}

// Ids differing only in case would name one rules folder on some file systems.
bool TidiedFolders::hasId(const QString& id) const {
    return std::any_of(m_folders.begin(), m_folders.end(),
                       [&](const Folder& f) { return f.id.compare(id, Qt::CaseInsensitive) == 0; });
}

const TidiedFolders::Folder* TidiedFolders::folder(const QString& id) const {
    for (const Folder& f : m_folders)
        if (f.id == id)
            return &f;
    return nullptr;
}

TidiedFolders::Refusal TidiedFolders::refusalFor(const QString& path, bool mustBeFolder) const {
    if (!path.startsWith(u'/'))
        return Refusal::Relative;
    const QString folder = platform::standardize(path);
    if (platform::isHomeOrAbove(folder))
        return Refusal::HomeOrRoot;
    if (mustBeFolder) {
        // Not through a link: what is tidied is the folder the user sees by that name.
        const auto id = platform::identity(folder, false);
        if (!id || id->type != platform::FileIdentity::Type::Directory)
            return Refusal::NotAFolder;
    }
    if (indexOf(folder) >= 0)
        return Refusal::AlreadyTidied;
    // Files are put away into a rule folder; tidying it, or a folder in it, would move them
    // on again.
    const QString real = realPath(folder);
    for (const Folder& f : m_folders) {
        for (const SortRule& rule : f.rules->rules()) {
            const QString destination = rule.destinationURL();
            // A rule that puts files into home or above would otherwise shut out every folder.
            if (platform::isHomeOrAbove(destination))
                continue;
            if (isAtOrInside(real, realPath(destination)))
                return Refusal::InsideRuleFolder;
        }
    }
    return Refusal::None;
}

TidiedFolders::Refusal TidiedFolders::check(const QString& path) const {
    return refusalFor(platform::expandTilde(path), true);
}

TidiedFolders::Refusal TidiedFolders::add(const QString& path, QString* id) {
    const Refusal refusal = check(path);
    if (refusal != Refusal::None)
        return refusal;
    const QString added = platform::standardize(platform::expandTilde(path));
    QString fresh;
    // Unlike every listed id, and no leftover rules of a removed folder are taken over.
    do {
        fresh = QStringLiteral("%1").arg(uint(QRandomGenerator::global()->generate()), 8, 16,
                                         QChar(u'0'));
    } while (hasId(fresh) || platform::entryExists(rulesFolder(fresh)));
    RuleStore* rules = makeRules(fresh, added);
    // Written now, so that the rules stay as made even if the download folder moves.
    rules->save();
    m_folders.append({fresh, added, rules});
    save();
    if (id)
        *id = fresh;
    emit foldersChanged();
    return Refusal::None;
}

bool TidiedFolders::remove(const QString& path) {
    const qsizetype i = indexOf(path);
    if (i <= 0)
        return false;
    const Folder gone = m_folders.takeAt(i);
    m_listed.remove(gone.id);
    save();
    // Only what Vantor wrote: the rules file, then the folder if that leaves it empty.
    platform::removeItem(gone.rules->fileName());
    platform::removeEmptyFolder(rulesFolder(gone.id));
    // A caller may still be inside a call that reached here through the rules.
    gone.rules->deleteLater();
    emit foldersChanged();
    return true;
}

std::optional<QString> TidiedFolders::offeredDownloads() const {
    const QString downloads = platform::downloadFolder();
    if (downloads.isEmpty() || check(downloads) != Refusal::None)
        return std::nullopt;
    return downloads;
}

QList<SortRule> TidiedFolders::defaultRulesFor(const QString& folder, bool isDownloads) {
    QList<SortRule> rules = SortRule::defaultsInside(folder);
    // Installers holds none of these: a type belongs to one rule only.
    if (isDownloads)
        rules.append(SortRule("Archives", "folder", SortRule::tildePath(folder) + "/Archives",
                              {"zip", "tar", "gz", "bz2", "xz", "zst", "7z", "rar"}));
    return rules;
}
