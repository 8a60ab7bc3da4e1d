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
        QFile::remove(m_home + "/HomeLink");
        QFile::remove(m_home + "/RootLink");
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

    // Read afresh on every call: the test rewrites the file between rows. Home is never the
    // Desktop, by whatever path: such values fall back to home/Desktop, and then there is no
    // download folder to offer.
    void userFolders_data() {
        QTest::addColumn<QByteArray>("userDirs");
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<QString>("downloads");
        const QString desktop = m_home + "/Desktop";
        QTest::newRow("no user-dirs file") << QByteArray() << desktop << m_home + "/Downloads";
        QTest::newRow("disabled as $HOME/")
            << QByteArray("XDG_DESKTOP_DIR=\"$HOME/\"\n") << desktop << m_home + "/Downloads";
        QTest::newRow("localised") << QByteArray("# comment\nXDG_DOWNLOAD_DIR=\"$HOME/Dl\"\n"
                                                 "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n")
                                   << m_home + "/Schreibtisch" << m_home + "/Dl";
        QTest::newRow("absolute with trailing slash")
            << QByteArray("XDG_DESKTOP_DIR=\"/nonexistent-vantor/desk/\"\n"
                          "XDG_DOWNLOAD_DIR=\"/nonexistent-vantor/dl/\"\n")
            << "/nonexistent-vantor/desk"
            << "/nonexistent-vantor/dl";
        for (const char* home : {"Desk", "", "/", "$HOME/..", "$HOME/HomeLink", "$HOME/RootLink/"})
            QTest::addRow("home as \"%s\"", home) << "XDG_DESKTOP_DIR=\"" + QByteArray(home) +
                                                         "\"\nXDG_DOWNLOAD_DIR=\"" + home + "\"\n"
                                                  << desktop << QString();
    }
    void userFolders() {
        QFETCH(QByteArray, userDirs);
        QFETCH(QString, desktop);
        QFETCH(QString, downloads);
        QVERIFY(QFile::link(m_home, m_home + "/HomeLink") &&
                QFile::link("/", m_home + "/RootLink"));
        if (!userDirs.isEmpty())
            QVERIFY(testsupport::touch(userDirsFile(), userDirs));
        QCOMPARE(platform::desktopFolder(), desktop);
        QCOMPARE(platform::downloadFolder(), downloads);
        QVERIFY(!platform::entryExists(desktop) && !platform::entryExists(downloads));
    }
};

VANTOR_TEST_MAIN(TestLocations)
#include "TestLocations.moc"
