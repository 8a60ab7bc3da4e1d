#include "CleanerTest.h"

#include "cleaner/CleanHistory.h"

#include <QJsonDocument>

using Entry = CleanHistory::Entry;

class TestCleanHistory : public CleanerTest {
    Q_OBJECT

    QString historyFile() const { return CleanHistory::fileIn(m_state); }
    QString movesFile(const QString& id) const {
        return CleanHistory::movesFile(historyFile(), id);
    }
    // One clean of one new file a second after the last; its history id.
    QString cleanOne(const QString& name) {
        touch({name}, name.toUtf8());
        m_clock->advance(1000);
        m_cleaner->clean();
        return m_cleaner->history().isEmpty() ? QString() : m_cleaner->history().first().id;
    }
    // A clean of what is on the Desktop, then a newer one of one file; the older's id.
    QString cleanTwice() {
        m_cleaner->clean();
        const QString older = m_cleaner->history().first().id;
        cleanOne("newer.pdf");
        return older;
    }
    // A listing line of the history: its moves are in a file of their own.
    static Entry entry(const QString& id, int moves) {
        Entry e{id, false, false, moves, {}};
        e.record.date = QDateTime(QDate(2026, 1, 1), QTime(9, 0), Qt::UTC);
        return e;
    }

  private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    // Each clean that moved something comes first in the history and is announced; the
    // 21st pushes out the oldest, also on disk.
    void twentyOneCleansKeepTwenty() {
        QSignalSpy cleaned(m_cleaner.get(), &Cleaner::cleaned);
        QSignalSpy changed(m_cleaner.get(), &Cleaner::historyChanged);
        QStringList ids;
        for (int i = 0; i < 21; ++i)
            ids.prepend(cleanOne(QString("f%1.png").arg(i)));
        m_cleaner->clean(); // nothing to move: no entry
        QCOMPARE(changed.count(), 21);
        QCOMPARE(cleaned.count(), 21);
        QCOMPARE(cleaned.last().first().value<CleanSummary>().id, ids.first());
        const auto history = m_cleaner->history();
        QStringList kept;
        for (const auto& e : history)
            kept.append(e.id);
        QCOMPARE(kept, ids.mid(0, Cleaner::kHistoryLength));
        QCOMPARE(history.first().date, m_clock->now()); // the cleaner's clock
        QCOMPARE(anotherCleaner()->history(), history); // as a restart reads it
    }

    // An older clean is put back, once, as far as it still can, while the newer one, and
    // last-clean.json, stay as they were. What was renamed or removed since counts as failed and is
    // left where it is. An unknown id changes nothing.
    void olderCleanPutBackWhileNewerStays() {
        touch({"gone.png", "kept.png"});
        touch({"renamed.png"}, "renamed");
        const QString older = cleanTwice();
        const QByteArray record = testsupport::readFile(m_cleaner->recordFile());
        QVERIFY(QFile::remove(desktop("Images/gone.png")));
        QVERIFY(QFile::rename(desktop("Images/renamed.png"), desktop("renamed since.png")));
        QSignalSpy lastClean(m_cleaner.get(), &Cleaner::lastCleanChanged);
        QSignalSpy status(m_cleaner.get(), &Cleaner::statusChanged);
        m_cleaner->undo("12345678");
        QCOMPARE(status.count(), 0);

        m_cleaner->undo(older);
        QCOMPARE(m_cleaner->status(), Status::undone(1, 2));
        QCOMPARE(read("renamed since.png"), "renamed");
        QVERIFY(onDesktop("kept.png") && !onDesktop("renamed.png"));
        QVERIFY(onDesktop("Documents/newer.pdf"));
        QVERIFY(!onDesktop("Images")); // created by the older clean, left empty
        QCOMPARE(testsupport::readFile(m_cleaner->recordFile()), record);
        QCOMPARE(lastClean.count(), 0);
        QVERIFY(m_cleaner->history().at(1).undone && !m_cleaner->history().at(0).undone);
        QCOMPARE(anotherCleaner()->history().at(1).putBackAt, m_clock->now());
        m_cleaner->undo(older); // only once
        QCOMPARE(status.count(), 1);
    }

    // Marks survive a restart and end with the first change to the file; marks another
    // cleaner wrote meanwhile stay when this one adds its own.
    void putBackMarkLastsUntilTheFileChanges() {
        touch({"a.png", "b.png", "c.png"});
        const QString older = cleanTwice();
        anotherCleaner()->undo(older);
        m_cleaner->undo();
        for (const QString name : {"a.png", "b.png", "c.png", "newer.pdf"})
            QVERIFY2(restart().isPutBack(desktop(name)), qPrintable(name));

        touch({"a.png"}, "modified");
        QVERIFY(QFile::rename(desktop("b.png"), desktop("b2.png")));
        QVERIFY(QFile::remove(desktop("c.png")));
        touch({"c.png"}); // a new file by the old name
        for (const QString name : {"a.png", "b.png", "b2.png", "c.png"})
            QVERIFY2(!m_cleaner->isPutBack(desktop(name)), qPrintable(name));

        // Past the limit the oldest mark goes.
        const QString file = PutBackMarks::fileIn(m_state);
        QStringList paths;
        for (int i = 0; i <= PutBackMarks::kMaxMarks; ++i) {
            touch({QString::number(i)});
            paths.append(desktop(QString::number(i)));
        }
        QVERIFY(PutBackMarks::add(file, paths.mid(0, PutBackMarks::kMaxMarks)));
        const auto newest = PutBackMarks::add(file, {paths.last()});
        QVERIFY(newest && newest->size() == PutBackMarks::kMaxMarks);
        QCOMPARE(newest->first().path, paths[1]);
        QCOMPARE(newest->last().path, paths.last());
    }

    // Every path and number a put-back mark holds comes back as it went in. history.json's
    // form, byte for byte: the time of putting back is the one key added to a history line,
    // other lines keep their old form.
    void stateFileForms() {
        const QList<PutBackMarks::Mark> marks{
            {"/home/u/Desktop/a \"b\"\\.png", 2049, 1234567, 0, 5},
            {"/d/é", ~quint64(0), 7, 123456789012, -1}};
        QCOMPARE(PutBackMarks::decode(PutBackMarks::encode(marks)), marks);

        QList<Entry> entries{entry("c1", 1), entry("c2", 0)};
        entries[0].undone = entries[1].undone = true;
        entries[0].putBackAt = QDateTime(QDate(2026, 1, 2), QTime(14, 2), Qt::UTC);
        const QByteArray record =
            "\"record\":{\"date\":788950800,\"moves\":[],\"createdFolders\":[]}}";
        const QByteArray form =
            "[\n{\"id\":\"c1\",\"moved\":1,\"automatic\":false,\"undone\":true,"
            "\"putBackAt\":789055320," +
            record + ",\n{\"id\":\"c2\",\"moved\":0,\"automatic\":false,\"undone\":true," + record +
            "\n]\n";
        QCOMPARE(CleanHistory::encode(entries), form);
        QCOMPARE(CleanHistory::decode(form), entries);
    }

    // Older forms still put back. A clean's moves file holds last-clean.json's very bytes;
    // one in another form (an older program's) is still its clean's, decoded to be put back
    // and then removed. A history written before the moves had files of their own is read
    // with its moves.
    void olderFormsArePutBack() {
        touch({"a.png"});
        const QString older = cleanTwice();
        const QString newer = m_cleaner->history().first().id;
        const QByteArray bytes = testsupport::readFile(m_cleaner->recordFile());
        QCOMPARE(testsupport::readFile(movesFile(newer)), bytes);
        QVERIFY(testsupport::touch(movesFile(newer), QJsonDocument::fromJson(bytes).toJson()));
        restart().undo();
        QCOMPARE(m_cleaner->status(), Status::undone(1, 0));
        QVERIFY(m_cleaner->history().first().undone && !QFile::exists(movesFile(newer)));

        Entry e = CleanHistory::read(historyFile()).at(1);
        QVERIFY(CleanHistory::loadMoves(historyFile(), &e) && QFile::remove(movesFile(older)));
        QVERIFY(testsupport::touch(historyFile(),
                                   "[\n{\"id\":\"" + older.toUtf8() +
                                       "\",\"moved\":1,\"automatic\":false,\"undone\":false,"
                                       "\"record\":" +
                                       e.record.encode() + "}\n]\n"));
        restart().undo(older);
        QCOMPARE(m_cleaner->status(), Status::undone(1, 0));
        QVERIFY(onDesktop("a.png"));
    }

    // A file cut short or edited by hand: the entries that still decode are kept, and a
    // cleaner writes them back whole at its next clean.
    void damagedHistoryKeepsWhatDecodes() {
        const QList<Entry> entries{entry("aaaa0001", 1), entry("aaaa0002", 2),
                                   entry("aaaa0003", 3)};
        const QByteArray whole = CleanHistory::encode(entries);
        const QByteArray cut = whole.left(whole.lastIndexOf("aaaa0003") + 20);
        QCOMPARE(CleanHistory::decode(cut), entries.mid(0, 2));
        QByteArray edited = whole;
        edited.replace("\"aaaa0002\",\"moved\":2", "\"aaaa0002\",\"moved\":\"two\"");
        edited.insert(2, "garbage\n{\"id\":7}\n");
        QCOMPARE(CleanHistory::decode(edited), QList<Entry>({entries[0], entries[2]}));
        for (const QByteArray& bad : {QByteArray(), QByteArray("\x00\xff{[", 5),
                                      QByteArray("{\"id\":\"x\"}"), QByteArray("[1,2,3]")})
            QVERIFY(CleanHistory::decode(bad).isEmpty());

        QVERIFY(testsupport::touch(historyFile(), cut));
        QCOMPARE(restart().history().size(), 2);
        cleanOne("a.png");
        QCOMPARE(CleanHistory::decode(testsupport::readFile(historyFile())).size(), 3);
    }

    // A clean far too big for a listing line stays undoable after newer cleans: its moves
    // live in a file of their own, which goes once it is put back. An entry whose moves are
    // gone puts back nothing and is not marked put back.
    void bigCleanStaysUndoable() {
        const QString padding(120, u'p');
        for (int i = 0; i < 3000; ++i)
            touch({QString("%1 %2.png").arg(padding).arg(i)});
        m_cleaner->clean();
        const QString big = m_cleaner->history().first().id;
        const QString gone = cleanOne("gone.pdf");
        cleanOne("newest.pdf");
        QVERIFY(QFileInfo(historyFile()).size() < 4096);
        QVERIFY(QFile::remove(movesFile(gone)));

        restart().undo(gone);
        QCOMPARE(m_cleaner->status(), Status::undone(0, 1));
        QVERIFY(!m_cleaner->history().at(1).undone);
        m_cleaner->undo(big);
        QCOMPARE(m_cleaner->status(), Status::undone(3000, 0));
        QVERIFY(m_cleaner->history().at(2).undone);
        QVERIFY(!QFile::exists(movesFile(big)));
    }

    // A put-back of an older clean killed half-way is finished at the next start from its
    // own journal, and last-clean.json is left exactly as it was. Where the clean's moves
    // can no longer be read, its entry is not taken for put back.
    void interruptedOlderPutBackLeavesTheRecord_data() {
        QTest::addColumn<bool>("movesGone");
        QTest::addColumn<bool>("allBack"); // killed after its last move
        QTest::newRow("moves kept") << false << false;
        QTest::newRow("moves gone") << true << false;
        QTest::newRow("all put back") << false << true;
    }
    void interruptedOlderPutBackLeavesTheRecord() {
        QFETCH(bool, movesGone);
        QFETCH(bool, allBack);
        touch({"a.png", "b.png"});
        const QString older = cleanTwice();
        const QByteArray record = testsupport::readFile(m_cleaner->recordFile());
        m_cleaner.reset();

        // The journal of a put-back that had moved b.png back when it was killed.
        auto journal = beginJournal(m_state, CleanJournal::Kind::PutBack);
        QVERIFY(journal && journal->entry(older, false));
        const auto b = platform::identity(desktop("Images/b.png"), false);
        const auto a = platform::identity(desktop("Images/a.png"), false);
        QVERIFY(journal->moveStarting(desktop("Images/b.png"), desktop("b.png"), *b));
        QVERIFY(
            journal->moveStarting(desktop("Images/a.png"), desktop("a.png"), allBack ? *a : *b));
        journal.reset();
        QVERIFY(QFile::rename(desktop("Images/b.png"), desktop("b.png")));
        QVERIFY(!allBack || QFile::rename(desktop("Images/a.png"), desktop("a.png")));
        QVERIFY(!movesGone || QFile::remove(movesFile(older)));

        restart();
        QCOMPARE(testsupport::readFile(m_cleaner->recordFile()), record);
        QVERIFY(!QFile::exists(CleanJournal::fileIn(m_state, CleanJournal::Kind::PutBack)));
        QCOMPARE(m_cleaner->history().at(1).undone, allBack); // unless a.png is back too
        QVERIFY(m_cleaner->isPutBack(desktop("b.png")));
        if (movesGone || allBack)
            return;
        m_cleaner->undo(older);
        QCOMPARE(m_cleaner->status(), Status::undone(1, 0));
        QVERIFY(onDesktop("a.png") && m_cleaner->history().at(1).undone);
        QCOMPARE(testsupport::readFile(m_cleaner->recordFile()), record);
    }
};

VANTOR_TEST_MAIN(TestCleanHistory)
#include "TestCleanHistory.moc"
