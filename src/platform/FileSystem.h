#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The one place that touches the file system. Paths are absolute QStrings throughout;
// the model never calls POSIX or QFile directly.
namespace platform {

struct DirEntry {
    enum class Kind { File, Directory, Symlink };
    QString name;
    Kind kind = Kind::File;
    // False when the on-disk name is not valid UTF-8: such a name cannot round-trip through
    // QString, so nothing may be done to the entry by name.
    bool nameIsValid = true;
};

// Immediate entries of a folder, links not followed, in the order the file system gives.
// With skipHidden, dot names and names listed in the folder's ".hidden" file are left out
// (read only when it is a regular file, and only its first MiB).
// nullopt when the folder cannot be listed.
std::optional<QList<DirEntry>> listFolder(const QString& folder, bool skipHidden);

// Which object an entry is: the same device and inode is the same file or folder, whatever
// path leads to it. A freed inode is handed out again at once, though, so removing or
// moving something on the strength of an earlier look also needs its state: size, times to
// the nanosecond and birth time, which a new file given the old inode does not share.
struct FileIdentity {
    enum class Type { File, Directory, Symlink, Other };
    quint64 device = 0;
    quint64 inode = 0;
    Type type = Type::Other;
    bool hasState = false; // false: only device and inode are known (an older journal)
    qint64 size = 0;
    qint64 modifiedNs = 0; // since 1970
    qint64 changedNs = 0;  // status change: every write, rename, link and chmod sets it
    qint64 bornNs = 0;     // 0 where the file system keeps no birth time
    bool sameObject(const FileIdentity& o) const { return device == o.device && inode == o.inode; }
    // The very file, untouched since `before` was taken.
    bool unchangedSince(const FileIdentity& before) const {
        return sameObject(before) && before.hasState && hasState && type == before.type &&
               size == before.size && modifiedNs == before.modifiedNs &&
               changedNs == before.changedNs && bornNs == before.bornNs;
    }
    // The very file, since renamed or linked (which sets only the status-change time).
    bool sameFileMovedSince(const FileIdentity& before) const {
        return sameObject(before) && before.hasState && hasState && type == before.type &&
               size == before.size && modifiedNs == before.modifiedNs && bornNs == before.bornNs;
    }
};
// lstat() (followLinks false) or stat(), with the birth time where there is one; nullopt
// when nothing is there.
std::optional<FileIdentity> identity(const QString& path, bool followLinks);

// Whether two paths lead to the same existing folder (links followed); when either is
// missing, whether their standardized texts are equal.
bool isSameFolder(const QString& a, const QString& b);
// Whether the folder is the home folder or one above it, by any path (links followed).
bool isHomeOrAbove(const QString& folder);

// stat(): something exists at the path (a link counts when its target exists).
bool exists(const QString& path);
// lstat(): any entry, a dangling link too. Used when choosing a free name.
bool entryExists(const QString& path);
// stat() and S_ISDIR.
bool isDirectory(const QString& path);

// Creates the folder and its missing parents; true when it exists as a folder afterwards.
bool makePath(const QString& folder);

enum class MoveResult {
    Moved,
    TargetExists, // something already stands at the target; nothing was touched
    InUse,        // across file systems: the file was open for writing or changed while it
                  // was copied, so it stays and no copy is left
    Failed,       // any other failure; the source is whole and no partial copy is left
};

// What a move across file systems tells its caller on the way.
struct MoveHooks {
    // Where the target's file system cannot build a copy without a name, it is built under
    // a fresh hidden name of its own (never one that existed): called as soon as that name
    // exists, so that it can be found and removed after a kill. False stops the move.
    std::function<bool(const QString& partial, const FileIdentity& id)> partialCreated;
    // Called with the complete copy's identity just before it gets the target's name; false
    // stops the move and removes the copy.
    std::function<bool(const FileIdentity& copy)> beforeLinking;
};

// Moves a file or link to `to`, never replacing anything there, also across file systems.
// There a file is copied while it is held with a read lease (so that a writer that opens it
// is noticed), synced, and only then given the target's name; the source is removed only
// when it is still the file that was copied, unchanged and not open for writing. Folders are
// moved only within a file system. A kill at any moment leaves the whole source, or the
// whole copy under its final name (and at most a hidden copy named through the hooks).
MoveResult moveItem(const QString& from, const QString& to, const MoveHooks& hooks = {});
// The same within one file system only: never a copy; Failed across file systems.
MoveResult renameItem(const QString& from, const QString& to);

bool isPartialCopyName(const QString& name);

// Deletes a file or link, or an empty folder; never anything inside a folder.
bool removeItem(const QString& path);
// Deletes the file or link at `path` only when it is still `expected`, and only through a
// parent folder that is not a link. Unchanged: every stamp equal. Renamed: all but the
// status-change time, which a rename sets. SameBirth: the same
// object born at the same moment, for a copy that may have grown since it was named.
enum class IdentityMatch { Unchanged, Renamed, SameBirth };
bool removeFileIf(const QString& path, const FileIdentity& expected, IdentityMatch match);
// rmdir(): removes a folder only when it is empty.
bool removeEmptyFolder(const QString& folder);

// A state file's bytes: only a regular file (a link to one is followed), opened so that a
// fifo cannot block, and only when it holds at most maxBytes; nullopt otherwise.
std::optional<QByteArray> readWholeFile(const QString& path, qint64 maxBytes = 16 * 1024 * 1024);
// fsync() of a folder, so names created or removed in it last through a power cut.
bool syncFolder(const QString& folder);
// Writes to a temporary file beside the target, then renames it over the target. A link is
// followed only when it leads to a regular file; any other link is replaced.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);

QString homePath();
// "~" and "~/x" → home; "~user/x" → that user's home when the user exists; else unchanged.
QString expandTilde(const QString& path);
// Absolute, "." and ".." removed, no trailing slash (except "/").
QString standardize(const QString& path);

// Path-name helpers with the usual rules: pathExtension("archive.tar.gz") == "gz",
// pathExtension("README") == pathExtension(".bashrc") == "".
QString lastPathComponent(const QString& path);
QString deletingLastPathComponent(const QString& path);
QString pathExtension(const QString& name);
QString deletingPathExtension(const QString& name);
QString appendingPathComponent(const QString& folder, const QString& name);

} // namespace platform
