#pragma once

#include "widgets/DesktopServices.h"

// The real desktop: the file manager, the folder dialog and the one rules window.
class SystemServices : public DesktopServices {
  public:
    void reveal(const QString& path) override;
    void openFolder(const QString& folder) override;
    std::optional<QString> chooseFolder(QWidget* parent, const QString& message,
                                        const QString& startFolder) override;
    void showRules(RuleStore& store) override;
};
