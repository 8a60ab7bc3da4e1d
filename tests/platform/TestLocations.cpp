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

    // Absolute values are used as given; relative ones fall back under home. Asking never
    // creates anything.
    void baseFolders() {
        qputenv("XDG_CONFIG_HOME", "relative/base");
        qputenv("XDG_STATE_HOME", (m_home + "/elsewhere/").toUtf8());
        QCOMPARE(platform::configFolder(), m_home + "/.config/Vantor");
        QCOMPARE(platform::stateFolder(), m_home + "/elsewhere/Vantor");
        QVERIFY(!platform::entryExists(m_home + "/.config/Vantor") &&
                !platform::entryExists(m_home + "/elsewhere"));
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
        QTest::newRow("localised, absolute with trailing slash")
            << QByteArray("# comment\nXDG_DOWNLOAD_DIR=\"/nonexistent-vantor/dl/\"\n"
                          "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n")
            << m_home + "/Schreibtisch"
            << "/nonexistent-vantor/dl";
        for (const char* home :
             {"Desk", "", "/", "$HOME/", "$HOME/..", "$HOME/HomeLink", "$HOME/RootLink/"})
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
