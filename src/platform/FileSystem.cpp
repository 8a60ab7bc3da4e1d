#include "FileSystem.h"

#include "FileActivity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSet>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
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
// Off in tests, for file systems without unnamed files and without leases.
bool unnamedCopies = true;
bool leasesAllowed = true;
// Where a test kills a copy at an exact step: after each block copied (with the bytes so
// far), and once the copy has its final name while the source is still there (-1).
void (*copyStep)(qint64 copied) = nullptr;
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

QByteArray parentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return ".";
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray nameOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

bool syncAndClose(int fd) {
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

void syncFolderOf(const QByteArray& path) {
    const int fd = ::open(parentOf(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0)
        syncAndClose(fd);
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

// Sixteen hex digits nobody can guess, for names only this run may take.
QByteArray randomHex() {
    return QByteArray::number(QRandomGenerator::system()->generate64(), 16).rightJustified(16, '0');
}

qint64 nanoseconds(const statx_timestamp& t) {
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// statx() rather than stat() for the birth time, which stat() does not give.
std::optional<FileIdentity> identityAt(int dirFd, const char* name, int flags) {
    struct statx sx;
    if (::statx(dirFd, name, flags | AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME, &sx) !=
        0)
        return std::nullopt;
    FileIdentity id;
    id.device = quint64(makedev(sx.stx_dev_major, sx.stx_dev_minor));
    id.inode = quint64(sx.stx_ino);
    id.type = S_ISREG(sx.stx_mode)   ? FileIdentity::Type::File
              : S_ISDIR(sx.stx_mode) ? FileIdentity::Type::Directory
              : S_ISLNK(sx.stx_mode) ? FileIdentity::Type::Symlink
                                     : FileIdentity::Type::Other;
    id.hasState = true;
    id.size = qint64(sx.stx_size);
    id.modifiedNs = nanoseconds(sx.stx_mtime);
    id.changedNs = nanoseconds(sx.stx_ctime);
    id.bornNs = (sx.stx_mask & STATX_BTIME) ? nanoseconds(sx.stx_btime) : 0;
    return id;
}

std::optional<FileIdentity> identityOf(const QByteArray& path, bool followLinks) {
    return identityAt(AT_FDCWD, path.constData(), followLinks ? 0 : AT_SYMLINK_NOFOLLOW);
}

std::optional<FileIdentity> identityOfFd(int fd) {
    return identityAt(fd, "", AT_EMPTY_PATH);
}

bool matches(const FileIdentity& now, const FileIdentity& expected, IdentityMatch match) {
    if (match == IdentityMatch::Unchanged)
        return now.unchangedSince(expected);
    if (match == IdentityMatch::Renamed)
        return now.sameFileMovedSince(expected);
    return now.sameObject(expected) && expected.hasState && now.type == expected.type &&
           now.bornNs == expected.bornNs;
}

// Unlinks `name` in `path`'s folder only while it is `expected`: the folder is opened
// without following a link, and the entry looked at through it.
bool unlinkIf(const QByteArray& path, const FileIdentity& expected, IdentityMatch match) {
    const int dirFd =
        ::open(parentOf(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dirFd < 0)
        return false;
    const QByteArray name = nameOf(path);
    const auto now = identityAt(dirFd, name.constData(), AT_SYMLINK_NOFOLLOW);
    const bool ok = now && now->type != FileIdentity::Type::Directory &&
                    matches(*now, expected, match) && ::unlinkat(dirFd, name.constData(), 0) == 0;
    ::close(dirFd);
    return ok;
}

// The source of a copy across file systems, held open with a read lease where the kernel
// gives one: a writer's open then breaks the lease, which shows at once, and the writer
// waits until the lease is let go, after the source is gone or known to stay.
class HeldSource {
  public:
    ~HeldSource() {
        if (m_leased)
            ::fcntl(m_fd, F_SETLEASE, F_UNLCK);
        if (m_fd >= 0)
            ::close(m_fd);
    }
    enum class Opened { Ok, InUse, Failed };
    Opened open(const QByteArray& path) {
        // O_NONBLOCK: a fifo swapped in since the lstat must not hang the open.
        m_fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0)
            return Opened::Failed;
        const auto id = identityOfFd(m_fd);
        if (!id || id->type != FileIdentity::Type::File)
            return Opened::Failed;
        m_identity = *id;
        if (detail::leasesAllowed && leaseSignalIsHarmless() &&
            ::fcntl(m_fd, F_SETSIG, SIGURG) == 0) {
            if (::fcntl(m_fd, F_SETLEASE, F_RDLCK) == 0)
                m_leased = true;
            else if (errno == EAGAIN) // open for writing somewhere right now
                return Opened::InUse;
        }
        return Opened::Ok;
    }
    int fd() const { return m_fd; }
    // Nobody has opened it for writing, and it is the file it was when opened.
    bool untouched() const {
        if (m_leased && ::fcntl(m_fd, F_GETLEASE) != F_RDLCK)
            return false;
        const auto now = identityOfFd(m_fd);
        return now && now->unchangedSince(m_identity);
    }
    // …and is what stands at `path`, since renamed there.
    bool untouchedAt(const QByteArray& path) const {
        if (m_leased && ::fcntl(m_fd, F_GETLEASE) != F_RDLCK)
            return false;
        const auto now = identityOfFd(m_fd);
        const auto there = identityOf(path, false);
        return now && there && now->sameFileMovedSince(m_identity) && there->sameObject(m_identity);
    }
    const FileIdentity& identity() const { return m_identity; }

  private:
    int m_fd = -1;
    bool m_leased = false;
    FileIdentity m_identity;
};

// False also as soon as a writer turns up: the copy would be thrown away, and the writer
// waits for the lease meanwhile.
bool copyData(const HeldSource& source, int out) {
    std::vector<char> buffer(256 * 1024);
    for (qint64 copied = 0;;) {
        if (!source.untouched())
            return false;
        const ssize_t n = ::read(source.fd(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buffer.data() + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return false;
            done += w;
        }
        copied += n;
        if (detail::copyStep)
            detail::copyStep(copied);
    }
}

// The copy being built: unnamed (O_TMPFILE) where the file system allows it, so that no
// name is ever taken or left behind; else under a fresh random hidden name created
// exclusively, which only this copy can have.
class PendingCopy {
  public:
    ~PendingCopy() { discard(); }

    bool create(const QByteArray& to, const MoveHooks& hooks) {
        const QByteArray folder = parentOf(to);
        if (detail::unnamedCopies) {
            m_fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
            if (m_fd >= 0)
                return true;
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
                return false;
        }
        for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
            const QByteArray name = ".vantor-partial-" + randomHex();
            m_name = folder + '/' + name;
            m_fd = ::open(m_name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          0600);
            if (m_fd < 0 && errno != EEXIST)
                break;
        }
        if (m_fd < 0) {
            m_name.clear();
            return false;
        }
        const auto id = identityOfFd(m_fd);
        if (!id) {
            discard();
            return false;
        }
        m_named = *id;
        return !hooks.partialCreated || hooks.partialCreated(QFile::decodeName(m_name), m_named);
    }

    int fd() const { return m_fd; }

    // Gives the complete copy the target's name, replacing nothing.
    MoveResult link(const QByteArray& to) {
        if (m_name.isEmpty()) {
            // Linking by descriptor needs a capability; /proc's name for it does not.
            if (::linkat(m_fd, "", AT_FDCWD, to.constData(), AT_EMPTY_PATH) == 0)
                return MoveResult::Moved;
            if (errno == EEXIST)
                return MoveResult::TargetExists;
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW) ==
                0)
                return MoveResult::Moved;
            return errno == EEXIST ? MoveResult::TargetExists : MoveResult::Failed;
        }
        // The hidden name must still be this copy: someone who can write in the folder could
        // have put another file there.
        const auto there = identityOf(m_name, false);
        if (!there || !there->sameObject(m_named))
            return MoveResult::Failed;
        if (renameNoReplace(m_name.constData(), to.constData()) != 0) {
            if (errno == EEXIST || errno == ENOTEMPTY)
                return MoveResult::TargetExists;
            if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
                return MoveResult::Failed;
            if (::link(m_name.constData(), to.constData()) != 0)
                return errno == EEXIST ? MoveResult::TargetExists : MoveResult::Failed;
            ::unlink(m_name.constData());
        }
        m_name.clear();
        return MoveResult::Moved;
    }

    // Removes the copy under the target's name again, if it is still there as this copy.
    void unlinkTarget(const QByteArray& to) {
        const auto copy = identityOfFd(m_fd);
        if (copy)
            unlinkIf(to, *copy, IdentityMatch::SameBirth);
    }

    void discard() {
        if (!m_name.isEmpty())
            unlinkIf(m_name, m_named, IdentityMatch::SameBirth);
        m_name.clear();
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

  private:
    int m_fd = -1;
    QByteArray m_name; // the hidden name while the copy has one
    FileIdentity m_named;
};

MoveResult moveFileAcrossDevices(const QByteArray& from, const QByteArray& to,
                                 const MoveHooks& hooks) {
    HeldSource source;
    switch (source.open(from)) {
    case HeldSource::Opened::Ok:
        break;
    case HeldSource::Opened::InUse:
        return MoveResult::InUse;
    case HeldSource::Opened::Failed:
        return MoveResult::Failed;
    }
    const auto named = identityOf(from, false);
    if (!named || !source.identity().sameObject(*named))
        return MoveResult::Failed; // replaced since the lstat
    PendingCopy copy;
    if (!copy.create(to, hooks))
        return MoveResult::Failed;
    struct stat held;
    if (::fstat(source.fd(), &held) != 0)
        return MoveResult::Failed;
    if (!copyData(source, copy.fd()))
        return source.untouched() ? MoveResult::Failed : MoveResult::InUse;
    if (!keepModeAndTimes(copy.fd(), held) || ::fsync(copy.fd()) != 0)
        return MoveResult::Failed;
    if (!source.untouched())
        return MoveResult::InUse;
    const auto copyId = identityOfFd(copy.fd());
    if (!copyId || (hooks.beforeLinking && !hooks.beforeLinking(*copyId)))
        return MoveResult::Failed;
    const MoveResult linked = copy.link(to);
    if (linked != MoveResult::Moved)
        return linked;
    syncFolderOf(to);
    if (detail::copyStep)
        detail::copyStep(-1);
    // The source first leaves its name for a private one, and only then is it looked at a
    // last time: a writer that opens it by its name before that waits on the lease and
    // shows in the look, one that opens it after finds no such file. Unlinked at its name
    // instead, it could be opened in between and written to after its removal.
    const QByteArray aside = parentOf(from) + "/.vantor-leaving-" + randomHex();
    if (renameNoReplace(from.constData(), aside.constData()) != 0) {
        copy.unlinkTarget(to);
        return MoveResult::Failed;
    }
    if (!source.untouchedAt(aside)) {
        copy.unlinkTarget(to);
        if (renameNoReplace(aside.constData(), from.constData()) != 0)
            qWarning("Vantor: %s was in use while it was moved, and a new file took its name "
                     "meanwhile; it is kept as %s.",
                     from.constData(), aside.constData());
        return MoveResult::InUse;
    }
    ::unlinkat(AT_FDCWD, aside.constData(), 0);
    return MoveResult::Moved;
}

// A link is made at the target in one step, which fails when the name is taken.
MoveResult moveLinkAcrossDevices(const QByteArray& from, const QByteArray& to,
                                 const struct stat& st) {
    QByteArray target(qsizetype(st.st_size > 0 ? st.st_size : 255) + 1, Qt::Uninitialized);
    const ssize_t n = ::readlink(from.constData(), target.data(), size_t(target.size()));
    if (n < 0 || n >= target.size()) // grown since the lstat: give up rather than truncate
        return MoveResult::Failed;
    target.truncate(n);
    if (::symlink(target.constData(), to.constData()) != 0)
        return errno == EEXIST ? MoveResult::TargetExists : MoveResult::Failed;
    const timespec times[2] = {st.st_atim, st.st_mtim};
    // Link times are not worth failing a move over.
    ::utimensat(AT_FDCWD, to.constData(), times, AT_SYMLINK_NOFOLLOW);
    const auto source = identityOf(from, false);
    const auto made = identityOf(to, false);
    if (source && source->sameObject(FileIdentity{quint64(st.st_dev), quint64(st.st_ino)}) &&
        ::unlink(from.constData()) == 0)
        return MoveResult::Moved;
    if (made)
        unlinkIf(to, *made, IdentityMatch::Unchanged);
    return MoveResult::Failed;
}

MoveResult moveAcrossDevices(const QByteArray& from, const QByteArray& to, const MoveHooks& hooks) {
    struct stat st;
    if (::lstat(from.constData(), &st) != 0)
        return MoveResult::Failed;
    // Removing the source afterwards needs a writable parent; check before copying anything.
    if (::access(parentOf(from).constData(), W_OK | X_OK) != 0)
        return MoveResult::Failed;
    struct stat existing;
    if (::lstat(to.constData(), &existing) == 0)
        return MoveResult::TargetExists;
    if (S_ISREG(st.st_mode))
        return moveFileAcrossDevices(from, to, hooks);
    if (S_ISLNK(st.st_mode))
        return moveLinkAcrossDevices(from, to, st);
    // Folders, fifos, sockets and devices are not carried across file systems.
    return MoveResult::Failed;
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

bool isPartialCopyName(const QString& name) {
    return name.startsWith(u".vantor-partial-");
}

bool syncFolder(const QString& folder) {
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return fd >= 0 && syncAndClose(fd);
}

namespace {

MoveResult moveOrCopy(const QString& from, const QString& to, const MoveHooks* hooks) {
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
        return hooks ? moveAcrossDevices(source, target, *hooks) : MoveResult::Failed;
    default:
        return MoveResult::Failed;
    }
}

} // namespace

MoveResult moveItem(const QString& from, const QString& to, const MoveHooks& hooks) {
    return moveOrCopy(from, to, &hooks);
}

MoveResult renameItem(const QString& from, const QString& to) {
    return moveOrCopy(from, to, nullptr);
}

bool removeEmptyFolder(const QString& folder) {
    return ::rmdir(encoded(folder).constData()) == 0;
}

bool removeItem(const QString& path) {
    const QByteArray bytes = encoded(path);
    struct stat st;
    if (::lstat(bytes.constData(), &st) != 0)
        return false;
    return (S_ISDIR(st.st_mode) ? ::rmdir(bytes.constData()) : ::unlink(bytes.constData())) == 0;
}

bool removeFileIf(const QString& path, const FileIdentity& expected, IdentityMatch match) {
    return unlinkIf(encoded(path), expected, match);
}

std::optional<QByteArray> readWholeFile(const QString& path, qint64 maxBytes) {
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxBytes) {
        ::close(fd);
        return std::nullopt;
    }
    // Read to the end, up to one byte past the limit: the file may grow after the fstat.
    QByteArray bytes;
    bytes.reserve(qsizetype(st.st_size));
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        bytes.append(buffer, n);
        if (bytes.size() > maxBytes) {
            ::close(fd);
            return std::nullopt;
        }
    }
    ::close(fd);
    return bytes;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
    // The save goes where a link leads, so that a file kept elsewhere stays linked; but only
    // to a regular file. A link to a device, a fifo or nothing is replaced itself: the save
    // would otherwise rename a file over whatever the link names, /dev/zero too.
    const QByteArray name = encoded(path);
    struct stat st;
    if (::lstat(name.constData(), &st) == 0 && S_ISLNK(st.st_mode) &&
        (::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode)))
        ::unlink(name.constData());
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
