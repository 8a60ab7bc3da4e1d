#pragma once

#include <QString>

#include <functional>

namespace platform {

// Told whether a file manager took the request: false when none was found.
using ShownCallback = std::function<void(bool shown)>;

// Shows the file or folder at `path` selected in the user's file manager
// (org.freedesktop.FileManager1.ShowItems). When no file manager answers on the session bus
// within a short time, opens the folder that contains it instead. Returns at once; `done`
// hears later whether either way worked.
void revealInFileManager(const QString& path, ShownCallback done = {});

// Opens a folder in the user's file manager; false when nothing can open it.
bool openFolder(const QString& folder);

} // namespace platform
