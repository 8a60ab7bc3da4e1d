#include "CleanerTest.h"

#include "cleaner/CleanHistory.h"

// What a clean or undo leaves beside the moves: the record and history it reads back, and
// the journal lines it writes before moving.
class TestCleanWork : public CleanerTest {
    Q_OBJECT

  private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    // What a cleaner wrote is not read back while it stands as written; once another wrote
    // over it, the file's own record is put back, and a clean's file in the history that
    // no longer holds the record's moves is not taken for it.
    void filesWrittenSinceAreRead() {
        touch({"a.png"});
        m_cleaner->clean();
        touch({"b.pdf"});
        anotherCleaner()->clean();
        m_cleaner->undo();
        QCOMPARE(m_cleaner->status().restored(), 1);
        QVERIFY(onDesktop("b.pdf") && onDesktop("Images/a.png"));

        touch({"c.png"});
        m_cleaner->clean();
        QCOMPARE(m_cleaner->status().moved(), 2); // b.pdf again, and c.png
        const QString moves =
            CleanHistory::movesFile(CleanHistory::fileIn(m_state), m_cleaner->history().first().id);
        auto edited = CleanRecord::decode(testsupport::readFile(moves));
        QVERIFY(edited && edited->moves.size() == 2);
        edited->moves.removeLast();
        QVERIFY(testsupport::touch(moves, edited->encode()));
        m_cleaner->undo();
        QCOMPARE(m_cleaner->status().restored(), 2);
        QVERIFY(!m_cleaner->history().first().undone);
    }

    // Every byte a path can hold comes back from the journal as it went in.
    void journalKeepsOddPaths() {
        auto journal = beginJournal(m_state, CleanJournal::Kind::Clean);
        QVERIFY(journal);
        QString odd = "/tmp/a b%25\t\n#?&+;=:@~'()!$*,[]{}\\\"é中\x7f";
        for (int c = 1; c < 0x80; ++c)
            odd += QChar(c == '/' ? 'x' : c);
        // Device, inode, type, with its state, size, modified, changed: each at an extreme.
        const platform::FileIdentity id{
            ~quint64(0), 1234567890123,      platform::FileIdentity::Type::File, true, 42,
            -5,          1700000000123456789};
        journal->queueMove(odd, "/tmp/to/" + odd.mid(5), id);
        QVERIFY(journal->flush());
        journal.reset();
        const auto read =
            CleanJournal::read(CleanJournal::fileIn(m_state, CleanJournal::Kind::Clean));
        QVERIFY(read && read->moves.size() == 1);
        QCOMPARE(read->moves[0].from, platform::standardize(odd));
        QCOMPARE(read->moves[0].to, platform::standardize("/tmp/to/" + odd.mid(5)));
        QVERIFY(read->moves[0].item.unchangedSince(id));
    }
};

VANTOR_TEST_MAIN(TestCleanWork)
#include "TestCleanWork.moc"
