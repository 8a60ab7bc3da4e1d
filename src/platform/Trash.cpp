#include "Trash.h"

#include "Locations.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// QFile::moveToTrash() cannot serve here: it chooses the item's name in the trash as it
// moves it, and the journal must name the target before the move is made.
namespace platform {

namespace detail {
// Where a test kills a move to the trash: its .trashinfo written, the item not yet moved.
void (*trashStep)() = nullptr;
} // namespace detail

namespace {

constexpr qint64 kMaxInfoBytes = 64 * 1024;

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

QString uidText() {
    return QString::number(::getuid());
}

// A folder of ours that is no link, made with only our access when missing and `create`.
bool ownFolder(const QString& path, bool create) {
    const QByteArray name = encoded(path);
    struct stat st;
    if (::lstat(name.constData(), &st) != 0) {
        if (!create || errno != ENOENT || (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST))
            return false;
        if (::lstat(name.constData(), &st) != 0)
            return false;
    }
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

// The device of `path`, or of the nearest folder above it that exists.
std::optional<quint64> deviceOfNearest(QString path) {
    for (;;) {
        if (const auto id = identity(path, true))
            return id->device;
        if (path == u"/" || path.isEmpty())
            return std::nullopt;
        path = deletingLastPathComponent(path);
    }
}

QByteArray pathLine(const QByteArray& info) {
    for (const QByteArray& line : info.split('\n'))
        if (line.startsWith("Path="))
            return line;
    return {};
}

} // namespace

QString Trash::homeRoot() {
    return appendingPathComponent(xdgBaseDirectory("XDG_DATA_HOME", QStringLiteral(".local/share")),
                                  QStringLiteral("Trash"));
}

std::optional<Trash> Trash::forFolder(const QString& folder, bool create) {
    const auto id = identity(folder, true);
    if (!id)
        return std::nullopt;
    const QString home = homeRoot();
    if (deviceOfNearest(home) == id->device) {
        const Trash trash(home, {});
        const QString files = trash.filesFolder();
        if (create) {
            makePath(deletingLastPathComponent(home));
            ::mkdir(encoded(home).constData(), 0700);
            ::mkdir(encoded(files).constData(), 0700);
            ::mkdir(encoded(appendingPathComponent(home, QStringLiteral("info"))).constData(),
                    0700);
        }
        const auto at = identity(files, true);
        if (at && at->type == FileIdentity::Type::Directory && at->device == id->device &&
            isDirectory(appendingPathComponent(home, QStringLiteral("info"))))
            return trash;
        return std::nullopt; // its file system's items go to the home trash or nowhere
    }
    const QStorageInfo mount(QFileInfo(folder).canonicalFilePath());
    const auto top = identity(mount.rootPath(), true);
    if (!mount.isValid() || !top || top->device != id->device)
        return std::nullopt;
    return atTop(mount.rootPath(), create);
}

std::optional<Trash> Trash::atTop(const QString& topdir, bool create) {
    const auto usable = [create](const QString& root) {
        return ownFolder(root, create) &&
               ownFolder(appendingPathComponent(root, QStringLiteral("files")), create) &&
               ownFolder(appendingPathComponent(root, QStringLiteral("info")), create);
    };
    // A shared .Trash is trusted only as the administrator made it: a real folder in which
    // nobody can remove or rename what others own.
    const QString shared = appendingPathComponent(topdir, QStringLiteral(".Trash"));
    struct stat st;
    if (::lstat(encoded(shared).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
        (st.st_mode & S_ISVTX)) {
        const QString root = appendingPathComponent(shared, uidText());
        if (usable(root))
            return Trash(root, topdir);
    }
    const QString own = appendingPathComponent(topdir, QStringLiteral(".Trash-") + uidText());
    if (usable(own))
        return Trash(own, topdir);
    return std::nullopt;
}

std::optional<Trash> Trash::holding(const QString& trashed) {
    const QString files = deletingLastPathComponent(trashed);
    if (lastPathComponent(files) != u"files")
        return std::nullopt;
    const QString root = deletingLastPathComponent(files);
    const QString home = homeRoot();
    if (root == home || isSameFolder(root, home))
        return Trash(root, {});
    const QString name = lastPathComponent(root);
    const QString above = deletingLastPathComponent(root);
    if (name == QStringLiteral(".Trash-") + uidText())
        return Trash(root, above);
    if (name == uidText() && lastPathComponent(above) == u".Trash")
        return Trash(root, deletingLastPathComponent(above));
    return std::nullopt;
}

QString Trash::filesFolder() const {
    return appendingPathComponent(m_root, QStringLiteral("files"));
}

QString Trash::infoFile(const QString& trashed) const {
    return appendingPathComponent(m_root, QStringLiteral("info/") + lastPathComponent(trashed) +
                                              QStringLiteral(".trashinfo"));
}

bool Trash::isTaken(const QString& trashed) const {
    return entryExists(trashed) || entryExists(infoFile(trashed));
}

QByteArray Trash::infoText(const QString& original, const QDateTime& when) const {
    const QString folder = QFileInfo(deletingLastPathComponent(original)).canonicalFilePath();
    if (folder.isEmpty())
        return {};
    QString path = appendingPathComponent(folder, lastPathComponent(original));
    if (!m_topdir.isEmpty()) {
        QString top = QFileInfo(m_topdir).canonicalFilePath();
        if (!top.endsWith(u'/'))
            top += u'/';
        if (path.startsWith(top))
            path = path.mid(top.size());
    }
    const QDateTime local = when.toLocalTime();
    return "[Trash Info]\nPath=" + encoded(path).toPercentEncoding("/") +
           "\nDeletionDate=" + local.date().toString(Qt::ISODate).toLatin1() + 'T' +
           local.time().toString(QStringLiteral("HH:mm:ss")).toLatin1() + '\n';
}

MoveResult Trash::put(const QString& from, const QString& trashed, const QDateTime& when) const {
    const QByteArray text = infoText(from, when);
    if (text.isEmpty())
        return MoveResult::Failed;
    if (entryExists(trashed))
        return MoveResult::TargetExists;
    const QString info = infoFile(trashed);
    const int fd = ::open(encoded(info).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno == EEXIST ? MoveResult::TargetExists : MoveResult::Failed;
    const bool written = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    const auto made = identity(info, false);
    ::close(fd);
    const auto dropInfo = [&] {
        if (made)
            removeFileIf(info, *made, IdentityMatch::Unchanged);
    };
    if (!written) { // a full disk
        dropInfo();
        return MoveResult::Failed;
    }
    if (detail::trashStep)
        detail::trashStep();
    const MoveResult moved = renameItem(from, trashed);
    if (moved != MoveResult::Moved)
        dropInfo();
    return moved;
}

bool Trash::forget(const QString& trashed, const QString& original,
                   const std::optional<QDateTime>& when) const {
    const QString info = infoFile(trashed);
    const auto id = identity(info, false);
    if (entryExists(trashed) || !id || id->type != FileIdentity::Type::File)
        return false;
    const auto bytes = readWholeFile(info, kMaxInfoBytes);
    const QByteArray expected = infoText(original, when.value_or(QDateTime::currentDateTime()));
    if (!bytes || expected.isEmpty())
        return false;
    if (when ? *bytes != expected : pathLine(*bytes) != pathLine(expected))
        return false;
    return removeFileIf(info, *id, IdentityMatch::Unchanged);
}

} // namespace platform
