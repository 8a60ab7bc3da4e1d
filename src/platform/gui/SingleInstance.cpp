#include "platform/gui/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace platform {

namespace {
constexpr int kConnectTimeoutMs = 1000;
constexpr int kAttempts = 3;
} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), m_folder(folder) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return runtime + QStringLiteral("/" VANTOR_APP_ID);
    // No usable runtime folder: one of our own in the shared temporary folder, per user, so
    // one user's Vantor never stands in another's way.
    return QDir::tempPath() + QStringLiteral("/" VANTOR_APP_ID "-") + QString::number(getuid());
}

bool SingleInstance::claim() {
    QDir().mkpath(m_folder);
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString socketPath = m_folder + QStringLiteral("/instance.socket");
    m_lock = std::make_unique<QLockFile>(m_folder + QStringLiteral("/instance.lock"));
    // A lock whose process is gone is stale at once, whatever its age.
    m_lock->setStaleLockTime(0);

    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (m_lock->tryLock(0)) {
            QLocalServer::removeServer(socketPath); // left by a crashed instance
            m_server = new QLocalServer(this);
            m_server->setSocketOptions(QLocalServer::UserAccessOption);
            connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::readRequest);
            if (!m_server->listen(socketPath)) {
                QLocalServer::removeServer(socketPath);
                m_server->listen(socketPath); // without it Vantor runs, only unreachable
            }
            return true;
        }
        if (m_lock->error() == QLockFile::PermissionError)
            return true; // the folder is not ours to coordinate in: run rather than vanish
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(kConnectTimeoutMs)) {
            socket.write("reopen\n");
            socket.waitForBytesWritten(kConnectTimeoutMs);
            socket.disconnectFromServer();
            return false;
        }
        // Locked but not listening: the holder is starting up or just quit. Look again.
        QThread::msleep(200);
    }
    return false;
}

void SingleInstance::readRequest() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto read = [this, socket] {
            while (socket->canReadLine())
                if (socket->readLine().trimmed() == "reopen")
                    emit reopenRequested();
        };
        connect(socket, &QLocalSocket::readyRead, this, read);
        read(); // the request may have arrived with the connection
    }
}

} // namespace platform
