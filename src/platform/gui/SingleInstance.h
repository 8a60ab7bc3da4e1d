#pragma once

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
// way per connection, the request and its answer.
class SingleInstance : public QObject {
    Q_OBJECT

  public:
    using Reply = std::function<void(const QByteArray& line)>;
    // Called with each request line (without its newline); answer it through `reply`, now or
    // later. A reply after the asker left goes nowhere.
    using Handler = std::function<void(const QByteArray& request, const Reply& reply)>;

    enum class Answer { NotRunning, NoAnswer, Answered };

    // `folder` holds the lock and the socket (the user's runtime folder).
    explicit SingleInstance(const QString& folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the one instance (a stale lock of a crashed one is taken
    // over); false when another instance runs and listens.
    bool claim();
    void setRequestHandler(Handler handler) { m_handler = std::move(handler); }

    // Sends one request line to the instance listening in `folder` and waits up to
    // `timeoutMs` for its answer, put in `*answer`. Takes no lock: asking never makes this
    // process the instance.
    static Answer ask(const QString& folder, const QByteArray& request, QByteArray* answer,
                      int timeoutMs);

    static QString defaultFolder();

    // A request line longer than this ends its connection unanswered.
    static constexpr qsizetype kMaxRequestBytes = 64 * 1024;

  private:
    void acceptConnections();
    void readRequest(QLocalSocket* socket);

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    Handler m_handler;
};

} // namespace platform
