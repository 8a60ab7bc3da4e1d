#include "platform/FileSystem.h"
#include "platform/Locations.h"

#include "TestSupport.h"

#include <QFile>

class TestLocations : public QObject {
    Q_OBJECT

    const QByteArray m_configHome = qgetenv("XDG_CONFIG_HOME");
    const QByteArray m_stateHome = qgetenv("XDG_STATE_HOME");
    const QString m_home = platform::homePath();
    QString userDirsFile() const { return QFile::decodeName(m_configHome) + "/user-dirs.dirs"; }

  private slots:
    void cleanup() {
        qputenv("XDG_CONFIG_HOME", m_configHome);
        qputenv("XDG_STATE_HOME", m_stateHome);
        QFile::remove(userDirsFile());
    }

    // Absolute values are used as given; relative and missing ones fall back under home.
    void baseFolders() {
        const QString custom = m_home + "/elsewhere/base";
        for (const auto& [folder, variable, fallback] :
             {std::tuple(&platform::configFolder, "XDG_CONFIG_HOME", "/.config/Vantor"),
              std::tuple(&platform::stateFolder, "XDG_STATE_HOME", "/.local/state/Vantor")}) {
            qputenv(variable, (custom + "/").toUtf8());
            QCOMPARE(folder(), custom + "/Vantor");
            qputenv(variable, "relative/base");
            QCOMPARE(folder(), m_home + fallback);
            qunsetenv(variable);
            QCOMPARE(folder(), m_home + fallback);
            // Asking never creates anything.
            QVERIFY(!platform::entryExists(custom) && !platform::entryExists(m_home + fallback));
        }
    }

    void desktopFolder_data() {
        QTest::addColumn<QByteArray>("userDirs");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no user-dirs file") << QByteArray() << m_home + "/Desktop";
        QTest::newRow("disabled as $HOME/")
            << QByteArray("XDG_DESKTOP_DIR=\"$HOME/\"\n") << m_home + "/Desktop";
        QTest::newRow("localised") << QByteArray("# comment\nXDG_DOWNLOAD_DIR=\"$HOME/Dl\"\n"
                                                 "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n")
                                   << m_home + "/Schreibtisch";
        QTest::newRow("absolute with trailing slash")
            << QByteArray("XDG_DESKTOP_DIR=\"/nonexistent-vantor/desk/\"\n")
            << "/nonexistent-vantor/desk";
    }
    // Read afresh on every call: the test rewrites the file between rows.
    void desktopFolder() {
        QFETCH(QByteArray, userDirs);
        QFETCH(QString, expected);
        if (!userDirs.isEmpty())
            QVERIFY(testsupport::touch(userDirsFile(), userDirs));
        QCOMPARE(platform::desktopFolder(), expected);
        QVERIFY(!platform::entryExists(expected));
    }
};

VANTOR_TEST_MAIN(TestLocations)
#include "TestLocations.moc"
