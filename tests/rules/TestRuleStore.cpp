#include "TestSupport.h"

#include "platform/FileSystem.h"
#include "rules/RuleStore.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <functional>

namespace {
// A rule as a hand-written file holds it, with the identifier "cccccccc-cccc-…".
QByteArray ruleJson(char c, const QByteArray& name, const QByteArray& types) {
    const QByteArray id = QByteArray("xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx").replace('x', c);
    return "{\"id\":\"" + id + "\",\"name\":\"" + name +
           "\",\"symbol\":\"folder\",\"destination\":\"\\/srv\\/" + name + "\",\"extensions\":[" +
           types + "]}";
}

QString names(const RuleStore& store) {
    QStringList list;
    for (const SortRule& r : store.rules())
        list.append(r.name);
    return list.join(' ');
}

using Edit = std::function<void(RuleStore&, const QUuid&)>;
} // namespace

class TestRuleStore : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString folder() const { return m_dir.path() + "/Vantor"; }
    QString file() const { return folder() + "/rules.json"; }
    void write(const QList<QByteArray>& rules) const {
        QVERIFY(testsupport::touch(file(), "[" + rules.join(',') + "]"));
    }

  private slots:
    void init() { QDir(folder()).removeRecursively(); }

    void missingOrBadFileGivesDefaultsAndStaysUntilTheFirstChange_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("present");
        QTest::newRow("no file") << QByteArray() << false;
        QTest::newRow("truncated") << ("[" + ruleJson('1', "A", "").left(30)) << true;
        QTest::newRow("one rule lacks destination")
            << "[" + ruleJson('1', "A", "") + "," +
                   ruleJson('2', "B", "").replace("destination", "x") + "]"
            << true;
    }
    void missingOrBadFileGivesDefaultsAndStaysUntilTheFirstChange() {
        QFETCH(QByteArray, content);
        QFETCH(bool, present);
        if (present)
            QVERIFY(testsupport::touch(file(), content));
        RuleStore store(folder());
        QCOMPARE(store.rules()[0].name, "Images");
        QCOMPARE(QFileInfo::exists(file()), present);
        QCOMPARE(testsupport::readFile(file()), content);
        store.rename(store.rules()[0].id, "Pictures");
        QVERIFY(testsupport::readFile(file()).startsWith("[{\"id\":\""));
        QCOMPARE(RuleStore(folder()).rules(), store.rules()); // the change was written
    }

    // Taken exactly as decoded: duplicate and upper-case types kept, an empty list not filled
    // with the defaults. One rule's form is the rule's own; here the list around the rules.
    void fileIsTakenAndWrittenExactly() {
        write(
            {ruleJson('1', "A", "\"pdf\",\"PNG\",\"pdf\""), ruleJson('2', "B", "\"pdf\",\"png\"")});
        RuleStore store(folder());
        QCOMPARE(store.rules()[0].extensions, QStringList({"pdf", "PNG", "pdf"}));
        // The earlier rule wins; queries are lower-cased, stored entries are not.
        QCOMPARE(store.ruleForExtension("PDF")->name, "A");
        QCOMPARE(store.ruleForExtension("png")->name, "B");
        QVERIFY(!store.ruleForExtension("") && !store.ruleForExtension("zip"));
        // A new rule goes last, named after the others; moved past either end, it stops there.
        store.addRule();
        store.moveRule(store.addRule(), -3);
        store.moveRule(store.rules()[1].id, 9);
        QCOMPARE(names(store), "New Rule 2 B New Rule A");
        const QList<SortRule>& r = store.rules();
        QCOMPARE(r[2].destination, "~/Desktop/New Rule");
        QCOMPARE(testsupport::readFile(file()), "[" + r[0].toJson() + "," + r[1].toJson() + "," +
                                                    r[2].toJson() + "," + r[3].toJson() + "]");
        while (!store.rules().isEmpty())
            store.remove(store.rules()[0].id);
        QCOMPARE(testsupport::readFile(file()), QByteArray("[]"));
        QVERIFY(RuleStore(folder()).rules().isEmpty());
    }

    // The names are typed one after another; the folder follows while it is the tidied
    // folder's folder of the name and nothing is in it, and a new rule never shares it. The
    // tidied folder is the destination's first folder: the Desktop, or another one.
    void renameTakesAnUnusedFolderAlong_data() {
        QTest::addColumn<QString>("inFolder"); // "" missing, "/" empty, else a file's name
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("destination");
        QTest::newRow("empty") << "/" << QStringList{"Receipts"} << "~/Desktop/Receipts";
        QTest::newRow("in another folder") << "/" << QStringList{"Bills"} << "~/Downloads/Bills";
        QTest::newRow("a file moved there")
            << "a.pdf" << QStringList{"Receipts", "Bills"} << "~/Desktop/New Rule";
        QTest::newRow("no folder in the name")
            << "" << QStringList{"..", "a/b", ""} << "~/Desktop/New Rule";
        QTest::newRow("another rule's folder")
            << "" << QStringList{"Images", "Img"} << "~/Desktop/Img";
    }
    void renameTakesAnUnusedFolderAlong() {
        QFETCH(QString, inFolder);
        QFETCH(QStringList, names);
        QFETCH(QString, destination);
        TempHome home;
        const QString tidied = destination.section(u'/', 0, 1);
        const QString folder = platform::expandTilde(tidied);
        RuleStore store(home.configFolder(), folder, SortRule::defaultsInside(folder));
        const QUuid id = store.addRule();
        if (inFolder == "/")
            QVERIFY(QDir().mkpath(folder + "/New Rule"));
        else if (!inFolder.isEmpty())
            QVERIFY(testsupport::touch(folder + "/New Rule/" + inFolder));
        for (const QString& name : names) {
            store.rename(id, name);
            for (const SortRule& r : store.rules())
                QVERIFY(r.id == id || r.destination != store.rule(id)->destination);
        }
        QCOMPARE(store.rule(id)->name, names.last());
        QCOMPARE(store.rule(id)->destination, destination);
        QVERIFY(store.rule(store.addRule())->destination != destination);
        store.setDestination(id, home.desktop("Chosen")); // chosen by the user: stays
        store.rename(id, "Chosen 2");
        QCOMPARE(store.rule(id)->destination, "~/Desktop/Chosen");
        store.restoreDefaults(); // the store's own
        QCOMPARE(store.rules()[0].destination, tidied + "/Images");
    }

    // A removed rule's note names the types it had taken; put back, it has them again, but
    // those taken meanwhile. A rule with conditions takes only some of a type's files, so it
    // shares the type and takes it from no one.
    void removeNotesTakenTypesAndInsertPutsBack() {
        RuleStore store(folder());
        const QUuid images = store.rules()[0].id;
        store.addExtensions("png, pdf", store.rules()[1].id);
        const SortRule documents = store.rules()[1];
        QCOMPARE(store.remove(documents.id), ".png now belongs to no rule.");
        QVERIFY(!store.ruleForExtension("png")); // not silently back with Images
        store.addExtensions("txt", images);      // taken meanwhile: stays there
        store.insert(documents, 1);
        QCOMPARE(store.rules()[1].id, documents.id);
        QVERIFY(!store.rules()[1].extensions.contains("txt"));
        QCOMPARE(store.ruleForExtension("pdf")->id, documents.id);

        const QUuid large = store.addRule();
        store.setMinSize(large, 5000000);
        QCOMPARE(store.addExtensions("png, txt", large), std::nullopt);
        QCOMPARE(store.ruleForExtension("txt")->id, images);
        QCOMPARE(store.addExtensions("png", images), "Moved .png from Documents.");
        QCOMPARE(store.rule(large)->extensions, QStringList({"png", "txt"}));
    }

    void parseExtensions_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("types");
        QTest::newRow("mixed") << ".PNG, *.jpg  jpeg;gif tar.gz png" << QStringList{"png", "jpg"};
        QTest::newRow("digits and non-Latin letters") << QString::fromUtf8("mp3 ДОК 文書\u2003h264")
                                                      << QStringList{"mp3", "док", "文書", "h264"};
    }
    void parseExtensions() {
        QFETCH(QString, text);
        QFETCH(QStringList, types);
        QCOMPARE(RuleStore::parseExtensions(text), types);
    }

    // Sorted by code point, upper case first; rules of one name make one sentence. Nothing
    // valid typed changes nothing: no signal, no file.
    void addExtensionsNotes_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QStringList>("types");
        QTest::newRow("from three rules") << "png gif, jpg"
                                          << "Moved .jpg from Z. Moved .png, .png, .gif from b."
                                          << QStringList{"png", "gif", "jpg"};
        QTest::newRow("nothing valid") << " ,.* " << QString() << QStringList{};
    }
    void addExtensionsNotes() {
        QFETCH(QString, typed);
        QFETCH(QString, note);
        QFETCH(QStringList, types);
        write({ruleJson('1', "b", "\"png\""), ruleJson('2', "Z", "\"jpg\""),
               ruleJson('3', "b", "\"gif\",\"png\""), ruleJson('4', "T", "")});
        const QByteArray written = testsupport::readFile(file());
        RuleStore store(folder());
        QSignalSpy spy(&store, &RuleStore::rulesChanged);
        const QUuid target = store.rules()[3].id;
        QCOMPARE(store.addExtensions(typed, QUuid::createUuid()), std::nullopt);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(store.addExtensions(typed, target).value_or(QString()), note);
        QCOMPARE(store.rules()[3].extensions, types);
        for (const QString& t : types)
            QCOMPARE(store.ruleForExtension(t)->id, target);
        QCOMPARE(spy.count(), types.isEmpty() ? 0 : 1);
        QCOMPARE(testsupport::readFile(file()) == written, types.isEmpty());
    }

    // Each edit changes its rule alone and no unknown one; a condition's setter replaces it,
    // also a value the file gave that could not be read, and holds what it is given to what
    // a rule may have.
    void editsReplaceAndLimit_data() {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QByteArray>("written"); // the rule's JSON from its types on
        const auto row = [](const char* name, const char* written, const Edit& edit) {
            QTest::newRow(name) << edit << QByteArray(written);
        };
        row("kinds, unknown and repeated dropped",
            "[\"png\"],\"kinds\":[\"image\\/*\",\"text\\/csv\"],\"minSize\":\"big\"}",
            [](auto& s, auto id) {
                s.setKinds(id, {"image/*", "no/such", "image/*", "text/csv"});
            });
        row("unreadable size replaced", R"(["png"],"minSize":5000})",
            [](auto& s, auto id) { s.setMinSize(id, 5000); });
        row("size held to 1 PiB", R"(["png"],"minSize":"big","maxSize":1125899906842624})",
            [](auto& s, auto id) { s.setMaxSize(id, qint64(1) << 60); });
    }
    void editsReplaceAndLimit() {
        QFETCH(Edit, edit);
        QFETCH(QByteArray, written);
        QByteArray json = ruleJson('1', "A", "\"png\"");
        write({json.insert(json.size() - 1, ",\"minSize\":\"big\"")});
        RuleStore store(folder());
        QSignalSpy spy(&store, &RuleStore::rulesChanged);
        edit(store, QUuid::createUuid());
        QCOMPARE(spy.count(), 0);
        edit(store, store.rules()[0].id);
        QCOMPARE(spy.count(), 1);
        const QByteArray rule = store.rules()[0].toJson();
        QCOMPARE(rule.mid(rule.indexOf("\"extensions\":") + 13), written);
        QCOMPARE(RuleStore(folder()).rules(), store.rules());
    }
};

VANTOR_TEST_MAIN(TestRuleStore)
#include "TestRuleStore.moc"
