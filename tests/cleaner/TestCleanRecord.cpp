#include "TestSupport.h"

#include "cleaner/Cleaner.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"

#include <QTemporaryDir>
#include <QTimeZone>

using Record = CleanRecord;

class TestCleanRecord : public QObject {
    Q_OBJECT

  private slots:
    void writtenByteForByte() {
        Record r;
        r.date = QDateTime(QDate(2026, 3, 4), QTime(10, 11, 12, 250), Qt::UTC);
        r.moves = {{"/home/me/Desktop/My Photo.png", "/home/me/Desktop/Images/My Photo.png"},
                   {"/home/me/Desktop/ä#%.pdf", "/home/me/Desktop/Documents/ä#% 2.pdf"}};
        r.createdFolders = {"/home/me/Desktop/Images"};
        const QByteArray expected =
            "{\"date\":794311872.25,\"moves\":["
            "{\"from\":\"file:\\/\\/\\/home\\/me\\/Desktop\\/My%20Photo.png\","
            "\"to\":\"file:\\/\\/\\/home\\/me\\/Desktop\\/Images\\/My%20Photo.png\"},"
            "{\"from\":\"file:\\/\\/\\/home\\/me\\/Desktop\\/%C3%A4%23%25.pdf\","
            "\"to\":\"file:\\/\\/\\/home\\/me\\/Desktop\\/Documents\\/%C3%A4%23%25%202.pdf\"}],"
            "\"createdFolders\":[\"file:\\/\\/\\/home\\/me\\/Desktop\\/Images\\/\"]}";
        QCOMPARE(r.encode(), expected);
        QCOMPARE(CleanRecord::decode(expected), r);
    }

    void readerIsLenientWhereItMayBe() {
        // Unknown keys, other key order, unescaped slashes, folders without a slash.
        const auto r = CleanRecord::decode(
            "{\"createdFolders\":[\"file:///d/Images\"],\"extra\":[1,2],"
            "\"moves\":[{\"to\":\"file:///d/Images/a.png\",\"from\":\"file:///d/a.png\"}],"
            "\"date\":-1.5}");
        QVERIFY(r);
        QCOMPARE(r->moves.size(), 1);
        QCOMPARE(r->moves[0].from, "/d/a.png");
        QCOMPARE(r->createdFolders, QStringList({"/d/Images"}));
        QCOMPARE(r->date, QDateTime(QDate(2000, 12, 31), QTime(23, 59, 58, 500), Qt::UTC));
    }

    void badRecordsAreRejected_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray move = "{\"from\":\"file:///d/a.png\",\"to\":\"file:///d/I/a.png\"}";
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated") << ("{\"date\":1,\"moves\":[" + move);
        QTest::newRow("array") << QByteArray("[]");
        QTest::newRow("date is a string")
            << ("{\"date\":\"1\",\"moves\":[" + move + "],\"createdFolders\":[]}");
        QTest::newRow("no date") << ("{\"moves\":[" + move + "],\"createdFolders\":[]}");
        QTest::newRow("no createdFolders") << ("{\"date\":1,\"moves\":[" + move + "]}");
        QTest::newRow("move without to")
            << QByteArray("{\"date\":1,\"moves\":[{\"from\":\"file:///d/a.png\"}],"
                          "\"createdFolders\":[]}");
        QTest::newRow("location not a url")
            << QByteArray("{\"date\":1,\"moves\":[{\"from\":\"file:///d/a.png\",\"to\":\"%%\"}],"
                          "\"createdFolders\":[]}");
        QTest::newRow("not a file url")
            << QByteArray("{\"date\":1,\"moves\":[{\"from\":\"https://x/a.png\","
                          "\"to\":\"file:///d/a.png\"}],\"createdFolders\":[]}");
        QTest::newRow("folder not a string")
            << ("{\"date\":1,\"moves\":[" + move + "],\"createdFolders\":[3]}");
    }
    void badRecordsAreRejected() {
        QFETCH(QByteArray, bytes);
        QVERIFY(!CleanRecord::decode(bytes));

        // At start-up: no record, and the file stays until the next save.
        QTemporaryDir tmp;
        QVERIFY(testsupport::touch(tmp.path() + "/state/last-clean.json", bytes));
        TidiedFolders folders(tmp.path() + "/config", tmp.path() + "/Desktop");
        Cleaner cleaner(&folders, tmp.path() + "/state");
        QVERIFY(!cleaner.lastClean());
        QCOMPARE(testsupport::readFile(cleaner.recordFile()), bytes);
    }
};

VANTOR_TEST_MAIN(TestCleanRecord)
#include "TestCleanRecord.moc"
