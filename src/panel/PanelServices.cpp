#include "panel/PanelServices.h"

#include "app/Reveal.h"
#include "editor/RulesWindow.h"

#include <QDesktopServices>

PanelServices PanelServices::system() {
    return {
        [](const QUrl& url) { QDesktopServices::openUrl(url); },
        [](const QString& path) { ui::revealInFileManager(path); },
        [](RuleStore& store) { RulesWindow::show(store); },
        [] { return QDateTime::currentDateTimeUtc(); },
    };
}
