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

QPalette lightPalette() {
    QPalette p(QColor(0xe0, 0xe0, 0xe0), QColor(0xef, 0xef, 0xef));
    p.setColor(QPalette::WindowText, Qt::black);
    return p;
}

QPalette darkPalette() {
    QPalette p(QColor(0x3a, 0x3a, 0x3a), QColor(0x2b, 0x2b, 0x2b));
    p.setColor(QPalette::WindowText, QColor(0xf2, 0xf2, 0xf2));
    return p;
}

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
        const double ratio = widgets::contrastRatio(colour, window);
        QVERIFY2(ratio >= widgets::kTextContrast,
                 qPrintable(QString("%1 %2 on %3 in %4: %5:1")
                                .arg(name, colour.name(), window.name(), where)
                                .arg(ratio, 0, 'f', 2)));
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

    // GNOME's dark style with no Qt theme: the portal says dark, Qt's palette stays light.
    // Vantor then draws on a dark palette of its own (and on a light one in the reverse
    // case), so the state colours stand on the background they were chosen for, live.
    void ownPaletteWhenThePortalDisagrees() {
        QApplication::setPalette(lightPalette());
        const QColor desktopWindow = QApplication::palette().color(QPalette::Window);
        auto& appearance = Appearance::instance();
        announce(0);
        QTRY_VERIFY(!appearance.isDark());
        QVERIFY(!appearance.usesOwnPalette());
        checkStateColours("light");

        announce(1);
        QTRY_VERIFY(appearance.isDark());
        QVERIFY(appearance.usesOwnPalette());
        QCOMPARE(Appearance::schemeOf(QApplication::palette()), widgets::ColorScheme::Dark);
        checkStateColours("portal dark on a light palette");

        announce(0); // back to the desktop's own palette
        QTRY_VERIFY(!appearance.isDark());
        QCOMPARE(QApplication::palette().color(QPalette::Window), desktopWindow);

        QApplication::setPalette(darkPalette());
        QVERIFY(appearance.isDark());
        checkStateColours("dark");
        announce(2);
        QTRY_VERIFY(!appearance.isDark());
        QCOMPARE(Appearance::schemeOf(QApplication::palette()), widgets::ColorScheme::Light);
        checkStateColours("portal light on a dark palette");
        announce(0);
        QTRY_VERIFY(appearance.isDark());
        QVERIFY(!appearance.usesOwnPalette());
    }
};

VANTOR_WIDGET_TEST_MAIN(TestAppearance)
#include "TestAppearance.moc"
