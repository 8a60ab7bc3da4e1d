#include "platform/FileActivity.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QDateTime toDateTime(const timespec& t) {
    return QDateTime::fromMSecsSinceEpoch(qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000, Qt::UTC);
}

} // namespace

// A lease broken while held sends its holder a signal, SIGIO unless told otherwise, and
// SIGIO's default is to end the process. The lease is held for a few instructions only, but
// a writer may open the file in between: ask for SIGURG instead, whose default is to be
// ignored, and take no lease when somebody handles it.
bool leaseSignalIsHarmless() {
    struct sigaction current = {};
    if (::sigaction(SIGURG, nullptr, &current) != 0)
        return false;
    return !(current.sa_flags & SA_SIGINFO) &&
           (current.sa_handler == SIG_DFL || current.sa_handler == SIG_IGN);
}

std::optional<FileTimes> fileTimes(const QString& path) {
    struct stat st = {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileTimes{toDateTime(st.st_mtim), toDateTime(st.st_ctim)};
}

Writers writersOf(const QString& path) {
    if (!leaseSignalIsHarmless())
        return Writers::Unknown;
    // Non-blocking: an open that would break another holder's lease fails instead of waiting.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return Writers::Unknown;
    Writers answer = Writers::Unknown;
    struct stat st = {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::fcntl(fd, F_SETSIG, SIGURG) == 0) {
        if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
            ::fcntl(fd, F_SETLEASE, F_UNLCK);
            answer = Writers::None;
        } else if (errno == EAGAIN) {
            answer = Writers::Some;
        }
    }
    ::close(fd);
    return answer;
}

} // namespace platform
