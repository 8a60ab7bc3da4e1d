#include "TestSupport.h"

#include "platform/gui/Autostart.h"

#include <QDir>
#include <QTemporaryDir>

class TestAutostart : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    const QString m_config = m_tmp.path() + "/config", m_system = m_tmp.path() + "/xdg";
    platform::Autostart m_autostart{"app.example.Test", "/opt/My Apps/vantor"};

  private slots:
    void init() {
        QDir(m_tmp.path()).removeRecursively();
        QDir().mkpath(m_tmp.path());
        qputenv("XDG_CONFIG_HOME", m_config.toUtf8());
        qputenv("XDG_CONFIG_DIRS", (m_tmp.path() + "/none:" + m_system).toUtf8());
    }

    void writesReadsBackAndRemoves() {
        platform::Autostart& a = m_autostart;
        QVERIFY(!a.isEnabled());
        QVERIFY(a.setEnabled(true));
        QVERIFY(a.isEnabled());
        const QByteArray entry =
            testsupport::readFile(m_config + "/autostart/app.example.Test.desktop");
        QVERIFY(entry.startsWith("[Desktop Entry]\n"));
        QVERIFY(entry.contains("\nExec=\"/opt/My Apps/vantor\"\n"));
        QVERIFY(entry.contains("\nX-GNOME-Autostart-enabled=true\n"));
        QVERIFY(a.setEnabled(false));
        QVERIFY(!a.isEnabled());
        QVERIFY(!QFileInfo::exists(a.userEntryPath()));
        QVERIFY(a.setEnabled(false)); // already off: still a success
    }

    void masksASystemEntry() {
        QVERIFY(testsupport::touch(m_system + "/autostart/app.example.Test.desktop",
                                   "[Desktop Entry]\nType=Application\nExec=vantor\n"));
        platform::Autostart& a = m_autostart;
        QVERIFY(a.isEnabled()); // the system's entry counts
        QVERIFY(a.setEnabled(false));
        QVERIFY(!a.isEnabled());
        QVERIFY(testsupport::readFile(a.userEntryPath()).contains("\nHidden=true\n"));
        QVERIFY(a.setEnabled(true));
        QVERIFY(a.isEnabled());
    }

    void disabledEntriesReadAsOff_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("hidden") << QByteArray("[Desktop Entry]\nHidden=true\n") << false;
        QTest::newRow("gnome off")
            << QByteArray("[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n") << false;
        QTest::newRow("key in another group")
            << QByteArray("[Desktop Entry]\nExec=x\n[Desktop Action a]\nHidden=true\n") << true;
    }
    void disabledEntriesReadAsOff() {
        QFETCH(QByteArray, entry);
        QFETCH(bool, enabled);
        QVERIFY(testsupport::touch(m_autostart.userEntryPath(), entry));
        QCOMPARE(m_autostart.isEnabled(), enabled);
    }

    void failureIsReported() {
        QVERIFY(testsupport::touch(m_config + "/autostart")); // a file, not a folder
        QVERIFY(!m_autostart.setEnabled(true));
        QVERIFY(!m_autostart.isEnabled());
    }
};

VANTOR_TEST_MAIN(TestAutostart)
#include "TestAutostart.moc"
