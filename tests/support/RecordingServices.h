#pragma once

#include "widgets/DesktopServices.h"

#include <QStringList>

#include <utility>

// Records what the views ask of the desktop instead of doing it; chooseFolder() answers
// with `chosenFolder`. Only for tests that link the widgets.
class RecordingServices : public DesktopServices {
  public:
    QStringList revealed;
    QStringList openedFolders;
    QStringList rulesShown;                            // the folders' ids
    QList<std::pair<QString, QString>> folderRequests; // message, start folder
    std::optional<QString> chosenFolder;
    platform::Clock* testClock = nullptr;

    bool fileManagerFound = true;

    void reveal(const QString& path, ShownCallback done) override {
        revealed.append(path);
        if (done)
            done(fileManagerFound);
    }
    void openFolder(const QString& folder, ShownCallback done) override {
        openedFolders.append(folder);
        if (done)
            done(fileManagerFound);
    }
    std::optional<QString> chooseFolder(QWidget*, const QString& message,
                                        const QString& startFolder) override {
        folderRequests.append({message, startFolder});
        return chosenFolder;
    }
    void showRules(TidiedFolders&, const QString& folderId) override {
        rulesShown.append(folderId);
    }
    platform::Clock& clock() override { return testClock ? *testClock : DesktopServices::clock(); }
};
