#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// What a test puts where the code expects something of its own, by raw path: "file",
// "folder", "fifo", "another's folder" (owned by nobody: only root can give one away),
// "link" to `target`, or "link to a folder", which makes that folder at `path` + "-target"
// first. `mode`, when given, is set on what is made, on a link's target for a link.
inline bool makeEntry(const QString& kind, const QByteArray& path, int mode = -1,
                      const QByteArray& target = {}) {
    constexpr uid_t kNobody = 65534;
    const QByteArray modeOn = kind == "link to a folder" ? path + "-target" : path;
    bool made = false;
    if (kind == "file")
        made = ::close(::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600)) == 0;
    else if (kind == "folder")
        made = ::mkdir(path.constData(), 0755) == 0;
    else if (kind == "another's folder")
        made = ::mkdir(path.constData(), 0755) == 0 && ::chown(path, kNobody, kNobody) == 0;
    else if (kind == "fifo")
        made = ::mkfifo(path.constData(), 0600) == 0;
    else if (kind == "link")
        made = ::symlink(target.constData(), path.constData()) == 0;
    else if (kind == "link to a folder")
        made = ::mkdir(modeOn.constData(), 0755) == 0 && ::symlink(modeOn, path) == 0;
    return made && (mode < 0 || ::chmod(modeOn.constData(), mode_t(mode)) == 0);
}

inline bool makeEntry(const QString& kind, const QString& path, int mode = -1,
                      const QString& target = {}) {
    return makeEntry(kind, QFile::encodeName(path), mode, QFile::encodeName(target));
}
