#include "JournalFile.h"

#include "FileSystem.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

std::unique_ptr<JournalFile> JournalFile::create(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return nullptr;
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
    const auto bytes = readWholeFile(path);
    if (!bytes)
        return std::nullopt;
    QList<QByteArray> lines = bytes->split('\n');
    lines.removeLast(); // after the last line break: empty, or a line cut short
    return lines;
}

} // namespace platform
