#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

namespace platform {

// One Vantor per user: the first instance holds a lock file and listens on a local socket;
// a later launch finds the lock taken, tells the first "reopen" and leaves.
class SingleInstance : public QObject {
    Q_OBJECT

  public:
    // `folder` holds the lock and the socket (the user's runtime folder).
    explicit SingleInstance(const QString& folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the one instance (a stale lock of a crashed one is taken
    // over); false when another instance runs, which has then been sent "reopen".
    bool claim();

    static QString defaultFolder();

  signals:
    void reopenRequested();

  private:
    void readRequest();

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

} // namespace platform
