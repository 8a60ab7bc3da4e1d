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
    QList<RuleStore*> rulesShown;
    QList<std::pair<QString, QString>> folderRequests; // message, start folder
    std::optional<QString> chosenFolder;
    platform::Clock* testClock = nullptr;

    void reveal(const QString& path) override { revealed.append(path); }
    void openFolder(const QString& folder) override { openedFolders.append(folder); }
    std::optional<QString> chooseFolder(QWidget*, const QString& message,
                                        const QString& startFolder) override {
        folderRequests.append({message, startFolder});
        return chosenFolder;
    }
    void showRules(RuleStore& store) override { rulesShown.append(&store); }
    platform::Clock& clock() override { return testClock ? *testClock : DesktopServices::clock(); }
};
