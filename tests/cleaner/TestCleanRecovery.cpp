#include "CleanerTest.h"

#include "platform/FileLock.h"

#include <QCryptographicHash>
#include <QDirIterator>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform::detail {
extern void (*copyStep)(qint64 copied);
extern void (*trashStep)();
} // namespace platform::detail

using Notice = Cleaner::Notice;

namespace {

constexpr const char* kOneFileSystem = "the home and /dev/shm are one file system";

// chattr +i while it lives: even root cannot write, rename or remove an immutable entry,
// which is how these tests make the record or its folder unwritable.
struct Immutable {
    QString path;
    bool ok = set(true);
    ~Immutable() { set(false); }
    bool set(bool on) const {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        int flags = 0;
        bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }
};

QByteArray hashOf(const QByteArray& content) {
    return QCryptographicHash::hash(content, QCryptographicHash::Sha1);
}
QString fileName(int i) {
    return QString("file %1.%2").arg(i).arg(i % 50 ? "png" : "pdf");
}

// What a killed clean or undo is about: the Desktop's files; the Desktop's and those of
// Downloads; files going to the trash, with or without another program writing the
// .trashinfo of the one killed halfway under its name; files all going to the other file
// system, where the user saves new files under moved files' names before the restart (on
// a disk that hands out freed inodes again at once, with the moved files' inodes).
enum class Scene { Desktop, TwoFolders, Trash, TrashInfoRewritten, NewFilesSaved };

} // namespace

class TestCleanRecovery : public CleanerTest {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_shm;
    QString m_far; // on another file system than the home, for copies; empty where none is
    QHash<QByteArray, QString> m_files; // a file of ours by its content → the folder it is from

    // A file of ours is to be found in `folder` once everything is put back.
    void expect(const QByteArray& content, const QString& folder) {
        m_files.insert(hashOf(content), QDir::cleanPath(folder));
    }
    void addFile(const QString& name, const QByteArray& content) {
        QVERIFY(testsupport::touch(desktop(name), content));
        expect(content, QFileInfo(desktop(name)).path());
    }
    // Images on the home's file system; Documents and Installers on the other one.
    void populate(int count, qsizetype bigBytes = 0) {
        if (!m_far.isEmpty()) {
            m_store->setDestination(ruleAt(1), m_far + "/Documents");
            m_store->setDestination(ruleAt(2), m_far + "/Installers");
        }
        for (int i = 0; i < count; ++i)
            addFile(fileName(i), fileName(i).toUtf8());
        if (bigBytes > 0)
            addFile("big.iso", QByteArray(bigBytes, 'b') + "end");
    }

    // Every file of ours is there once and whole, `away` of them outside the folder they are
    // from; no partial copy is left, and no journal unless `journalsGone` is false.
    void verifyFiles(qsizetype away = 0, bool journalsGone = true) {
        QHash<QByteArray, QString> found;
        for (const QString& root : {m_home->path(), m_far}) {
            if (root.isEmpty())
                continue;
            QDirIterator it(root,
                            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                QVERIFY2(!platform::isPartialCopyName(it.fileName()), qPrintable(path));
                QVERIFY2(!journalsGone || !path.endsWith(".journal"), qPrintable(path));
                const QFileInfo info = it.fileInfo();
                if (info.isSymLink() || !info.isFile() || path.startsWith(m_state + "/") ||
                    path.startsWith(m_home->configFolder() + "/"))
                    continue; // no file of ours, and possibly a fifo or huge
                const QByteArray hash = hashOf(testsupport::readFile(path));
                QVERIFY2(!m_files.contains(hash) || !found.contains(hash), qPrintable(path));
                found.insert(hash, info.path());
            }
        }
        qsizetype elsewhere = 0;
        for (auto it = m_files.cbegin(); it != m_files.cend(); ++it) {
            QVERIFY2(found.contains(it.key()), qPrintable("a file of " + it.value() + " is lost"));
            elsewhere += found.value(it.key()) != it.value();
        }
        QCOMPARE(elsewhere, away);
    }

    // Where a child process kills itself, besides a count of progress: once a copy across
    // file systems is 1 MiB along; once the first such copy has its name and its source is
    // still there; once the third file's .trashinfo is written. kQuit is no kill but the
    // cleaner going away once it has moved a file, as on quitting.
    static constexpr int kCopying = -1, kLinked = -2, kThirdTrashed = -3, kQuit = -4;

    // A child process with its own cleaner cleans or undoes and kills itself with SIGKILL at
    // `killAt`; true when it did.
    bool killedAt(int killAt, bool undo) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const auto cleaner = anotherCleaner();
            connect(cleaner.get(), &Cleaner::progress, [killAt](int done, int total) {
                if (killAt >= 0 && done == qMin(killAt, total))
                    ::raise(SIGKILL);
            });
            static int hook;
            hook = killAt;
            platform::detail::copyStep = [](qint64 copied) {
                if ((hook == kCopying && copied > 1024 * 1024) || (hook == kLinked && copied < 0))
                    ::raise(SIGKILL);
            };
            platform::detail::trashStep = [] {
                static int trashed = 0;
                if (hook == kThirdTrashed && ++trashed == 3)
                    ::raise(SIGKILL);
            };
            undo ? cleaner->undo() : cleaner->clean();
            ::_exit(0);
        }
        int status = 0;
        return ::waitpid(pid, &status, 0) == pid && WIFSIGNALED(status) &&
               WTERMSIG(status) == SIGKILL;
    }
    void quitAfterFirstMove() {
        QSignalSpy progress(&restart(), &Cleaner::progress);
        m_cleaner->startClean();
        QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty() && progress.last().at(0).toInt() > 0, 20000);
        m_cleaner.reset(); // waits for the worker
    }

  private slots:
    void init() {
        setUp();
        m_files.clear();
        m_shm = std::make_unique<QTemporaryDir>("/dev/shm/vantor-recovery-XXXXXX");
        const auto far = platform::identity(m_shm->path(), true);
        const auto near = platform::identity(m_home->path(), true);
        const bool another = m_shm->isValid() && far && near && far->device != near->device;
        m_far = another ? m_shm->path() : QString();
    }
    void cleanup() {
        tearDown();
        m_shm.reset();
    }

    // A real kill at an exact step of a clean or an undo; a fresh cleaner recovers a record
    // that holds just the files that are away, and one undo brings every file back whole.
    // A clean killed before its first move leaves the earlier record in place.
    void killedWorkIsRecoveredAndUndoneWhole_data() {
        QTest::addColumn<Scene>("scene");
        QTest::addColumn<bool>("undo");
        QTest::addColumn<int>("killAt"); // a count of progress, or a step above
        const auto row = [](const char* name, Scene scene, bool undo, int killAt) {
            QTest::newRow(name) << scene << undo << killAt;
        };
        row("clean, before the first move", Scene::Desktop, false, 0);
        row("clean, in the middle", Scene::Desktop, false, 300);
        row("clean, copying across file systems", Scene::Desktop, false, kCopying);
        row("clean, a copy named, its source still there", Scene::Desktop, false, kLinked);
        row("clean, after the last move", Scene::Desktop, false, 99999);
        row("clean, quit after the first move", Scene::Desktop, false, kQuit);
        row("undo, in the middle", Scene::Desktop, true, 300);
        row("undo, copying across file systems", Scene::Desktop, true, kCopying);
        row("clean over two folders, in the middle", Scene::TwoFolders, false, 700);
        row("undo over two folders, in the middle", Scene::TwoFolders, true, 700);
        row("to the trash, its .trashinfo written", Scene::Trash, false, kThirdTrashed);
        row("to the trash, another's .trashinfo in its place", Scene::TrashInfoRewritten, false,
            kThirdTrashed);
        row("new files under moved names, a copy named", Scene::NewFilesSaved, false, kLinked);
        // More rounds by hand: VANTOR_KILL_ROUNDS=20.
        const int rounds = qMax(1, qEnvironmentVariableIntValue("VANTOR_KILL_ROUNDS"));
        for (int i = 0; i < rounds; ++i) {
            const int killAt = 37 + i * 53 % 500;
            QTest::addRow("new files under moved names, killed after %d moves", killAt)
                << Scene::NewFilesSaved << false << killAt;
        }
    }
    void killedWorkIsRecoveredAndUndoneWhole() {
        QFETCH(Scene, scene);
        QFETCH(bool, undo);
        QFETCH(int, killAt);
        const bool trash = scene == Scene::Trash || scene == Scene::TrashInfoRewritten;
        if (m_far.isEmpty() &&
            (killAt == kCopying || killAt == kLinked || scene == Scene::NewFilesSaved))
            QSKIP(kOneFileSystem);
        if (scene == Scene::NewFilesSaved)
            for (int i = 0; i < 3; ++i)
                m_store->setDestination(ruleAt(i), m_far + "/rule" + QString::number(i));
        if (trash)
            m_store->setAction(ruleAt(0), SortRule::Action::Trash);
        addFile("earlier.pdf", "an earlier clean");
        m_cleaner->clean();
        const auto earlier = m_cleaner->lastClean();
        QVERIFY(earlier);
        m_files.clear();
        m_clock->advance(60 * 1000);

        if (trash) {
            for (const QString name : {"a.png", "b.png", "c.png", "d.png"})
                addFile(name, name.toUtf8());
        } else {
            populate(600, 8 * 1024 * 1024);
        }
        if (scene == Scene::TwoFolders) {
            addDownloads();
            for (int i = 0; i < 200; ++i)
                addFile(QString("../Downloads/download %1.pdf").arg(i), QByteArray::number(i));
        }
        if (undo)
            restart().clean();
        if (killAt == kQuit)
            quitAfterFirstMove();
        else
            QVERIFY(killedAt(killAt, undo));

        const QString trashInfo = m_home->path() + "/.local/share/Trash/info";
        if (scene == Scene::TrashInfoRewritten)
            QVERIFY(testsupport::touch(
                trashInfo + "/c.png.trashinfo",
                "[Trash Info]\nPath=/x/c.png\nDeletionDate=2026-01-01T00:00:00\n"));
        // Saved anew where the name is free, and saved over where a copy is already in place
        // but its source was not yet removed.
        if (scene == Scene::NewFilesSaved) {
            for (int i = 0; i < 600; ++i) {
                const QString copy = m_far + (i % 50 ? "/rule0/" : "/rule1/") + fileName(i);
                if (!platform::entryExists(desktop(fileName(i))) || platform::entryExists(copy))
                    addFile(fileName(i), "saved later as " + fileName(i).toUtf8());
            }
        }

        Cleaner& cleaner = restart();
        if (killAt == 0) {
            QCOMPARE(cleaner.lastClean(), earlier);
            expect("an earlier clean", m_desktop);
        } else {
            QVERIFY(cleaner.lastClean() && cleaner.lastClean() != earlier);
        }
        const auto moves = cleaner.lastClean()->moves.size();
        verifyFiles(moves);
        cleaner.undo();
        QCOMPARE(cleaner.status(), Status::undone(int(moves), 0));
        QVERIFY(!cleaner.lastClean() && !restart().lastClean());
        verifyFiles();
        if (trash)
            QCOMPARE(QDir(trashInfo).entryList(QDir::Files),
                     scene == Scene::Trash ? QStringList() : QStringList{"c.png.trashinfo"});
    }

    // The moments between the steps of one move, written as a killed clean leaves them: a
    // copy complete under its final name but with its source still there (the move is
    // finished), the same after the source went and a new file took its name and inode (the
    // new file stays), a copy complete under its hidden name (removed; the source stays),
    // and both names of the link-and-unlink fallback (the move is finished). A hidden name
    // the journal does not give is left alone. The recovered clean joins the history, once,
    // with the id and kind it began with.
    void journalledMovesAreSettledByWhatIsOnDisk() {
        if (m_far.isEmpty())
            QSKIP(kOneFileSystem);
        const QString images = m_far + "/Images/", linked = desktop("Documents/linked.pdf");
        m_store->setDestination(ruleAt(0), images);
        QVERIFY(QDir().mkpath(images) && QDir().mkpath(desktop("Documents")));
        for (const QString name : {"copied.png", "halfway.png", "linked.pdf"})
            addFile(name, name.toUtf8());
        addFile("reused.png", "the user's new file");
        const QString partial = images + ".vantor-partial-00000000deadbeef",
                      lookalike = images + ".vantor-partial-0000000012345678";
        QVERIFY(QFile::copy(desktop("copied.png"), images + "copied.png"));
        QVERIFY(QFile::copy(desktop("halfway.png"), partial));
        QVERIFY(QFile::copy(desktop("halfway.png"), lookalike));
        QVERIFY(testsupport::touch(images + "reused.png", "the moved file"));
        expect("the moved file", m_desktop);
        QCOMPARE(::link(QFile::encodeName(desktop("linked.pdf")), QFile::encodeName(linked)), 0);

        auto journal = beginJournal(m_state, CleanJournal::Kind::Clean);
        QVERIFY(journal && journal->entry("c0ffee00", true));
        const auto id = [](const QString& path) { return *platform::identity(path, false); };
        // The moved file as it was, under the inode its name's new file has now.
        platform::FileIdentity movedAway = id(images + "reused.png");
        movedAway.device = id(desktop("reused.png")).device;
        movedAway.inode = id(desktop("reused.png")).inode;
        journal->queueMove(desktop("copied.png"), images + "copied.png", id(desktop("copied.png")));
        journal->queueMove(desktop("halfway.png"), images + "halfway.png",
                           id(desktop("halfway.png")));
        journal->queueMove(desktop("linked.pdf"), linked, id(desktop("linked.pdf")));
        journal->queueMove(desktop("reused.png"), images + "reused.png", movedAway);
        journal->queueMove(desktop("never.png"), images + "never.png", id(m_desktop));
        QVERIFY(journal->flush());
        QVERIFY(journal->copyComplete(images + "copied.png", id(images + "copied.png")));
        QVERIFY(journal->copyComplete(images + "reused.png", id(images + "reused.png")));
        QVERIFY(journal->partialCreated(partial, id(partial)));
        journal.reset();

        Cleaner& cleaner = restart();
        QCOMPARE(cleaner.lastClean()->moves,
                 QList<CleanRecord::Move>({{desktop("copied.png"), images + "copied.png"},
                                           {desktop("linked.pdf"), linked},
                                           {desktop("reused.png"), images + "reused.png"}}));
        QVERIFY(QFile::remove(lookalike));
        verifyFiles(3);
        const auto history = anotherCleaner()->history();
        QVERIFY(history.size() == 1 && history[0].id == "c0ffee00" && history[0].automatic);
        cleaner.undo();
        QCOMPARE(cleaner.status(), Status::undone(3, 0));
        QVERIFY(cleaner.history().first().undone);
        verifyFiles();
    }

    // A journal made by hand names things outside the Desktop and its rule folders by their
    // exact identity, through a link inside the Desktop: nothing there is removed.
    void forgedJournalTouchesNothingOutside() {
        const QString home = m_home->path();
        QVERIFY(QDir().mkpath(home + "/Projects/src") && QDir().mkpath(home + "/EmptyProjects"));
        QVERIFY(testsupport::touch(home + "/Projects/src/main.c", "int main;"));
        QVERIFY(testsupport::touch(home + "/.bashrc", "export A=1"));
        QVERIFY(QFile::link(home, desktop("via")));
        auto journal = beginJournal(m_state, CleanJournal::Kind::Clean);
        QVERIFY(journal && journal->folderCreated(home + "/EmptyProjects"));
        for (const QString name : {"Projects", ".bashrc"})
            journal->queueMove(home + "/" + name, desktop("via/" + name),
                               *platform::identity(home + "/" + name, false));
        QVERIFY(journal->flush());
        journal.reset();

        restart();
        QCOMPARE(testsupport::readFile(home + "/Projects/src/main.c"), "int main;");
        QCOMPARE(testsupport::readFile(home + "/.bashrc"), "export A=1");
        QVERIFY(QFileInfo(home + "/EmptyProjects").isDir());
    }

    // What stands where a state file belongs is not a file to read: a fifo, a link to one
    // (which no write may follow), a file far larger than any Vantor writes. Nothing hangs or
    // crashes, and cleaning and undo go on.
    void hostileStateFilesAreSetAside_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("kind");
        for (const char* file :
             {"history.json", "last-clean.json", "put-back.json", "last-clean.journal",
              "last-undo.journal", "history-undo.journal", "rules.json"}) {
            for (const char* kind : {"fifo", "link to a fifo", "huge"})
                QTest::addRow("%s as %s", file, kind) << file << kind;
        }
    }
    void hostileStateFilesAreSetAside() {
        QFETCH(QString, file);
        QFETCH(QString, kind);
        const QString folder = file == "rules.json" ? m_home->configFolder() : m_state;
        QDir().mkpath(folder);
        const QByteArray path = QFile::encodeName(folder + "/" + file),
                         endless = QFile::encodeName(m_home->path() + "/endless");
        ::unlink(path.constData());
        if (kind == "huge") {
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT, 0600);
            QVERIFY(fd >= 0 && ::ftruncate(fd, qint64(300) * 1024 * 1024) == 0);
            ::close(fd);
        } else {
            const bool link = kind == "link to a fifo";
            QCOMPARE(::mkfifo(link ? endless.constData() : path.constData(), 0600), 0);
            QVERIFY(!link || ::symlink(endless.constData(), path.constData()) == 0);
        }
        m_cleaner.reset();
        m_folders = std::make_unique<TidiedFolders>(m_home->configFolder(), m_desktop);
        addFile("a.png", "a");
        restart().clean();
        QCOMPARE(m_cleaner->status(), Status::cleaned(1, 0));
        m_cleaner->undo();
        QCOMPARE(m_cleaner->status(), Status::undone(1, 0));
        verifyFiles();
        struct stat st;
        QVERIFY(kind != "link to a fifo" || (::stat(endless, &st) == 0 && S_ISFIFO(st.st_mode)));
    }

    // A download still being written when a clean by hand comes: across file systems it
    // stays whole where it is, counted as in use, and goes with a later clean. Likewise an
    // undo leaves a file in use where it is, and keeps it in the record for the next undo.
    void aFileBeingWrittenStays() {
        if (m_far.isEmpty())
            QSKIP(kOneFileSystem);
        populate(3);
        addFile("setup.iso", QByteArray(100000, 's'));
        const int writer =
            ::open(QFile::encodeName(desktop("setup.iso")).constData(), O_WRONLY | O_APPEND);
        QVERIFY(writer >= 0);
        Cleaner& cleaner = restart();
        cleaner.clean();
        QCOMPARE(cleaner.status(), Status::cleaned(3, 1, 1));
        QCOMPARE(::write(writer, "tail", 4), 4);
        ::close(writer);
        QCOMPARE(QFileInfo(desktop("setup.iso")).size(), 100004);
        cleaner.clean();
        QCOMPARE(cleaner.status(), Status::cleaned(1, 0));

        const QByteArray moved = QFile::encodeName(m_far + "/Installers/setup.iso");
        const int stillWriting = ::open(moved.constData(), O_WRONLY | O_APPEND);
        cleaner.undo();
        QCOMPARE(cleaner.status(), Status::undone(0, 1, 1));
        QCOMPARE(cleaner.lastClean()->moves.size(), 1);
        ::close(stillWriting);
        cleaner.undo();
        QCOMPARE(cleaner.status(), Status::undone(1, 0));
    }

    // The disk fills while a clean runs: the clean stops when its journal can no longer be
    // written, says so, and what it moved can be put back.
    void fullDiskStopsTheCleanAndSaysWhy() {
        populate(600);
        Cleaner& cleaner = restart();
        // Once the first run of moves is journalled, the journal can grow no more.
        connect(&cleaner, &Cleaner::progress, this, [&](int done) {
            rlimit full{};
            ::getrlimit(RLIMIT_FSIZE, &full);
            full.rlim_cur = rlim_t(QFileInfo(m_state + "/last-clean.journal").size());
            if (done == 1)
                ::setrlimit(RLIMIT_FSIZE, &full);
        });
        const Status status = testsupport::withFileSizeLimit(RLIM_INFINITY, [&] {
            cleaner.clean();
            return cleaner.status();
        });
        QVERIFY(status.recordStopped && status.moved() > 0 && status.failed > 0);
        QCOMPARE(status.moved() + status.failed, 600);
        restart().undo();
        QCOMPARE(m_cleaner->status(), Status::undone(status.moved(), 0));
        verifyFiles();
    }

    // The newer clean's record cannot be saved: the older one is never offered in its place,
    // not after a restart, and not after the newer one has been undone.
    void unsavedRecordNeverLeavesAnOlderOne() {
        addFile("earlier.pdf", "earlier");
        m_cleaner->clean();
        const Immutable frozen{m_state + "/last-clean.json"};
        if (!frozen.ok)
            QSKIP("this file system cannot make a file immutable");
        m_files.clear();
        addFile("a.png", "a");
        addFile("b.png", "b");
        m_cleaner->clean();
        QCOMPARE(m_cleaner->status(), Status::cleaned(2, 0));
        QCOMPARE(restart().lastClean()->moves.size(), 2);
        m_cleaner->undo();
        QCOMPARE(m_cleaner->status(), Status::undone(2, 0));
        verifyFiles(0, /*journalsGone=*/false); // they stand in for the record until it can go
        QVERIFY(!restart().lastClean());
        frozen.set(false);
        QVERIFY(!restart().lastClean());
        QCOMPARE(QDir(m_state).entryList(QDir::Files),
                 QStringList({"history.json", "lock", "put-back.json"}));
    }

    // A record kept through a link to a file that cannot be replaced: the new record cannot
    // be saved, but the link can go, after the clean and after its recovery alike, so that
    // no reader without the lock finds the older record.
    void unsavedRecordTakesAnOlderLinkedOneAway() {
        addFile("earlier.pdf", "earlier");
        m_cleaner->clean();
        const QString record = m_state + "/last-clean.json", older = m_home->path() + "/older";
        QVERIFY(QFile::rename(record, older));
        const Immutable frozen{older};
        if (!frozen.ok)
            QSKIP("this file system cannot make a file immutable");
        QVERIFY(QFile::link(older, record));
        addFile("a.png", "a");
        restart().clean();
        QVERIFY(!QFileInfo::exists(record));
        QVERIFY(QFile::link(older, record));
        QVERIFY(restart().lastClean()); // recovered from the journal, still unsaved
        QVERIFY(!QFileInfo::exists(record));
    }

    // No journal, no clean: the panel can say why, and nothing moves.
    void cleanNeedsItsJournal() {
        addFile("a.png", "a");
        Cleaner& cleaner = restart();
        const Immutable frozen{m_state};
        if (!frozen.ok)
            QSKIP("this file system cannot make a folder immutable");
        QSignalSpy notices(&cleaner, &Cleaner::noticeChanged);
        cleaner.clean();
        QCOMPARE(cleaner.notice(), Notice::RecordNotSaved);
        QCOMPARE(notices.count(), 1);
        QCOMPARE(cleaner.status(), Status::idle());
        QVERIFY(!cleaner.lastClean());
        verifyFiles();
    }

    // While another cleaner of the same record folder works, a second one moves nothing and
    // says Vantor is busy, and its undo keeps the record whole.
    void oneCleanerAtATime() {
        populate(5);
        m_cleaner->clean();
        addFile("late.png", "late");
        const auto second = anotherCleaner();
        second->setBusyWait(0);
        const auto otherAtWork = platform::FileLock::acquire(m_state + "/lock", 0);
        QVERIFY(otherAtWork);
        second->clean();
        QCOMPARE(second->notice(), Notice::Busy);
        second->undo();
        QCOMPARE(second->notice(), Notice::Busy);
        QCOMPARE(second->lastClean()->moves.size(), 5);
        verifyFiles(5);
    }

    // Started work reports busy meanwhile, and turns away more work.
    void startedWorkTurnsAwayMore() {
        populate(300);
        Cleaner& cleaner = restart();
        cleaner.startClean();
        QVERIFY(cleaner.isBusy());
        cleaner.startClean(); // ignored while at work
        cleaner.clean();      // likewise, and says so
        QCOMPARE(cleaner.notice(), Notice::Busy);
        QTRY_VERIFY_WITH_TIMEOUT(!cleaner.isBusy(), 20000);
        QCOMPARE(cleaner.status(), Status::cleaned(300, 0));
        QCOMPARE(cleaner.notice(), Notice::None);
    }
};

VANTOR_TEST_MAIN(TestCleanRecovery)
#include "TestCleanRecovery.moc"
