#pragma once

#include "platform/Clock.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;
class TidiedFolders;

// What the panel and the rules window ask of the rest of the desktop. This base does
// nothing (tests, the screenshot tool): chooseFolder() is cancelled and the clock is the
// system's. The application hands its views an implementation that does the real thing.
class DesktopServices {
  public:
    virtual ~DesktopServices() = default;

    // Told, perhaps later, whether a file manager took the request; false: none was found.
    using ShownCallback = std::function<void(bool shown)>;

    // Shows the file or folder selected in the file manager.
    virtual void reveal(const QString& path, ShownCallback done = {}) { (void)path, (void)done; }
    // Opens a folder in the file manager.
    virtual void openFolder(const QString& folder, ShownCallback done = {}) {
        (void)folder, (void)done;
    }
    // Asks for a folder; the message says what it is for, `startFolder` is where it opens.
    // nullopt when the user cancels.
    virtual std::optional<QString> chooseFolder(QWidget* parent, const QString& message,
                                                const QString& startFolder) {
        (void)parent, (void)message, (void)startFolder;
        return std::nullopt;
    }
    // Brings up the rules window on the rules of one of the folders ("" the Desktop).
    virtual void showRules(TidiedFolders& folders, const QString& folderId) {
        (void)folders, (void)folderId;
    }
    // The time "Last clean moved … yesterday" is measured from.
    virtual platform::Clock& clock() { return platform::Clock::system(); }
};
