#include "FileSystem.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <vector>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace platform {

namespace detail {
// The move used where the file system has no exclusive rename; reachable from the tests.
MoveResult moveByLinking(const QByteArray& from, const QByteArray& to);
// How a copy keeps mode and times; the tests put in the answers of FAT and exFAT.
int (*keepMode)(int fd, mode_t mode) = ::fchmod;
int (*keepTimes)(int fd, const timespec times[2]) = ::futimens;
} // namespace detail

namespace {

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool isAscii(const char* bytes, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80)
            return false;
    }
    return true;
}

constexpr qsizetype kHiddenListLimit = 1024 * 1024;

// Names listed one per line in the folder's ".hidden" file; empty when there is none. Only a
// regular file is read, and only its first MiB: a link to a device or a huge file must not
// stall or exhaust a scan.
QSet<QByteArray> readHiddenList(int dirFd) {
    QSet<QByteArray> names;
    const int fd = ::openat(dirFd, ".hidden", O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return names;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return names;
    }
    QByteArray content;
    char buffer[4096];
    while (content.size() < kHiddenListLimit) {
        const size_t want =
            size_t(std::min<qsizetype>(sizeof buffer, kHiddenListLimit - content.size()));
        const ssize_t n = ::read(fd, buffer, want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        content.append(buffer, n);
    }
    ::close(fd);
    for (QByteArray line : content.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            names.insert(line);
    }
    return names;
}

int renameNoReplace(const char* from, const char* to) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 28))
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
#else
    return int(::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE));
#endif
}

// Deletes an entry by its raw name, links never followed, so names that are not valid
// UTF-8 inside a folder are removed too.
bool removeTreeAt(int parentFd, const char* name) {
    struct stat st;
    if (::fstatat(parentFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(st.st_mode))
        return ::unlinkat(parentFd, name, 0) == 0 || errno == ENOENT;
    const int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    DirHandle dir(::fdopendir(fd));
    if (!dir) {
        ::close(fd);
        return false;
    }
    bool ok = true;
    while (const dirent* e = ::readdir(dir.get())) {
        if (!isDotOrDotDot(e->d_name))
            ok = removeTreeAt(fd, e->d_name) && ok;
    }
    dir.reset();
    return ok && (::unlinkat(parentFd, name, AT_REMOVEDIR) == 0 || errno == ENOENT);
}

bool removeTree(const QByteArray& path) {
    return removeTreeAt(AT_FDCWD, path.constData());
}

QByteArray parentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return ".";
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

bool syncAndClose(int fd) {
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

// FAT and exFAT refuse modes and some times: the copy is still whole, so it is kept.
bool attributeRefusalIsHarmless(int result) {
    return result == 0 || errno == EPERM || errno == ENOTSUP || errno == EOPNOTSUPP;
}

bool keepModeAndTimes(int fd, const struct stat& st) {
    const timespec times[2] = {st.st_atim, st.st_mtim};
    const bool modeKept = attributeRefusalIsHarmless(detail::keepMode(fd, st.st_mode & 07777));
    return attributeRefusalIsHarmless(detail::keepTimes(fd, times)) && modeKept;
}

// Copies an entry onto a path where nothing may exist yet, for moves between file systems.
// Only the top-level target can already be taken: everything below it sits in a folder the
// copy has just created.
class CrossDeviceCopy {
  public:
    enum class Status { Copied, TargetExists, Failed };

    Status copy(const QByteArray& from, const QByteArray& to, const struct stat& st) {
        return copyEntry(from, to, st, true);
    }
    // Whether the top-level target was created (and so, after a failure, must be removed).
    bool createdTarget() const { return m_createdTarget; }

  private:
    Status copyEntry(const QByteArray& from, const QByteArray& to, const struct stat& st,
                     bool top) {
        if (S_ISREG(st.st_mode))
            return copyFile(from, to, st, top);
        if (S_ISLNK(st.st_mode))
            return copyLink(from, to, st, top);
        if (S_ISDIR(st.st_mode))
            return copyFolder(from, to, st, top);
        // Fifos, sockets and devices are not carried across file systems.
        return Status::Failed;
    }

    Status created(bool top) {
        if (top)
            m_createdTarget = true;
        return Status::Copied;
    }

    static Status creationFailed(bool top) {
        return errno == EEXIST && top ? Status::TargetExists : Status::Failed;
    }

    Status copyFile(const QByteArray& from, const QByteArray& to, const struct stat& st, bool top) {
        // O_NONBLOCK: if a fifo was swapped in since the lstat, opening it must not hang.
        const int in = ::open(from.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (in < 0)
            return Status::Failed;
        struct stat inSt;
        if (::fstat(in, &inSt) != 0 || !S_ISREG(inSt.st_mode)) {
            ::close(in);
            return Status::Failed;
        }
        const int out = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (out < 0) {
            const Status status = creationFailed(top);
            ::close(in);
            return status;
        }
        created(top);
        bool ok = copyData(in, out);
        ::close(in);
        ok = ok && keepModeAndTimes(out, st);
        ok = syncAndClose(out) && ok;
        return ok ? Status::Copied : Status::Failed;
    }

    bool copyData(int in, int out) {
        if (m_buffer.empty())
            m_buffer.resize(256 * 1024);
        for (;;) {
            const ssize_t n = ::read(in, m_buffer.data(), m_buffer.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return false;
            if (n == 0)
                return true;
            for (ssize_t done = 0; done < n;) {
                const ssize_t w = ::write(out, m_buffer.data() + done, size_t(n - done));
                if (w < 0 && errno == EINTR)
                    continue;
                if (w <= 0)
                    return false;
                done += w;
            }
        }
    }

    Status copyLink(const QByteArray& from, const QByteArray& to, const struct stat& st, bool top) {
        QByteArray target(qsizetype(st.st_size > 0 ? st.st_size : 255) + 1, Qt::Uninitialized);
        const ssize_t n = ::readlink(from.constData(), target.data(), size_t(target.size()));
        if (n < 0 || n >= target.size()) // grown since the lstat: give up rather than truncate
            return Status::Failed;
        target.truncate(n);
        if (::symlink(target.constData(), to.constData()) != 0)
            return creationFailed(top);
        created(top);
        const timespec times[2] = {st.st_atim, st.st_mtim};
        // Link times are not worth failing a move over.
        ::utimensat(AT_FDCWD, to.constData(), times, AT_SYMLINK_NOFOLLOW);
        return Status::Copied;
    }

    Status copyFolder(const QByteArray& from, const QByteArray& to, const struct stat& st,
                      bool top) {
        // The source is removed after the copy: find out now if that cannot work.
        if (::access(from.constData(), W_OK | X_OK) != 0)
            return Status::Failed;
        const int inFd = ::open(from.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (inFd < 0)
            return Status::Failed;
        DirHandle dir(::fdopendir(inFd));
        if (!dir) {
            ::close(inFd);
            return Status::Failed;
        }
        // Owner-only until filled: the source's mode may not even let us write into it.
        if (::mkdir(to.constData(), 0700) != 0)
            return creationFailed(top);
        created(top);
        while (const dirent* e = ::readdir(dir.get())) {
            if (isDotOrDotDot(e->d_name))
                continue;
            struct stat child;
            if (::fstatat(inFd, e->d_name, &child, AT_SYMLINK_NOFOLLOW) != 0)
                return Status::Failed;
            const QByteArray name(e->d_name);
            if (copyEntry(from + '/' + name, to + '/' + name, child, false) != Status::Copied)
                return Status::Failed;
        }
        const int outFd = ::open(to.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (outFd < 0)
            return Status::Failed;
        bool ok = keepModeAndTimes(outFd, st);
        ok = syncAndClose(outFd) && ok;
        return ok ? Status::Copied : Status::Failed;
    }

    std::vector<char> m_buffer;
    bool m_createdTarget = false;
};

std::optional<FileIdentity> identityOf(const QByteArray& path, bool followLinks) {
    struct stat st;
    if ((followLinks ? ::stat(path.constData(), &st) : ::lstat(path.constData(), &st)) != 0)
        return std::nullopt;
    FileIdentity id;
    id.device = quint64(st.st_dev);
    id.inode = quint64(st.st_ino);
    id.type = S_ISREG(st.st_mode)   ? FileIdentity::Type::File
              : S_ISDIR(st.st_mode) ? FileIdentity::Type::Directory
              : S_ISLNK(st.st_mode) ? FileIdentity::Type::Symlink
                                    : FileIdentity::Type::Other;
    return id;
}

// Copies to the hidden partial name beside the target, syncs it, and only then gives it the
// target's name without replacing anything; the source goes last. A kill at any moment
// leaves either the whole source (and at most a partial copy under the hidden name) or the
// whole copy under its final name.
MoveResult moveAcrossDevices(const QByteArray& from, const QByteArray& to,
                             const std::function<bool(const FileIdentity&)>& beforeLinking) {
    struct stat st;
    if (::lstat(from.constData(), &st) != 0)
        return MoveResult::Failed;
    // Removing the source afterwards needs a writable parent; check before copying anything.
    if (::access(parentOf(from).constData(), W_OK | X_OK) != 0)
        return MoveResult::Failed;
    struct stat existing;
    if (::lstat(to.constData(), &existing) == 0)
        return MoveResult::TargetExists;

    const QByteArray partial = encoded(partialCopyPath(QFile::decodeName(to)));
    removeTree(partial); // a copy an earlier, interrupted move left half-made
    CrossDeviceCopy copier;
    if (copier.copy(from, partial, st) != CrossDeviceCopy::Status::Copied) {
        if (copier.createdTarget())
            removeTree(partial);
        return MoveResult::Failed;
    }
    const auto copy = identityOf(partial, false);
    if (!copy) {
        removeTree(partial);
        return MoveResult::Failed;
    }
    if (beforeLinking && !beforeLinking(*copy)) {
        removeTree(partial);
        return MoveResult::Failed;
    }

    MoveResult linked = MoveResult::Moved;
    if (renameNoReplace(partial.constData(), to.constData()) != 0) {
        if (errno == EEXIST || errno == ENOTEMPTY)
            linked = MoveResult::TargetExists;
        else if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)
            linked = detail::moveByLinking(partial, to);
        else
            linked = MoveResult::Failed;
    }
    if (linked != MoveResult::Moved) {
        removeTree(partial);
        return linked;
    }
    const int folderFd = ::open(parentOf(to).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0)
        syncAndClose(folderFd);

    if (!S_ISDIR(st.st_mode)) {
        if (::unlink(from.constData()) == 0)
            return MoveResult::Moved;
        ::unlink(to.constData());
        return MoveResult::Failed;
    }
    // A folder whose removal stopped half-way cannot be made whole again; the copy is then
    // the only complete version, so it stays.
    return removeTree(from) ? MoveResult::Moved : MoveResult::Failed;
}

QString stripTrailingSlashes(const QString& path) {
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == u'/')
        --end;
    return path.left(end);
}

// Start of the extension in the last component of a path without trailing slashes, or -1.
qsizetype extensionStart(const QString& path) {
    const qsizetype componentStart = path.lastIndexOf(u'/') + 1;
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot <= componentStart || dot == path.size() - 1)
        return -1;
    return dot + 1;
}

} // namespace

namespace detail {

MoveResult moveByLinking(const QByteArray& from, const QByteArray& to) {
    struct stat st;
    // A folder cannot be hard-linked, and no other move is safe from replacing something.
    if (::lstat(from.constData(), &st) != 0 || S_ISDIR(st.st_mode))
        return MoveResult::Failed;
    if (::link(from.constData(), to.constData()) != 0)
        return errno == EEXIST ? MoveResult::TargetExists : MoveResult::Failed;
    if (::unlink(from.constData()) != 0) {
        ::unlink(to.constData());
        return MoveResult::Failed;
    }
    return MoveResult::Moved;
}

} // namespace detail

std::optional<QList<DirEntry>> listFolder(const QString& folder, bool skipHidden) {
    DirHandle dir(::opendir(encoded(folder).constData()));
    if (!dir)
        return std::nullopt;
    const int fd = ::dirfd(dir.get());
    const QSet<QByteArray> hiddenNames = skipHidden ? readHiddenList(fd) : QSet<QByteArray>();

    QList<DirEntry> entries;
    while (const dirent* e = ::readdir(dir.get())) {
        const char* name = e->d_name;
        if (isDotOrDotDot(name) || (skipHidden && name[0] == '.'))
            continue;
        const size_t length = std::strlen(name);
        if (!hiddenNames.isEmpty() &&
            hiddenNames.contains(QByteArray::fromRawData(name, qsizetype(length))))
            continue;

        DirEntry entry;
        unsigned char type = e->d_type;
        if (type == DT_UNKNOWN) {
            struct stat st;
            if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                if (errno == ENOENT) // gone since readdir
                    continue;
            } else if (S_ISDIR(st.st_mode)) {
                type = DT_DIR;
            } else if (S_ISLNK(st.st_mode)) {
                type = DT_LNK;
            }
        }
        entry.kind = type == DT_DIR   ? DirEntry::Kind::Directory
                     : type == DT_LNK ? DirEntry::Kind::Symlink
                                      : DirEntry::Kind::File;
        entry.name = QString::fromUtf8(name, qsizetype(length));
        if (!isAscii(name, length))
            entry.nameIsValid = entry.name.toUtf8() == QByteArrayView(name, qsizetype(length));
        entries.append(std::move(entry));
    }
    return entries;
}

bool exists(const QString& path) {
    struct stat st;
    return ::stat(encoded(path).constData(), &st) == 0;
}

bool entryExists(const QString& path) {
    struct stat st;
    return ::lstat(encoded(path).constData(), &st) == 0;
}

bool isDirectory(const QString& path) {
    struct stat st;
    return ::stat(encoded(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool makePath(const QString& folder) {
    QDir().mkpath(folder);
    return isDirectory(folder);
}

std::optional<FileIdentity> identity(const QString& path, bool followLinks) {
    return identityOf(encoded(path), followLinks);
}

bool isSameFolder(const QString& a, const QString& b) {
    const auto first = identity(a, true), second = identity(b, true);
    if (first && second)
        return first->sameObject(*second);
    return standardize(a) == standardize(b);
}

bool isHomeOrAbove(const QString& folder) {
    const auto target = identity(folder, true);
    if (!target)
        return false;
    // Up from home's real path: home itself, each folder that holds it, and "/".
    QString up = QFileInfo(homePath()).canonicalFilePath();
    if (up.isEmpty())
        up = homePath();
    for (;;) {
        const auto id = identity(up, true);
        if (id && id->sameObject(*target))
            return true;
        if (up == u"/" || up.isEmpty())
            return false;
        up = deletingLastPathComponent(up);
    }
}

QString partialCopyPath(const QString& to) {
    const QByteArray digest =
        QCryptographicHash::hash(encoded(lastPathComponent(to)), QCryptographicHash::Sha1);
    return appendingPathComponent(deletingLastPathComponent(to),
                                  QStringLiteral(".vantor-partial-") +
                                      QString::fromLatin1(digest.left(8).toHex()));
}

bool isPartialCopyName(const QString& name) {
    return name.startsWith(u".vantor-partial-");
}

bool syncFolder(const QString& folder) {
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return fd >= 0 && syncAndClose(fd);
}

MoveResult moveItem(const QString& from, const QString& to,
                    const std::function<bool(const FileIdentity&)>& beforeLinking) {
    const QByteArray source = encoded(from);
    const QByteArray target = encoded(to);
    if (renameNoReplace(source.constData(), target.constData()) == 0)
        return MoveResult::Moved;
    switch (errno) {
    case EEXIST:
    case ENOTEMPTY:
        return MoveResult::TargetExists;
    case EINVAL:
    case ENOSYS:
    case EOPNOTSUPP:
        return detail::moveByLinking(source, target);
    case EXDEV:
        return moveAcrossDevices(source, target, beforeLinking);
    default:
        return MoveResult::Failed;
    }
}

bool removeEmptyFolder(const QString& folder) {
    return ::rmdir(encoded(folder).constData()) == 0;
}

bool removeItem(const QString& path) {
    const QByteArray bytes = encoded(path);
    struct stat st;
    if (::lstat(bytes.constData(), &st) != 0)
        return false;
    return removeTree(bytes);
}

std::optional<QByteArray> readWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString homePath() {
    return QDir::cleanPath(QDir::homePath());
}

QString expandTilde(const QString& path) {
    if (!path.startsWith(u'~'))
        return path;
    qsizetype slash = path.indexOf(u'/');
    if (slash < 0)
        slash = path.size();
    const QString user = path.mid(1, slash - 1);
    QString home;
    if (user.isEmpty()) {
        home = homePath();
    } else {
        const passwd* pw = ::getpwnam(user.toLocal8Bit().constData());
        if (!pw || !pw->pw_dir)
            return path;
        home = QFile::decodeName(pw->pw_dir);
    }
    const QString rest = path.mid(slash);
    if (home.endsWith(u'/') && rest.startsWith(u'/'))
        home.chop(1);
    return home + rest;
}

QString standardize(const QString& path) {
    // Only a relative path needs the working folder (a getcwd per call).
    QString cleaned =
        QDir::cleanPath(path.startsWith(u'/') ? path : QDir::current().absoluteFilePath(path));
    // ".." above the root stays at the root.
    while (cleaned.startsWith(u"/..") && (cleaned.size() == 3 || cleaned.at(3) == u'/'))
        cleaned.remove(0, 3);
    return cleaned.isEmpty() ? QStringLiteral("/") : cleaned;
}

QString lastPathComponent(const QString& path) {
    const QString trimmed = stripTrailingSlashes(path);
    if (trimmed == u"/")
        return trimmed;
    return trimmed.mid(trimmed.lastIndexOf(u'/') + 1);
}

QString deletingLastPathComponent(const QString& path) {
    const QString trimmed = stripTrailingSlashes(path);
    const qsizetype slash = trimmed.lastIndexOf(u'/');
    if (slash < 0)
        return QString();
    if (trimmed == u"/")
        return trimmed;
    return stripTrailingSlashes(trimmed.left(slash == 0 ? 1 : slash));
}

QString pathExtension(const QString& name) {
    const QString trimmed = stripTrailingSlashes(name);
    const qsizetype start = extensionStart(trimmed);
    return start < 0 ? QString() : trimmed.mid(start);
}

QString deletingPathExtension(const QString& name) {
    const QString trimmed = stripTrailingSlashes(name);
    const qsizetype start = extensionStart(trimmed);
    return start < 0 ? trimmed : trimmed.left(start - 1);
}

QString appendingPathComponent(const QString& folder, const QString& name) {
    qsizetype from = 0;
    while (from < name.size() && name.at(from) == u'/')
        ++from;
    const QString tail = name.mid(from);
    if (folder.isEmpty())
        return tail;
    const QString head = stripTrailingSlashes(folder);
    if (tail.isEmpty())
        return head;
    return head.endsWith(u'/') ? head + tail : head + u'/' + tail;
}

} // namespace platform
