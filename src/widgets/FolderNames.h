#pragma once

#include <QString>

class TidiedFolders;

namespace widgets {

// What a tidied folder is called wherever Vantor lists its folders: "Desktop" for the
// Desktop, else the folder's own name, or its tilde path when another tidied folder has the
// same name. A path no longer listed goes by its own name.
QString folderName(const TidiedFolders& folders, const QString& path);
// The same for a folder by its id ("" the Desktop); empty for an id no folder has.
QString folderNameById(const TidiedFolders& folders, const QString& id);

} // namespace widgets
