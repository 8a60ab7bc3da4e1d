#include "platform/DirectoryWatch.h"

#include <QFile>
#include <QHash>
#include <QSocketNotifier>
#include <QStringList>

#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

namespace platform {

DirectoryWatch::DirectoryWatch(const QString& folder, QObject* parent, Events events)
    : QObject(parent) {
    m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0)
        return;
    uint32_t mask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                    IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    if (events == Events::EntriesAndWrites)
        mask |= IN_MODIFY | IN_CLOSE_WRITE;
    m_wd = inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), mask);
    if (m_wd < 0) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &DirectoryWatch::readEvents);
}

DirectoryWatch::~DirectoryWatch() {
    if (m_fd >= 0)
        ::close(m_fd);
}

void DirectoryWatch::readEvents() {
    alignas(inotify_event) char buffer[16 * 1024];
    bool entries = false, gone = false, lost = false;
    // A file being written gives an event per write: only the last word per name is passed on.
    QStringList written;
    QHash<QString, bool> closed;
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            break; // EAGAIN: drained
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event)) + e->len;
            if (e->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT)) {
                gone = true;
            } else if (e->mask & (IN_MODIFY | IN_CLOSE_WRITE)) {
                if (e->len == 0)
                    continue;
                const QString name = QFile::decodeName(e->name);
                if (!closed.contains(name))
                    written.append(name);
                closed.insert(name, (e->mask & IN_CLOSE_WRITE) != 0);
            } else {
                if (e->mask & IN_Q_OVERFLOW)
                    lost = true;
                entries = true; // entry events and IN_Q_OVERFLOW alike mean "look again"
            }
        }
    }
    for (const QString& name : std::as_const(written)) {
        if (closed.value(name))
            emit closedAfterWrite(name);
        else
            emit modified(name);
    }
    if (lost)
        emit eventsLost();
    if (gone) {
        // Stop listening; whoever owns the watch decides whether to open a new one.
        m_notifier->setEnabled(false);
        emit folderGone();
    } else if (entries) {
        emit changed();
    }
}

} // namespace platform
