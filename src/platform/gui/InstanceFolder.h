#pragma once

#include <QString>

namespace platform {

// The folder where a user's one Vantor keeps its lock and socket, used only when it is
// proven to be that user's own: a folder, not a link, owned by the user, with no rights for
// group or others. Another user can take the usual path first where it lies in the shared
// temporary folder; the instance then makes a fresh private folder beside it and names it
// in a note, where launches that ask look next.
class InstanceFolder {
  public:
    // `usual`: where the folder normally is; `note`: the file that names a stand-in.
    InstanceFolder(QString usual, QString note);

    // This user's: in the runtime folder; without one, in the session's usual one
    // (`session`, /run/user/<uid> unless a test gives another); else in the shared
    // temporary folder.
    static InstanceFolder forThisUser(const QString& session = {});

    const QString& usual() const { return m_usual; }
    const QString& note() const { return m_note; }

    // For the instance: the usual folder, made where absent, when it is private; else the
    // private stand-in the note names; else a new one, noted. Empty when none can be had.
    // `*problem` says what stands in the usual place, or why no folder could be made.
    QString make(QString* problem = nullptr) const;
    // For a launch that asks: the usual folder when private, else the noted stand-in when
    // private; empty when neither is, as then no instance of this user can be listening.
    QString find(QString* problem = nullptr) const;

    // lstat(): a folder, not a link, owned by this user, with no rights for anyone else.
    static bool isPrivate(const QString& folder);

    // A stand-in's name adds this much to the usual folder's.
    static constexpr qsizetype kStandInSuffix = 7;

  private:
    QString notedStandIn() const;
    bool writeNote(const QString& standIn) const;
    QString foreignText() const;

    QString m_usual;
    QString m_note;
};

} // namespace platform
