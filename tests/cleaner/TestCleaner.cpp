#include "CleanerTest.h"

#include "cleaner/FreeName.h"

#include <QScopeGuard>

#include <fcntl.h>
#include <unistd.h>

class TestCleaner : public CleanerTest {
    Q_OBJECT

    // A record on disk as an earlier run left it, read by a fresh cleaner.
    void writeRecord(const QList<CleanRecord::Move>& moves, const QStringList& created = {}) {
        const CleanRecord record{m_clock->now(), moves, created};
        QVERIFY(testsupport::touch(m_cleaner->recordFile(), record.encode()));
        restart();
    }
    const Scan::Folder& scanned(int folder = 0) const {
        return m_cleaner->scan().folders.at(folder);
    }
    // The Desktop's next change arms the rescan; true once the watch has reported it.
    bool rescanArmed() const { return m_clock->nextDue() == m_clock->now().addMSecs(400); }
    void rescanAfterWatch() {
        QTRY_VERIFY(rescanArmed());
        m_clock->advance(400);
    }

  private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    // What a scan takes, group by group in name order, and how many items stay, counted in
    // other: names no rule takes, links, names a record cannot give back exactly (QUrl cannot
    // encode noncharacters) or that are not UTF-8 ("not UTF-8"). What a download in progress
    // leaves stays: the partial file, what it will become, and an empty placeholder while any
    // download runs. Hidden names, those listed in .hidden, and folders are not counted.
    // "name=content" gives a file its content, "name->target" is a link.
    void whatTheScanTakes_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<int>("other");
        const auto row = [](const char* name, const QStringList& files, const QStringList& taken,
                            int other) { QTest::newRow(name) << files << taken << other; };
        row("groups in name order",
            {"img10.png", "img2.png", "Img1.png", "Photo.JPG", "report.pdf", "notes.txt",
             "setup.iso"},
            {"Img1.png", "img2.png", "img10.png", "Photo.JPG", "notes.txt", "report.pdf",
             "setup.iso"},
            0);
        row("no rule: by its last extension", {"README", "archive.tar.gz"}, {}, 2);
        row("hidden and folders", {".a.png", ".hidden=listed.png\n", "listed.png", "Images/b.png"},
            {}, 0);
        row("links", {"a.pdf", "link.pdf->a.pdf", "dangling.png->gone"}, {"a.pdf"}, 2);
        row("names no record can hold",
            {QString("a") + QChar(0xFFFF) + ".png", QString("b") + QChar(0xFDD0) + ".png",
             QString("c") + QString::fromUcs4(U"\U0001FFFF") + ".png", "not UTF-8", "ä ü.png"},
            {"ä ü.png"}, 4);
        row("placeholder and .part", {"report.pdf=", "report.pdf.part"}, {}, 2);
        row("whole file beside its .part", {"report.pdf", "report.pdf.part", "shot.png"},
            {"shot.png"}, 2);
        row("placeholder beside another name's .part",
            {"report.pdf=", "a1b2c3.pdf.part", "shot.png"}, {"shot.png"}, 2);
        row("crdownload, any case",
            {"photo.png.CRDOWNLOAD", "photo.png", "Unconfirmed 1.crdownload"}, {}, 3);
        row("empty file with no download", {"empty.pdf="}, {"empty.pdf"}, 0);
    }
    void whatTheScanTakes() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, taken);
        QFETCH(int, other);
        // QTemporaryDir cannot remove names it cannot decode.
        const QByteArray raw = QFile::encodeName(m_desktop) + "/bad\xff.png";
        const auto removeRaw = qScopeGuard([&raw] { ::unlink(raw.constData()); });
        for (const QString& file : files) {
            if (file == "not UTF-8")
                QVERIFY(::close(::open(raw.constData(), O_CREAT | O_WRONLY, 0644)) == 0);
            else if (file.contains("->"))
                QVERIFY(
                    QFile::link(desktop(file.section("->", 1)), desktop(file.section("->", 0, 0))));
            else
                touch({file.section('=', 0, 0)},
                      file.contains('=') ? file.section('=', 1).toUtf8() : "x");
        }
        m_cleaner->rescan();
        QStringList found;
        for (const Scan::Group& group : scanned().groups)
            for (const QString& file : group.files)
                found.append(QFileInfo(file).fileName());
        QCOMPARE(found, taken);
        QCOMPARE(scanned().other, other);
    }

    // Downloads beside the Desktop, each with its own rules: one clean is one record and one
    // history entry, and one undo puts every file back into the folder it came from. An undo
    // takes a file only from its own folder's rule folders.
    void twoFoldersAreCleanedAndUndoneAsOne() {
        const QString downloads = addDownloads();
        touch({"shot.png", "../Downloads/report.pdf", "../Downloads/photo.png"});
        m_cleaner->clean();
        QCOMPARE(m_cleaner->status(), Status::cleaned(3, 0));
        QCOMPARE(m_cleaner->history().size(), 1);
        QVERIFY(onDesktop("Images/shot.png") && QFileInfo::exists(downloads + "/Images/photo.png"));
        QVERIFY(QFileInfo::exists(downloads + "/Documents/report.pdf"));
        m_cleaner->undo();
        QCOMPARE(m_cleaner->status(), Status::undone(3, 0));
        QVERIFY(onDesktop("shot.png") && QFileInfo::exists(downloads + "/photo.png"));

        // A forged record: a Desktop file "moved" into a rule folder of Downloads.
        touch({"Images/other.png", "../Downloads/Images/stray.png"});
        writeRecord({{desktop("stray.png"), downloads + "/Images/stray.png"},
                     {desktop("other.png"), desktop("Images/other.png")}});
        m_cleaner->undo();
        QCOMPARE(m_cleaner->status(), Status::undone(1, 1));
        QVERIFY(QFileInfo::exists(downloads + "/Images/stray.png"));

        // Downloads turns into a link to another folder: nothing is taken from there, and
        // nothing is put back into it by its old path; the Desktop goes on as before.
        m_cleaner->clean();
        const QString elsewhere = m_home->path() + "/elsewhere";
        QVERIFY(QDir().rename(downloads, elsewhere));
        QVERIFY(QFile::link(elsewhere, downloads));
        touch({"../elsewhere/new.pdf", "late.png"});
        m_cleaner->rescan();
        QVERIFY(!scanned(1).readable);
        QCOMPARE(m_cleaner->scan().totalFiles(), 1);
        m_cleaner->undo();
        QVERIFY(QFileInfo::exists(elsewhere + "/Documents/report.pdf"));
        QVERIFY(!QFileInfo::exists(elsewhere + "/report.pdf"));
        QVERIFY(onDesktop("shot.png"));
    }

    // A rule folder that is a tidied folder, by whatever path, takes nothing: no file goes
    // back and forth between folders, and none onto itself, also where the Desktop is the
    // one given by a link.
    void rulesPointingAtTidiedFoldersTakeNothing() {
        const QString downloads = addDownloads(), linkToDesktop = m_home->path() + "/DeskLink";
        QVERIFY(QFile::link(m_desktop, linkToDesktop));
        m_store->setDestination(ruleAt(0), downloads);
        m_store->setDestination(ruleAt(1), linkToDesktop + "/");
        RuleStore* other = m_folders->folders().at(1).rules;
        other->setDestination(other->rules().at(0).id, m_desktop);
        touch({"shot.png", "b.pdf", "../Downloads/photo.png"});
        m_cleaner->clean();
        QCOMPARE(m_cleaner->status(), Status::idle());
        QVERIFY(onDesktop("shot.png") && onDesktop("b.pdf") && !onDesktop("b 2.pdf"));
        QCOMPARE(scanned().other, 2);
        QCOMPARE(scanned(1).other, 1);

        m_store->restoreDefaults();
        m_store->setDestination(ruleAt(1), m_desktop);
        TidiedFolders linkFolders(m_home->configFolder(), linkToDesktop);
        Cleaner viaLink(&linkFolders, m_state);
        viaLink.rescan();
        QCOMPARE(viaLink.scan().folders.first().other, 1); // b.pdf
    }

    // Age counts from when Vantor saw a file arrive, the clock's time, not the file's times;
    // a file that left and came back counts from its return, and a file comes of age with
    // no change on disk, found by the rescan every so often. A forged arrivals file only
    // loses what it held.
    void ageCountsFromArrival() {
        m_store->setMinAgeDays(ruleAt(1), 30);
        touch({"a.pdf", "b.pdf"});
        const auto due = [this] { return scanned().groups[1].files; };
        m_cleaner->rescan();
        QVERIFY(due().isEmpty());
        m_clock->advance(29LL * 86400000);
        QVERIFY(QFile::rename(desktop("b.pdf"), m_home->path() + "/b.pdf"));
        m_cleaner->rescan();
        QVERIFY(QFile::rename(m_home->path() + "/b.pdf", desktop("b.pdf")));
        m_clock->advance(2LL * 86400000); // the hourly rescan runs on its own
        QCOMPARE(due(), QStringList{desktop("a.pdf")});
        // An undo gives back the arrival the clean took along.
        m_cleaner->clean();
        m_cleaner->rescan();
        m_cleaner->undo();
        QCOMPARE(due(), QStringList{desktop("a.pdf")});

        QVERIFY(testsupport::touch(m_state + "/arrivals.json", "{\"x\": [1,"));
        restart().rescan(); // born in the clock's future: counted from now
        QVERIFY(due().isEmpty());
    }

    // Failed moves are counted and nothing is lost: where a rule folder cannot be made (a
    // file stands in its place, or no one may write there) its files stay, and when every
    // move fails the earlier record stays.
    void failuresAreCountedAndNothingIsLost() {
        Cleaner& c = *m_cleaner;
        touch({"d.pdf"});
        c.clean();
        const auto earlier = c.lastClean();
        touch({"Images"}, "not a folder");
        m_store->setDestination(ruleAt(2), "/proc/vantor-cannot-create/Installers");
        touch({"a.png", "b.png", "c.iso"});
        c.clean();
        QCOMPARE(c.status(), Status::cleaned(0, 3));
        QCOMPARE(c.lastClean(), earlier);
        QVERIFY(onDesktop("a.png") && onDesktop("b.png") && onDesktop("c.iso"));
        QCOMPARE(read("Images"), "not a folder");

        QVERIFY(QFile::remove(desktop("Images")));
        // A file gone after the scan fails alone; moved + failed is the fresh scan's total.
        m_store->restoreDefaults();
        connect(
            &c, &Cleaner::scanChanged, this, [this] { QFile::remove(desktop("a.png")); },
            Qt::SingleShotConnection);
        c.clean();
        QCOMPARE(c.status(), Status::cleaned(2, 1));
    }

    // The first free name beside what is already in the rule folder (files, folders and
    // dangling links alike) goes before the last extension; a name someone takes between
    // the check and the move ("+name") gives way to the next one.
    void theFirstFreeNameIsTaken_data() {
        QTest::addColumn<QStringList>("there");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QStringList& there, const char* file,
                            const char* expected) {
            QTest::newRow(name) << there << QString(file) << QString(expected);
        };
        row("numbered past those taken", {"report.pdf", "report 2.pdf"}, "report.pdf",
            "report 3.pdf");
        row("a folder", {"README/"}, "README", "README 2");
        row("two extensions", {"archive.tar.gz"}, "archive.tar.gz", "archive.tar 2.gz");
        row("a dangling link", {"a.pdf->nowhere"}, "a.pdf", "a 2.pdf");
        row("taken at the last moment", {"+a.png"}, "a.png", "a 2.png");
    }
    void theFirstFreeNameIsTaken() {
        QFETCH(QStringList, there);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const QString docs = desktop("Documents");
        QVERIFY(QDir().mkpath(docs));
        QString racer;
        for (const QString& entry : there) {
            if (entry.startsWith('+'))
                racer = docs + "/" + entry.mid(1);
            else if (entry.endsWith('/'))
                QVERIFY(QDir().mkpath(docs + "/" + entry));
            else if (entry.contains("->"))
                QVERIFY(
                    QFile::link(entry.section("->", 1), docs + "/" + entry.section("->", 0, 0)));
            else
                touch({"Documents/" + entry}, "theirs");
        }
        touch({name}, "mine");
        const auto racing = [&](const QString& from, const QString& to) {
            if (to == racer)
                testsupport::touch(to, "theirs");
            return platform::moveItem(from, to);
        };
        const auto to = cleaner::moveToFreeName(desktop(name), name, docs, racing);
        QCOMPARE(to, std::optional(docs + "/" + expected));
        QCOMPARE(read("Documents/" + expected), "mine");
        QVERIFY(!onDesktop(name));
        for (QString entry : there) { // nothing replaced
            entry.remove('+');
            if (!entry.endsWith('/') && !entry.contains("->"))
                QCOMPARE(read("Documents/" + entry), "theirs");
        }
    }

    // A trash rule's files go to the home trash, each with its .trashinfo dated by the clock
    // in local time, and make no folder. One emptied from the trash before the undo counts
    // as failed.
    void trashRuleRoundTrip() {
        m_store->setAction(ruleAt(0), SortRule::Action::Trash);
        const QString trashed = m_home->path() + "/.local/share/Trash/files/a b.png";
        touch({"a b.png"}, "mine");
        touch({"c.pdf"});
        TestClock clock(QDateTime(QDate(2026, 3, 1), QTime(9, 30))); // local time
        Cleaner cleaner(m_folders.get(), m_state, nullptr, clock);
        cleaner.clean();
        QCOMPARE(cleaner.status(), Status::cleaned(2, 0));
        QCOMPARE(cleaner.lastClean()->createdFolders, QStringList{desktop("Documents")});
        QCOMPARE(testsupport::readFile(trashed), "mine");
        QCOMPARE(
            testsupport::readFile(m_home->path() + "/.local/share/Trash/info/a b.png.trashinfo"),
            "[Trash Info]\nPath=" + QFile::encodeName(QFileInfo(m_desktop).canonicalFilePath()) +
                "/a%20b.png\nDeletionDate=2026-03-01T09:30:00\n");
        QVERIFY(QFile::remove(trashed));
        cleaner.undo();
        QCOMPARE(cleaner.status(), Status::undone(1, 1));
        QVERIFY(!onDesktop("a b.png") && onDesktop("c.pdf"));
    }

    // Also after a restart, from the record on disk.
    void undoRemovesOnlyFoldersLeftEmpty() {
        const QString outer = desktop("Out"), inner = outer + "/In";
        const QString sorted = desktop("Sorted"), inst = sorted + "/Installers";
        m_store->setDestination(ruleAt(0), outer);
        m_store->setDestination(ruleAt(1), inner);
        m_store->setDestination(ruleAt(2), inst);
        const QUuid zip = m_store->addRule(); // shares In: created once
        m_store->addExtensions("zip", zip);
        m_store->setDestination(zip, inner);
        touch({"a.png", "b.pdf", "c.iso", "d.iso", "e.zip"});
        m_cleaner->clean();
        QCOMPARE(m_cleaner->lastClean()->createdFolders,
                 QStringList({outer, inner, sorted, inst})); // every level it made
        touch({"Out/In/.directory"}); // file-manager metadata only: removed with the folder
        // A folder with a metadata name holding a file of the user's: nothing is removed.
        touch({"Out/.localized/notes.txt"});
        restart().undo();
        QCOMPARE(m_cleaner->status(), Status::undone(5, 0));
        QVERIFY(!QFileInfo::exists(inner));
        QVERIFY(QFileInfo::exists(outer + "/.localized/notes.txt"));
        QVERIFY(!QFileInfo::exists(sorted)); // emptied from the inside out
    }

    // A stale or foreign record: only files moved from directly in this Desktop into a rule
    // folder (or a folder inside the Desktop, by its real path) come back, and no folder
    // elsewhere is removed, also through a link inside the Desktop. Two moves from the same
    // Desktop name (the second file arrived after the first was moved) go back last move
    // first: the later file gets its name back and the earlier one lands beside it.
    void undoTrustsOnlyWhatACleanCouldHaveMoved() {
        const QString home = m_home->path(), images = desktop("Images");
        touch({"Images/a.png"}, "first");
        touch({"Images/a 2.png"}, "second");
        touch({"../.ssh/id", "../.ssh/id_rsa", "../.config/autostart/x.desktop",
               "Images/dir/inner.txt", "Images/ok.png", "Images/auto.desktop",
               "../Elsewhere/e.png"});
        QDir().mkpath(home + "/EmptyOutside");
        QDir().mkpath(home + "/.ssh/empty");
        QVERIFY(QFile::link(home + "/.ssh/id", images + "/link.png"));
        QVERIFY(QFile::link(home + "/.ssh", desktop("keys")));
        QFile::remove(home + "/Elsewhere/e.png");
        writeRecord({{desktop("id"), home + "/.ssh/id"}, // not a rule folder
                     {home + "/.config/autostart/x.desktop", images + "/auto.desktop"},
                     {desktop("dir"), images + "/dir"},             // a folder now
                     {desktop("link.png"), images + "/link.png"},   // a link now
                     {desktop("e.png"), home + "/Elsewhere/e.png"}, // not a rule folder
                     {desktop("id_rsa"), desktop("keys/id_rsa")},   // outside, through a link
                     {desktop("none"), desktop("keys/empty/none")},
                     {desktop("ok.png"), images + "/ok.png"},
                     {desktop("a.png"), images + "/a.png"},
                     {desktop("a.png"), images + "/a 2.png"}},
                    {home + "/EmptyOutside/", home + "/Elsewhere", desktop("keys/empty")});
        m_cleaner->undo();
        QCOMPARE(m_cleaner->status(), Status::undone(3, 7));
        QVERIFY(onDesktop("ok.png"));
        QCOMPARE(read("a.png"), "second");
        QCOMPARE(read("a 2.png"), "first");
        QCOMPARE(QDir(home + "/.config/autostart").entryList(QDir::Files),
                 QStringList({"x.desktop"}));
        for (const QString& kept :
             {home + "/.ssh/id", home + "/.ssh/id_rsa", home + "/.ssh/empty",
              images + "/auto.desktop", images + "/dir/inner.txt", images + "/link.png",
              home + "/EmptyOutside", home + "/Elsewhere"})
            QVERIFY2(platform::entryExists(kept), qPrintable(kept));
        QVERIFY(!onDesktop("id") && !onDesktop("x.desktop"));
    }

    // A download renamed onto the Desktop and a file renamed off it are seen.
    void renamesAreSeen() {
        m_cleaner->rescan();
        touch({"../a.png"});
        QVERIFY(QFile::rename(m_home->path() + "/a.png", desktop("a.png")));
        rescanAfterWatch();
        QCOMPARE(scanned().groups[0].files, QStringList{desktop("a.png")});
        QVERIFY(QFile::rename(desktop("a.png"), m_home->path() + "/a.png"));
        rescanAfterWatch();
        QVERIFY(scanned().groups[0].files.isEmpty());
    }

    void watchReopensAfterTheDesktopIsRecreated() {
        Cleaner& c = *m_cleaner;
        c.rescan();
        QVERIFY(c.isWatching());
        QVERIFY(QDir(m_desktop).removeRecursively());
        rescanAfterWatch();
        QCOMPARE(c.status(), Status::noAccess());
        QVERIFY(!c.isWatching() && scanned().groups.isEmpty());
        QDir().mkpath(m_desktop);
        c.rescan(); // as "Try Again" does
        QCOMPARE(c.status(), Status::idle());
        touch({"new.png"});
        rescanAfterWatch();
        QCOMPARE(scanned().groups[0].files.size(), 1);
    }
};

VANTOR_TEST_MAIN(TestCleaner)
#include "TestCleaner.moc"
