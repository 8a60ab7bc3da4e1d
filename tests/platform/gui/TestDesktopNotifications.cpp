#include "FakeNotificationServer.h"
#include "TestSupport.h"

#include "platform/gui/DesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QScopeGuard>

class TestDesktopNotifications : public QObject {
    Q_OBJECT

    PrivateBus m_bus;
    QString m_address;
    FakeNotificationServer m_server;

    QDBusConnection server() const { return QDBusConnection(QStringLiteral("server")); }
    QDBusConnection client() const { return QDBusConnection(QStringLiteral("client")); }

    void emitSignal(const QString& name, const QVariantList& args) {
        QDBusMessage signal = QDBusMessage::createSignal(FakeNotificationServer::kPath,
                                                         FakeNotificationServer::kInterface, name);
        signal.setArguments(args);
        QVERIFY(server().send(signal));
    }
    void invoke(uint id, const QString& key) { emitSignal("ActionInvoked", {id, key}); }
    void close(uint id) { emitSignal("NotificationClosed", {id, uint(2)}); }

    // The server answers the client after all the client asked before, and after sending the
    // signals it sent before: once the answer is in, those are delivered too, so that a signal
    // or a call the class ignored has surely been seen by then.
    void roundTrip() {
        const QDBusPendingCall call = client().asyncCall(
            QDBusMessage::createMethodCall(server().baseService(), FakeNotificationServer::kPath,
                                           FakeNotificationServer::kInterface, "GetCapabilities"));
        QTRY_VERIFY(call.isFinished());
        testsupport::settle();
    }

    // How many signal subscriptions the client holds on the bus; -1 when the bus cannot tell.
    int clientMatchRules() {
        QDBusMessage ask = QDBusMessage::createMethodCall(
            "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.Debug.Stats",
            "GetConnectionStats");
        ask << client().baseService();
        const QDBusReply<QVariantMap> stats = server().call(ask);
        return stats.isValid() ? stats.value().value("MatchRules").toInt() : -1;
    }

  private slots:
    void initTestCase() {
        if (PrivateBus::daemon().isEmpty())
            QSKIP("dbus-daemon is not installed");
        m_address = m_bus.start();
        QVERIFY(!m_address.isEmpty());
        QVERIFY(QDBusConnection::connectToBus(m_address, "server").isConnected());
        QVERIFY(QDBusConnection::connectToBus(m_address, "client").isConnected());
        QVERIFY(server().registerObject(FakeNotificationServer::kPath, &m_server,
                                        QDBusConnection::ExportAllSlots));
    }

    void init() {
        m_server.shown.clear();
        m_server.capabilities = QStringList{"body", "actions"};
        QVERIFY(server().registerService("org.freedesktop.Notifications"));
    }

    void cleanup() { server().unregisterService("org.freedesktop.Notifications"); }

    void cleanupTestCase() {
        QDBusConnection::disconnectFromBus("server");
        QDBusConnection::disconnectFromBus("client");
    }

    static platform::DesktopNotifications::Message message(const QString& tag,
                                                           const QString& body = {}) {
        return {"Put away 3 files", body, "Show History", "Rückgängig", tag};
    }

    void notificationCarriesVantorsNameIconTextAndActions() {
        platform::DesktopNotifications notifications(client());
        notifications.show(message("clean-1", "a&b.pdf → Documents"));
        // Nothing waits on the server: it has not even been asked when show() returns.
        QVERIFY(m_server.shown.isEmpty());
        QTRY_COMPARE(m_server.shown.size(), 1);
        const auto& shown = m_server.shown.first();
        QCOMPARE(QStringList({shown.appName, shown.icon, shown.summary, shown.body,
                              shown.hints.value("desktop-entry").toString()}),
                 QStringList({"Vantor", VANTOR_APP_ID, "Put away 3 files", "a&b.pdf → Documents",
                              VANTOR_APP_ID}));
        QCOMPARE(shown.actions, (QStringList{"default", "Show History", "undo", "Rückgängig"}));
        QCOMPARE(shown.expireMs, platform::DesktopNotifications::kExpireMs);
        QCOMPARE(shown.replaces, 0u);
        QTRY_VERIFY(notifications.isShowing());

        // A server without actions gets the text alone; one that reads markup, the text as
        // such.
        m_server.capabilities = QStringList{"body", "body-markup"};
        notifications.show(message("clean-2", "a&b.pdf → Documents"));
        QTRY_COMPARE(m_server.shown.size(), 2);
        QCOMPARE(m_server.shown.last().actions, QStringList{});
        QCOMPARE(m_server.shown.last().body, QString("a&amp;b.pdf → Documents"));
    }

    // One notification of Vantor's at a time: each takes the place of the last still up, and
    // of those shown while the server had not answered yet, only the newest is sent.
    void eachReplacesTheLastStillOpen() {
        platform::DesktopNotifications notifications(client());
        const int before = clientMatchRules();
        QVERIFY2(before >= 0, "the bus cannot count subscriptions");
        for (const char* tag : {"clean-a", "clean-b", "clean-c"})
            notifications.show(message(tag));
        QTRY_COMPARE(m_server.shown.size(), 2);
        roundTrip();
        QCOMPARE(m_server.shown.size(), 2);
        const uint a = m_server.shown.first().id;
        QCOMPARE(m_server.shown.last().replaces, a);
        QCOMPARE(clientMatchRules(), before + 2);

        // Closed on screen: the next is a new one, and with none out, other programs'
        // notifications no longer reach Vantor.
        close(a);
        QTRY_VERIFY(!notifications.isShowing());
        QCOMPARE(clientMatchRules(), before);
        notifications.show(message("clean-d"));
        QTRY_COMPARE(m_server.shown.size(), 3);
        QCOMPARE(m_server.shown.last().replaces, 0u);
    }

    // A click opens, and undo reaches the caller once. Ids of other programs, or of a server
    // since replaced (a new one numbers its notifications afresh), ask nothing of Vantor.
    void onlyAClickOnOursReachesTheCallerOnce() {
        platform::DesktopNotifications notifications(client());
        QSignalSpy opened(&notifications, &platform::DesktopNotifications::openRequested);
        QSignalSpy undo(&notifications, &platform::DesktopNotifications::undoRequested);
        notifications.show(message("clean-a"));
        QTRY_VERIFY(notifications.isShowing());
        const uint id = m_server.shown.first().id;
        invoke(id + 100, "undo");
        invoke(id + 100, "default");
        invoke(id, "default");
        QTRY_COMPARE(opened.count(), 1);
        QCOMPARE(undo.count(), 0);
        invoke(id, "undo");
        // A server that keeps the notification up: a second click does not undo twice.
        invoke(id, "undo");
        roundTrip();
        QCOMPARE(opened.count(), 1);
        QCOMPARE(undo.count(), 1);
        QCOMPARE(undo.at(0).at(0).toString(), QString("clean-a"));

        notifications.show(message("clean-b"));
        QTRY_COMPARE(m_server.shown.size(), 2);
        QVERIFY(server().unregisterService("org.freedesktop.Notifications"));
        QTRY_VERIFY(!notifications.isShowing());
        QVERIFY(server().registerService("org.freedesktop.Notifications"));
        invoke(m_server.shown.last().id, "undo");
        roundTrip();
        QCOMPARE(undo.count(), 1);
        notifications.show(message("clean-c"));
        QTRY_COMPARE(m_server.shown.size(), 3);
        QCOMPARE(m_server.shown.last().replaces, 0u);
    }

    void withoutServerOrBusNothingIsShownAndNothingBreaks() {
        QLoggingCategory::setFilterRules("vantor.notifications.debug=true");
        QStringList debug;
        static QStringList* lines = nullptr;
        lines = &debug;
        const auto previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext& context, const QString& text) {
                if (QByteArray(context.category) == "vantor.notifications")
                    lines->append(text);
            });
        const auto restore = qScopeGuard([previous] { qInstallMessageHandler(previous); });

        server().unregisterService("org.freedesktop.Notifications");
        platform::DesktopNotifications noServer(client());
        noServer.show(message("clean-a"));
        QTRY_COMPARE(debug.size(), 1);
        QVERIFY(debug.first().contains("Put away 3 files"));
        QVERIFY(!noServer.isShowing());

        // CTest's session bus is disabled.
        platform::DesktopNotifications noBus;
        noBus.show(message("clean-b"));
        QCOMPARE(debug.size(), 2);

        // A server that comes later is used.
        QVERIFY(server().registerService("org.freedesktop.Notifications"));
        noServer.show(message("clean-c"));
        QTRY_COMPARE(m_server.shown.size(), 1);
        QCOMPARE(m_server.shown.first().summary, QString("Put away 3 files"));
    }
};

VANTOR_TEST_MAIN_WITH(QGuiApplication, TestDesktopNotifications)
#include "TestDesktopNotifications.moc"
