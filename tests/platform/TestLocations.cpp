#include "platform/FileSystem.h"
#include "platform/Locations.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>

class TestLocations : public QObject {
    Q_OBJECT

  private:
    QByteArray m_configHome, m_stateHome;
    QString m_home;

    QString userDirsFile() const {
        return QFile::decodeName(m_configHome) + QStringLiteral("/user-dirs.dirs");
    }

  private slots:
    void initTestCase() {
        m_configHome = qgetenv("XDG_CONFIG_HOME");
        m_stateHome = qgetenv("XDG_STATE_HOME");
        m_home = platform::homePath();
        QVERIFY(QDir::isAbsolutePath(QString::fromUtf8(m_configHome)));
    }

    void cleanup() {
        qputenv("XDG_CONFIG_HOME", m_configHome);
        qputenv("XDG_STATE_HOME", m_stateHome);
        QFile::remove(userDirsFile());
    }

    void baseFolders_data() {
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QString>("fallback");
        QTest::newRow("config") << QByteArray("XDG_CONFIG_HOME") << "/.config/Vantor";
        QTest::newRow("state") << QByteArray("XDG_STATE_HOME") << "/.local/state/Vantor";
    }
    // Absolute values are used as given; relative and missing ones fall back under home.
    void baseFolders() {
        QFETCH(QByteArray, variable);
        QFETCH(QString, fallback);
        const auto folder = [&] {
            return variable == "XDG_CONFIG_HOME" ? platform::configFolder()
                                                 : platform::stateFolder();
        };
        const QString custom = m_home + QStringLiteral("/elsewhere/base");
        qputenv(variable.constData(), (custom + "/").toUtf8());
        QCOMPARE(folder(), custom + "/Vantor");
        qputenv(variable.constData(), "relative/base");
        QCOMPARE(folder(), m_home + fallback);
        qunsetenv(variable.constData());
        QCOMPARE(folder(), m_home + fallback);
        // Asking never creates anything.
        QVERIFY(!platform::entryExists(custom) && !platform::entryExists(m_home + fallback));
    }

    void desktopFolder_data() {
        QTest::addColumn<QByteArray>("userDirs");
        QTest::addColumn<QString>("expected");
        const QString home = platform::homePath();
        QTest::newRow("no user-dirs file") << QByteArray() << home + "/Desktop";
        QTest::newRow("disabled as $HOME/")
            << QByteArray("XDG_DESKTOP_DIR=\"$HOME/\"\n") << home + "/Desktop";
        QTest::newRow("disabled as $HOME")
            << QByteArray("XDG_DESKTOP_DIR=\"$HOME\"\n") << home + "/Desktop";
        QTest::newRow("localised") << QByteArray("# comment\nXDG_DOWNLOAD_DIR=\"$HOME/Dl\"\n"
                                                 "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n")
                                   << home + "/Schreibtisch";
        QTest::newRow("absolute with trailing slash")
            << QByteArray("XDG_DESKTOP_DIR=\"/nonexistent-vantor/desk/\"\n")
            << "/nonexistent-vantor/desk";
    }
    // Read afresh on every call: the test rewrites the file between rows.
    void desktopFolder() {
        QFETCH(QByteArray, userDirs);
        QFETCH(QString, expected);
        if (!userDirs.isEmpty())
            QVERIFY(testsupport::writeFile(userDirsFile(), userDirs));
        QCOMPARE(platform::desktopFolder(), expected);
        QVERIFY(!platform::entryExists(expected));
    }
};

VANTOR_TEST_MAIN(TestLocations)
#include "TestLocations.moc"
