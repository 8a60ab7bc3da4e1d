#pragma once

#include <QString>

namespace platform {

// The Desktop folder (XDG desktop dir; home/Desktop when that is unset or is home itself).
QString desktopFolder();
// $XDG_CONFIG_HOME/Vantor: rules.json and the settings file.
QString configFolder();
// $XDG_STATE_HOME/Vantor: last-clean.json.
QString stateFolder();

} // namespace platform
