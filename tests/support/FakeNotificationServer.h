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

    // Answers on `bus` under the server's well-known name.
    bool serveOn(QDBusConnection bus) {
        return bus.registerObject(kPath, this, QDBusConnection::ExportAllSlots) &&
               bus.registerService(kInterface);
    }

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

// A session bus of the test's own, ended with the object.
class PrivateBus {
  public:
    static QString daemon() { return QStandardPaths::findExecutable("dbus-daemon"); }

    // The bus's address; empty when it did not start.
    QString start() {
        m_process.start(daemon(), {"--session", "--nofork", "--print-address=1"});
        if (!m_process.waitForStarted() ||
            !QTest::qWaitFor([this] { return m_process.canReadLine(); }, 5000))
            return {};
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }
    ~PrivateBus() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            m_process.waitForFinished(3000);
        }
    }

  private:
    QProcess m_process;
};
