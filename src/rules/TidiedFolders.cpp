#include "rules/TidiedFolders.h"

#include "platform/FileSystem.h"
#include "rules/RuleStore.h"

// A first cut: the Desktop only.
TidiedFolders::TidiedFolders(const QString& configFolder, const QString& desktop, QObject* parent)
    : QObject(parent), m_configFolder(configFolder) {
    m_folders.append({QString(), platform::standardize(desktop), new RuleStore(configFolder, this)});
}

TidiedFolders::~TidiedFolders() = default;

QString TidiedFolders::refusalText(Refusal, const QString&) {
    return QString();
}

qsizetype TidiedFolders::indexOf(const QString& path) const {
    for (qsizetype i = 0; i < m_folders.size(); ++i)
        if (platform::isSameFolder(m_folders[i].path, path))
            return i;
    return -1;
}

const TidiedFolders::Folder* TidiedFolders::folder(const QString& id) const {
    for (const Folder& f : m_folders)
        if (f.id == id)
            return &f;
    return nullptr;
}

TidiedFolders::Refusal TidiedFolders::add(const QString&, QString*) {
    return Refusal::NotAFolder;
}

TidiedFolders::Refusal TidiedFolders::check(const QString&) const {
    return Refusal::NotAFolder;
}

bool TidiedFolders::remove(const QString&) {
    return false;
}

std::optional<QString> TidiedFolders::offeredDownloads() const {
    return std::nullopt;
}

QList<SortRule> TidiedFolders::defaultRulesFor(const QString&, bool) {
    return {};
}

void TidiedFolders::save() const {}
