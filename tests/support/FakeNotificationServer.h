#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTest>
#include <QVariantMap>

// Stands in for the desktop's notification server: records what it is asked to show.
class FakeNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

  public:
    static inline const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
    static inline const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

    struct Shown {
        uint id;
        QString appName, icon, summary, body;
        QStringList actions;
        QVariantMap hints;
        uint replaces;
        int expireMs;
    };
    QStringList capabilities{"body", "actions"};
    QList<Shown> shown;
    uint nextId = 1;

  public slots:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString& appName, uint replaces, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints,
                int expireMs) {
        const uint id = replaces != 0 ? replaces : nextId++;
        shown.append({id, appName, icon, summary, body, actions, hints, replaces, expireMs});
        return id;
    }
};

// A session bus of the test's own, ended with the object, where `fake` serves on the
// connection server() and the code under test talks on client().
class NotificationBus {
  public:
    FakeNotificationServer fake;

    static QString daemon() { return QStandardPaths::findExecutable("dbus-daemon"); }
    static QDBusConnection server() { return QDBusConnection(QStringLiteral("server")); }
    static QDBusConnection client() { return QDBusConnection(QStringLiteral("client")); }

    // False when the bus did not start or the server could not take its name.
    bool start() {
        m_process.start(daemon(), {"--session", "--nofork", "--print-address=1"});
        if (!m_process.waitForStarted() ||
            !QTest::qWaitFor([this] { return m_process.canReadLine(); }, 5000))
            return false;
        const QString address = QString::fromUtf8(m_process.readLine()).trimmed();
        return QDBusConnection::connectToBus(address, "client").isConnected() &&
               QDBusConnection::connectToBus(address, "server")
                   .registerObject(FakeNotificationServer::kPath, &fake,
                                   QDBusConnection::ExportAllSlots) &&
               server().registerService(FakeNotificationServer::kInterface);
    }
    // A signal of the server's: "ActionInvoked" (id, key) or "NotificationClosed" (id, reason).
    static bool emitSignal(const QString& name, const QVariantList& args) {
        QDBusMessage signal = QDBusMessage::createSignal(FakeNotificationServer::kPath,
                                                         FakeNotificationServer::kInterface, name);
        signal.setArguments(args);
        return server().send(signal);
    }
    ~NotificationBus() {
        QDBusConnection::disconnectFromBus("server");
        QDBusConnection::disconnectFromBus("client");
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            m_process.waitForFinished(3000);
        }
    }

  private:
    QProcess m_process;
};
