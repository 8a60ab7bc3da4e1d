#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace platform {

// A file that grows by whole lines, for recording work before it is done. Each line goes to
// the file in one write, so a killed process leaves every line it wrote before the kill;
// sync() makes them last through a power cut too.
class JournalFile {
  public:
    // Creates the file, emptying any earlier one; nullptr when it cannot be created.
    static std::unique_ptr<JournalFile> create(const QString& path);
    ~JournalFile();

    // One line, or several joined by line breaks, in one write. False when it could not be
    // written whole.
    bool append(const QByteArray& line);
    bool sync();

    // The complete lines of a journal file (a torn last line is dropped); nullopt when
    // there is no file or it cannot be read.
    static std::optional<QList<QByteArray>> readLines(const QString& path);

    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

  private:
    explicit JournalFile(int fd) : m_fd(fd) {}
    int m_fd;
};

} // namespace platform
