#pragma once

#include <QList>
#include <QString>
#include <QStringList>

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
// With skipHidden, dot names and names listed in the folder's ".hidden" file are left out.
// nullopt when the folder cannot be listed.
std::optional<QList<DirEntry>> listFolder(const QString& folder, bool skipHidden);

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
// systems (there: an exclusive copy keeping mode and times, then the source is removed).
MoveResult moveItem(const QString& from, const QString& to);

// Deletes a file or link, or a folder with all its contents.
bool removeItem(const QString& path);
// rmdir(): removes a folder only when it is empty.
bool removeEmptyFolder(const QString& folder);

std::optional<QByteArray> readWholeFile(const QString& path);
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
