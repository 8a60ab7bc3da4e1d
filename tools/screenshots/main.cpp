// Renders the rules window and the panel to PNG files, light and dark, from a throw-away
// home folder: vantor_screenshots [output folder] (default: the current one).

#include "RenderSupport.h"

#include "widgets/Translations.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    useThrowAwayHome(home.path());

    QApplication app(argc, argv);
    // The settings page shows the version.
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTOR_VERSION));
    useRenderLook();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(out);

    bool ok = renderRulesWindow(home.path(), out);
    ok &= renderPanel(home.path(), out);
    ok &= renderTwoFolders(home.path(), out);
    ok &= renderRulesWindowFolders(home.path(), out);
    if (widgets::installTranslations(QLocale(QLocale::German, QLocale::Germany)))
        ok &= renderGermanPanel(home.path(), out);
    else
        ok = false;
    return ok ? 0 : 1;
}
