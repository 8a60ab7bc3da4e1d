#include "platform/gui/SingleInstance.h"

#include "platform/FileSystem.h"
#include "platform/gui/InstanceFolder.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>

namespace platform {

namespace {
constexpr int kConnectTimeoutMs = 1000;
constexpr int kAttempts = 3;
// An answer is read in pieces of this size at most, so a flood never piles up unread.
constexpr qint64 kReadChunkBytes = 64 * 1024;
} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent, Clock& clock)
    : QObject(parent), m_folder(folder), m_clock(clock) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketIn(const QString& folder) {
    return folder + QStringLiteral("/instance.socket");
}

bool SingleInstance::claim() {
    if (!InstanceFolder::isPrivate(m_folder))
        return true; // no safe place to coordinate in: run rather than vanish
    const QString socketPath = socketIn(m_folder);
    m_lock = std::make_unique<QLockFile>(m_folder + QStringLiteral("/instance.lock"));
    // A lock whose process is gone is stale at once, whatever its age.
    m_lock->setStaleLockTime(0);

    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (m_lock->tryLock(0)) {
            m_server = new QLocalServer(this);
            m_server->setSocketOptions(QLocalServer::UserAccessOption);
            connect(m_server, &QLocalServer::newConnection, this,
                    &SingleInstance::acceptConnections);
            listen();
            m_listenCheck = m_clock.makeTimer();
            connect(m_listenCheck.get(), &Timer::timeout, this, [this] {
                listen();
                m_listenCheck->start(kListenCheckMs);
            });
            m_listenCheck->start(kListenCheckMs);
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

void SingleInstance::listen() {
    const QString socketPath = socketIn(m_folder);
    if (m_server->isListening() && entryExists(socketPath))
        return;
    m_server->close();
    // With UserAccessOption Qt makes the socket in a folder of its own and renames it into
    // place, over whatever a crashed instance left there: nothing to remove first.
    m_server->listen(socketPath); // failing, tried again at the next check
}

SingleInstance::Answer SingleInstance::ask(const QString& folder, const QByteArray& request,
                                           QByteArray* answer, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(socketIn(folder));
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return Answer::NotRunning;
    socket.setReadBufferSize(kReadChunkBytes);
    socket.write(request.endsWith('\n') ? request : request + '\n');
    const QDeadlineTimer deadline(timeoutMs); // negative: no limit
    QByteArray received;
    for (;;) {
        if (socket.bytesAvailable() > 0) {
            const qsizetype searchFrom = received.size();
            received += socket.read(kMaxAnswerBytes + 1 - received.size());
            if (const qsizetype end = received.indexOf('\n', searchFrom); end >= 0) {
                *answer = received.left(end + 1);
                return Answer::Answered;
            }
            if (received.size() > kMaxAnswerBytes)
                return Answer::TooLong;
            continue;
        }
        if (socket.state() != QLocalSocket::ConnectedState || deadline.hasExpired())
            return Answer::NoAnswer;
        socket.waitForReadyRead(int(deadline.remainingTime()));
    }
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Each open connection holds a file descriptor: one that asks nothing is closed.
        Timer* idle = m_clock.makeTimer().release();
        idle->setParent(socket);
        connect(idle, &Timer::timeout, socket, [socket] {
            if (!socket->property("answered").toBool())
                socket->abort();
        });
        idle->start(kIdleAskerMs);
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
