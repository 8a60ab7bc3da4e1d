#pragma once

#include <QString>

namespace platform {

// An XDG base directory: the variable when it holds an absolute path (relative ones are
// ignored, as the base-directory rules require), else the fallback under home.
QString xdgBaseDirectory(const char* variable, const QString& fallbackUnderHome);

// The Desktop folder (XDG desktop dir; home/Desktop when that is unset or is home itself).
QString desktopFolder();
// The XDG download folder, standardized; "" when there is none to offer: unset, relative, or
// home or a folder above it (how xdg-user-dirs turns a folder off).
QString downloadFolder();
// $XDG_CONFIG_HOME/Vantor: rules.json and the settings file.
QString configFolder();
// $XDG_STATE_HOME/Vantor: last-clean.json.
QString stateFolder();

} // namespace platform
