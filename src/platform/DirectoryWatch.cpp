#include "platform/DirectoryWatch.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

namespace platform {

DirectoryWatch::DirectoryWatch(const QString& folder, QObject* parent) : QObject(parent) {
    m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0)
        return;
    m_wd = inotify_add_watch(m_fd, QFile::encodeName(folder).constData(),
                             IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                                 IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
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
    bool entries = false, gone = false;
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            break; // EAGAIN: drained
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            if (e->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT))
                gone = true;
            else
                entries = true; // entry events and IN_Q_OVERFLOW alike mean "look again"
            at += ssize_t(sizeof(inotify_event)) + e->len;
        }
    }
    if (gone) {
        // Stop listening; whoever owns the watch decides whether to open a new one.
        m_notifier->setEnabled(false);
        emit folderGone();
    } else if (entries) {
        emit changed();
    }
}

} // namespace platform
