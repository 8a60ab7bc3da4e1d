#include "FileLock.h"

#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <ctime>

namespace platform {

namespace {
constexpr long kRetryNs = 20L * 1000 * 1000;
}

std::unique_ptr<FileLock> FileLock::acquire(const QString& path, int waitMs) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return nullptr;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return std::unique_ptr<FileLock>(new FileLock(fd));
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited.elapsed() >= waitMs)
            break;
        const timespec pause{0, kRetryNs};
        ::nanosleep(&pause, nullptr);
    }
    ::close(fd);
    return nullptr;
}

FileLock::~FileLock() {
    ::close(m_fd); // closing the last descriptor of the open file releases the lock
}

} // namespace platform
