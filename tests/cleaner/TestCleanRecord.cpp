#include "TestSupport.h"

#include "cleaner/Cleaner.h"
#include "rules/TidiedFolders.h"

using Record = CleanRecord;
using MaybeRecord = std::optional<CleanRecord>;

namespace {

const Record kRecord{QDateTime(QDate(2026, 3, 4), QTime(10, 11, 12, 250), Qt::UTC),
                     {{"/home/me/Desktop/My Photo.png", "/home/me/Desktop/Images/My Photo.png"},
                      {"/home/me/Desktop/ä#%.pdf", "/home/me/Desktop/Documents/ä#% 2.pdf"}},
                     {"/home/me/Desktop/Images"}};
// kRecord as older versions write and read it.
const QByteArray kWritten =
    "{\"date\":794311872.25,\"moves\":["
    "{\"from\":\"file:\\/\\/\\/home\\/me\\/Desktop\\/My%20Photo.png\","
    "\"to\":\"file:\\/\\/\\/home\\/me\\/Desktop\\/Images\\/My%20Photo.png\"},"
    "{\"from\":\"file:\\/\\/\\/home\\/me\\/Desktop\\/%C3%A4%23%25.pdf\","
    "\"to\":\"file:\\/\\/\\/home\\/me\\/Desktop\\/Documents\\/%C3%A4%23%25%202.pdf\"}],"
    "\"createdFolders\":[\"file:\\/\\/\\/home\\/me\\/Desktop\\/Images\\/\"]}";

} // namespace

class TestCleanRecord : public QObject {
    Q_OBJECT

  private slots:
    void writtenByteForByte() { QCOMPARE(kRecord.encode(), kWritten); }

    // What is read, from the bytes and from the file at start-up; a file that holds no record
    // stays as it is until the next save.
    void read_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<MaybeRecord>("record");
        QTest::newRow("as written") << kWritten << MaybeRecord(kRecord);
        const auto bad = [](const char* name, const QByteArray& bytes) {
            QTest::newRow(name) << bytes << MaybeRecord();
        };
        const QByteArray move = "{\"from\":\"file:///d/a.png\",\"to\":\"file:///d/I/a.png\"}";
        bad("empty", QByteArray());
        bad("truncated", "{\"date\":1,\"moves\":[" + move);
        bad("no date", "{\"moves\":[" + move + "],\"createdFolders\":[]}");
        bad("no createdFolders", "{\"date\":1,\"moves\":[" + move + "]}");
        bad("folder not a string", "{\"date\":1,\"moves\":[" + move + "],\"createdFolders\":[3]}");
        const auto badMove = [&bad](const char* name, const QByteArray& wrong) {
            bad(name, "{\"date\":1,\"moves\":[" + wrong + "],\"createdFolders\":[]}");
        };
        badMove("move without to", "{\"from\":\"file:///d/a.png\"}");
        badMove("location not a url", "{\"from\":\"file:///d/a.png\",\"to\":\"%%\"}");
        badMove("not a file url", "{\"from\":\"https://x/a.png\",\"to\":\"file:///d/a.png\"}");
    }
    void read() {
        QFETCH(QByteArray, bytes);
        QFETCH(MaybeRecord, record);
        QCOMPARE(CleanRecord::decode(bytes), record);

        QTemporaryDir tmp;
        QVERIFY(testsupport::touch(tmp.path() + "/state/last-clean.json", bytes));
        TidiedFolders folders(tmp.path() + "/config", tmp.path() + "/Desktop");
        Cleaner cleaner(&folders, tmp.path() + "/state");
        QCOMPARE(cleaner.lastClean(), record);
        QCOMPARE(testsupport::readFile(cleaner.recordFile()), bytes);
    }
};

VANTOR_TEST_MAIN(TestCleanRecord)
#include "TestCleanRecord.moc"
