#include "TestSupport.h"

#include "cleaner/AutoTidySettings.h"

#include <QSignalSpy>
#include <QTemporaryDir>

class TestAutoTidySettings : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString file() const { return m_tmp.path() + "/settings.ini"; }
    // Reads settings.ini as written by hand.
    AutoTidySettings read(const QByteArray& ini) {
        if (!testsupport::touch(file(), ini))
            qFatal("cannot write settings.ini");
        return AutoTidySettings(file());
    }

  private slots:
    // Off unless the file says so plainly. A quiet time that makes no sense reads as the
    // default; any positive whole number of seconds is honoured, up to what a timer can wait.
    void readFromTheFile_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("seconds");
        QTest::newRow("on, no quiet time")
            << QByteArray("[autoTidy]\nenabled=true\n") << true << 600;
        QTest::newRow("on in capitals") << QByteArray("[autoTidy]\nenabled=TRUE\n") << true << 600;
        QTest::newRow("off") << QByteArray("[autoTidy]\nenabled=false\n") << false << 600;
        QTest::newRow("maybe") << QByteArray("[autoTidy]\nenabled=maybe\n") << false << 600;
        QTest::newRow("other group") << QByteArray("[other]\nenabled=true\n") << false << 600;
        QTest::newRow("empty") << QByteArray("[autoTidy]\nquietSeconds=\n") << false << 600;
        QTest::newRow("zero") << QByteArray("[autoTidy]\nquietSeconds=0\n") << false << 600;
        QTest::newRow("negative") << QByteArray("[autoTidy]\nquietSeconds=-60\n") << false << 600;
        QTest::newRow("words") << QByteArray("[autoTidy]\nquietSeconds=ten minutes\n") << false
                               << 600;
        QTest::newRow("fraction") << QByteArray("[autoTidy]\nquietSeconds=1.5\n") << false << 600;
        QTest::newRow("past 64 bits")
            << QByteArray("[autoTidy]\nquietSeconds=99999999999999999999999\n") << false << 600;
        QTest::newRow("huge") << QByteArray("[autoTidy]\nquietSeconds=1000000000000\n") << false
                              << 24 * 24 * 3600;
        QTest::newRow("one second") << QByteArray("[autoTidy]\nquietSeconds=1\n") << false << 1;
        QTest::newRow("not offered") << QByteArray("[autoTidy]\nquietSeconds=90\n") << false << 90;
        QTest::newRow("garbage file") << QByteArray("\x00\xff[[[=\n\n=", 9) << false << 600;
    }
    void readFromTheFile() {
        QFETCH(QByteArray, ini);
        QFETCH(bool, enabled);
        QFETCH(int, seconds);
        const AutoTidySettings settings = read(ini);
        QCOMPARE(settings.isEnabled(), enabled);
        QCOMPARE(settings.quietSeconds(), seconds);
        QVERIFY(!AutoTidySettings(m_tmp.path() + "/none.ini").isEnabled());
    }

    // Each added folder has a flag of its own; the Desktop's is the key older versions wrote.
    void flagPerFolder() {
        AutoTidySettings settings = read("[autoTidy]\nenabled=true\nfolders\\1a2b3c4d=TRUE\n"
                                         "folders\\Downloads=true\n");
        QVERIFY(settings.isEnabled("") && settings.isEnabled("1a2b3c4d"));
        QVERIFY(!settings.isEnabled("Downloads") && !settings.isEnabled("abcdef12"));
        QSignalSpy changed(&settings, &AutoTidySettings::changed);
        settings.setEnabled("abcdef12", true);
        settings.setEnabled("1a2b3c4d", false);
        settings.setEnabled("", false);
        settings.setEnabled("abcdef1", true); // no folder's id
        QCOMPARE(changed.count(), 3);

        const AutoTidySettings again(file());
        QVERIFY(!again.isEnabled() && !again.isEnabled("1a2b3c4d") && again.isEnabled("abcdef12"));
        QVERIFY(!again.isEnabledAnywhere({"", "1a2b3c4d"}));
        QVERIFY(again.isEnabledAnywhere({"", "abcdef12"}));
        QVERIFY(!testsupport::readFile(file()).contains("1a2b3c4d")); // a folder that is off
    }

    // Each change is written at once, beside what else the file holds, and announced once;
    // what changes nothing or makes no sense is not.
    void changesAreWrittenAndAnnounced() {
        AutoTidySettings settings = read("[general]\nlanguage=de\n");
        QSignalSpy changed(&settings, &AutoTidySettings::changed);
        for (int i = 0; i < 2; ++i) {
            settings.setEnabled(true);
            settings.setQuietSeconds(3600);
        }
        settings.setQuietSeconds(0);
        settings.setQuietSeconds(-1);
        QCOMPARE(changed.count(), 2);
        const AutoTidySettings again(file());
        QVERIFY(again.isEnabled());
        QCOMPARE(again.quietSeconds(), 3600);
        QVERIFY(testsupport::readFile(file()).contains("language=de"));
    }
};

VANTOR_TEST_MAIN(TestAutoTidySettings)
#include "TestAutoTidySettings.moc"
