#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Opening at login through XDG autostart: $XDG_CONFIG_HOME/autostart/<app id>.desktop,
// which overrides a same-named entry in the system's autostart folders.
class Autostart {
  public:
    // `executable` is what the entry starts: the running binary's absolute path.
    Autostart(QString appId, QString executable);

    // The effective entry exists, is neither Hidden=true nor X-GNOME-Autostart-enabled=false,
    // and would really start: the program its Exec (and TryExec) names exists and may run.
    bool isEnabled() const;
    // Writes the user's entry, starting `executable --autostart`, or removes it (masks the
    // system's); false when that fails. Read isEnabled() afterwards
    // for the state that really holds.
    bool setEnabled(bool on);

    QString userEntryPath() const;
    // The system folders searched under the user's, most important first.
    static QStringList systemFolders();

  private:
    QString systemEntryPath() const;

    QString m_appId;
    QString m_executable;
};

} // namespace platform
