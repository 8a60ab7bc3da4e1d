#include "TestSupport.h"

#include "rules/RuleStore.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {
const QByteArray kId1 = "11111111-1111-1111-1111-111111111111";
const QByteArray kId2 = "22222222-2222-2222-2222-222222222222";

QByteArray ruleJson(const QByteArray& id, const QByteArray& name, const QByteArray& types) {
    return "{\"id\":\"" + id + "\",\"name\":\"" + name +
           "\",\"symbol\":\"folder\",\"destination\":\"\\/srv\\/" + name + "\",\"extensions\":[" +
           types + "]}";
}
} // namespace

class TestRuleStore : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString folder() const { return m_dir.path() + "/Vantor"; }
    QString file() const { return folder() + "/rules.json"; }

  private slots:
    void init() { QDir(folder()).removeRecursively(); }

    void missingOrBadFileGivesDefaultsAndStaysUntilTheFirstChange_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("present");
        QTest::newRow("no file") << QByteArray() << false;
        QTest::newRow("empty file") << QByteArray() << true;
        QTest::newRow("truncated") << ("[" + ruleJson(kId1, "A", "").left(30)) << true;
        QTest::newRow("not json") << QByteArray("rules!") << true;
        QTest::newRow("object, not array") << ruleJson(kId1, "A", "") << true;
        QTest::newRow("one rule lacks destination")
            << "[" + ruleJson(kId1, "A", "") + ",{\"id\":\"" + kId2 +
                   "\",\"name\":\"B\",\"symbol\":\"s\",\"extensions\":[]}]"
            << true;
        QTest::newRow("braced uuid")
            << QByteArray("[{\"id\":\"{11111111-1111-1111-1111-111111111111}\",\"name\":\"A\","
                          "\"symbol\":\"s\",\"destination\":\"d\",\"extensions\":[]}]")
            << true;
    }
    void missingOrBadFileGivesDefaultsAndStaysUntilTheFirstChange() {
        QFETCH(QByteArray, content);
        QFETCH(bool, present);
        if (present)
            QVERIFY(testsupport::writeFile(file(), content));
        RuleStore store(folder());
        QCOMPARE(store.rules().size(), 3);
        QCOMPARE(store.rules()[0].name, "Images");
        QCOMPARE(QFileInfo::exists(file()), present);
        if (present)
            QCOMPARE(testsupport::readFile(file()), content);
        store.rename(store.rules()[0].id, "Pictures");
        QCOMPARE(testsupport::readFile(file()), RuleStore::encode(store.rules()));
    }

    void fileIsTakenExactlyAsDecoded() {
        // Empty array: no rules, defaults not put back. Duplicate and upper-case types kept.
        QVERIFY(testsupport::writeFile(file(), "[]"));
        QVERIFY(RuleStore(folder()).rules().isEmpty());

        QVERIFY(
            testsupport::writeFile(file(), "[" + ruleJson(kId1, "A", "\"pdf\",\"PNG\",\"pdf\"") +
                                               "," + ruleJson(kId2, "B", "\"pdf\",\"png\"") + "]"));
        RuleStore store(folder());
        QCOMPARE(store.rules().size(), 2);
        QCOMPARE(store.rules()[0].extensions, QStringList({"pdf", "PNG", "pdf"}));
        QCOMPARE(store.rules()[0].destination, "/srv/A");
        // The earlier rule wins; queries are lower-cased, stored entries are not.
        QCOMPARE(store.ruleForExtension("PDF")->name, "A");
        QCOMPARE(store.ruleForExtension("png")->name, "B");
        QVERIFY(!store.ruleForExtension(""));
        QVERIFY(!store.ruleForExtension("zip"));
    }

    void fileIsWrittenByteForByte() {
        RuleStore store(folder());
        store.restoreDefaults();
        const QList<SortRule>& r = store.rules();
        QByteArray expected = "[";
        const char* names[] = {"Images", "Documents", "Installers"};
        const char* symbols[] = {"photo", "doc.text", "shippingbox"};
        for (int i = 0; i < 3; ++i) {
            if (i)
                expected += ",";
            expected += "{\"id\":\"" + r[i].id.toString(QUuid::WithoutBraces).toUpper().toLatin1() +
                        "\",\"name\":\"" + names[i] + "\",\"symbol\":\"" + symbols[i] +
                        "\",\"destination\":\"~\\/Desktop\\/" + names[i] + "\",\"extensions\":[";
            QStringList quoted;
            for (const QString& t : r[i].extensions)
                quoted << QStringLiteral("\"%1\"").arg(t);
            expected += quoted.join(',').toLatin1() + "]}";
        }
        expected += "]";
        QCOMPARE(testsupport::readFile(file()), expected);

        const QUuid id = store.addRule();
        store.rename(id, "Ünïcödé \"quoted\" \\ back/slash\ttab");
        const QByteArray bytes = testsupport::readFile(file());
        QVERIFY(bytes.contains("\"name\":\"Ünïcödé \\\"quoted\\\" \\\\ back\\/slash\\ttab\""));
        // And it reads back as the same list.
        QCOMPARE(RuleStore(folder()).rules(), store.rules());

        while (!store.rules().isEmpty())
            store.remove(store.rules()[0].id);
        QCOMPARE(testsupport::readFile(file()), QByteArray("[]"));
    }

    void everyOperationPublishesAsDescribed() {
        RuleStore store(folder());
        QSignalSpy spy(&store, &RuleStore::rulesChanged);
        const QUuid images = store.rules()[0].id;
        const QUuid unknown = QUuid::createUuid();
        const auto count = [&] {
            const auto n = spy.count();
            spy.clear();
            return n;
        };

        store.rename(unknown, "x");
        store.setDestination(unknown, "/tmp");
        store.removeExtension("png", unknown);
        QCOMPARE(store.addExtensions("png", unknown), std::nullopt);
        QCOMPARE(store.addExtensions(" ,.* ", images), std::nullopt);
        QCOMPARE(count(), 0);
        QVERIFY(!QFileInfo::exists(file()));

        store.remove(unknown); // unchanged list, still published and saved
        QCOMPARE(count(), 1);
        QVERIFY(QFileInfo::exists(file()));
        store.rename(images, "Images");
        QCOMPARE(count(), 1);
        store.removeExtension("PNG", images); // exact comparison: nothing removed
        QCOMPARE(count(), 1);
        QVERIFY(store.rule(images)->extensions.contains("png"));
        QCOMPARE(store.addExtensions("png", images), std::nullopt); // already there
        QCOMPARE(count(), 1);
        store.addRule();
        store.restoreDefaults();
        store.setDestination(store.rules()[0].id, QDir::homePath() + "/Pictures/./Sorted");
        QCOMPARE(count(), 3);
        QCOMPARE(store.rules()[0].destination, "~/Pictures/Sorted");
    }

    void addRuleNamesAndPlacesTheNewRule() {
        RuleStore store(folder());
        const QUuid first = store.addRule();
        QCOMPARE(store.rule(first)->name, "New Rule");
        store.rename(store.rules()[0].id, "new rule"); // other case does not block
        const QUuid second = store.addRule();
        const QUuid third = store.addRule();
        QCOMPARE(store.rule(second)->name, "New Rule 2");
        const SortRule r = *store.rule(third);
        QCOMPARE(r.name, "New Rule 3");
        QCOMPARE(r.destination, "~/Desktop/New Rule 3");
        QCOMPARE(r.symbol, "folder");
        QVERIFY(r.extensions.isEmpty());
        QCOMPARE(store.rules().last().id, third);

        store.rename(third, "");
        QCOMPARE(store.rule(third)->name, "");
        QCOMPARE(store.rule(third)->destination, "~/Desktop/New Rule 3");
    }

    void parseExtensions_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("types");
        QTest::newRow("mixed") << ".PNG, *.jpg  jpeg;gif tar.gz png" << QStringList{"png", "jpg"};
        QTest::newRow("only separators") << " , .. ** ,\t\n" << QStringList{};
        QTest::newRow("inner dot and symbols") << "a+b my-type a_b png." << QStringList{"png"};
        QTest::newRow("digits and non-Latin letters") << QString::fromUtf8("mp3 ДОК 文書\u2003h264")
                                                      << QStringList{"mp3", "док", "文書", "h264"};
        QTest::newRow("letter outside the BMP")
            << QString::fromUtf8("x\U0001D400y") << QStringList{QString::fromUtf8("x\U0001D400y")};
        QTest::newRow("line breaks and NBSP")
            << QString::fromUtf8("a\r\nb\u00a0c") << QStringList{"a", "b", "c"};
    }
    void parseExtensions() {
        QFETCH(QString, text);
        QFETCH(QStringList, types);
        QCOMPARE(RuleStore::parseExtensions(text), types);
    }

    void addExtensionsNotes_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("note");
        QTest::newRow("two from one") << "png gif"
                                      << "Moved .png, .gif from Images.";
        QTest::newRow("sorted by name") << "pdf, png"
                                        << "Moved .pdf from Documents. Moved .png from Images.";
        QTest::newRow("typed order does not matter")
            << "png pdf"
            << "Moved .pdf from Documents. Moved .png from Images.";
        QTest::newRow("nothing taken") << "zip" << QString();
    }
    void addExtensionsNotes() {
        QFETCH(QString, typed);
        QFETCH(QString, note);
        RuleStore store(folder());
        const QUuid target = store.addRule();
        const auto result = store.addExtensions(typed, target);
        QCOMPARE(result.value_or(QString()), note);
        for (const QString& t : RuleStore::parseExtensions(typed)) {
            QCOMPARE(store.ruleForExtension(t)->id, target);
            QCOMPARE(store.rule(target)->extensions.count(t), 1);
        }
    }

    void notesGatherRulesOfOneNameAndSortByCodePoint() {
        QVERIFY(testsupport::writeFile(
            file(), "[" + ruleJson(kId1, "b", "\"png\"") + "," + ruleJson(kId2, "Z", "\"jpg\"") +
                        "," +
                        ruleJson("33333333-3333-3333-3333-333333333333", "b", "\"gif\",\"png\"") +
                        "," + ruleJson("44444444-4444-4444-4444-444444444444", "T", "") + "]"));
        RuleStore store(folder());
        const QUuid target = store.rules()[3].id;
        // Upper case sorts before lower case; both "b" rules make one sentence.
        QCOMPARE(store.addExtensions("png jpg gif", target).value(),
                 "Moved .jpg from Z. Moved .png, .png, .gif from b.");
        QCOMPARE(store.rules()[3].extensions, QStringList({"png", "jpg", "gif"}));
        QVERIFY(store.rules()[0].extensions.isEmpty());
        QVERIFY(store.rules()[2].extensions.isEmpty());
    }

    void restoreDefaultsGivesFreshIdentifiers() {
        RuleStore store(folder());
        const QUuid old = store.rules()[0].id;
        store.restoreDefaults();
        const QList<SortRule> once = store.rules();
        store.restoreDefaults();
        QCOMPARE(store.rules().size(), 3);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(once[i].id != store.rules()[i].id);
            QCOMPARE(once[i].name, store.rules()[i].name);
            QCOMPARE(once[i].extensions, store.rules()[i].extensions);
        }
        QVERIFY(!store.rule(old));
    }

    void unwritableFolderDropsSavesSilently() {
        QVERIFY(testsupport::writeFile(m_dir.path() + "/blocker", "x"));
        RuleStore store(m_dir.path() + "/blocker/Vantor"); // cannot be created
        QCOMPARE(store.rules().size(), 3);
        const QUuid id = store.addRule();
        QCOMPARE(store.rules().last().id, id);
    }
};

VANTOR_TEST_MAIN(TestRuleStore)
#include "TestRuleStore.moc"
