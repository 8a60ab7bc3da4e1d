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
        row("zero", "quietSeconds=0", false, 600);
        row("huge", "quietSeconds=1000000000000", false, 24 * 24 * 3600);
        row("garbage", QByteArray("\x00\xff[[[=\n\n=", 9), false, 600);
    }
    void readFromTheFile() {
        QFETCH(QByteArray, lines);
        QFETCH(bool, enabled);
        QFETCH(int, seconds);
        const AutoTidySettings settings = read("[autoTidy]\n" + lines + "\n");
        QCOMPARE(settings.isEnabled(), enabled);
        QCOMPARE(settings.quietSeconds(), seconds);
    }

    // Each change is written at once, beside what else the file holds, and announced once;
    // what changes nothing or makes no sense is not. Each added folder has a flag of its
    // own, kept only while on; the Desktop's is the key older versions wrote.
    void changesAreWrittenAndAnnounced() {
        AutoTidySettings settings = read("[general]\nlanguage=de\n[autoTidy]\n"
                                         "folders\\1a2b3c4d=TRUE\nfolders\\Downloads=true\n");
        QVERIFY(!settings.isEnabled("") && settings.isEnabled("1a2b3c4d"));
        QVERIFY(!settings.isEnabled("Downloads") && !settings.isEnabled("abcdef12"));
        QSignalSpy changed(&settings, &AutoTidySettings::changed);
        for (int i = 0; i < 2; ++i) {
            settings.setEnabled("", true); // the Desktop
            settings.setQuietSeconds(3600);
            settings.setEnabled("abcdef12", true);
        }
        settings.setQuietSeconds(0);
        settings.setEnabled("1a2b3c4d", false);
        settings.setEnabled("abcdef1", true); // no folder's id
        QCOMPARE(changed.count(), 4);

        const AutoTidySettings again(file());
        QVERIFY(again.isEnabled() && !again.isEnabled("1a2b3c4d") && again.isEnabled("abcdef12"));
        QCOMPARE(again.quietSeconds(), 3600);
        QVERIFY(again.isEnabledAnywhere({"1a2b3c4d", "abcdef12"}));
        const QByteArray written = testsupport::readFile(file());
        QVERIFY(written.contains("language=de") && !written.contains("1a2b3c4d"));
    }
};

VANTOR_TEST_MAIN(TestAutoTidySettings)
#include "TestAutoTidySettings.moc"
