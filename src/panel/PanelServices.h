#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <functional>

class RuleStore;

// What the panel's pages hand to the rest of the desktop. The defaults open the file
// manager and the rules window; tests put recorders in their place so nothing is launched.
struct PanelServices {
    // Opens a folder in the file manager (the no-access page's way to the Desktop's parent).
    std::function<void(const QUrl&)> openUrl;
    // Shows a folder selected in the file manager.
    std::function<void(const QString&)> reveal;
    // Brings up the rules window for the store.
    std::function<void(RuleStore&)> showRules;
    // The time "Last clean moved … yesterday" is measured from.
    std::function<QDateTime()> now;

    static PanelServices system();
};
