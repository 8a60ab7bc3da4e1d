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
        QTest::addColumn<QByteArray>("lines"); // of the [autoTidy] group
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("seconds");
        const auto row = [](const char* name, const QByteArray& lines, bool on, int seconds) {
            QTest::newRow(name) << lines << on << seconds;
        };
        row("on, no quiet time", "enabled=true", true, 600);
        row("on in capitals", "enabled=TRUE", true, 600);
        row("off", "enabled=false", false, 600);
        row("maybe", "enabled=maybe", false, 600);
        row("other group", "[other]\nenabled=true", false, 600);
        row("empty", "quietSeconds=", false, 600);
        row("zero", "quietSeconds=0", false, 600);
        row("negative", "quietSeconds=-60", false, 600);
        row("words", "quietSeconds=ten minutes", false, 600);
        row("fraction", "quietSeconds=1.5", false, 600);
        row("past 64 bits", "quietSeconds=99999999999999999999999", false, 600);
        row("huge", "quietSeconds=1000000000000", false, 24 * 24 * 3600);
        row("one second", "quietSeconds=1", false, 1);
        row("not offered", "quietSeconds=90", false, 90);
        row("garbage", QByteArray("\x00\xff[[[=\n\n=", 9), false, 600);
    }
    void readFromTheFile() {
        QFETCH(QByteArray, lines);
        QFETCH(bool, enabled);
        QFETCH(int, seconds);
        const AutoTidySettings settings = read("[autoTidy]\n" + lines + "\n");
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
