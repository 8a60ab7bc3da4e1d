#pragma once

#include <QString>

namespace platform {

// Shows the file or folder at `path` selected in the user's file manager
// (org.freedesktop.FileManager1.ShowItems). When no file manager answers on the session bus
// within a short time, opens the folder that contains it instead. Returns at once.
void revealInFileManager(const QString& path);

// Opens a folder in the user's file manager.
void openFolder(const QString& folder);

} // namespace platform
