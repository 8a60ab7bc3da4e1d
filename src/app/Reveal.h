#pragma once

#include <QString>

namespace ui {

// Shows the file or folder at `path` selected in the user's file manager
// (org.freedesktop.FileManager1.ShowItems). When no file manager answers on the session bus
// within a short time, opens the folder that contains it instead. Returns at once.
void revealInFileManager(const QString& path);

} // namespace ui
