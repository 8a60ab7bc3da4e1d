#include "widgets/FolderNames.h"

#include "platform/FileSystem.h"
#include "rules/SortRule.h"
#include "rules/TidiedFolders.h"

#include <QCoreApplication>

namespace widgets {

QString folderName(const TidiedFolders& folders, const QString& path) {
    const QString own = platform::lastPathComponent(path);
    bool listed = false;
    bool shared = false;
    for (const TidiedFolders::Folder& folder : folders.folders()) {
        if (folder.path == path) {
            if (folder.id.isEmpty())
                return QCoreApplication::translate("Vantor", "Desktop");
            listed = true;
        } else if (platform::lastPathComponent(folder.path) == own) {
            shared = true;
        }
    }
    // Two folders both called "Projects" are told apart by where they are.
    return listed && shared ? SortRule::tildePath(path) : own;
}

QString folderNameById(const TidiedFolders& folders, const QString& id) {
    const TidiedFolders::Folder* folder = folders.folder(id);
    return folder ? folderName(folders, folder->path) : QString();
}

} // namespace widgets
