#include "JournalFile.h"

#include "FileSystem.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::unique_ptr<JournalFile> JournalFile::create(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    // Only a regular file of our own is written: whatever else stands at the name (a fifo
    // would block the open, a device swallow the lines) is replaced.
    struct stat st;
    if (::lstat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        ::unlink(name.constData());
    const int fd =
        ::open(name.constData(),
               O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0)
        return nullptr;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<JournalFile>(new JournalFile(fd));
}

JournalFile::~JournalFile() {
    ::close(m_fd);
}

bool JournalFile::append(const QByteArray& line) {
    const QByteArray bytes = line + '\n';
    for (;;) {
        const ssize_t n = ::write(m_fd, bytes.constData(), size_t(bytes.size()));
        if (n < 0 && errno == EINTR)
            continue;
        // A short write (a full disk) leaves a torn line, which readers drop.
        return n == bytes.size();
    }
}

bool JournalFile::sync() {
    return ::fdatasync(m_fd) == 0;
}

std::optional<QList<QByteArray>> JournalFile::readLines(const QString& path) {
    // Room for the moves of several hundred thousand files with long names; a larger one
    // was not written by a clean.
    constexpr qint64 kMaxBytes = 256 * 1024 * 1024;
    const auto bytes = readWholeFile(path, kMaxBytes);
    if (!bytes)
        return std::nullopt;
    QList<QByteArray> lines = bytes->split('\n');
    lines.removeLast(); // after the last line break: empty, or a line cut short
    return lines;
}

} // namespace platform
