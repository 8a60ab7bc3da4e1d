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
        QTest::newRow("home with slash") << h + "/" << QString("~");
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

    // A .deb or an .AppImage on a Linux Desktop is an installer, an .odt a document.
    void defaultsKnowLinuxTypes() {
        // Lower case: stored types are matched exactly against lower-cased queries.
        const QList<SortRule>& rules = SortRule::defaults();
        for (const char* type : {"deb", "rpm", "appimage", "flatpak", "snap"})
            QVERIFY2(rules.at(2).extensions.contains(type), type);
        QVERIFY(rules.at(1).extensions.contains("odt"));
    }

    void jsonFormIsExact() {
        const SortRule r("Ünï \"quoted\" \\ back/slash\ttab", "photo", "~/Desktop/Images",
                         {"png", "jpg"},
                         QUuid::fromString(QStringLiteral("3f2504e0-4f89-11d3-9a0c-0305e82c3301")));
        QCOMPARE(r.toJson(),
                 QByteArray(
                     "{\"id\":\"3F2504E0-4F89-11D3-9A0C-0305E82C3301\",\"name\":\"Ünï "
                     "\\\"quoted\\\" \\\\ back\\/slash\\ttab\",\"symbol\":\"photo\","
                     "\"destination\":\"~\\/Desktop\\/Images\",\"extensions\":[\"png\",\"jpg\"]}"));
        const auto back = SortRule::fromJson(QJsonDocument::fromJson("[" + r.toJson() + "]")[0]);
        QCOMPARE(back, std::optional(r));
    }

    // Conditions follow the five keys; a rule with types only is written as it always was.
    void conditionsJsonFormIsExact() {
        SortRule r("Old", "doc", "~/D", {"pdf"},
                   QUuid::fromString(QStringLiteral("3f2504e0-4f89-11d3-9a0c-0305e82c3301")));
        r.kinds = {"image/*", "application/pdf"};
        r.namePattern = "Scan*";
        r.minSize = 5;
        r.maxSize = 1'000'000'000'000;
        r.minAgeDays = 30;
        r.action = SortRule::Action::Trash;
        const QByteArray head = "{\"id\":\"3F2504E0-4F89-11D3-9A0C-0305E82C3301\",\"name\":"
                                "\"Old\",\"symbol\":\"doc\",\"destination\":\"~\\/D\","
                                "\"extensions\":[\"pdf\"]";
        QCOMPARE(r.toJson(), head + ",\"kinds\":[\"image\\/*\",\"application\\/pdf\"],"
                                    "\"namePattern\":\"Scan*\",\"minSize\":5,\"maxSize\":"
                                    "1000000000000,\"minAgeDays\":30,\"action\":\"trash\"}");
        QCOMPARE(SortRule::fromJson(QJsonDocument::fromJson(r.toJson()).object()),
                 std::optional(r));
    }

    // A condition a hand-edited file gives wrongly is kept as written, and the rule then
    // takes nothing rather than more than the user wrote.
    void conditionsDecoding_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<bool>("understood");
        QTest::newRow("family") << "kinds" << QJsonValue(QJsonArray{"image/*"}) << true;
        QTest::newRow("unknown kind") << "kinds" << QJsonValue(QJsonArray{"image/nope"}) << false;
        QTest::newRow("no family") << "kinds" << QJsonValue(QJsonArray{"nope/*"}) << false;
        QTest::newRow("empty kinds") << "kinds" << QJsonValue(QJsonArray{}) << false;
        QTest::newRow("pattern with slash") << "namePattern" << QJsonValue("a/*") << false;
        QTest::newRow("empty pattern") << "namePattern" << QJsonValue("") << false;
        QTest::newRow("size") << "minSize" << QJsonValue(1e12) << true;
        QTest::newRow("negative size") << "minSize" << QJsonValue(-1) << false;
        QTest::newRow("huge size") << "maxSize" << QJsonValue(1e300) << false;
        QTest::newRow("fractional days") << "minAgeDays" << QJsonValue(1.5) << false;
        QTest::newRow("days as text") << "minAgeDays" << QJsonValue("30") << false;
        QTest::newRow("move") << "action" << QJsonValue("move") << true;
        QTest::newRow("unknown action") << "action" << QJsonValue("delete") << false;
    }
    void conditionsDecoding() {
        QFETCH(QString, key);
        QFETCH(QJsonValue, value);
        QFETCH(bool, understood);
        QJsonObject o{{"id", "3F2504E0-4F89-11D3-9A0C-0305E82C3301"},
                      {"name", "N"},
                      {"symbol", "s"},
                      {"destination", "/d"},
                      {"extensions", QJsonArray{"a"}}};
        o.insert(key, value);
        QStringList problems;
        const auto r = SortRule::fromJson(o, &problems);
        QVERIFY(r);
        QCOMPARE(r->takesFiles(), understood);
        QCOMPARE(problems.size(), understood ? 0 : 1);
        const QJsonObject back = QJsonDocument::fromJson(r->toJson()).object();
        if (key != "action" || !understood) // "move" is the default, not written
            QCOMPARE(back.value(key), value);
    }

    // A valid rule with one member set, or removed when the value is undefined.
    void decodingRules_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<bool>("valid");
        QTest::newRow("lower-case id")
            << "id" << QJsonValue("3f2504e0-4f89-11d3-9a0c-0305e82c3301") << true;
        QTest::newRow("unknown key") << "x" << QJsonValue(1) << true;
        QTest::newRow("no symbol") << "symbol" << QJsonValue(QJsonValue::Undefined) << false;
        QTest::newRow("braced id")
            << "id" << QJsonValue("{3f2504e0-4f89-11d3-9a0c-0305e82c3301}") << false;
        QTest::newRow("short id") << "id" << QJsonValue("3f2504e0-4f89-11d3-9a0c") << false;
        QTest::newRow("no hyphens")
            << "id" << QJsonValue("3f2504e04f8911d39a0c0305e82c330100000") << false;
        QTest::newRow("number name") << "name" << QJsonValue(1) << false;
        QTest::newRow("extension not a string")
            << "extensions" << QJsonValue(QJsonArray{1}) << false;
    }
    void decodingRules() {
        QFETCH(QString, key);
        QFETCH(QJsonValue, value);
        QFETCH(bool, valid);
        QJsonObject rule =
            QJsonDocument::fromJson("{\"id\":\"3F2504E0-4F89-11D3-9A0C-0305E82C3301\","
                                    "\"name\":\"N\",\"symbol\":\"s\",\"destination\":"
                                    "\"/d\",\"extensions\":[\"a\"]}")
                .object();
        if (value.isUndefined())
            rule.remove(key);
        else
            rule.insert(key, value);
        QCOMPARE(SortRule::fromJson(rule).has_value(), valid);
        QVERIFY(!SortRule::fromJson(QJsonValue("not an object")));
    }
};

VANTOR_TEST_MAIN(TestSortRule)
#include "TestSortRule.moc"
