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
    // Check isValid(): the folder may be missing or the watch limit reached.
    explicit DirectoryWatch(const QString& folder, QObject* parent = nullptr);
    ~DirectoryWatch() override;

    bool isValid() const { return m_wd >= 0; }

  signals:
    // Entries were created, deleted, renamed or changed attributes, or events were lost.
    void changed();
    // The folder itself was deleted or renamed: this watch sees nothing more.
    void folderGone();

  private:
    void readEvents();

    int m_fd = -1;
    int m_wd = -1;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace platform
