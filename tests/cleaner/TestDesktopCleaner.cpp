#include "TestSupport.h"

#include "cleaner/DesktopCleaner.h"
#include "platform/FileSystem.h"
#include "rules/RuleStore.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <fcntl.h>
#include <memory>
#include <unistd.h>

using Status = DesktopCleaner::Status;

class TestDesktopCleaner : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;
    std::unique_ptr<RuleStore> m_store;
    std::unique_ptr<DesktopCleaner> m_cleaner;
    QString m_desktop;

    QString desktop(const QString& name = {}) const {
        return name.isEmpty() ? m_desktop : m_desktop + "/" + name;
    }
    QString home() const { return QDir::homePath(); }
    void touch(const QString& path, const QByteArray& content = "x") {
        QVERIFY(testsupport::writeFile(path, content));
    }
    DesktopCleaner& makeCleaner() {
        m_cleaner =
            std::make_unique<DesktopCleaner>(m_store.get(), m_desktop, m_tmp->path() + "/state");
        return *m_cleaner;
    }
    QStringList names(const DesktopCleaner::Group& g) const {
        QStringList out;
        for (const QString& f : g.files)
            out << platform::lastPathComponent(f);
        return out;
    }

  private slots:
    void init() {
        // Each case gets its own home, Desktop and rules, so folders under ~/Desktop are real.
        m_tmp = std::make_unique<QTemporaryDir>();
        qputenv("HOME", m_tmp->path().toUtf8());
        m_desktop = m_tmp->path() + "/Desktop";
        QDir().mkpath(m_desktop);
        m_store = std::make_unique<RuleStore>(m_tmp->path() + "/config");
        m_store->restoreDefaults(); // destinations under this home
        makeCleaner();
    }
    void cleanup() {
        m_cleaner.reset();
        m_store.reset();
        m_tmp.reset();
    }

    void scanCountsAsDescribed() {
        DesktopCleaner& c = *m_cleaner;
        c.rescan();
        QCOMPARE(c.scan().groups.size(), 3);
        QCOMPARE(c.scan().other, 0);

        for (const char* n :
             {"img10.png", "img2.png", "Img1.png", "Photo.JPG", "report.pdf", "README",
              "archive.tar.gz", "notes.txt", ".hidden-file.png", "listed.png", "setup.iso"})
            touch(desktop(n));
        touch(desktop(".hidden"), "listed.png\n");
        QDir().mkpath(desktop("Images"));   // plain folder: neither grouped nor counted
        QDir().mkpath(desktop("Tool.app")); // no packages on Linux: a plain folder
        QVERIFY(QFile::link(desktop("report.pdf"), desktop("link.pdf"))); // link: other
        QVERIFY(QFile::link(desktop("gone"), desktop("dangling.png")));
        // A name that is not UTF-8 cannot be moved by name: it stays, counted.
        const QByteArray raw = QFile::encodeName(m_desktop) + "/bad\xff.png";
        QVERIFY(::close(::open(raw.constData(), O_CREAT | O_WRONLY, 0644)) == 0);

        QSignalSpy scans(&c, &DesktopCleaner::scanChanged);
        c.rescan();
        QCOMPARE(scans.count(), 1);
        const auto& g = c.scan().groups;
        QCOMPARE(names(g[0]), QStringList({"Img1.png", "img2.png", "img10.png", "Photo.JPG"}));
        QCOMPARE(names(g[1]), QStringList({"notes.txt", "report.pdf"}));
        QCOMPARE(names(g[2]), QStringList({"setup.iso"}));
        QCOMPARE(g[0].files[0], desktop("Img1.png"));
        // README, archive.tar.gz (looked up as gz), two links, the undecodable name.
        QCOMPARE(c.scan().other, 5);

        // Unchanged Desktop: still published.
        c.rescan();
        QCOMPARE(scans.count(), 2);
        ::unlink(raw.constData()); // QTemporaryDir cannot remove names it cannot decode
    }

    void firstRuleWinsAndDesktopDestinationTakesNothing() {
        const QUuid a = m_store->addRule();
        m_store->addExtensions("zip", a);
        m_store->setDestination(a, m_desktop + "/"); // the Desktop itself, trailing slash
        const QUuid b = m_store->addRule();
        m_store->addExtensions("log", b);
        touch(desktop("x.zip"));
        touch(desktop("y.log"));
        m_cleaner->rescan();
        QVERIFY(m_cleaner->scan().groups[3].files.isEmpty());
        QCOMPARE(m_cleaner->scan().groups[4].files.size(), 1);
        QCOMPARE(m_cleaner->scan().other, 1);
    }

    void statusFollowsAccessAndActions() {
        DesktopCleaner& c = *m_cleaner;
        QSignalSpy status(&c, &DesktopCleaner::statusChanged);
        QSignalSpy scans(&c, &DesktopCleaner::scanChanged);
        QDir(m_desktop).removeRecursively();
        c.rescan();
        QCOMPARE(c.status(), Status::noAccess());
        QVERIFY(c.scan().groups.isEmpty());
        QVERIFY(!c.isWatching());
        QCOMPARE(status.count(), 1);
        c.clean(); // no work
        QCOMPARE(c.status(), Status::noAccess());
        QCOMPARE(status.count(), 2); // the clean's own rescan published it again

        QDir().mkpath(m_desktop);
        touch(desktop("a.png"));
        c.rescan();
        QCOMPARE(c.status(), Status::idle());
        QVERIFY(c.isWatching());
        c.clean();
        QCOMPARE(c.status(), Status::cleaned(1, 0));
        status.clear();
        c.rescan();
        c.clean(); // nothing to move: status and record stay
        QCOMPARE(c.status(), Status::cleaned(1, 0));
        QCOMPARE(status.count(), 0);
        c.undo();
        QCOMPARE(c.status(), Status::undone(1, 0));
        c.rescan();
        QCOMPARE(c.status(), Status::undone(1, 0));
    }

    void cleanMovesNamesClashesAndRecords() {
        DesktopCleaner& c = *m_cleaner;
        const QString docs = home() + "/Desktop/Documents";
        touch(docs + "/report.pdf", "old");
        touch(docs + "/report 2.pdf", "old2");
        QDir().mkpath(docs + "/README"); // a folder takes the name too
        touch(desktop("report.pdf"), "new");
        touch(desktop("archive.tar.pdf"), "a");
        touch(desktop("My Photo.png"), "p");
        // A rule for README-like names: files without an extension cannot match a rule, so
        // the clash naming for them is checked directly.
        QCOMPARE(DesktopCleaner::uniqueDestination("README", docs), docs + "/README 2");
        touch(docs + "/archive.tar.gz");
        QCOMPARE(DesktopCleaner::uniqueDestination("archive.tar.gz", docs),
                 docs + "/archive.tar 2.gz");
        QVERIFY(QFile::link(docs + "/nowhere", docs + "/dangling.pdf"));
        QCOMPARE(DesktopCleaner::uniqueDestination("dangling.pdf", docs), docs + "/dangling 2.pdf");

        QSignalSpy order(&c, &DesktopCleaner::scanChanged);
        QStringList seen;
        connect(&c, &DesktopCleaner::scanChanged, this, [&] { seen << "scan"; });
        connect(&c, &DesktopCleaner::lastCleanChanged, this, [&] { seen << "lastClean"; });
        connect(&c, &DesktopCleaner::statusChanged, this, [&] { seen << "status"; });
        c.clean();
        QCOMPARE(seen, QStringList({"scan", "lastClean", "status", "scan"}));
        QCOMPARE(c.status(), Status::cleaned(3, 0));
        QCOMPARE(testsupport::readFile(docs + "/report 3.pdf"), QByteArray("new"));
        QCOMPARE(testsupport::readFile(docs + "/report.pdf"), QByteArray("old"));
        QVERIFY(QFile::exists(home() + "/Desktop/Images/My Photo.png"));
        QCOMPARE(c.scan().totalFiles(), 0);

        const auto& rec = c.lastClean();
        QVERIFY(rec);
        QCOMPARE(rec->moves.size(), 3);
        QCOMPARE(rec->moves[0].to, home() + "/Desktop/Images/My Photo.png");
        QCOMPARE(rec->createdFolders, QStringList({home() + "/Desktop/Images"}));
        QCOMPARE(DesktopCleaner::decodeRecord(testsupport::readFile(c.recordFile())), rec);
    }

    void failuresAreCountedAndNothingIsLost() {
        DesktopCleaner& c = *m_cleaner;
        // Images' folder is a file; Installers' folder cannot be created under a file.
        touch(home() + "/Desktop/Images", "not a folder");
        const QUuid inst = m_store->rules()[2].id;
        m_store->setDestination(inst, home() + "/Desktop/Images/Installers");
        touch(desktop("a.png"));
        touch(desktop("b.png"));
        touch(desktop("c.iso"));
        touch(desktop("d.pdf"));
        c.clean();
        QCOMPARE(c.status(), Status::cleaned(1, 3));
        QCOMPARE(c.lastClean()->moves.size(), 1);
        for (const char* n : {"a.png", "b.png", "c.iso"})
            QVERIFY(QFile::exists(desktop(n)));
        QCOMPARE(testsupport::readFile(home() + "/Desktop/Images"), QByteArray("not a folder"));

        // Every move fails: status reports it, the earlier record stays, created folders are
        // neither recorded nor removed.
        const auto earlier = c.lastClean();
        QFile::remove(home() + "/Desktop/Images");
        const QUuid img = m_store->rules()[0].id;
        m_store->setDestination(img, "/proc/vantor-cannot-create/Images");
        m_store->setDestination(inst, "/proc/vantor-cannot-create/Installers");
        c.clean();
        QCOMPARE(c.status(), Status::cleaned(0, 3));
        QCOMPARE(c.lastClean(), earlier);
    }

    void twoRulesShareAFolderCreatedOnce() {
        const QUuid r = m_store->addRule();
        m_store->addExtensions("zip", r);
        const QString deep = home() + "/Desktop/Deep/Er/Images";
        m_store->setDestination(m_store->rules()[0].id, deep);
        m_store->setDestination(r, deep);
        touch(desktop("a.png"));
        touch(desktop("b.zip"));
        m_cleaner->clean();
        QCOMPARE(m_cleaner->status(), Status::cleaned(2, 0));
        QCOMPARE(m_cleaner->lastClean()->createdFolders, QStringList({deep}));
    }

    void fileVanishingBetweenScanAndMoveCounts() {
        // A file gone after the scan fails alone; moved + failed is the fresh scan's total.
        touch(desktop("a.png"));
        touch(desktop("b.png"));
        connect(
            m_cleaner.get(), &DesktopCleaner::scanChanged, this,
            [this] { QFile::remove(desktop("a.png")); }, Qt::SingleShotConnection);
        m_cleaner->clean();
        QCOMPARE(m_cleaner->status(), Status::cleaned(1, 1));
    }

    void undoPutsBackInReverseOrder() {
        DesktopCleaner& c = *m_cleaner;
        const QString images = home() + "/Desktop/Images";
        const QString docs = home() + "/Desktop/Documents";
        QDir().mkpath(docs); // existed before: never removed
        touch(desktop("a.png"), "a");
        touch(desktop("b.png"), "b");
        touch(desktop("report.pdf"), "r");
        touch(docs + "/report.pdf", "old");
        c.clean();
        QCOMPARE(c.lastClean()->moves.size(), 3);
        QCOMPARE(c.lastClean()->moves[2].to, docs + "/report 2.pdf");

        // The user deletes one moved file and puts a new report.pdf on the Desktop.
        QFile::remove(images + "/a.png");
        touch(desktop("report.pdf"), "newer");
        QFile::remove(docs + "/report.pdf");

        QStringList seen;
        connect(&c, &DesktopCleaner::scanChanged, this, [&] { seen << "scan"; });
        connect(&c, &DesktopCleaner::lastCleanChanged, this, [&] { seen << "lastClean"; });
        connect(&c, &DesktopCleaner::statusChanged, this, [&] { seen << "status"; });
        c.undo();
        QCOMPARE(seen, QStringList({"lastClean", "status", "scan"}));
        QCOMPARE(c.status(), Status::undone(2, 1));
        QCOMPARE(testsupport::readFile(desktop("report 2.pdf")), QByteArray("r"));
        QCOMPARE(testsupport::readFile(desktop("report.pdf")), QByteArray("newer"));
        QCOMPARE(testsupport::readFile(desktop("b.png")), QByteArray("b"));
        QVERIFY(!QFileInfo::exists(images)); // created and left empty
        QVERIFY(QFileInfo::exists(docs));    // existed before
        QVERIFY(!c.lastClean());
        QVERIFY(!QFileInfo::exists(c.recordFile()));

        seen.clear();
        c.undo(); // no record: nothing at all
        QVERIFY(seen.isEmpty());
    }

    void undoRemovesOnlyFoldersLeftEmpty() {
        DesktopCleaner& c = *m_cleaner;
        const QString outer = home() + "/Desktop/Out";
        const QString inner = outer + "/In";
        m_store->setDestination(m_store->rules()[0].id, outer);
        m_store->setDestination(m_store->rules()[1].id, inner);
        const QString inst = home() + "/Desktop/Installers";
        touch(desktop("a.png"));
        touch(desktop("b.pdf"));
        touch(desktop("c.iso"));
        touch(desktop("d.iso"));
        c.clean();
        QCOMPARE(c.lastClean()->createdFolders, QStringList({outer, inner, inst}));
        touch(inner + "/.directory"); // file-manager metadata only: removed with the folder
        touch(inst + "/.my-notes");   // a hidden file of the user's: the folder stays
        c.undo();
        QCOMPARE(c.status(), Status::undone(4, 0));
        QVERIFY(QFileInfo::exists(outer)); // still held In at its turn
        QVERIFY(!QFileInfo::exists(inner));
        QCOMPARE(testsupport::readFile(inst + "/.my-notes"), QByteArray("x"));
    }

    void undoAfterRestart() {
        touch(desktop("a.png"), "a");
        m_cleaner->clean();
        const auto record = m_cleaner->lastClean();
        makeCleaner(); // a new run reads the record
        QCOMPARE(m_cleaner->lastClean(), record);
        m_cleaner->undo();
        QCOMPARE(m_cleaner->status(), Status::undone(1, 0));
        QCOMPARE(testsupport::readFile(desktop("a.png")), QByteArray("a"));
    }

    void oneRescanPerRuleListChange() {
        DesktopCleaner& c = *m_cleaner;
        QSignalSpy scans(&c, &DesktopCleaner::scanChanged);
        touch(desktop("x.zip"));
        const QUuid id = m_store->addRule();
        m_store->addExtensions("zip", id);
        QCOMPARE(scans.count(), 0); // queued, not yet run
        QCoreApplication::processEvents();
        QCOMPARE(scans.count(), 2);
        // The queued rescans ran with the final list in place.
        QCOMPARE(c.scan().groups.last().files, QStringList({desktop("x.zip")}));
        m_store->restoreDefaults();
        QCoreApplication::processEvents();
        QCOMPARE(scans.count(), 3);
        QCOMPARE(c.scan().groups.size(), 3);
    }

    void desktopEventsAreDebounced() {
        DesktopCleaner& c = *m_cleaner;
        c.rescan();
        QVERIFY(c.isWatching());
        QSignalSpy scans(&c, &DesktopCleaner::scanChanged);
        QElapsedTimer burst;
        burst.start();
        for (int i = 0; i < 10; ++i) {
            touch(desktop(QString("f%1.png").arg(i)));
            QTest::qWait(30);
        }
        QVERIFY(scans.wait(2000));
        QVERIFY(burst.elapsed() >= 400);
        QCOMPARE(c.scan().groups[0].files.size(), 10);
        QTest::qWait(500);
        QCOMPARE(scans.count(), 1);

        // Two events 0.5 s apart: two rescans.
        scans.clear();
        touch(desktop("g1.png"));
        QTest::qWait(500);
        touch(desktop("g2.png"));
        QTRY_COMPARE_WITH_TIMEOUT(scans.count(), 2, 2000);
        QTest::qWait(450);
        QCOMPARE(scans.count(), 2);
    }

    void watchReopensAfterTheDesktopIsRecreated() {
        DesktopCleaner& c = *m_cleaner;
        c.rescan();
        QVERIFY(c.isWatching());
        QVERIFY(QDir(m_desktop).removeRecursively());
        QTRY_COMPARE_WITH_TIMEOUT(c.status(), Status::noAccess(), 2000);
        QVERIFY(!c.isWatching());

        QDir().mkpath(m_desktop);
        c.rescan(); // as "Try Again" does
        QCOMPARE(c.status(), Status::idle());
        QVERIFY(c.isWatching());
        QSignalSpy scans(&c, &DesktopCleaner::scanChanged);
        touch(desktop("new.png"));
        QVERIFY(scans.wait(2000));
        QCOMPARE(c.scan().groups[0].files.size(), 1);
    }
};

VANTOR_TEST_MAIN(TestDesktopCleaner)
#include "TestDesktopCleaner.moc"
