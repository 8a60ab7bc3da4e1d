#include "TestSupport.h"

#include "widgets/RuleDescription.h"

#include <QMimeDatabase>

class TestRuleDescription : public QObject {
    Q_OBJECT

  private slots:
    void describesTheRule_data() {
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QStringList>("kinds");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<qint64>("larger");
        QTest::addColumn<qint64>("smaller");
        QTest::addColumn<int>("days");
        QTest::addColumn<bool>("trash");
        QTest::addColumn<QString>("text");
        const QStringList none;
        const QStringList images{"image/*"};
        QTest::newRow("family, size, age, trash")
            << none << images << QString() << qint64(5000000) << qint64(-1) << 30 << true
            << "Images larger than 5 MB, added more than 30 days ago → Trash";
        QTest::newRow("types and a name")
            << QStringList{"png", "jpg"} << none << "Screenshot*" << qint64(-1) << qint64(-1) << -1
            << false << "PNG, JPG files named Screenshot* → ~/Desktop/Images";
        QTest::newRow("kinds and types, odd sizes")
            << QStringList{"png"} << QStringList{"image/*", "text/csv"} << QString() << qint64(0)
            << qint64(1500) << -1 << false
            << "Images, text/csv files of type PNG larger than 0 bytes, smaller than 1,500 bytes "
               "→ ~/Desktop/Images";
        QTest::newRow("a whole family among others")
            << none << (RuleDescription::families().at(1).kinds + QStringList{"audio/*"})
            << QString() << qint64(-1) << qint64(2000000000) << -1 << true
            << "Documents, Audio smaller than 2 GB → Trash";
        QTest::newRow("conditions without a type")
            << none << none << "*.tmp" << qint64(-1) << qint64(3000) << -1 << false
            << "Files named *.tmp, smaller than 3 KB → ~/Desktop/Images";
        QTest::newRow("nothing") << none << none << QString() << qint64(-1) << qint64(-1) << -1
                                 << true << "No file types or conditions yet: takes no files";
    }
    void describesTheRule() {
        QFETCH(QStringList, types);
        QFETCH(QStringList, kinds);
        QFETCH(QString, pattern);
        QFETCH(qint64, larger);
        QFETCH(qint64, smaller);
        QFETCH(int, days);
        QFETCH(bool, trash);
        QFETCH(QString, text);
        SortRule rule("Rule", "folder", "~/Desktop/Images", types);
        rule.kinds = kinds;
        rule.namePattern = pattern;
        rule.minSize = larger;
        rule.maxSize = smaller;
        rule.minAgeDays = days;
        rule.action = trash ? SortRule::Action::Trash : SortRule::Action::Move;
        QCOMPARE(RuleDescription::text(rule), text);
        rule.unreadable.insert(QStringLiteral("minSize"), QStringLiteral("big"));
        QCOMPARE(RuleDescription::text(rule), "Ignored: it has values Vantor can't read");
    }

    // The families name content types as this machine's type database knows them, and each
    // is told apart from the others.
    void familiesNameKnownTypes() {
        const QMimeDatabase db;
        const QList<RuleDescription::Family> families = RuleDescription::families();
        for (int i = 0; i < families.size(); ++i) {
            QCOMPARE(RuleDescription::familyOf(families[i].kinds), i);
            for (const QString& kind : families[i].kinds) {
                QVERIFY2(SortRule::isValidKind(kind), qPrintable(kind));
                QVERIFY2(kind.endsWith("/*") || db.mimeTypeForName(kind).isValid(),
                         qPrintable(kind));
            }
        }
    }
};

VANTOR_TEST_MAIN(TestRuleDescription)
#include "TestRuleDescription.moc"
