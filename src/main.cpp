#include "app/VantorApp.h"
#include "platform/gui/SingleInstance.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QRegularExpression>

#include <cstdio>

namespace {

// How to start this very binary again from a shell: the name it was found by on PATH, else
// its full path, quoted when it holds anything a shell would split or expand.
QString commandForThisBinary(const char* argv0) {
    const QString invoked = QString::fromLocal8Bit(argv0 ? argv0 : "vantor");
    if (!invoked.isEmpty() && !invoked.contains(QLatin1Char('/')))
        return invoked;
    QString path = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    if (path.isEmpty())
        path = QFileInfo(invoked).absoluteFilePath();
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+:@%=-]+$"));
    if (plain.match(path).hasMatch())
        return path;
    return QLatin1Char('\'') + path.replace(QLatin1Char('\''), QStringLiteral("'\\''")) +
           QLatin1Char('\'');
}

// Qt's Wayland platform plugin comes in a package of its own; without it Qt would abort.
bool hasWaylandPlugin() {
    QStringList dirs =
        qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    dirs.append(QLibraryInfo::path(QLibraryInfo::PluginsPath));
    for (const QString& dir : dirs) {
        if (!QDir(dir + QStringLiteral("/platforms"))
                 .entryList({QStringLiteral("libqwayland-*.so")}, QDir::Files)
                 .isEmpty())
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    // Without a display Qt would abort with a long message; say what is wrong instead.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        const QString line =
            QStringLiteral("vantor: no graphical session (neither DISPLAY nor WAYLAND_DISPLAY is "
                           "set); start it from a desktop session, or on a virtual display with: "
                           "xvfb-run -a %1 (xvfb-run is in the xvfb package)\n")
                .arg(commandForThisBinary(argc > 0 ? argv[0] : nullptr));
        std::fputs(line.toLocal8Bit().constData(), stderr);
        return 1;
    }

    // A Wayland session without XWayland needs Qt's Wayland plugin. Name it outright: Qt
    // picks X11 on some Wayland desktops, which cannot work without DISPLAY.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        if (!hasWaylandPlugin()) {
            std::fputs("vantor: this Wayland session has no XWayland (DISPLAY is not set) and "
                       "Qt's Wayland support is not installed; install the qt6-wayland package, "
                       "or start Vantor in a session with XWayland or X11\n",
                       stderr);
            return 1;
        }
        qputenv("QT_QPA_PLATFORM", "wayland");
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

    platform::SingleInstance instance(platform::SingleInstance::defaultFolder());
    if (!instance.claim())
        return 0; // the running instance was told to reopen

    VantorApp vantor;
    QObject::connect(&instance, &platform::SingleInstance::reopenRequested, &vantor,
                     &VantorApp::reopen);
    vantor.start();
    return app.exec();
}
