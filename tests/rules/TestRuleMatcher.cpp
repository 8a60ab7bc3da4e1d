#include "TestSupport.h"

#include "rules/RuleMatcher.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

// The list the table runs against: its order decides where several rules hold.
QList<SortRule> rules() {
    QList<SortRule> list;
    const auto add = [&list](const QString& name, const QStringList& types = {}) -> SortRule& {
        return list.emplaceBack(name, "folder", "/nonexistent/" + name, types);
    };
    SortRule& shots = add("Big Screenshots");
    shots.namePattern = "Screenshot*";
    shots.minSize = 1'000'000;
    shots.action = SortRule::Action::Trash;
    add("Old PDFs", {"pdf"}).minAgeDays = 30;
    add("Pictures").kinds = QStringList{"image/*"};
    add("Documents", {"pdf", "txt"});
    add("Tiny").maxSize = 10;
    // A hand-edited condition it could not read: the rule takes nothing, not everything.
    add("Broken", {"zip"}).unreadable.insert("kinds", 7);
    add("Invoices").namePattern = "*invoice*";
    return list;
}

// The name of the rule that takes the file, "" when it stays.
QString taker(const RuleMatcher& matcher, const QString& file) {
    const qsizetype i = matcher.match({{file, platform::DirEntry::Kind::File}}).at(0);
    return i >= 0 ? matcher.rules().at(i).name : QString();
}

const QByteArray kPng = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452");
constexpr qint64 kDay = 86400000;
constexpr qint64 kNow = 1'800'000'000'000;

} // namespace

class TestRuleMatcher : public QObject {
    Q_OBJECT

  private slots:
    void firstRuleWhoseConditionsAllHoldTakesTheFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("size"); // the file is grown to this size when larger
        QTest::addColumn<int>("ageDays"); // -1: arrival unknown
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const char* file, const QByteArray& content,
                            qint64 size, int ageDays, const char* expected) {
            QTest::newRow(name) << QString(file) << content << size << ageDays << QString(expected);
        };
        const QByteArray text = "plain words";
        row("name in any case and size: trash", "screenshot 1.png", kPng, 2'000'000, 1,
            "Big Screenshots");
        row("size must be larger", "Screenshot.png", kPng, 1'000'000, 1, "Pictures");
        row("kind from content without extension", "photo", kPng, 0, 1, "Pictures");
        row("text without extension is no picture", "notes", text, 0, 1, "");
        row("old enough", "report.pdf", text, 0, 31, "Old PDFs");
        row("too young: the next rule", "report.pdf", text, 0, 29, "Documents");
        row("age unknown never holds", "report.pdf", text, 0, -1, "Documents");
        row("smaller than", "x.bin", "123456789", 0, 1, "Tiny");
        row("not smaller at the bound", "x.bin", "1234567890", 0, 1, "");
        row("unreadable condition takes nothing", "a.zip", text, 0, 1, "");
        row("glob inside the name", "2026 Invoice March.odt", text, 0, 1, "Invoices");
    }
    void firstRuleWhoseConditionsAllHoldTakesTheFile() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(qint64, size);
        QFETCH(int, ageDays);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(testsupport::touch(dir.filePath(name), content));
        if (size > content.size())
            QVERIFY(QFile::resize(dir.filePath(name), size)); // sparse: no megabytes written
        RuleMatcher matcher(rules(), dir.path(), {});
        matcher.setArrival(
            [&](const QString& n, const platform::FileIdentity&) -> std::optional<qint64> {
                if (n != name || ageDays < 0)
                    return std::nullopt;
                return kNow - ageDays * kDay;
            },
            kNow);
        QCOMPARE(taker(matcher, name), expected);
    }

    // Without an arrival noted, a file counts from its birth, never from its modification
    // time, which a download carries over from the server.
    void ageFallsBackToBirthNotModification() {
        QTemporaryDir dir;
        const QString path = dir.filePath("old.pdf");
        QVERIFY(testsupport::touch(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTimeUtc().addDays(-400),
                                 QFileDevice::FileModificationTime));
        RuleMatcher matcher({rules().at(1)}, dir.path(), {}); // Old PDFs
        matcher.setArrival({}, QDateTime::currentMSecsSinceEpoch());
        // Born now where the file system keeps births; unknown otherwise: young either way.
        QCOMPARE(taker(matcher, "old.pdf"), "");
    }

    // A folder is matched again after every change: a file whose content changed is looked
    // into again, not taken by what it was.
    void changedContentIsLookedIntoAgain() {
        QTemporaryDir dir;
        const QString path = dir.filePath("photo");
        const RuleMatcher matcher(rules(), dir.path(), {});
        QVERIFY(testsupport::touch(path, kPng));
        QCOMPARE(taker(matcher, "photo"), "Pictures");
        QVERIFY(testsupport::touch(path, "now it is text, longer than the picture was"));
        QCOMPARE(taker(matcher, "photo"), "");
    }
};

VANTOR_TEST_MAIN(TestRuleMatcher)
#include "TestRuleMatcher.moc"
