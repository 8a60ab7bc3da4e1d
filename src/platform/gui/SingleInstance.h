#pragma once

#include "platform/Clock.h"

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

namespace platform {

// One Vantor per user: the first instance holds a lock file and listens on a local socket.
// Other launches find the lock taken and hand their request to the first: one line each
// way per connection, the request and its answer. The instance keeps listening: when the
// socket stops (Qt closes it when accept() fails, as when no file descriptor is left), it
// listens again, and an asker that sends no request in time is dropped.
class SingleInstance : public QObject {
    Q_OBJECT

  public:
    using Reply = std::function<void(const QByteArray& line)>;
    // Called with each request line (without its newline); answer it through `reply`, now or
    // later. A reply after the asker left goes nowhere.
    using Handler = std::function<void(const QByteArray& request, const Reply& reply)>;

    enum class Answer { NotRunning, NoAnswer, TooLong, Answered };

    // `folder` holds the lock and the socket: a private folder of the user's (see
    // InstanceFolder). The clock times the checks on the socket and on idle askers.
    explicit SingleInstance(const QString& folder, QObject* parent = nullptr,
                            Clock& clock = Clock::system());
    ~SingleInstance() override;

    // True when this process is the one instance (a stale lock of a crashed one is taken
    // over); false when another instance runs and listens. A folder that is not private
    // holds neither lock nor socket: then true, and this instance runs unreachable.
    bool claim();
    void setRequestHandler(Handler handler) { m_handler = std::move(handler); }

    // Sends one request line to the instance listening in `folder` and waits up to
    // `timeoutMs` for its answer, put in `*answer`. Takes no lock: asking never makes this
    // process the instance. An answer longer than kMaxAnswerBytes is not read to its end.
    static Answer ask(const QString& folder, const QByteArray& request, QByteArray* answer,
                      int timeoutMs);

    static QString socketIn(const QString& folder);

    // A request line longer than this ends its connection unanswered.
    static constexpr qsizetype kMaxRequestBytes = 64 * 1024;
    // What `clean --json` of 100,000 files with long names says, and not much more: an
    // answer without end must not grow the command without bound.
    static constexpr qsizetype kMaxAnswerBytes = 32 * 1024 * 1024;
    // How often the instance makes sure it still listens.
    static constexpr int kListenCheckMs = 2000;
    // How long an asker may stay connected without a whole request.
    static constexpr int kIdleAskerMs = 10 * 1000;

  private:
    void listen();
    void acceptConnections();
    void readRequest(QLocalSocket* socket);

    QString m_folder;
    Clock& m_clock;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    std::unique_ptr<Timer> m_listenCheck;
    Handler m_handler;
};

} // namespace platform
