#include "platform/FileLock.h"
#include "platform/JournalFile.h"

#include "TestSupport.h"

#include <QTemporaryDir>

class TestFileLock : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;

  private slots:
    // Two holders, as two cleaners would be: the second is refused until the first lets go.
    void holdersExcludeEachOther() {
        const QString path = m_tmp.path() + "/lock";
        auto first = platform::FileLock::acquire(path, 0);
        QVERIFY(first);
        QVERIFY(!platform::FileLock::acquire(path, 0));
        QVERIFY(!platform::FileLock::acquire(path, 60)); // waits, then gives up
        first.reset();
        QVERIFY(platform::FileLock::acquire(path, 0));
        QVERIFY(!platform::FileLock::acquire(m_tmp.path() + "/missing/lock", 0));
    }

    // Each line is written whole; a line cut short by a kill or a full disk is not read.
    void journalKeepsWholeLines() {
        const QString path = m_tmp.path() + "/journal";
        {
            auto journal = platform::JournalFile::create(path);
            QVERIFY(journal && journal->append("one") && journal->append("two"));
            QVERIFY(journal->sync());
        }
        QCOMPARE(platform::JournalFile::readLines(path), QList<QByteArray>({"one", "two"}));
        QVERIFY(testsupport::touch(path, "one\ntw"));
        QCOMPARE(platform::JournalFile::readLines(path), QList<QByteArray>({"one"}));
        auto again = platform::JournalFile::create(path); // starts empty
        QCOMPARE(platform::JournalFile::readLines(path), QList<QByteArray>());
        QVERIFY(!platform::JournalFile::create(m_tmp.path() + "/missing/journal"));
        QCOMPARE(platform::JournalFile::readLines(m_tmp.path() + "/none"), std::nullopt);
    }
};

VANTOR_TEST_MAIN(TestFileLock)
#include "TestFileLock.moc"
