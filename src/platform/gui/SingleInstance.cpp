#include "platform/gui/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>

#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {
constexpr int kConnectTimeoutMs = 1000;
constexpr int kAttempts = 3;

QString socketIn(const QString& folder) {
    return folder + QStringLiteral("/instance.socket");
}

// A local socket's path has a fixed room in the kernel's address; a longer one cannot listen.
bool socketFits(const QString& folder) {
    return QFile::encodeName(socketIn(folder)).size() < qsizetype(sizeof(sockaddr_un::sun_path));
}
} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), m_folder(folder) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultFolder() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty() && socketFits(runtime + QStringLiteral("/" VANTOR_APP_ID)))
            return runtime + QStringLiteral("/" VANTOR_APP_ID);
    } else {
        // Cron and some SSH sessions set no runtime folder: the session's usual one is where a
        // running Vantor listens.
        const QString session = QStringLiteral("/run/user/") + QString::number(getuid());
        const QFileInfo info(session);
        if (info.isDir() && info.ownerId() == getuid())
            return session + QStringLiteral("/" VANTOR_APP_ID);
    }
    // No usable runtime folder (or one too deep for a socket): one of our own in the shared
    // temporary folder, per user, so one user's Vantor never stands in another's way.
    return QDir::tempPath() + QStringLiteral("/" VANTOR_APP_ID "-") + QString::number(getuid());
}

bool SingleInstance::claim() {
    QDir().mkpath(m_folder);
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString socketPath = socketIn(m_folder);
    m_lock = std::make_unique<QLockFile>(m_folder + QStringLiteral("/instance.lock"));
    // A lock whose process is gone is stale at once, whatever its age.
    m_lock->setStaleLockTime(0);

    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (m_lock->tryLock(0)) {
            QLocalServer::removeServer(socketPath); // left by a crashed instance
            m_server = new QLocalServer(this);
            m_server->setSocketOptions(QLocalServer::UserAccessOption);
            connect(m_server, &QLocalServer::newConnection, this,
                    &SingleInstance::acceptConnections);
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
        if (socket.waitForConnected(kConnectTimeoutMs))
            return false;
        // Locked but not listening: the holder is starting up or just quit. Look again.
        QThread::msleep(200);
    }
    return false;
}

SingleInstance::Answer SingleInstance::ask(const QString& folder, const QByteArray& request,
                                           QByteArray* answer, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(socketIn(folder));
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return Answer::NotRunning;
    socket.write(request.endsWith('\n') ? request : request + '\n');
    const QDeadlineTimer deadline(timeoutMs); // negative: no limit
    while (!socket.canReadLine()) {
        if (socket.state() != QLocalSocket::ConnectedState || deadline.hasExpired())
            return Answer::NoAnswer;
        socket.waitForReadyRead(int(deadline.remainingTime()));
    }
    *answer = socket.readLine();
    return Answer::Answered;
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Read as it arrives: a slow or silent asker never holds up the instance.
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        readRequest(socket); // the request may have arrived with the connection
    }
}

void SingleInstance::readRequest(QLocalSocket* socket) {
    if (socket->property("answered").toBool())
        return;
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxRequestBytes)
            socket->abort();
        return;
    }
    socket->setProperty("answered", true); // one request per connection
    const QByteArray line = socket->readLine().trimmed();
    if (line.size() > kMaxRequestBytes) {
        socket->abort();
        return;
    }
    const QPointer<QLocalSocket> asker(socket);
    const Reply reply = [asker](const QByteArray& answer) {
        if (!asker)
            return;
        asker->write(answer.endsWith('\n') ? answer : answer + '\n');
        asker->disconnectFromServer(); // sends what is written first
    };
    if (m_handler)
        m_handler(line, reply);
    else
        reply({});
}

} // namespace platform
