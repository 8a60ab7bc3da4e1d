#include "TestSupport.h"

#include "cleaner/CleanHistory.h"
#include "cleaner/CleanJournal.h"
#include "cleaner/Cleaner.h"
#include "platform/FileSystem.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QSignalSpy>

#include <memory>

using Status = Cleaner::Status;
using Entry = CleanHistory::Entry;

class TestCleanHistory : public QObject {
    Q_OBJECT

    std::unique_ptr<TempHome> m_home;
    TestClock m_clock;
    std::unique_ptr<TidiedFolders> m_folders;
    RuleStore* m_store = nullptr;
    QString m_desktop, m_state;

    QString desktop(const QString& name) const { return m_desktop + "/" + name; }
    void touch(const QString& name, const QByteArray& content = "x") {
        QVERIFY(testsupport::touch(desktop(name), content));
    }
    std::unique_ptr<Cleaner> makeCleaner() {
        return std::make_unique<Cleaner>(m_folders.get(), m_state, nullptr, m_clock);
    }
    QString historyFile() const { return CleanHistory::fileIn(m_state); }
    // One clean of one new file; its history id.
    QString cleanOne(Cleaner& cleaner, const QString& name) {
        touch(name, name.toUtf8());
        m_clock.advance(1000);
        cleaner.clean();
        return cleaner.history().isEmpty() ? QString() : cleaner.history().first().id;
    }
    static Entry entry(const QString& id, int moves) {
        Entry e{id, false, false, moves, {}};
        e.record.date = QDateTime(QDate(2026, 1, 1), QTime(9, 0), Qt::UTC);
        for (int i = 0; i < moves; ++i)
            e.record.moves.append({QString("/home/u/Desktop/%1.png").arg(i),
                                   QString("/home/u/Pictures/%1.png").arg(i)});
        return e;
    }

  private slots:
    void init() {
        m_home = std::make_unique<TempHome>();
        m_desktop = m_home->desktop();
        m_state = m_home->stateFolder();
        m_folders = std::make_unique<TidiedFolders>(m_home->configFolder(), m_desktop);
        m_store = m_folders->desktopRules();
        m_store->restoreDefaults(); // Images and Documents on this Desktop
    }
    void cleanup() {
        m_folders.reset();
        m_home.reset();
    }

    // Each clean that moved something comes first in the history and is announced; the
    // 21st pushes out the oldest, also on disk.
    void twentyOneCleansKeepTwenty() {
        auto cleaner = makeCleaner();
        QSignalSpy cleaned(cleaner.get(), &Cleaner::cleaned);
        QSignalSpy changed(cleaner.get(), &Cleaner::historyChanged);
        QStringList ids;
        for (int i = 0; i < 21; ++i)
            ids.prepend(cleanOne(*cleaner, QString("f%1.png").arg(i)));
        cleaner->clean(); // nothing to move: no entry
        QCOMPARE(cleaned.count(), 21);
        QCOMPARE(changed.count(), 21);
        QCOMPARE(cleaned.last().first().value<CleanSummary>().id, ids.first());

        const auto history = cleaner->history();
        QCOMPARE(history.size(), Cleaner::kHistoryLength);
        QStringList kept;
        for (const auto& e : history) {
            kept.append(e.id);
            QCOMPARE(e.moved, 1);
            QVERIFY(!e.automatic && !e.undone);
        }
        QCOMPARE(kept, ids.mid(0, 20));
        QCOMPARE(QSet<QString>(kept.begin(), kept.end()).size(), 20);
        // Dated by the cleaner's clock, a second apart.
        QCOMPARE(history.first().date, m_clock.now());
        QCOMPARE(history.last().date, m_clock.now().addSecs(-19));
        QCOMPARE(makeCleaner()->history(), history); // as a restart reads it
        // last-clean.json keeps its own form, holding the newest clean.
        QCOMPARE(CleanRecord::decode(testsupport::readFile(cleaner->recordFile())),
                 cleaner->lastClean());
        QCOMPARE(cleaner->lastClean()->moves.first().from, desktop("f20.png"));
    }

    void automaticCleanIsMarkedSo() {
        touch("a.png");
        touch("b.pdf");
        auto cleaner = makeCleaner();
        QSignalSpy cleaned(cleaner.get(), &Cleaner::cleaned);
        cleaner->startClean({/*automatic=*/true, QStringList{desktop("a.png")}});
        QTRY_VERIFY_WITH_TIMEOUT(!cleaner->isBusy(), 20000);
        QCOMPARE(cleaned.count(), 1);
        const auto entry = cleaned.first().first().value<CleanSummary>();
        QVERIFY(entry.automatic);
        QCOMPARE(entry.moved, 1);
        QCOMPARE(cleaner->history(), QList<CleanSummary>{entry});
        cleaner->clean();
        QVERIFY(!cleaner->history().first().automatic);
        QVERIFY(makeCleaner()->history().at(1).automatic);
    }

    // An older clean is put back while the newer one, and last-clean.json, stay as they
    // were; the newest then still undoes as a plain undo does.
    void olderCleanPutBackWhileNewerStays() {
        auto cleaner = makeCleaner();
        const QString older = cleanOne(*cleaner, "a.png");
        const QString newer = cleanOne(*cleaner, "b.pdf");
        const QByteArray record = testsupport::readFile(cleaner->recordFile());
        QSignalSpy lastClean(cleaner.get(), &Cleaner::lastCleanChanged);

        cleaner->undo(older);
        QCOMPARE(cleaner->status(), Status::undone(1, 0));
        QVERIFY(QFile::exists(desktop("a.png")));
        QVERIFY(QFile::exists(desktop("Documents/b.pdf")));
        QVERIFY(!QFile::exists(desktop("Images"))); // created by the older clean, left empty
        QCOMPARE(testsupport::readFile(cleaner->recordFile()), record);
        QCOMPARE(lastClean.count(), 0);
        QVERIFY(cleaner->history().at(1).undone);
        QVERIFY(!cleaner->history().at(0).undone);
        QVERIFY(makeCleaner()->history().at(1).undone);
        QCOMPARE(makeCleaner()->history().at(1).putBackAt, m_clock.now());

        cleaner->undo(older); // only once
        QCOMPARE(cleaner->status(), Status::undone(1, 0));
        QVERIFY(QFile::exists(desktop("a.png")));

        cleaner->undo(newer);
        QCOMPARE(cleaner->status(), Status::undone(1, 0));
        QVERIFY(!cleaner->lastClean());
        QVERIFY(!QFile::exists(cleaner->recordFile()));
        QVERIFY(cleaner->history().at(0).undone);
        QCOMPARE(cleaner->history().at(0).putBackAt, m_clock.now());
        QVERIFY(QFile::exists(desktop("b.pdf")));
    }

    // What was renamed or removed since counts as failed and is left where it is; a name
    // taken on the Desktop gets the next free one. Nothing is replaced or lost.
    void olderCleanMovesWhatItStillCan() {
        touch("gone.png");
        touch("renamed.png", "renamed");
        touch("taken.png", "first");
        touch("kept.png", "kept");
        auto cleaner = makeCleaner();
        cleaner->clean();
        const QString older = cleaner->history().first().id;
        cleanOne(*cleaner, "newer.pdf");
        QVERIFY(QFile::remove(desktop("Images/gone.png")));
        QVERIFY(QFile::rename(desktop("Images/renamed.png"), desktop("Images/other.png")));
        touch("taken.png", "second");

        cleaner->undo(older);
        QCOMPARE(cleaner->status(), Status::undone(2, 2));
        QCOMPARE(testsupport::readFile(desktop("taken.png")), "second");
        QCOMPARE(testsupport::readFile(desktop("taken 2.png")), "first");
        QCOMPARE(testsupport::readFile(desktop("kept.png")), "kept");
        QCOMPARE(testsupport::readFile(desktop("Images/other.png")), "renamed");
        QVERIFY(!QFile::exists(desktop("renamed.png")));
        QVERIFY(cleaner->history().at(1).undone);
        QVERIFY(cleaner->isPutBack(desktop("taken 2.png")));
        QVERIFY(!cleaner->isPutBack(desktop("taken.png")));
    }

    void unknownIdChangesNothing() {
        auto cleaner = makeCleaner();
        cleanOne(*cleaner, "a.png");
        const auto history = cleaner->history();
        QSignalSpy status(cleaner.get(), &Cleaner::statusChanged);
        cleaner->undo("12345678");
        QCOMPARE(status.count(), 0);
        QCOMPARE(cleaner->history(), history);
        QVERIFY(cleaner->lastClean());
        QVERIFY(QFile::exists(desktop("Images/a.png")));
    }

    // Marks survive a restart and end with the first change to the file.
    void putBackMarkLastsUntilTheFileChanges() {
        touch("a.png", "a");
        touch("b.png", "b");
        touch("c.png", "c");
        auto cleaner = makeCleaner();
        cleaner->clean();
        QVERIFY(!cleaner->isPutBack(desktop("Images/a.png")));
        cleaner->undo();
        for (const QString name : {"a.png", "b.png", "c.png"})
            QVERIFY2(cleaner->isPutBack(desktop(name)), qPrintable(name));

        cleaner = makeCleaner(); // a restart
        QVERIFY(cleaner->isPutBack(desktop("a.png")));
        QVERIFY(testsupport::touch(desktop("a.png"), "modified"));
        QVERIFY(QFile::rename(desktop("b.png"), desktop("b2.png")));
        QVERIFY(!cleaner->isPutBack(desktop("a.png")));
        QVERIFY(!cleaner->isPutBack(desktop("b.png")));
        QVERIFY(!cleaner->isPutBack(desktop("b2.png")));
        QVERIFY(cleaner->isPutBack(desktop("c.png")));
        QVERIFY(QFile::remove(desktop("c.png")));
        QVERIFY(testsupport::touch(desktop("c.png"), "c")); // a new file by the old name
        QVERIFY(!cleaner->isPutBack(desktop("c.png")));

        // The next write keeps only the marks that still hold: none here, so no file.
        const QString file = PutBackMarks::fileIn(m_state);
        QVERIFY(testsupport::readFile(file).contains("a.png"));
        const auto kept = PutBackMarks::add(file, {});
        QVERIFY(kept && kept->isEmpty());
        QVERIFY(!QFile::exists(file));

        // Past the limit the oldest mark goes.
        QStringList paths;
        for (int i = 0; i <= PutBackMarks::kMaxMarks; ++i) {
            touch(QString::number(i));
            paths.append(desktop(QString::number(i)));
        }
        QVERIFY(PutBackMarks::add(file, paths.mid(0, PutBackMarks::kMaxMarks)));
        const auto newest = PutBackMarks::add(file, {paths.last()});
        QVERIFY(newest && newest->size() == PutBackMarks::kMaxMarks);
        QCOMPARE(newest->first().path, paths[1]);
        QCOMPARE(newest->last().path, paths.last());
    }

    // put-back.json's form, byte for byte.
    void marksFileForm() {
        const QList<PutBackMarks::Mark> marks{
            {"/home/u/Desktop/a \"b\"\\.png", 2049, 1234567, 0, 5},
            {"/d/é", ~quint64(0), 7, 123456789012, -1}};
        const QByteArray form =
            "[\n{\"path\":\"\\/home\\/u\\/Desktop\\/a \\\"b\\\"\\\\.png\",\"device\":\"2049\","
            "\"inode\":\"1234567\",\"size\":\"0\",\"modified\":\"5\"},\n"
            "{\"path\":\"\\/d\\/\xc3\xa9\",\"device\":\"18446744073709551615\",\"inode\":\"7\","
            "\"size\":\"123456789012\",\"modified\":\"-1\"}\n]\n";
        QCOMPARE(PutBackMarks::encode(marks), form);
        QCOMPARE(PutBackMarks::decode(form), marks);
    }

    // Marks another cleaner wrote meanwhile are kept when this one adds its own.
    void marksOfAnotherCleanerStay() {
        touch("a.png", "a");
        touch("b.png", "b");
        auto cleaner = makeCleaner();
        cleaner->clean();
        const QString older = cleaner->history().first().id;
        cleanOne(*cleaner, "c.png");
        makeCleaner()->undo(older);
        cleaner->undo();
        QCOMPARE(cleaner->status(), Status::undone(1, 0));
        auto restarted = makeCleaner();
        for (const QString name : {"a.png", "b.png", "c.png"})
            QVERIFY2(restarted->isPutBack(desktop(name)), qPrintable(name));
    }

    // A clean's moves file holds last-clean.json's very bytes; one in another form (an
    // older program's) is still its clean's, and is decoded to be put back.
    void cleansMovesFileInAnyForm() {
        touch("a.png", "a");
        touch("b.pdf", "b");
        auto cleaner = makeCleaner();
        cleaner->clean();
        const QString id = cleaner->history().first().id;
        const QString moves = CleanHistory::movesFile(historyFile(), id);
        const QByteArray bytes = testsupport::readFile(cleaner->recordFile());
        QCOMPARE(testsupport::readFile(moves), bytes);
        QVERIFY(testsupport::touch(moves, QJsonDocument::fromJson(bytes).toJson()));

        cleaner = makeCleaner();
        cleaner->undo();
        QCOMPARE(cleaner->status(), Status::undone(2, 0));
        QVERIFY(cleaner->history().first().undone);
        QVERIFY(!QFile::exists(moves));
    }

    // The time of putting back is the one key added: other lines keep their old form, and a
    // line from before it still reads.
    void putBackTimeForm_data() {
        QTest::addColumn<QDateTime>("putBackAt");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("with time")
            << QDateTime(QDate(2026, 1, 2), QTime(14, 2), Qt::UTC)
            << QByteArray("{\"id\":\"c1\",\"moved\":1,\"automatic\":false,\"undone\":true,"
                          "\"putBackAt\":789055320,\"record\":{\"date\":788950800,\"moves\":[],"
                          "\"createdFolders\":[]}}");
        QTest::newRow("older, without")
            << QDateTime()
            << QByteArray("{\"id\":\"c1\",\"moved\":1,\"automatic\":"
                          "false,\"undone\":true,\"record\":{\"date\":"
                          "788950800,\"moves\":[],\"createdFolders\":[]}}");
    }
    void putBackTimeForm() {
        QFETCH(QDateTime, putBackAt);
        QFETCH(QByteArray, line);
        Entry e = entry("c1", 1);
        e.undone = true;
        e.record.moves.clear();
        e.putBackAt = putBackAt;
        const QByteArray form = "[\n" + line + "\n]\n";
        QCOMPARE(CleanHistory::encode({e}), form);
        QCOMPARE(CleanHistory::decode(form), QList<Entry>{e});
    }

    // A file cut short or edited by hand: the entries that still decode are kept.
    void damagedHistoryKeepsWhatDecodes() {
        QList<Entry> entries{entry("aaaa0001", 1), entry("aaaa0002", 2), entry("aaaa0003", 3)};
        for (Entry& e : entries) // the listing's lines: the moves are in files of their own
            e.record.moves.clear();
        const QByteArray whole = CleanHistory::encode(entries);
        QCOMPARE(CleanHistory::decode(whole), entries);

        const QByteArray cut = whole.left(whole.lastIndexOf("aaaa0003") + 20);
        QCOMPARE(CleanHistory::decode(cut), entries.mid(0, 2));

        QByteArray edited = whole;
        edited.replace("\"aaaa0002\",\"moved\":2", "\"aaaa0002\",\"moved\":\"two\"");
        edited.insert(2, "garbage\n{\"id\":7}\n");
        QCOMPARE(CleanHistory::decode(edited), QList<Entry>({entries[0], entries[2]}));

        for (const QByteArray& bad : {QByteArray(), QByteArray("\x00\xff{[", 5),
                                      QByteArray("{\"id\":\"x\"}"), QByteArray("[1,2,3]")})
            QVERIFY(CleanHistory::decode(bad).isEmpty());

        // A cleaner reads what decodes and writes it back whole at its next clean.
        QVERIFY(testsupport::touch(historyFile(), cut));
        auto cleaner = makeCleaner();
        QCOMPARE(cleaner->history().size(), 2);
        cleanOne(*cleaner, "a.png");
        QCOMPARE(CleanHistory::read(historyFile()).size(), 3);
        QVERIFY(CleanHistory::decode(testsupport::readFile(historyFile())).size() == 3);
    }

    // A clean far too big for a listing line stays undoable after newer cleans: its moves
    // live in a file of their own, which goes once it is put back. An entry whose moves are
    // gone puts back nothing and is not marked put back.
    void bigCleanStaysUndoable() {
        const QString padding(120, u'p');
        for (int i = 0; i < 3000; ++i)
            touch(QString("%1 %2.png").arg(padding).arg(i));
        auto cleaner = makeCleaner();
        cleaner->clean();
        const QString big = cleaner->history().first().id;
        const QString gone = cleanOne(*cleaner, "gone.pdf");
        cleanOne(*cleaner, "newest.pdf");
        QVERIFY(QFileInfo(historyFile()).size() < 4096);
        QVERIFY(QFile::remove(CleanHistory::movesFile(historyFile(), gone)));

        cleaner = makeCleaner();
        cleaner->undo(gone);
        QCOMPARE(cleaner->status(), Status::undone(0, 1));
        QVERIFY(!cleaner->history().at(1).undone);
        cleaner->undo(big);
        QCOMPARE(cleaner->status(), Status::undone(3000, 0));
        QVERIFY(cleaner->history().at(2).undone);
        QVERIFY(!QFile::exists(CleanHistory::movesFile(historyFile(), big)));
        QCOMPARE(QDir(m_desktop).entryList(QDir::Files).size(), 3000);
    }

    // A history written before the moves had files of their own is read with its moves and
    // puts them out at the next write.
    void olderHistoryKeepsItsMoves() {
        touch("a.png", "a");
        auto cleaner = makeCleaner();
        cleaner->clean();
        const QString older = cleaner->history().first().id;
        cleanOne(*cleaner, "newer.pdf");
        cleaner.reset();
        QList<Entry> entries = CleanHistory::read(historyFile());
        for (Entry& e : entries)
            QVERIFY(CleanHistory::loadMoves(historyFile(), &e));
        // As the line used to be: the moves inline, no file beside it.
        QByteArray inline_ = "[\n";
        for (qsizetype i = 0; i < entries.size(); ++i) {
            inline_ += "{\"id\":\"" + entries[i].id.toUtf8() +
                       "\",\"moved\":1,\"automatic\":false," +
                       "\"undone\":false,\"record\":" + entries[i].record.encode() + "}" +
                       (i + 1 < entries.size() ? ",\n" : "\n");
            QVERIFY(QFile::remove(CleanHistory::movesFile(historyFile(), entries[i].id)));
        }
        QVERIFY(testsupport::touch(historyFile(), inline_ + "]\n"));

        cleaner = makeCleaner();
        cleaner->undo(older);
        QCOMPARE(cleaner->status(), Status::undone(1, 0));
        QVERIFY(QFile::exists(desktop("a.png")));
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
        touch("a.png", "a");
        touch("b.png", "b");
        auto cleaner = makeCleaner();
        cleaner->clean();
        const QString older = cleaner->history().first().id;
        cleanOne(*cleaner, "newer.pdf");
        const QByteArray record = testsupport::readFile(cleaner->recordFile());
        cleaner.reset();

        // The journal of a put-back that had moved b.png back when it was killed.
        auto journal =
            CleanJournal::begin(CleanJournal::fileIn(m_state, CleanJournal::Kind::PutBack),
                                CleanJournal::Kind::PutBack, QDateTime::currentDateTimeUtc());
        QVERIFY(journal && journal->entry(older, false));
        const auto item = platform::identity(desktop("Images/b.png"), false);
        QVERIFY(journal->moveStarting(desktop("Images/b.png"), desktop("b.png"), *item));
        const auto a = platform::identity(desktop("Images/a.png"), false);
        QVERIFY(
            journal->moveStarting(desktop("Images/a.png"), desktop("a.png"), allBack ? *a : *item));
        journal.reset();
        QVERIFY(QFile::rename(desktop("Images/b.png"), desktop("b.png")));
        if (allBack)
            QVERIFY(QFile::rename(desktop("Images/a.png"), desktop("a.png")));
        if (movesGone)
            QVERIFY(QFile::remove(CleanHistory::movesFile(historyFile(), older)));

        cleaner = makeCleaner();
        QCOMPARE(testsupport::readFile(cleaner->recordFile()), record);
        QVERIFY(!QFile::exists(CleanJournal::fileIn(m_state, CleanJournal::Kind::PutBack)));
        QCOMPARE(cleaner->history().at(1).undone, allBack); // unless a.png is back too
        QVERIFY(cleaner->isPutBack(desktop("b.png")));
        if (movesGone || allBack)
            return;
        cleaner->undo(older);
        QCOMPARE(cleaner->status(), Status::undone(1, 0));
        QVERIFY(QFile::exists(desktop("a.png")));
        QVERIFY(cleaner->history().at(1).undone);
        QCOMPARE(testsupport::readFile(cleaner->recordFile()), record);
    }

    // A clean killed before it could save finds its way into the history, once, with the
    // id and kind it began with.
    void recoveredCleanJoinsTheHistory() {
        touch("a.png", "a");
        const QString path = CleanJournal::fileIn(m_state, CleanJournal::Kind::Clean);
        QVERIFY(platform::makePath(m_state));
        auto journal =
            CleanJournal::begin(path, CleanJournal::Kind::Clean, QDateTime::currentDateTimeUtc());
        QVERIFY(journal && journal->entry("c0ffee00", true));
        QVERIFY(journal->folderCreated(desktop("Images")));
        const auto item = platform::identity(desktop("a.png"), false);
        QVERIFY(journal->moveStarting(desktop("a.png"), desktop("Images/a.png"), *item));
        journal.reset();
        QVERIFY(QDir().mkpath(desktop("Images")));
        QVERIFY(QFile::rename(desktop("a.png"), desktop("Images/a.png")));

        auto cleaner = makeCleaner();
        QCOMPARE(cleaner->history().size(), 1);
        QCOMPARE(cleaner->history().first().id, "c0ffee00");
        QVERIFY(cleaner->history().first().automatic);
        QCOMPARE(makeCleaner()->history().size(), 1);
        cleaner->undo("c0ffee00"); // it is the one last-clean.json holds
        QCOMPARE(cleaner->status(), Status::undone(1, 0));
        QVERIFY(!cleaner->lastClean());
        QVERIFY(cleaner->history().first().undone);
    }
};

VANTOR_TEST_MAIN(TestCleanHistory)
#include "TestCleanHistory.moc"
