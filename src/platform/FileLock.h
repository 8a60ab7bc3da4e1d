#pragma once

#include <QString>

#include <memory>

namespace platform {

// An exclusive advisory lock (flock) on a file, held while the object lives. Locks taken
// through separate FileLock objects exclude each other, in one process or in several.
class FileLock {
  public:
    // Creates the lock file when missing and takes the lock, trying again until waitMs have
    // passed. nullptr when another holder keeps it or the file cannot be opened.
    static std::unique_ptr<FileLock> acquire(const QString& path, int waitMs);
    ~FileLock();

    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

  private:
    explicit FileLock(int fd) : m_fd(fd) {}
    int m_fd;
};

} // namespace platform
