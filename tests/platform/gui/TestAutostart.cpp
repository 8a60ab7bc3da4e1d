#include "TestSupport.h"

#include "platform/gui/Autostart.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

class TestAutostart : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    const QString m_config = m_tmp.path() + "/config", m_system = m_tmp.path() + "/xdg";
    const QString m_program = m_tmp.path() + "/My Apps/vantor";
    platform::Autostart m_autostart{"app.example.Test", m_program};

    // An executable file at `path`.
    static bool makeProgram(const QString& path) {
        return testsupport::touch(path, "#!/bin/sh\n") &&
               QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

  private slots:
    void init() {
        QDir(m_tmp.path()).removeRecursively();
        QDir().mkpath(m_tmp.path());
        QVERIFY(makeProgram(m_program));
        qputenv("XDG_CONFIG_HOME", m_config.toUtf8());
        qputenv("XDG_CONFIG_DIRS", (m_tmp.path() + "/none:" + m_system).toUtf8());
    }

    void writesReadsBackAndRemoves() {
        platform::Autostart& a = m_autostart;
        QVERIFY(!a.isEnabled());
        QVERIFY(a.setEnabled(true) && a.isEnabled());
        const QByteArray entry =
            testsupport::readFile(m_config + "/autostart/app.example.Test.desktop");
        const QByteArray program = m_program.toUtf8();
        QVERIFY(entry.startsWith("[Desktop Entry]\n"));
        for (const QByteArray& line : {"Exec=\"" + program + "\" --autostart", "TryExec=" + program,
                                       QByteArray("X-KDE-autostart-after=panel")})
            QVERIFY2(entry.contains('\n' + line + '\n'), line.constData());
        QVERIFY(a.setEnabled(false) && !a.isEnabled());
        QVERIFY(!QFileInfo::exists(a.userEntryPath()));
        QVERIFY(a.setEnabled(false)); // already off: still a success

        QVERIFY(QDir(m_config + "/autostart").removeRecursively());
        QVERIFY(testsupport::touch(m_config + "/autostart")); // a file, not a folder
        QVERIFY(!a.setEnabled(true) && !a.isEnabled());
    }

    void masksASystemEntry() {
        QVERIFY(testsupport::touch(m_system + "/autostart/app.example.Test.desktop",
                                   "[Desktop Entry]\nType=Application\nExec=sh -c true\n"));
        platform::Autostart& a = m_autostart;
        QVERIFY(a.isEnabled()); // the system's entry counts; its program is found on PATH
        QVERIFY(a.setEnabled(false) && !a.isEnabled());
        QVERIFY(testsupport::readFile(a.userEntryPath()).contains("\nHidden=true\n"));
        QVERIFY(a.setEnabled(true) && a.isEnabled());
    }

    void onlyAnEntryThatWouldStartReadsAsOn_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<bool>("enabled");
        const QByteArray program = m_program.toUtf8();
        const QByteArray exec = "[Desktop Entry]\nExec=\"" + program + "\" --autostart\n";
        QTest::newRow("runnable") << exec << true;
        QTest::newRow("hidden") << exec + "Hidden=true\n" << false;
        QTest::newRow("gnome off") << exec + "X-GNOME-Autostart-enabled=false\n" << false;
        QTest::newRow("key in another group") << exec + "[Desktop Action a]\nHidden=true\n" << true;
        QTest::newRow("program gone")
            << QByteArray("[Desktop Entry]\nExec=\"" + program + "-gone\" --autostart\n") << false;
        QTest::newRow("not executable")
            << QByteArray("[Desktop Entry]\nExec=" + m_tmp.path().toUtf8() + "/plain\n") << false;
        QTest::newRow("a folder") << "[Desktop Entry]\nExec=" + m_tmp.path().toUtf8() + "\n"
                                  << false;
        QTest::newRow("try-exec gone") << exec + "TryExec=/nonexistent/vantor\n" << false;
        QTest::newRow("not on PATH")
            << QByteArray("[Desktop Entry]\nExec=no-such-program-here --autostart\n") << false;
        QTest::newRow("no Exec") << QByteArray("[Desktop Entry]\nName=x\n") << false;
    }
    void onlyAnEntryThatWouldStartReadsAsOn() {
        QFETCH(QByteArray, entry);
        QFETCH(bool, enabled);
        QVERIFY(testsupport::touch(m_tmp.path() + "/plain", "not a program"));
        QVERIFY(testsupport::touch(m_autostart.userEntryPath(), entry));
        QCOMPARE(m_autostart.isEnabled(), enabled);
        // Turning it on writes an entry for this program, whatever was there.
        QVERIFY(m_autostart.setEnabled(true) && m_autostart.isEnabled());
    }

    void pathsWithSpecialCharactersAreQuotedValidly_data() {
        QTest::addColumn<QString>("name");
        for (const char* name :
             {"plain", "with space", "back\\slash", "double\"quote", "single'quote", "dollar$HOME",
              "back`tick`", "percent%f", "tab\there", "caf\u00e9 \\\"$`%"})
            QTest::newRow(name) << QString::fromUtf8(name);
    }
    void pathsWithSpecialCharactersAreQuotedValidly() {
        QFETCH(QString, name);
        const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
        if (validator.isEmpty())
            QSKIP("desktop-file-validate is not installed");
        const QString program = m_tmp.path() + "/" + name + "/vantor";
        QVERIFY(makeProgram(program));
        platform::Autostart a("app.example.Test", program);
        QVERIFY(a.setEnabled(true) && a.isEnabled()); // reads back the very path it wrote

        QProcess validate;
        validate.start(validator, {a.userEntryPath()});
        QVERIFY(validate.waitForFinished(10000));
        const QByteArray said = validate.readAllStandardOutput() + validate.readAllStandardError();
        QVERIFY2(validate.exitCode() == 0 && !said.contains("error"), said.constData());

        QVERIFY(QFile::remove(program)); // the program is gone: the entry no longer counts
        QVERIFY(!a.isEnabled());
    }
};

VANTOR_TEST_MAIN(TestAutostart)
#include "TestAutostart.moc"
