#include "TestSupport.h"

#include "platform/FileSystem.h"
#include "rules/SortRule.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

class TestSortRule : public QObject {
    Q_OBJECT

  private slots:
    void destinationsInTildeForm_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("expected");
        const QString h = QDir::homePath();
        QTest::newRow("home itself") << h << QString("~");
        QTest::newRow("dot-dot inside") << h + "/Desktop/../Documents" << QString("~/Documents");
        QTest::newRow("outside, trailing slash")
            << QString("/srv/Sorted/") << QString("/srv/Sorted");
        QTest::newRow("sibling sharing a prefix") << h + "2/Files" << h + "2/Files";
    }
    // And back: the folder a stored destination stands for.
    void destinationsInTildeForm() {
        QFETCH(QString, folder);
        QFETCH(QString, expected);
        QCOMPARE(SortRule::tildePath(folder), expected);
        const SortRule r("x", "folder", expected, {});
        QCOMPARE(r.destinationURL(), platform::standardize(folder));
    }

    // Conditions follow the five keys; a rule with types only is written as it always was.
    void jsonFormIsExact() {
        SortRule r("Ünï \"quoted\" \\ back/slash\ttab", "photo", "~/Desktop/Images", {"png", "jpg"},
                   QUuid::fromString(QStringLiteral("3f2504e0-4f89-11d3-9a0c-0305e82c3301")));
        const QByteArray head = "{\"id\":\"3F2504E0-4F89-11D3-9A0C-0305E82C3301\",\"name\":\"Ünï "
                                "\\\"quoted\\\" \\\\ back\\/slash\\ttab\",\"symbol\":\"photo\","
                                "\"destination\":\"~\\/Desktop\\/Images\",\"extensions\":[\"png\","
                                "\"jpg\"]";
        QCOMPARE(r.toJson(), head + "}");
        r.kinds = {"image/*", "application/pdf"};
        r.namePattern = "Scan*";
        r.minSize = 5;
        r.maxSize = 1'000'000'000'000;
        r.minAgeDays = 30;
        r.action = SortRule::Action::Trash;
        QCOMPARE(r.toJson(), head + ",\"kinds\":[\"image\\/*\",\"application\\/pdf\"],"
                                    "\"namePattern\":\"Scan*\",\"minSize\":5,\"maxSize\":"
                                    "1000000000000,\"minAgeDays\":30,\"action\":\"trash\"}");
        QCOMPARE(SortRule::fromJson(QJsonDocument::fromJson(r.toJson()).object()),
                 std::optional(r));
    }

    // A valid rule with one member set, or removed when the value is undefined. A condition
    // a hand-edited file gives wrongly is kept as written, and the rule then takes nothing
    // rather than more than the user wrote.
    void decoding_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<int>("outcome"); // 0 no rule, 1 a rule that takes nothing, 2 a rule
        const auto row = [](const char* name, const char* key, const QJsonValue& value, int o) {
            QTest::newRow(name) << QString(key) << value << o;
        };
        row("lower-case id", "id", "3f2504e0-4f89-11d3-9a0c-0305e82c3301", 2);
        row("unknown key", "x", 1, 2);
        row("no symbol", "symbol", QJsonValue::Undefined, 0);
        row("braced id", "id", "{3f2504e0-4f89-11d3-9a0c-0305e82c3301}", 0);
        row("number name", "name", 1, 0);
        row("extension not a string", "extensions", QJsonArray{1}, 0);
        row("family", "kinds", QJsonArray{"image/*"}, 2);
        row("unknown kind", "kinds", QJsonArray{"image/nope"}, 1);
        row("no family", "kinds", QJsonArray{"nope/*"}, 1);
        row("empty kinds", "kinds", QJsonArray{}, 1);
        row("pattern with slash", "namePattern", "a/*", 1);
        row("size", "minSize", 1e12, 2);
        row("negative size", "minSize", -1, 1);
        row("huge size", "maxSize", 1e300, 1);
        row("fractional days", "minAgeDays", 1.5, 1);
        row("days as text", "minAgeDays", "30", 1);
        row("trash", "action", "trash", 2);
        row("unknown action", "action", "delete", 1);
    }
    void decoding() {
        QFETCH(QString, key);
        QFETCH(QJsonValue, value);
        QFETCH(int, outcome);
        QJsonObject o{{"id", "3F2504E0-4F89-11D3-9A0C-0305E82C3301"},
                      {"name", "N"},
                      {"symbol", "s"},
                      {"destination", "/d"},
                      {"extensions", QJsonArray{"a"}}};
        if (value.isUndefined())
            o.remove(key);
        else
            o.insert(key, value);
        QStringList problems;
        const auto r = SortRule::fromJson(o, &problems);
        QCOMPARE(r.has_value(), outcome > 0);
        if (!r)
            return;
        QCOMPARE(r->takesFiles(), outcome == 2);
        QCOMPARE(problems.size(), outcome == 2 ? 0 : 1);
        if (key != "id" && key != "x") // read back as written, the known keys
            QCOMPARE(QJsonDocument::fromJson(r->toJson()).object().value(key), value);
        QVERIFY(!SortRule::fromJson(QJsonValue("not an object")));
    }
};

VANTOR_TEST_MAIN(TestSortRule)
#include "TestSortRule.moc"
