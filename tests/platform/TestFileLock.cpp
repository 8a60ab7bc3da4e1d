#include "platform/JournalFile.h"

#include "TestSupport.h"

#include <QTemporaryDir>

class TestFileLock : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;

  private slots:
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
        QCOMPARE(platform::JournalFile::readLines(m_tmp.path() + "/none"), std::nullopt);
    }
};

VANTOR_TEST_MAIN(TestFileLock)
#include "TestFileLock.moc"
