#include "FakeNotificationServer.h"
#include "TestSupport.h"

#include "platform/gui/DesktopNotifications.h"

#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QScopeGuard>

using platform::DesktopNotifications;

class TestDesktopNotifications : public QObject {
    Q_OBJECT

    NotificationBus m_bus;
    FakeNotificationServer& m_server = m_bus.fake;

    static QDBusConnection server() { return NotificationBus::server(); }
    static QDBusConnection client() { return NotificationBus::client(); }
    static void invoke(uint id, const QString& key) {
        QVERIFY(NotificationBus::emitSignal("ActionInvoked", {id, key}));
    }

    // The server answers the client after all the client asked before, and after sending the
    // signals it sent before: once the answer is in, those are delivered too, so that a signal
    // or a call the class ignored has surely been seen by then.
    static void roundTrip() {
        const QDBusPendingCall call = client().asyncCall(
            QDBusMessage::createMethodCall(server().baseService(), FakeNotificationServer::kPath,
                                           FakeNotificationServer::kInterface, "GetCapabilities"));
        QTRY_VERIFY(call.isFinished());
        testsupport::settle();
    }

    static DesktopNotifications::Message message(const QString& tag) {
        return {"Put away 3 files", "a&b.pdf → Documents", "Show History", "Rückgängig", tag};
    }

  private slots:
    void initTestCase() {
        if (NotificationBus::daemon().isEmpty())
            QSKIP("dbus-daemon is not installed");
        QVERIFY(m_bus.start());
    }

    void init() {
        m_server.shown.clear();
        m_server.capabilities = QStringList{"body", "actions"};
    }

    // Cases that take the server away bring it back; this only for one that failed first.
    void cleanup() {
        if (!server().interface()->isServiceRegistered(FakeNotificationServer::kInterface))
            server().registerService(FakeNotificationServer::kInterface);
    }

    // One notification of Vantor's at a time, with its name, icon, text and actions: each takes
    // the place of the last still up, and of those shown while the server had not answered
    // yet, only the newest is sent.
    void eachReplacesTheLastStillOpen() {
        DesktopNotifications notifications(client());
        for (const char* tag : {"clean-a", "clean-b", "clean-c"})
            notifications.show(message(tag));
        // Nothing waits on the server: it has not even been asked when show() returns.
        QVERIFY(m_server.shown.isEmpty());
        QTRY_COMPARE(m_server.shown.size(), 2);
        roundTrip();
        QCOMPARE(m_server.shown.size(), 2);
        const auto first = m_server.shown.first();
        QCOMPARE(QStringList({first.appName, first.icon, first.summary, first.body,
                              first.hints.value("desktop-entry").toString()}),
                 QStringList({"Vantor", VANTOR_APP_ID, "Put away 3 files", "a&b.pdf → Documents",
                              VANTOR_APP_ID}));
        QCOMPARE(first.actions, (QStringList{"default", "Show History", "undo", "Rückgängig"}));
        QCOMPARE(first.expireMs, DesktopNotifications::kExpireMs);
        QCOMPARE(QList<uint>({first.replaces, m_server.shown.last().replaces}),
                 QList<uint>({0, first.id}));

        // Closed on screen: the next is a new one. A server without actions gets the text
        // alone; one that reads markup, the text as such.
        QVERIFY(NotificationBus::emitSignal("NotificationClosed", {first.id, uint(2)}));
        QTRY_VERIFY(!notifications.isShowing());
        m_server.capabilities = QStringList{"body", "body-markup"};
        notifications.show(message("clean-d"));
        QTRY_COMPARE(m_server.shown.size(), 3);
        QCOMPARE(m_server.shown.last().replaces, 0u);
        QCOMPARE(m_server.shown.last().actions, QStringList{});
        QCOMPARE(m_server.shown.last().body, QString("a&amp;b.pdf → Documents"));
    }

    // A click opens, and undo reaches the caller once. Ids of other programs, or of a server
    // since replaced (a new one numbers its notifications afresh), ask nothing of Vantor.
    // Without a server (its failure is awaited in the log: the bus may try to start one)
    // nothing is shown; a server that comes later is used.
    void onlyClicksOnOursReachTheCallerAndALaterServerIsUsed() {
        QLoggingCategory::setFilterRules("vantor.notifications.debug=true");
        static QStringList debug;
        debug.clear();
        const auto previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext& context, const QString& text) {
                if (QByteArray(context.category) == "vantor.notifications")
                    debug.append(text);
            });
        const auto restore = qScopeGuard([previous] { qInstallMessageHandler(previous); });
        DesktopNotifications notifications(client());
        QSignalSpy opened(&notifications, &DesktopNotifications::openRequested);
        QSignalSpy undo(&notifications, &DesktopNotifications::undoRequested);
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

        QVERIFY(server().unregisterService(FakeNotificationServer::kInterface));
        QTRY_VERIFY(!notifications.isShowing());
        notifications.show(message("clean-b"));
        QTRY_VERIFY(debug.filter("Put away 3 files").size() == 1);
        QVERIFY(server().registerService(FakeNotificationServer::kInterface));
        invoke(id, "undo");
        roundTrip();
        QCOMPARE(undo.count(), 1);
        notifications.show(message("clean-c"));
        QTRY_COMPARE(m_server.shown.size(), 2);
        QCOMPARE(m_server.shown.last().replaces, 0u);
        QTRY_VERIFY(notifications.isShowing());
    }
};

VANTOR_TEST_MAIN_WITH(QGuiApplication, TestDesktopNotifications)
#include "TestDesktopNotifications.moc"
