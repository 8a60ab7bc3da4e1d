#pragma once

#include "platform/FileSystem.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace platform {

// The desktop's Trash, as file managers share it: a trash folder holds the items in files/
// and, for each, info/<name>.trashinfo saying where it was and when it was trashed. The home
// trash ($XDG_DATA_HOME/Trash) takes items of its own file system; an item elsewhere goes to
// the trash at the top of its mount ($topdir/.Trash/$uid or $topdir/.Trash-$uid) and never
// across file systems.
class Trash {
  public:
    // The trash that takes items in `folder`, whose files/ and info/ are created when `create`
    // is set; nullopt when no trash on the folder's own file system can be used.
    static std::optional<Trash> forFolder(const QString& folder, bool create);
    // The trash at the top of the mount `topdir`: $topdir/.Trash/$uid when $topdir/.Trash is a
    // folder with the sticky bit and not a link, else $topdir/.Trash-$uid; each a folder of
    // ours, not a link.
    static std::optional<Trash> atTop(const QString& topdir, bool create);
    // The trash whose files/ folder directly holds `trashed`, by the shape of its path; nullopt
    // for a path in no trash.
    static std::optional<Trash> holding(const QString& trashed);

    QString root() const { return m_root; }
    QString filesFolder() const;
    // info/<name>.trashinfo for the item at `trashed` in files/.
    QString infoFile(const QString& trashed) const;
    // Whether a name is free for a new item: neither in files/ nor in info/.
    bool isTaken(const QString& trashed) const;

    // What info/<name>.trashinfo says for an item from `original` trashed at `when`: the
    // path percent-encoded, relative to the top of the mount in a trash there, with the real
    // folder it was in; empty when that folder cannot be resolved.
    QByteArray infoText(const QString& original, const QDateTime& when) const;

    // Moves `from` to `trashed` (in files/) without replacing anything: its .trashinfo is
    // written first, under a name nobody else holds, and removed again when the rename fails.
    // TargetExists when either name is taken; Failed across file systems.
    MoveResult put(const QString& from, const QString& trashed, const QDateTime& when) const;
    // Removes the .trashinfo of `trashed` when it is a file that names `original` (and, with
    // `when`, holds exactly what put() wrote) and nothing stands at `trashed` any more.
    bool forget(const QString& trashed, const QString& original,
                const std::optional<QDateTime>& when = std::nullopt) const;

    // The home trash's folder.
    static QString homeRoot();

  private:
    Trash(QString root, QString topdir) : m_root(std::move(root)), m_topdir(std::move(topdir)) {}
    QString m_root;
    QString m_topdir; // empty for the home trash
};

} // namespace platform
