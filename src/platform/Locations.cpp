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
    const QString xdg = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    // xdg-user-dirs disables a folder by pointing it at home, and home is never tidied.
    if (xdg.isEmpty() || standardize(xdg) == home)
        return appendingPathComponent(home, QStringLiteral("Desktop"));
    return standardize(xdg);
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
