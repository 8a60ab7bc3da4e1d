#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// What the kernel can tell about a file's recent activity: its times, and whether anybody
// holds it open for writing.
namespace platform {

struct FileTimes {
    QDateTime modified;      // st_mtime: tools may set it to anything, an old date too
    QDateTime statusChanged; // st_ctime: set by every write, rename and change of attributes
};
// lstat(): the entry's own times, a link's rather than its target's; millisecond precision,
// in UTC. nullopt when nothing is there.
std::optional<FileTimes> fileTimes(const QString& path);

enum class Writers {
    None,    // no process has the file open for writing
    Some,    // some process (this one too) has it open for writing
    Unknown, // the kernel would not say: not a regular file, not ours, or no leases here
};
// Asks by taking a read lease and releasing it at once: the kernel refuses one while the
// file is open for writing anywhere.
Writers writersOf(const QString& path);
// Whether this process may take a lease: one broken while held signals its holder.
bool leaseSignalIsHarmless();

} // namespace platform
