#include "TestSupport.h"

#include "platform/FileSystem.h"
#include "rules/SortRule.h"

#include <QDir>
#include <QJsonDocument>

class TestSortRule : public QObject {
    Q_OBJECT

  private slots:
    void defaultsAreTheThreeRulesUnderTheDesktop() {
        const auto& d = SortRule::defaults();
        QCOMPARE(d.size(), 3);
        QCOMPARE(d[0].name, "Images");
        QCOMPARE(d[0].symbol, "photo");
        QCOMPARE(d[0].destination, "~/Desktop/Images");
        QCOMPARE(d[0].extensions.size(), 10);
        QCOMPARE(d[1].destination, "~/Desktop/Documents");
        QCOMPARE(d[1].extensions.size(), 14);
        QCOMPARE(d[1].extensions.last(), "key");
        QCOMPARE(d[2].symbol, "shippingbox");
        QCOMPARE(d[2].extensions, QStringList({"dmg", "pkg", "mpkg", "iso"}));
        QVERIFY(d[0].id != d[1].id);
        // Built once per run: the same identifiers each time it is asked for.
        QCOMPARE(SortRule::defaults()[0].id, d[0].id);
    }

    void tildePath_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("expected");
        const QString home = QDir::homePath();
        QTest::newRow("home itself") << home << "~";
        QTest::newRow("home with slash") << home + "/"
                                         << "~";
        QTest::newRow("dot-dot inside") << home + "/Desktop/../Documents"
                                        << "~/Documents";
        QTest::newRow("outside") << "/Volumes/Archive/Sorted"
                                 << "/Volumes/Archive/Sorted";
        QTest::newRow("sibling sharing a prefix") << home + "2/Files" << home + "2/Files";
    }
    void tildePath() {
        QFETCH(QString, folder);
        QFETCH(QString, expected);
        QCOMPARE(SortRule::tildePath(folder), expected);
    }

    void destinationRoundTripsThroughTildePath() {
        const QString home = QDir::homePath();
        for (const QString& folder :
             {home + "/Desktop/Images", home, home + "/a b/ü/../c", QString("/srv/Sorted")}) {
            SortRule r("x", "folder", SortRule::tildePath(folder), {});
            QCOMPARE(r.destinationURL(), platform::standardize(folder));
        }
        QCOMPARE(SortRule("x", "folder", "/srv/Sorted/", {}).destinationURL(), "/srv/Sorted");
        QCOMPARE(SortRule("x", "folder", "~/Desktop/Images", {}).destinationURL(),
                 home + "/Desktop/Images");
    }

    void equalityComparesEveryField() {
        const SortRule a("A", "folder", "~/A", {"png", "jpg"});
        SortRule b = a;
        QCOMPARE(a, b);
        b.extensions = {"jpg", "png"};
        QVERIFY(a != b);
        const SortRule c("A", "folder", "~/A", {"png", "jpg"}); // fresh id
        QVERIFY(a != c);
    }

    void jsonFormIsExact() {
        const SortRule r("Bilder ü", "photo", "~/Desktop/Images", {"png", "jpg"},
                         QUuid::fromString(QStringLiteral("3f2504e0-4f89-11d3-9a0c-0305e82c3301")));
        QCOMPARE(
            r.toJson(),
            QByteArray("{\"id\":\"3F2504E0-4F89-11D3-9A0C-0305E82C3301\",\"name\":\"Bilder ü\","
                       "\"symbol\":\"photo\",\"destination\":\"~\\/Desktop\\/Images\","
                       "\"extensions\":[\"png\",\"jpg\"]}"));
        const auto back = SortRule::fromJson(QJsonDocument::fromJson("[" + r.toJson() + "]")[0]);
        QVERIFY(back);
        QCOMPARE(*back, r);
    }

    void decodingRules_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("valid");
        const QByteArray id = "\"id\":\"3f2504e0-4f89-11d3-9a0c-0305e82c3301\"";
        const QByteArray rest =
            "\"name\":\"N\",\"symbol\":\"s\",\"destination\":\"/d\",\"extensions\":[]";
        QTest::newRow("lower-case id") << "{" + id + "," + rest + "}" << true;
        QTest::newRow("other member order and unknown key")
            << "{\"extensions\":[\"a\"],\"x\":1,\"destination\":\"/"
               "d\",\"symbol\":\"s\",\"name\":\"N\"," +
                   id + "}"
            << true;
        QTest::newRow("no symbol")
            << "{" + id + ",\"name\":\"N\",\"destination\":\"/d\",\"extensions\":[]}" << false;
        QTest::newRow("braced id")
            << "{\"id\":\"{3f2504e0-4f89-11d3-9a0c-0305e82c3301}\"," + rest + "}" << false;
        QTest::newRow("short id") << "{\"id\":\"3f2504e0-4f89-11d3-9a0c\"," + rest + "}" << false;
        QTest::newRow("no hyphens")
            << "{\"id\":\"3f2504e04f8911d39a0c0305e82c330100000\"," + rest + "}" << false;
        QTest::newRow("number name")
            << "{" + id + ",\"name\":1,\"symbol\":\"s\",\"destination\":\"/d\",\"extensions\":[]}"
            << false;
        QTest::newRow("extension not a string")
            << "{" + id +
                   ",\"name\":\"N\",\"symbol\":\"s\",\"destination\":\"/d\",\"extensions\":[1]}"
            << false;
        QTest::newRow("not an object") << QByteArray("\"rule\"") << false;
    }
    void decodingRules() {
        QFETCH(QByteArray, json);
        QFETCH(bool, valid);
        const QJsonDocument doc = QJsonDocument::fromJson("[" + json + "]");
        QVERIFY(doc.isArray());
        QCOMPARE(SortRule::fromJson(doc[0]).has_value(), valid);
    }
};

VANTOR_TEST_MAIN(TestSortRule)
#include "TestSortRule.moc"
