#pragma once

#include <QRect>
#include <QString>

class DesktopServices;
class RulesEditor;
class TidiedFolders;

// The one rules window of a run. It is made on the first show() and afterwards only
// hidden and shown again, so it comes back with the selection, size and place it had.
class RulesWindow {
  public:
    RulesWindow() = delete;

    // Shows the window (made with `folders` and `services` the first time) on the rules of
    // the folder `folderId` ("" the Desktop) and brings it to the front. Later calls keep
    // what the window was made with, and only choose the folder.
    static void show(TidiedFolders& folders, const QString& folderId, DesktopServices& services);

    // The window once made, else nullptr. It goes away with its list of folders.
    static RulesEditor* window();

    // Where the window first opens on a screen whose free area is `available`: 680 x 460,
    // smaller where the screen is (never below `minimum`), centred and kept on the screen.
    static QRect initialGeometry(const QRect& available, const QSize& minimum);
};
