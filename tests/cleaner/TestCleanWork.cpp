#include "TestSupport.h"

#include "cleaner/CleanHistory.h"
#include "cleaner/CleanJournal.h"
#include "cleaner/Cleaner.h"
#include "platform/FileSystem.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"

#include <QFile>

#include <memory>

// What a clean or undo leaves beside the moves: the scan it publishes without listing the
// folders again, and the journal lines it writes before moving.
class TestCleanWork : public QObject {
    Q_OBJECT

    std::unique_ptr<TempHome> m_home;
    TestClock m_clock;
    std::unique_ptr<TidiedFolders> m_folders;
    QString m_desktop, m_state;

    QString desktop(const QString& name) const { return m_desktop + "/" + name; }
    void touch(const QString& name, const QByteArray& content = "x") {
        QVERIFY(testsupport::touch(desktop(name), content));
    }
    std::unique_ptr<Cleaner> makeCleaner() {
        return std::make_unique<Cleaner>(m_folders.get(), m_state, nullptr, m_clock);
    }
    // The published scan is the one a listing of the folders gives now.
    static void verifyScanIsListed(Cleaner& cleaner) {
        const Scan published = cleaner.scan();
        cleaner.rescan();
        QCOMPARE(published, cleaner.scan());
    }

  private slots:
    void init() {
        m_home = std::make_unique<TempHome>();
        m_desktop = m_home->desktop();
        m_state = m_home->stateFolder();
        m_folders = std::make_unique<TidiedFolders>(m_home->configFolder(), m_desktop);
        m_folders->desktopRules()->restoreDefaults();
    }
    void cleanup() {
        m_folders.reset();
        m_home.reset();
    }

    // Put back beside files already in their groups, one under a new name, in name order;
    // by the undo on this thread, or by one on a worker.
    void scanAfterCleanAndUndo_data() {
        QTest::addColumn<bool>("started");
        QTest::newRow("here") << false;
        QTest::newRow("started") << true;
    }
    void scanAfterCleanAndUndo() {
        QFETCH(bool, started);
        for (const QString name : {"b10.png", "b9.png", "A.png", "c.pdf", "notes.xyz"})
            touch(name);
        QVERIFY(QDir().mkdir(desktop("Project")));
        auto cleaner = makeCleaner();
        cleaner->clean();
        QCOMPARE(cleaner->status().moved(), 4);
        verifyScanIsListed(*cleaner);

        touch("b9.png", "a new file by a moved file's name");
        touch("b1.png");
        touch("d.pdf");
        cleaner->rescan(); // as the watch does after files arrive
        if (started) {
            cleaner->startUndo();
            QTRY_VERIFY_WITH_TIMEOUT(!cleaner->isBusy(), 20000);
        } else {
            cleaner->undo();
        }
        QCOMPARE(cleaner->status().restored(), 4);
        QVERIFY(QFile::exists(desktop("b9 2.png")));
        verifyScanIsListed(*cleaner);
    }

    // Files put back beside downloads in progress stay, as a listing would have them: the
    // download's own file, and an empty file while any download is in progress.
    void scanAfterUndoBesideDownloads() {
        touch("report.pdf");
        touch("empty.png", "");
        touch("photo.png");
        auto cleaner = makeCleaner();
        cleaner->clean();
        QCOMPARE(cleaner->status().moved(), 3);
        touch("report.pdf.part");
        cleaner->rescan();
        cleaner->undo();
        QCOMPARE(cleaner->status().restored(), 3);
        verifyScanIsListed(*cleaner);
        QCOMPARE(cleaner->scan().folders.first().other, 3);
    }

    // What a cleaner wrote is not read back while it stands as written; once another wrote
    // over it, the file's own record is put back, and a clean's file in the history that
    // no longer holds the record's moves is not taken for it.
    void filesWrittenSinceAreRead() {
        touch("a.png");
        auto cleaner = makeCleaner();
        cleaner->clean();
        touch("b.pdf");
        makeCleaner()->clean();
        cleaner->undo();
        QCOMPARE(cleaner->status().restored(), 1);
        QVERIFY(QFile::exists(desktop("b.pdf")));
        QVERIFY(QFile::exists(desktop("Images/a.png")));

        touch("c.png");
        cleaner->clean();
        QCOMPARE(cleaner->status().moved(), 2); // b.pdf again, and c.png
        const QString moves =
            CleanHistory::movesFile(CleanHistory::fileIn(m_state), cleaner->history().first().id);
        auto edited = CleanRecord::decode(testsupport::readFile(moves));
        QVERIFY(edited && edited->moves.size() == 2);
        edited->moves.removeLast();
        QVERIFY(testsupport::touch(moves, edited->encode()));
        cleaner->undo();
        QCOMPARE(cleaner->status().restored(), 2);
        QVERIFY(!cleaner->history().first().undone);
    }

    // Every byte a path can hold comes back from the journal as it went in.
    void journalKeepsOddPaths() {
        const QString file = m_state + "/test.journal";
        QVERIFY(platform::makePath(m_state));
        auto journal = CleanJournal::begin(file, CleanJournal::Kind::Clean, m_clock.now());
        QVERIFY(journal);
        QString odd = "/tmp/a b%25\t\n#?&+;=:@~'()!$*,[]{}\\\"é中\x7f";
        for (int c = 1; c < 0x80; ++c)
            odd += QChar(c == '/' ? 'x' : c);
        platform::FileIdentity id;
        id.device = ~quint64(0);
        id.inode = 1234567890123;
        id.type = platform::FileIdentity::Type::File;
        id.hasState = true;
        id.size = 42;
        id.modifiedNs = -5;
        id.changedNs = 1700000000123456789;
        id.bornNs = 0;
        journal->queueMove(odd, "/tmp/to/" + odd.mid(5), id);
        QVERIFY(journal->flush());
        journal.reset();
        const auto read = CleanJournal::read(file);
        QVERIFY(read && read->moves.size() == 1);
        QCOMPARE(read->moves[0].from, platform::standardize(odd));
        QCOMPARE(read->moves[0].to, platform::standardize("/tmp/to/" + odd.mid(5)));
        const platform::FileIdentity back = read->moves[0].item;
        QVERIFY(back.unchangedSince(id) && back.changedNs == id.changedNs);
    }
};

VANTOR_TEST_MAIN(TestCleanWork)
#include "TestCleanWork.moc"
