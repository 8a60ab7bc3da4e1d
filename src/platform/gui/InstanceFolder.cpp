#include "platform/gui/InstanceFolder.h"

#include "platform/FileSystem.h"
#include "platform/Locations.h"
#include "platform/gui/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {
constexpr qsizetype kMaxNoteBytes = 4096;

// A local socket's path has a fixed room in the kernel's address; a longer one cannot
// listen. Room is left for a stand-in's longer name.
bool socketFits(const QString& folder) {
    return QFile::encodeName(SingleInstance::socketIn(folder)).size() +
               InstanceFolder::kStandInSuffix <
           qsizetype(sizeof(sockaddr_un::sun_path));
}

// Owned by this user, closed to everyone else, and of the type asked for; links are not
// followed, so a link is never taken for what it points at.
bool isOwnPrivate(const QString& path, mode_t type) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 &&
           (st.st_mode & S_IFMT) == type && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}
} // namespace

InstanceFolder::InstanceFolder(QString usual, QString note)
    : m_usual(std::move(usual)), m_note(std::move(note)) {}

InstanceFolder InstanceFolder::forThisUser(const QString& session) {
    // Home folders may be shared between machines; the temporary folder never is.
    const QString note =
        stateFolder() + QStringLiteral("/instance-folder-") + QSysInfo::machineHostName();
    const QString name = QStringLiteral("/" VANTOR_APP_ID);
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty() && socketFits(runtime + name))
            return {runtime + name, note};
    } else {
        // Cron and some SSH sessions set no runtime folder: the session's usual one is where a
        // running Vantor listens.
        const QString usual = session.isEmpty()
                                  ? QStringLiteral("/run/user/") + QString::number(::getuid())
                                  : session;
        const QFileInfo info(usual);
        if (info.isDir() && info.ownerId() == ::getuid())
            return {usual + name, note};
    }
    // No usable runtime folder (or one too deep for a socket): one of our own in the shared
    // temporary folder, per user, so one user's Vantor never stands in another's way.
    return {QDir::tempPath() + name + u'-' + QString::number(::getuid()), note};
}

bool InstanceFolder::isPrivate(const QString& folder) {
    return !folder.isEmpty() && isOwnPrivate(folder, S_IFDIR);
}

QString InstanceFolder::foreignText() const {
    return QStringLiteral("%1 is not Vantor's own folder (another user's, open to others, a "
                          "file or a link); it is left alone.")
        .arg(m_usual);
}

QString InstanceFolder::make(QString* problem) const {
    QDir().mkpath(QFileInfo(m_usual).absolutePath());
    // mkdir() never follows a link nor takes over what exists: the folder is ours only
    // when made here, or proven private below.
    if (::mkdir(QFile::encodeName(m_usual).constData(), 0700) == 0 || isPrivate(m_usual))
        return m_usual;
    if (problem)
        *problem = foreignText();
    if (const QString standIn = notedStandIn(); !standIn.isEmpty())
        return standIn;

    QByteArray pattern = QFile::encodeName(m_usual) + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        if (problem)
            *problem += QStringLiteral(" No private folder could be made beside it: %1.")
                            .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return {};
    }
    const QString standIn = QFile::decodeName(pattern);
    if (!writeNote(standIn)) {
        ::rmdir(pattern.constData());
        if (problem)
            *problem += QStringLiteral(" %1 can't be written.").arg(m_note);
        return {};
    }
    return standIn;
}

QString InstanceFolder::find(QString* problem) const {
    if (isPrivate(m_usual))
        return m_usual;
    if (problem && entryExists(m_usual))
        *problem = foreignText();
    return notedStandIn();
}

// The note lies in the user's state folder rather than beside the folders: only the user
// writes there, and the note is believed only when it is the user's own private file and
// names a private stand-in of this very folder, so a planted or stale note leads nowhere
// but to a folder the user alone controls.
QString InstanceFolder::notedStandIn() const {
    if (!isOwnPrivate(m_note, S_IFREG))
        return {};
    QFile file(m_note);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString standIn = QFile::decodeName(file.read(kMaxNoteBytes).trimmed());
    const QString prefix = m_usual + u'-';
    if (!standIn.startsWith(prefix) || standIn.size() != prefix.size() + kStandInSuffix - 1 ||
        standIn.mid(prefix.size()).contains(u'/') || !isPrivate(standIn))
        return {};
    return standIn;
}

bool InstanceFolder::writeNote(const QString& standIn) const {
    if (!makePath(QFileInfo(m_note).absolutePath()))
        return false;
    // Written aside and renamed into place, so a reader never sees half a note.
    const QByteArray temporary = QFile::encodeName(m_note) + ".new";
    ::unlink(temporary.constData());
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const QByteArray line = QFile::encodeName(standIn) + '\n';
    const bool written = ::write(fd, line.constData(), size_t(line.size())) == line.size();
    ::close(fd);
    if (!written || ::rename(temporary.constData(), QFile::encodeName(m_note).constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

} // namespace platform
