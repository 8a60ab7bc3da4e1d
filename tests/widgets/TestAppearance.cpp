#include "Palettes.h"
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

namespace {

// Each state colour against the window it is drawn on: 4.5:1 for the texts drawn in it
// (failure counts, the login error, the Desktop warning), which covers the 3:1 its icons
// (the green check, the orange triangle) need. Qt's own colours for text stay readable too.
void checkStateColours(const char* where) {
    const QColor window = QApplication::palette().color(QPalette::Window);
    const std::pair<const char*, QColor> colours[] = {
        {"green", widgets::successGreen()},
        {"orange", widgets::warningOrange()},
        {"red", widgets::destructiveRed()},
        {"text", QApplication::palette().color(QPalette::WindowText)}};
    for (const auto& [name, colour] : colours) {
        QVERIFY2(widgets::contrastRatio(colour, window) >= widgets::kTextContrast,
                 qPrintable(QString("%1 in %2").arg(name, where)));
    }
}

} // namespace

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

    // The portal's choice wins over Qt's palette and is followed live. Where they disagree
    // (GNOME's dark style with no Qt theme), Vantor draws on a palette of its own, so the
    // state colours stand on the background they were chosen for.
    void portalDecidesAndIsFollowedLive() {
        QApplication::setPalette(lightPalette());
        const QColor desktopWindow = QApplication::palette().color(QPalette::Window);
        auto& appearance = Appearance::instance();
        QTRY_VERIFY(appearance.isDark()); // "prefer dark", once the portal has answered
        QVERIFY(appearance.usesOwnPalette());
        QCOMPARE(Appearance::schemeOf(QApplication::palette()), widgets::ColorScheme::Dark);
        QCOMPARE(widgets::quillon(), widgets::quillon(widgets::ColorScheme::Dark));
        checkStateColours("portal dark on a light palette");

        QSignalSpy changed(&appearance, &Appearance::changed);
        announce(0); // no preference: back to the desktop's own light palette
        QTRY_COMPARE(changed.count(), 1);
        QVERIFY(!appearance.isDark() && !appearance.usesOwnPalette());
        QCOMPARE(QApplication::palette().color(QPalette::Window), desktopWindow);
        checkStateColours("light");

        QApplication::setPalette(darkPalette());
        QVERIFY(appearance.isDark());
        checkStateColours("dark");
        announce(2); // prefer light
        QTRY_VERIFY(!appearance.isDark());
        QCOMPARE(Appearance::schemeOf(QApplication::palette()), widgets::ColorScheme::Light);
        QCOMPARE(widgets::quillon(), widgets::quillon(widgets::ColorScheme::Light));
        checkStateColours("portal light on a dark palette");
        announce(0);
        QTRY_VERIFY(appearance.isDark());
        QVERIFY(!appearance.usesOwnPalette());
    }
};

VANTOR_WIDGET_TEST_MAIN(TestAppearance)
#include "TestAppearance.moc"
