#include "TestSupport.h"

#include "platform/FileSystem.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

using Refusal = TidiedFolders::Refusal;

// Each case: a fresh home with ~/Downloads (the XDG download folder), ~/Projects, a file, a
// link to ~/Projects and one to home, and the Desktop's Images rule folder.
class TestTidiedFolders : public QObject {
    Q_OBJECT

    std::unique_ptr<TempHome> m_home;
    QString home(const QString& rest = {}) const { return m_home->path() + rest; }
    std::unique_ptr<TidiedFolders> open() const {
        return std::make_unique<TidiedFolders>(m_home->configFolder(), m_home->desktop());
    }
    QString listFile() const { return m_home->configFolder() + "/folders.json"; }

  private slots:
    void init() {
        m_home = std::make_unique<TempHome>();
        for (const char* folder : {"/Downloads", "/Projects", "/Desktop/Images/2024"})
            QVERIFY(QDir().mkpath(home(folder)));
        QVERIFY(testsupport::touch(home("/notes.txt")));
        QVERIFY(QFile::link(home("/Projects"), home("/ProjectsLink")));
        QVERIFY(QFile::link(home(), home("/HomeLink")));
    }

    void checkAndAddRefuse_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<Refusal>("refusal");
        QTest::newRow("home") << "~" << Refusal::HomeOrRoot;
        QTest::newRow("home by a link") << "~/HomeLink" << Refusal::HomeOrRoot;
        QTest::newRow("root") << "/" << Refusal::HomeOrRoot;
        QTest::newRow("relative") << "Projects" << Refusal::Relative;
        QTest::newRow("file") << "~/notes.txt" << Refusal::NotAFolder;
        QTest::newRow("link to a folder") << "~/ProjectsLink" << Refusal::NotAFolder;
        QTest::newRow("the Desktop") << "~/Desktop/" << Refusal::AlreadyTidied;
        QTest::newRow("tidied, by a link above it")
            << "~/HomeLink/Downloads" << Refusal::AlreadyTidied;
        QTest::newRow("the Desktop's rule folder")
            << "~/Desktop/Images" << Refusal::InsideRuleFolder;
        QTest::newRow("inside it") << "~/Desktop/Images/2024" << Refusal::InsideRuleFolder;
        QTest::newRow("an added folder's rule folder")
            << "~/HomeLink/Downloads/Archives/../Archives" << Refusal::InsideRuleFolder;
        QTest::newRow("ok") << "~/Projects" << Refusal::None;
    }
    void checkAndAddRefuse() {
        QFETCH(QString, path);
        QFETCH(Refusal, refusal);
        QVERIFY(QDir().mkpath(home("/Downloads/Archives")));
        const auto folders = open();
        QCOMPARE(folders->add(home("/Downloads")), Refusal::None);
        QCOMPARE(folders->check(path), refusal);
        QCOMPARE(folders->add(path), refusal);
        QCOMPARE(folders->folders().size(), refusal == Refusal::None ? 3 : 2);
        const QString text = TidiedFolders::refusalText(refusal, path);
        QCOMPARE(text.isEmpty(), refusal == Refusal::None);
        if (refusal != Refusal::Relative && refusal != Refusal::None)
            QVERIFY2(text.startsWith(SortRule::tildePath(platform::expandTilde(path))),
                     qPrintable(text));
    }

    // Written by hand: what cannot be tidied is skipped with a warning, the rest is loaded,
    // and nothing is written back.
    void handEditedListKeepsWhatMayBeTidied() {
        QJsonArray list;
        const auto entry = [&](const QString& id, const QString& path) {
            list.append(QJsonObject{{"id", id}, {"path", path}});
        };
        list.append(QJsonObject{{"id", "aaaaaaaa"}, {"path", home("/Downloads")}, {"later", 1}});
        entry("dddddddd", home("/"));
        entry("Projects", home("/Projects"));
        entry("AAAAAAAA", home("/Projects"));
        entry("ffffffff", home("/Downloads/Archives")); // the rule folder of entry 1
        list.append("not an entry");
        entry("12345678", home("/Unmounted/Disk"));
        const QByteArray bytes = QJsonDocument(list).toJson();
        QVERIFY(testsupport::touch(listFile(), bytes));
        for (int skipped = 2; skipped <= 6; ++skipped)
            QTest::ignoreMessage(
                QtWarningMsg,
                QRegularExpression(QString(" entry %1 .* is skipped: ").arg(skipped)));

        const auto folders = open();
        QStringList loaded;
        for (const TidiedFolders::Folder& f : folders->folders())
            loaded << f.id + " " + f.path;
        QCOMPARE(loaded, QStringList({" " + home("/Desktop"), "aaaaaaaa " + home("/Downloads"),
                                      "12345678 " + home("/Unmounted/Disk")}));
        QCOMPARE(testsupport::readFile(listFile()), bytes);

        // The next change writes what was loaded, with the key a newer version wrote.
        QVERIFY(folders->remove(home("/Unmounted/Disk")));
        QCOMPARE(QJsonDocument::fromJson(testsupport::readFile(listFile())).array(),
                 QJsonArray({list.at(0)}));
    }

    // The download folder's rules, Archives among them, are written when it is added, so they
    // stay as made when the download folder moves on. Only what Vantor wrote goes with it.
    void addedFolderIsSavedAndRemovedWithItsRules() {
        auto folders = open();
        // A rule that puts files into home itself shuts out no folder.
        RuleStore* desktop = folders->desktopRules();
        desktop->setDestination(desktop->rules()[2].id, home());
        QCOMPARE(folders->offeredDownloads(), home("/Downloads"));
        QString id;
        QCOMPARE(folders->add("~/Downloads/", &id), Refusal::None);
        QCOMPARE(folders->offeredDownloads(), std::nullopt);
        QCOMPARE(folders->add(home("/Projects"), nullptr), Refusal::None);
        QCOMPARE(folders->folders().last().rules->rules().size(), 3); // no Archives

        const QList<SortRule> rules = folders->folder(id)->rules->rules();
        QStringList names;
        for (const SortRule& r : rules) {
            names << r.name;
            QVERIFY(r.destinationURL().startsWith(home("/Downloads/")));
        }
        QCOMPARE(names, QStringList({"Images", "Documents", "Installers", "Archives"}));
        QVERIFY(testsupport::touch(home("/.config/user-dirs.dirs"),
                                   "XDG_DOWNLOAD_DIR=\"$HOME/Projects\"\n"));
        const auto again = open();
        QCOMPARE(again->folder(id)->path, home("/Downloads"));
        QCOMPARE(again->folder(id)->rules->rules(), rules);

        const QString rulesFolder = m_home->configFolder() + "/folders/" + id;
        QVERIFY(testsupport::touch(rulesFolder + "/mine.txt"));
        QVERIFY(!again->remove(home("/Desktop")));
        QVERIFY(again->remove(home("/HomeLink/Downloads")));
        QVERIFY(!QFile::exists(rulesFolder + "/rules.json"));
        QVERIFY(QFile::exists(rulesFolder + "/mine.txt"));
        QCOMPARE(open()->folders().size(), 2);
    }
};

VANTOR_TEST_MAIN(TestTidiedFolders)
#include "TestTidiedFolders.moc"
