#include "Locations.h"

#include "FileSystem.h"

#include <QDir>
#include <QStandardPaths>

namespace platform {

QString xdgBaseDirectory(const char* variable, const QString& fallbackUnderHome) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return appendingPathComponent(homePath(), fallbackUnderHome);
}

QString desktopFolder() {
    const QString home = homePath();
    const QString fallback = appendingPathComponent(home, QStringLiteral("Desktop"));
    const QString xdg = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    // xdg-user-dirs disables a folder by pointing it at home, and home is never tidied: not
    // by a link to it, nor by a folder above it such as "/". A relative value would depend
    // on the folder Vantor was started from. Whether the fallback itself is usable is the
    // cleaner's question (it reports no access when not).
    if (xdg.isEmpty() || !QDir::isAbsolutePath(xdg))
        return fallback;
    const QString desktop = standardize(xdg);
    if (desktop == home || isHomeOrAbove(desktop))
        return fallback;
    return desktop;
}

QString downloadFolder() {
    const QString xdg = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (xdg.isEmpty() || !QDir::isAbsolutePath(xdg))
        return {};
    const QString folder = standardize(xdg);
    if (folder == homePath() || isHomeOrAbove(folder))
        return {};
    return folder;
}

QString configFolder() {
    return appendingPathComponent(xdgBaseDirectory("XDG_CONFIG_HOME", QStringLiteral(".config")),
                                  QStringLiteral("Vantor"));
}

QString stateFolder() {
    return appendingPathComponent(
        xdgBaseDirectory("XDG_STATE_HOME", QStringLiteral(".local/state")),
        QStringLiteral("Vantor"));
}

} // namespace platform
