#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace platform {

// Watches one folder with inotify, read on the main thread through a QSocketNotifier.
// Not QFileSystemWatcher: it misses the folder's own rename and drops queue overflows.
class DirectoryWatch : public QObject {
    Q_OBJECT

  public:
    enum class Events {
        Entries,          // entries coming, going and changing attributes
        EntriesAndWrites, // also writes to files and their closing after a write
    };

    // Check isValid(): the folder may be missing or the watch limit reached.
    explicit DirectoryWatch(const QString& folder, QObject* parent = nullptr,
                            Events events = Events::Entries);
    ~DirectoryWatch() override;

    bool isValid() const { return m_wd >= 0; }

  signals:
    // Entries were created, deleted, renamed or changed attributes, or events were lost.
    // Writes to files do not count: a download would fire it thousands of times.
    void changed();
    // The folder itself was deleted or renamed: this watch sees nothing more.
    void folderGone();
    // With EntriesAndWrites, per file name, at most one of the two per name and batch of
    // events read, whichever came last: the file was written to and is still open for
    // writing as far as this watch knows (modified), or it was closed after being open for
    // writing (closedAfterWrite).
    void modified(const QString& name);
    void closedAfterWrite(const QString& name);
    // The kernel's queue overflowed: events, per-name ones too, were dropped. changed()
    // comes as well.
    void eventsLost();

  private:
    void readEvents();

    int m_fd = -1;
    int m_wd = -1;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace platform
