#include "app/VantorApp.h"
#include "platform/gui/SingleInstance.h"
#include "widgets/Translations.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    // Without a display Qt would abort with a long message; say what is wrong instead.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fputs("vantor: no graphical session (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                   "to try it without one, run: xvfb-run -a vantor\n",
                   stderr);
        return 1;
    }

    // A tray popup must be placed by its icon, which a Wayland client cannot do: where
    // XWayland is there, use it.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantor"));
    QApplication::setApplicationVersion(QStringLiteral(VANTOR_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(VANTOR_APP_ID));
    QApplication::setQuitOnLastWindowClosed(false);
    widgets::installTranslations(QLocale());

    platform::SingleInstance instance(platform::SingleInstance::defaultFolder());
    if (!instance.claim())
        return 0; // the running instance was told to reopen

    VantorApp vantor;
    QObject::connect(&instance, &platform::SingleInstance::reopenRequested, &vantor,
                     &VantorApp::reopen);
    vantor.start();
    return app.exec();
}
