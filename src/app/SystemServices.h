#pragma once

#include "widgets/DesktopServices.h"

// The real desktop: the file manager, the folder dialog and the one rules window.
class SystemServices : public DesktopServices {
  public:
    void reveal(const QString& path, ShownCallback done) override;
    void openFolder(const QString& folder, ShownCallback done) override;
    std::optional<QString> chooseFolder(QWidget* parent, const QString& message,
                                        const QString& startFolder) override;
    void showRules(TidiedFolders& folders, const QString& folderId) override;
};
