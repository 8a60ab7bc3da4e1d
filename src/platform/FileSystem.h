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
// path leads to it.
struct FileIdentity {
    enum class Type { File, Directory, Symlink, Other };
    quint64 device = 0;
    quint64 inode = 0;
    Type type = Type::Other;
    bool sameObject(const FileIdentity& o) const { return device == o.device && inode == o.inode; }
};
// lstat() (followLinks false) or stat(); nullopt when nothing is there.
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
    Failed,       // any other failure; the source is whole and no partial copy is left
};

// Moves a file, folder or link to `to`, never replacing anything there, also across file
// systems. There the item is copied to partialCopyPath(to), synced, and only then linked
// into place and the source removed, so no half-written copy ever has the final name.
// `beforeLinking` is called with the complete copy's identity just before it is linked; if
// it returns false, the copy is removed and the move fails.
MoveResult moveItem(const QString& from, const QString& to,
                    const std::function<bool(const FileIdentity& copy)>& beforeLinking = {});

// The hidden name in the target's folder under which a copy to `to` is built. It depends
// only on `to`, so whoever knows the target can find and remove a copy left half-made.
QString partialCopyPath(const QString& to);
bool isPartialCopyName(const QString& name);

// Deletes a file or link, or a folder with all its contents.
bool removeItem(const QString& path);
// rmdir(): removes a folder only when it is empty.
bool removeEmptyFolder(const QString& folder);

std::optional<QByteArray> readWholeFile(const QString& path);
// fsync() of a folder, so names created or removed in it last through a power cut.
bool syncFolder(const QString& folder);
// Writes to a temporary file beside the target, then renames it over the target.
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
