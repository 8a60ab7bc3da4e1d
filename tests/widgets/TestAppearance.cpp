#include "TestSupport.h"

#include "widgets/Colors.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QProcess>
#include <QStandardPaths>

// Stands in for xdg-desktop-portal's Settings interface.
class FakePortalSettings : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

  public:
    uint colorScheme = 1;

  public slots:
    // The real Read wraps the value in a second variant.
    QDBusVariant Read(const QString& group, const QString& key) {
        if (group == "org.freedesktop.appearance" && key == "color-scheme")
            return QDBusVariant(QVariant::fromValue(QDBusVariant(colorScheme)));
        return QDBusVariant(QVariant::fromValue(QDBusVariant(QString())));
    }
};

class TestAppearance : public QObject {
    Q_OBJECT

    QProcess m_bus;
    FakePortalSettings m_portal;
    QString m_address;

    void announce(uint scheme) {
        QDBusMessage signal = QDBusMessage::createSignal(
            "/org/freedesktop/portal/desktop", "org.freedesktop.portal.Settings", "SettingChanged");
        signal << QString("org.freedesktop.appearance") << QString("color-scheme")
               << QVariant::fromValue(QDBusVariant(scheme));
        QDBusConnection(QStringLiteral("portal")).send(signal);
    }

  private slots:
    void initTestCase() {
        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        if (daemon.isEmpty())
            QSKIP("dbus-daemon is not installed");
        // A private bus: the session bus of this process from here on.
        m_bus.start(daemon, {"--session", "--nofork", "--print-address=1"});
        QVERIFY(m_bus.waitForStarted());
        QTRY_VERIFY(m_bus.canReadLine());
        m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());

        QDBusConnection portal = QDBusConnection::connectToBus(m_address, "portal");
        QVERIFY(portal.isConnected());
        QVERIFY(portal.registerService("org.freedesktop.portal.Desktop"));
        QVERIFY(portal.registerObject("/org/freedesktop/portal/desktop", &m_portal,
                                      QDBusConnection::ExportAllSlots));
    }

    void cleanupTestCase() {
        QDBusConnection::disconnectFromBus("portal");
        if (m_bus.state() != QProcess::NotRunning) {
            m_bus.terminate();
            m_bus.waitForFinished(3000);
        }
    }

    void portalDecidesAndIsFollowedLive() {
        QPalette light(QColor(0xe0, 0xe0, 0xe0), QColor(0xef, 0xef, 0xef));
        light.setColor(QPalette::WindowText, Qt::black);
        QApplication::setPalette(light);

        // "Prefer dark" wins over a light palette, once the portal has answered.
        auto& appearance = Appearance::instance();
        QTRY_VERIFY(appearance.isDark());
        QCOMPARE(widgets::quillon(), widgets::quillon(widgets::ColorScheme::Dark));

        QSignalSpy changed(&appearance, &Appearance::changed);
        announce(0); // no preference: the light palette decides
        QTRY_COMPARE(changed.count(), 1);
        QVERIFY(!appearance.isDark());

        announce(1);
        QTRY_COMPARE(changed.count(), 2);
        QVERIFY(appearance.isDark());

        announce(2); // prefer light
        QTRY_COMPARE(changed.count(), 3);
        QCOMPARE(widgets::quillon(), widgets::quillon(widgets::ColorScheme::Light));
    }
};

VANTOR_WIDGET_TEST_MAIN(TestAppearance)
#include "TestAppearance.moc"
