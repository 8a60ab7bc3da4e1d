#include "FakeNotificationServer.h"
#include "TestSupport.h"

#include "platform/gui/DesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QScopeGuard>

namespace {

const QString kPath = FakeNotificationServer::kPath;
const QString kInterface = FakeNotificationServer::kInterface;

} // namespace

class TestDesktopNotifications : public QObject {
    Q_OBJECT

    PrivateBus m_bus;
    QString m_address;
    FakeNotificationServer m_server;

    QDBusConnection server() const { return QDBusConnection(QStringLiteral("server")); }
    QDBusConnection client() const { return QDBusConnection(QStringLiteral("client")); }

    void emitSignal(const QString& name, const QVariantList& args) {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, name);
        signal.setArguments(args);
        QVERIFY(server().send(signal));
    }
    void invoke(uint id, const QString& key) { emitSignal("ActionInvoked", {id, key}); }
    void close(uint id) { emitSignal("NotificationClosed", {id, uint(2)}); }

    // Sends a message that reaches the client only after everything the server sent before
    // it, so that a signal the class ignored has surely been delivered by then.
    void roundTrip() {
        m_probeSeen = false;
        QVERIFY(server().send(QDBusMessage::createSignal("/probe", "test.Probe", "Probe")));
        QTRY_VERIFY(m_probeSeen);
    }
    bool m_probeSeen = false;

    // How many signal subscriptions the client holds on the bus; -1 when the bus cannot tell.
    int clientMatchRules() {
        QDBusMessage ask = QDBusMessage::createMethodCall(
            "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.Debug.Stats",
            "GetConnectionStats");
        ask << client().baseService();
        const QDBusReply<QVariantMap> stats = server().call(ask);
        return stats.isValid() ? stats.value().value("MatchRules").toInt() : -1;
    }

  public slots:
    void onProbe() { m_probeSeen = true; }

  private slots:
    void initTestCase() {
        if (PrivateBus::daemon().isEmpty())
            QSKIP("dbus-daemon is not installed");
        m_address = m_bus.start();
        QVERIFY(!m_address.isEmpty());
        QVERIFY(QDBusConnection::connectToBus(m_address, "server").isConnected());
        QVERIFY(QDBusConnection::connectToBus(m_address, "client").isConnected());
        QVERIFY(server().registerObject(kPath, &m_server, QDBusConnection::ExportAllSlots));
        QVERIFY(
            client().connect(QString(), "/probe", "test.Probe", "Probe", this, SLOT(onProbe())));
        // Answered only once the bus has taken the subscription above.
        const QDBusMessage ping = QDBusMessage::createMethodCall(
            "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.Peer", "Ping");
        QCOMPARE(client().call(ping).type(), QDBusMessage::ReplyMessage);
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

    void notificationCarriesVantorsNameIconAndUndoWhenActionsAreOffered() {
        platform::DesktopNotifications notifications(client());
        notifications.show("Put away 3 files", "Rückgängig", "clean-1");
        // Nothing waits on the server: it has not even been asked when show() returns.
        QVERIFY(m_server.shown.isEmpty());
        QTRY_COMPARE(m_server.shown.size(), 1);
        const auto& shown = m_server.shown.first();
        QCOMPARE(shown.appName, QString("Vantor"));
        QCOMPARE(shown.icon, QString(VANTOR_APP_ID));
        QCOMPARE(shown.summary, QString("Put away 3 files"));
        QCOMPARE(shown.actions, (QStringList{"undo", "Rückgängig"}));
        QCOMPARE(shown.hints.value("desktop-entry").toString(), QString(VANTOR_APP_ID));
        QTRY_COMPARE(notifications.trackedCount(), 1);

        // A server without actions gets the text alone, and there is nothing to follow.
        m_server.capabilities = QStringList{"body"};
        notifications.show("Put away 1 file", "Undo", "clean-2");
        QTRY_COMPARE(m_server.shown.size(), 2);
        QCOMPARE(m_server.shown.last().summary, QString("Put away 1 file"));
        QCOMPARE(m_server.shown.last().actions, QStringList{});
        testsupport::settle();
        QCOMPARE(notifications.trackedCount(), 1);
    }

    void undoReachesTheCallerWithItsTagOnce() {
        platform::DesktopNotifications notifications(client());
        QSignalSpy undo(&notifications, &platform::DesktopNotifications::undoRequested);
        notifications.show("Put away 3 files", "Undo", "clean-a");
        notifications.show("Put away 5 files", "Undo", "clean-b");
        QTRY_COMPARE(notifications.trackedCount(), 2);
        const uint a = m_server.shown.at(0).id;
        const uint b = m_server.shown.at(1).id;

        // Clicking the notification itself, or another program's id, is no Undo.
        invoke(a, "default");
        invoke(b + 100, "undo");
        invoke(b, "undo");
        QTRY_COMPARE(undo.count(), 1);
        QCOMPARE(undo.at(0).at(0).toString(), QString("clean-b"));

        // A server that keeps the notification up: a second click does not undo twice.
        invoke(b, "undo");
        invoke(a, "undo");
        QTRY_COMPARE(undo.count(), 2);
        QCOMPARE(undo.at(1).at(0).toString(), QString("clean-a"));
        roundTrip();
        QCOMPARE(undo.count(), 2);
    }

    void closedNotificationsAreForgottenAndStopBeingFollowed() {
        platform::DesktopNotifications notifications(client());
        const int before = clientMatchRules();
        QVERIFY2(before >= 0, "the bus cannot count subscriptions");
        QSignalSpy undo(&notifications, &platform::DesktopNotifications::undoRequested);
        notifications.show("Put away 3 files", "Undo", "clean-a");
        notifications.show("Put away 4 files", "Undo", "clean-b");
        QTRY_COMPARE(notifications.trackedCount(), 2);
        const uint a = m_server.shown.at(0).id;
        const uint b = m_server.shown.at(1).id;
        QCOMPARE(clientMatchRules(), before + 2);

        close(a);
        QTRY_COMPARE(notifications.trackedCount(), 1);
        invoke(a, "undo");
        roundTrip();
        QCOMPARE(undo.count(), 0);

        // With none left on screen, other programs' notifications no longer reach Vantor.
        close(b);
        QTRY_COMPARE(notifications.trackedCount(), 0);
        QCOMPARE(clientMatchRules(), before);

        // Only the newest are followed.
        for (int i = 0; i <= platform::DesktopNotifications::kMaxTracked; ++i)
            notifications.show("Put away 1 file", "Undo", QString("clean-%1").arg(i));
        QTRY_COMPARE(m_server.shown.size(), 2 + platform::DesktopNotifications::kMaxTracked + 1);
        QTRY_COMPARE(notifications.trackedCount(), platform::DesktopNotifications::kMaxTracked);
        invoke(m_server.shown.at(2).id, "undo");
        invoke(m_server.shown.last().id, "undo");
        QTRY_COMPARE(undo.count(), 1);
        QCOMPARE(undo.at(0).at(0).toString(),
                 QString("clean-%1").arg(platform::DesktopNotifications::kMaxTracked));
    }

    // A new server numbers its notifications afresh: the old ids mean nothing any more.
    void aReplacedServerForgetsTheOldIds() {
        platform::DesktopNotifications notifications(client());
        QSignalSpy undo(&notifications, &platform::DesktopNotifications::undoRequested);
        notifications.show("Put away 3 files", "Undo", "clean-a");
        QTRY_COMPARE(notifications.trackedCount(), 1);
        QVERIFY(server().unregisterService("org.freedesktop.Notifications"));
        QTRY_COMPARE(notifications.trackedCount(), 0);
        QVERIFY(server().registerService("org.freedesktop.Notifications"));
        invoke(m_server.shown.first().id, "undo");
        roundTrip();
        QCOMPARE(undo.count(), 0);
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
        noServer.show("Put away 3 files", "Undo", "clean-a");
        QTRY_COMPARE(debug.size(), 1);
        QVERIFY(debug.first().contains("Put away 3 files"));
        QCOMPARE(noServer.trackedCount(), 0);

        // CTest's session bus is disabled.
        platform::DesktopNotifications noBus;
        noBus.show("Put away 4 files", "Undo", "clean-b");
        QCOMPARE(debug.size(), 2);

        // A server that comes later is used.
        QVERIFY(server().registerService("org.freedesktop.Notifications"));
        noServer.show("Put away 5 files", "Undo", "clean-c");
        QTRY_COMPARE(m_server.shown.size(), 1);
        QCOMPARE(m_server.shown.first().summary, QString("Put away 5 files"));
    }
};

VANTOR_TEST_MAIN_WITH(QGuiApplication, TestDesktopNotifications)
#include "TestDesktopNotifications.moc"
