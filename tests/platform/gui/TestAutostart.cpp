#include "TestSupport.h"

#include "platform/gui/Autostart.h"

#include <QDir>
#include <QTemporaryDir>

class TestAutostart : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    const QString m_config = m_tmp.path() + "/config", m_system = m_tmp.path() + "/xdg";
    const QString m_program = m_tmp.path() + "/My Apps/vantor";
    platform::Autostart m_autostart{"app.example.Test", m_program};

  private slots:
    void init() {
        QDir(m_tmp.path()).removeRecursively();
        QDir().mkpath(m_tmp.path());
        QVERIFY(testsupport::touch(m_program, "#!/bin/sh\n") &&
                QFile::setPermissions(m_program, QFile::ReadOwner | QFile::ExeOwner));
        qputenv("XDG_CONFIG_HOME", m_config.toUtf8());
        qputenv("XDG_CONFIG_DIRS", (m_tmp.path() + "/none:" + m_system).toUtf8());
    }

    // On only when an entry would start the program: the user's, or the system's unless the
    // user's masks it. Turning it on writes an entry for this program, whatever was there;
    // turning it off masks any other.
    void readsAsOnOnlyWhenAnEntryWouldStart_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("system"); // the system's entry, else the user's
        const auto row = [](const char* name, const QString& entry, bool enabled,
                            bool system = false) {
            QTest::newRow(name) << entry << enabled << system;
        };
        const QString head = "[Desktop Entry]\nExec=",
                      exec = head + '"' + m_program + "\" --autostart\n";
        row("none", "", false);
        row("the system's", head + "sh -c true\n", true, true); // its program found on PATH
        row("runnable", exec, true);
        row("hidden", exec + "Hidden=true\n", false);
        row("gnome off", exec + "X-GNOME-Autostart-enabled=false\n", false);
        row("key in another group", exec + "[Desktop Action a]\nHidden=true\n", true);
        row("program gone", head + '"' + m_program + "-gone\" --autostart\n", false);
        row("not executable", head + m_tmp.path() + "/plain\n", false);
        row("a folder", head + m_tmp.path() + "\n", false);
        row("try-exec gone", exec + "TryExec=/nonexistent/vantor\n", false);
        row("not on PATH", head + "no-such-program-here --autostart\n", false);
        row("no Exec", "[Desktop Entry]\nName=x\n", false);
    }
    void readsAsOnOnlyWhenAnEntryWouldStart() {
        QFETCH(QString, entry);
        QFETCH(bool, enabled);
        QFETCH(bool, system);
        platform::Autostart& a = m_autostart;
        const QString path =
            system ? m_system + "/autostart/app.example.Test.desktop" : a.userEntryPath();
        QVERIFY(testsupport::touch(m_tmp.path() + "/plain", "not a program"));
        QVERIFY(entry.isEmpty() || testsupport::touch(path, entry.toUtf8()));
        QCOMPARE(a.isEnabled(), enabled);

        QVERIFY(a.setEnabled(true) && a.isEnabled());
        const QByteArray written = testsupport::readFile(a.userEntryPath());
        const QByteArray program = m_program.toUtf8();
        QVERIFY(written.startsWith("[Desktop Entry]\n"));
        for (const QByteArray& line : {"Exec=\"" + program + "\" --autostart", "TryExec=" + program,
                                       QByteArray("X-KDE-autostart-after=panel")})
            QVERIFY2(written.contains('\n' + line + '\n'), line.constData());
        QVERIFY(a.setEnabled(false) && !a.isEnabled());
        QVERIFY(a.setEnabled(false) && !a.isEnabled()); // already off: still a success
    }
};

VANTOR_TEST_MAIN(TestAutostart)
#include "TestAutostart.moc"
