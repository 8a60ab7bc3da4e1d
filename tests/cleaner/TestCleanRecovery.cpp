#include "CleanerTest.h"

#include "platform/FileLock.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QTemporaryDir>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

namespace platform::detail {
extern void (*copyStep)(qint64 copied);
extern void (*trashStep)();
} // namespace platform::detail

using Notice = Cleaner::Notice;

namespace {

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

// Waits for the child to end; true when it killed itself where it was told to.
bool killedItself(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

} // namespace

class TestCleanRecovery : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;
    std::unique_ptr<QTemporaryDir> m_shm; // another file system, for copies (m_far)
    std::unique_ptr<TidiedFolders> m_folders;
    RuleStore* m_store = nullptr;
    QString m_desktop, m_state, m_far;
    QMap<QString, QByteArray> m_files; // name → hash of the content it must come back with

    QString desktop(const QString& name) const { return m_desktop + "/" + name; }
    std::unique_ptr<Cleaner> makeCleaner() {
        return std::make_unique<Cleaner>(m_folders.get(), m_state);
    }
    QUuid ruleAt(int i) const { return m_store->rules().at(i).id; }

    void addFile(const QString& name, const QByteArray& content) {
        QVERIFY(testsupport::touch(desktop(name), content));
        m_files.insert(name, QCryptographicHash::hash(content, QCryptographicHash::Sha1));
    }

    // Images on this file system; Documents and Installers on the other one.
    void populate(int count, qsizetype bigBytes) {
        if (!m_far.isEmpty()) {
            m_store->setDestination(ruleAt(1), m_far + "/Documents");
            m_store->setDestination(ruleAt(2), m_far + "/Installers");
        }
        for (int i = 0; i < count; ++i) {
            const QString name = QString("file %1.%2").arg(i).arg(i % 50 ? "png" : "pdf");
            addFile(name, name.toUtf8());
        }
        if (bigBytes > 0)
            addFile("big.iso", QByteArray(bigBytes, 'b') + "end");
    }

    // Every file is back on the Desktop, whole; no partial copy and nothing of ours is left
    // in the rule folders; no journal is left.
    void verifyAllBack(bool journalsGone = true) {
        QSet<QString> homes, names; // where each file belongs, and the names of ours
        for (auto it = m_files.cbegin(); it != m_files.cend(); ++it) {
            homes.insert(QDir::cleanPath(desktop(it.key())));
            names.insert(QFileInfo(it.key()).fileName());
            const QByteArray content = testsupport::readFile(desktop(it.key()));
            QVERIFY2(QCryptographicHash::hash(content, QCryptographicHash::Sha1) == it.value(),
                     qPrintable(it.key()));
        }
        for (const QString& root : {m_tmp->path(), m_far}) {
            if (root.isEmpty())
                continue;
            QDirIterator it(root,
                            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                QVERIFY2(!platform::isPartialCopyName(it.fileName()), qPrintable(path));
                QVERIFY2(!journalsGone || !it.fileName().endsWith(".journal"), qPrintable(path));
                if (!homes.contains(path))
                    QVERIFY2(!names.contains(it.fileName()), qPrintable(path));
            }
        }
    }

    // A child process with its own cleaner runs `action`; it kills itself with SIGKILL when
    // progress reaches `killAt`, or with kCopying once a copy across file systems is 1 MiB
    // along, or with kLinked once the first such copy has its name and its source is still
    // there.
    // With kThirdTrashed, it kills itself once the third file's .trashinfo is written.
    static constexpr int kCopying = -1, kLinked = -2, kThirdTrashed = -3;
    pid_t forkCleaner(const std::function<void(Cleaner&)>& action, int killAt,
                      const QString& desktop = {}) {
        const pid_t pid = ::fork();
        if (pid != 0)
            return pid;
        TidiedFolders folders(m_tmp->path() + "/config", desktop.isEmpty() ? m_desktop : desktop);
        Cleaner cleaner(&folders, m_state);
        connect(&cleaner, &Cleaner::progress, [killAt](int done, int total) {
            if (killAt >= 0 && done == qMin(killAt, total))
                ::raise(SIGKILL);
        });
        static int hook;
        hook = killAt;
        platform::detail::copyStep = [](qint64 copied) {
            if ((hook == kCopying && copied > 1024 * 1024) || (hook == kLinked && copied < 0))
                ::raise(SIGKILL);
        };
        if (killAt == kThirdTrashed)
            platform::detail::trashStep = [] {
                static int trashed = 0;
                if (++trashed == 3)
                    ::raise(SIGKILL);
            };
        action(cleaner);
        ::_exit(0);
    }

  private slots:
    void init() {
        // Home in memory keeps thousands of files quick; the far side is the disk.
        m_tmp = std::make_unique<QTemporaryDir>("/dev/shm/vantor-recovery-XXXXXX");
        if (!m_tmp->isValid())
            m_tmp = std::make_unique<QTemporaryDir>();
        qputenv("HOME", m_tmp->path().toUtf8());
        qputenv("XDG_DATA_HOME", m_tmp->path().toUtf8() + "/.local/share");
        m_desktop = m_tmp->path() + "/Desktop";
        m_state = m_tmp->path() + "/state";
        QDir().mkpath(m_desktop);
        m_folders = std::make_unique<TidiedFolders>(m_tmp->path() + "/config", m_desktop);
        m_store = m_folders->desktopRules();
        m_store->restoreDefaults();
        m_files.clear();
        m_shm = std::make_unique<QTemporaryDir>();
        m_far.clear();
        const auto far = platform::identity(m_shm->path(), true);
        const auto near = platform::identity(m_tmp->path(), true);
        if (m_shm->isValid() && far && near && far->device != near->device)
            m_far = m_shm->path();
    }
    void cleanup() {
        m_folders.reset();
        m_shm.reset();
        m_tmp.reset();
    }

    // A real kill at several moments of a clean or an undo; a fresh cleaner recovers, and
    // one undo brings every file back whole. A clean killed before its first move leaves
    // the earlier record in place.
    void killedWorkIsRecoveredAndUndoneWhole_data() {
        QTest::addColumn<bool>("duringUndo");
        QTest::addColumn<int>("killAt");      // progress count, or a step of a copy
        QTest::addColumn<bool>("twoFolders"); // Downloads tidied beside the Desktop
        QTest::newRow("clean, before the first move") << false << 0 << false;
        QTest::newRow("clean, in the middle") << false << 700 << false;
        QTest::newRow("clean, copying across file systems") << false << kCopying << false;
        QTest::newRow("clean, a copy named, its source still there") << false << kLinked << false;
        QTest::newRow("clean, after the last move") << false << 99999 << false;
        QTest::newRow("undo, in the middle") << true << 700 << false;
        QTest::newRow("undo, copying across file systems") << true << kCopying << false;
        QTest::newRow("clean over two folders, in the middle") << false << 1700 << true;
        QTest::newRow("undo over two folders, in the middle") << true << 1700 << true;
    }
    void killedWorkIsRecoveredAndUndoneWhole() {
        QFETCH(bool, duringUndo);
        QFETCH(int, killAt);
        QFETCH(bool, twoFolders);
        if (killAt < 0 && m_far.isEmpty())
            QSKIP("/dev/shm and the temporary folder are one file system");
        addFile("earlier.pdf", "an earlier clean");
        makeCleaner()->clean();
        const QByteArray earlierHash = m_files.take("earlier.pdf");
        const auto earlier = makeCleaner()->lastClean();
        QVERIFY(earlier);
        populate(1500, 8 * 1024 * 1024);
        if (twoFolders) {
            QVERIFY(QDir().mkpath(m_tmp->path() + "/Downloads"));
            QCOMPARE(m_folders->add(m_tmp->path() + "/Downloads"), TidiedFolders::Refusal::None);
            for (int i = 0; i < 500; ++i)
                addFile(QString("../Downloads/download %1.pdf").arg(i), QByteArray::number(i));
        }

        if (duringUndo)
            makeCleaner()->clean();
        const pid_t child =
            forkCleaner([duringUndo](Cleaner& c) { duringUndo ? c.undo() : c.clean(); }, killAt);
        QVERIFY(killedItself(child));

        auto cleaner = makeCleaner();
        if (!duringUndo && killAt == 0) {
            QCOMPARE(cleaner->lastClean(), earlier);
            m_files.insert("earlier.pdf", earlierHash);
        } else {
            QVERIFY(cleaner->lastClean());
            QVERIFY(cleaner->lastClean() != earlier);
        }
        const int expected = cleaner->lastClean()->moves.size();
        cleaner->undo();
        QCOMPARE(cleaner->status(), Status::undone(expected, 0));
        QVERIFY(!cleaner->lastClean());
        verifyAllBack();
        QVERIFY(!makeCleaner()->lastClean());
    }

    // The moments between the steps of one move, written as a killed clean leaves them: a
    // copy complete under its final name but with its source still there (the move is
    // finished), the same after the source went and a new file took its name and inode (the
    // new file stays), a copy complete under its hidden name (removed; the source stays),
    // and both names of the link-and-unlink fallback (the move is finished). A hidden name
    // the journal does not give is left alone.
    void journalledMovesAreSettledByWhatIsOnDisk() {
        if (m_far.isEmpty())
            QSKIP("/dev/shm and the temporary folder are one file system");
        m_store->setDestination(ruleAt(0), m_far + "/Images");
        QDir().mkpath(m_far + "/Images");
        QDir().mkpath(m_desktop + "/Documents");
        addFile("copied.png", "copied");
        addFile("halfway.png", "halfway");
        addFile("linked.pdf", "linked");
        addFile("reused.png", "the user's new file");
        const QString copied = m_far + "/Images/copied.png",
                      halfway = m_far + "/Images/halfway.png",
                      reused = m_far + "/Images/reused.png";
        const QString partial = m_far + "/Images/.vantor-partial-00000000deadbeef",
                      lookalike = m_far + "/Images/.vantor-partial-0000000012345678";
        const QString linked = m_desktop + "/Documents/linked.pdf";
        QVERIFY(QFile::copy(desktop("copied.png"), copied));
        QVERIFY(QFile::copy(desktop("halfway.png"), partial));
        QVERIFY(QFile::copy(desktop("halfway.png"), lookalike));
        QVERIFY(testsupport::touch(reused, "the moved file"));
        QVERIFY(::link(QFile::encodeName(desktop("linked.pdf")), QFile::encodeName(linked)) == 0);

        auto journal = beginJournal(m_state, CleanJournal::Kind::Clean);
        QVERIFY(journal);
        const auto id = [](const QString& path) { return *platform::identity(path, false); };
        // The moved file as it was, under the inode its name's new file has now.
        platform::FileIdentity movedAway = id(reused);
        movedAway.device = id(desktop("reused.png")).device;
        movedAway.inode = id(desktop("reused.png")).inode;
        journal->queueMove(desktop("copied.png"), copied, id(desktop("copied.png")));
        journal->queueMove(desktop("halfway.png"), halfway, id(desktop("halfway.png")));
        journal->queueMove(desktop("linked.pdf"), linked, id(desktop("linked.pdf")));
        journal->queueMove(desktop("reused.png"), reused, movedAway);
        journal->queueMove(desktop("never.png"), m_far + "/Images/never.png", id(m_desktop));
        QVERIFY(journal->flush());
        QVERIFY(journal->copyComplete(copied, id(copied)));
        QVERIFY(journal->copyComplete(reused, id(reused)));
        QVERIFY(journal->partialCreated(partial, id(partial)));
        journal.reset();

        auto cleaner = makeCleaner();
        QCOMPARE(cleaner->lastClean()->moves,
                 QList<CleanRecord::Move>({{desktop("copied.png"), copied},
                                           {desktop("linked.pdf"), linked},
                                           {desktop("reused.png"), reused}}));
        QVERIFY(!QFile::exists(desktop("copied.png")) && !QFile::exists(desktop("linked.pdf")));
        QCOMPARE(testsupport::readFile(desktop("reused.png")), "the user's new file");
        QVERIFY(!platform::entryExists(partial));
        QVERIFY(platform::entryExists(lookalike));
        QVERIFY(QFile::remove(lookalike));
        QVERIFY(QFile::exists(desktop("halfway.png")));
        cleaner->undo();
        QCOMPARE(cleaner->status(), Status::undone(3, 0));
        QCOMPARE(testsupport::readFile(desktop("reused 2.png")), "the moved file");
        m_files.remove("reused.png");
        verifyAllBack();
    }

    // Killed between a .trashinfo and its rename: recovery takes away the .trashinfo written
    // for that move, but not one another program wrote under its name since; one undo then
    // brings back what went to the trash, and its .trashinfo files go.
    void killedTrashingIsRecovered_data() {
        QTest::addColumn<bool>("rewritten");
        QTest::newRow("its own .trashinfo") << false;
        QTest::newRow("another's under its name") << true;
    }
    void killedTrashingIsRecovered() {
        QFETCH(bool, rewritten);
        m_store->setAction(ruleAt(0), SortRule::Action::Trash);
        for (const QString name : {"a.png", "b.png", "c.png", "d.png"})
            addFile(name, name.toUtf8());
        QVERIFY(killedItself(forkCleaner([](Cleaner& c) { c.clean(); }, kThirdTrashed)));
        const QString info = m_tmp->path() + "/.local/share/Trash/info";
        QVERIFY(QFile::exists(info + "/c.png.trashinfo") && QFile::exists(desktop("c.png")));
        const QByteArray another =
            "[Trash Info]\nPath=/x/c.png\nDeletionDate=2026-01-01T00:00:00\n";
        QVERIFY(!rewritten || testsupport::touch(info + "/c.png.trashinfo", another));

        auto cleaner = makeCleaner();
        QCOMPARE(cleaner->lastClean()->moves.size(), 2);
        QCOMPARE(QDir(info).entryList(QDir::Files),
                 QStringList({"a.png.trashinfo", "b.png.trashinfo"}) +
                     (rewritten ? QStringList{"c.png.trashinfo"} : QStringList()));
        cleaner->undo();
        QCOMPARE(cleaner->status(), Status::undone(2, 0));
        QCOMPARE(QDir(info).entryList(QDir::Files),
                 rewritten ? QStringList{"c.png.trashinfo"} : QStringList());
        verifyAllBack();
    }

    // Killed mid-clean across file systems, and before the restart the user saves new files
    // under the names of files that were moved: on a disk that hands out freed inodes again
    // at once, the new files get the moved files' inodes. Recovery keeps every new file, and
    // one undo brings every moved file back beside them.
    void newFilesUnderMovedNamesSurviveRecovery_data() {
        QTest::addColumn<int>("killAt");
        QTest::newRow("a copy named, its source still there") << kLinked;
        // More rounds by hand: VANTOR_KILL_ROUNDS=20.
        const int rounds = qMax(1, qEnvironmentVariableIntValue("VANTOR_KILL_ROUNDS"));
        for (int i = 0; i < rounds; ++i)
            QTest::addRow("killed after %d moves", 37 + i * 53 % 500) << 37 + i * 53 % 500;
    }
    void newFilesUnderMovedNamesSurviveRecovery() {
        QFETCH(int, killAt);
        if (m_far.isEmpty())
            QSKIP("/dev/shm and the temporary folder are one file system");
        // The Desktop on the disk, the rule folders in memory.
        const QString disk = m_far + "/Desktop";
        QVERIFY(QDir().mkpath(disk));
        for (int i = 0; i < 3; ++i)
            m_store->setDestination(ruleAt(i), m_tmp->path() + "/rule" + QString::number(i));
        QMap<QString, QByteArray> originals;
        for (int i = 0; i < 600; ++i) {
            const QString name = QString("shot %1.%2").arg(i).arg(i % 3 ? "png" : "pdf");
            originals.insert(name, name.toUtf8());
            QVERIFY(testsupport::touch(disk + "/" + name, name.toUtf8()));
        }
        QVERIFY(killedItself(forkCleaner([](Cleaner& c) { c.clean(); }, killAt, disk)));
        // Saved anew where the name is free, and saved over where a copy is already in place
        // but its source was not yet removed.
        QMap<QString, QByteArray> saved;
        for (const QString& name : originals.keys()) {
            const QString copy =
                m_tmp->path() + "/rule" + (name.endsWith(".png") ? "0/" : "1/") + name;
            if (!platform::entryExists(disk + "/" + name) || platform::entryExists(copy)) {
                saved.insert(name, "saved later as " + name.toUtf8());
                QVERIFY(testsupport::touch(disk + "/" + name, saved.value(name)));
            }
        }
        QVERIFY(!saved.isEmpty());

        TidiedFolders onDisk(m_tmp->path() + "/config", disk);
        auto cleaner = std::make_unique<Cleaner>(&onDisk, m_state);
        for (auto it = saved.cbegin(); it != saved.cend(); ++it)
            QCOMPARE(testsupport::readFile(disk + "/" + it.key()), it.value());
        cleaner->undo();
        QCOMPARE(cleaner->status().failed, 0);
        QSet<QByteArray> onDesktop;
        for (const QString& name : QDir(disk).entryList(QDir::Files))
            onDesktop.insert(testsupport::readFile(disk + "/" + name));
        for (const QByteArray& content : originals.values() + saved.values())
            QVERIFY2(onDesktop.contains(content), content.constData());
        QCOMPARE(onDesktop.size(), originals.size() + saved.size());
    }

    // A journal made by hand names things outside the Desktop and its rule folders by their
    // exact identity, through a link inside the Desktop: nothing there is removed.
    void forgedJournalTouchesNothingOutside() {
        const QString home = m_tmp->path();
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

        makeCleaner();
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
              "last-undo.journal", "history-undo.journal", "../config/rules.json"}) {
            for (const char* kind : {"fifo", "link to a fifo", "huge"})
                QTest::addRow("%s as %s", file, kind) << file << kind;
        }
    }
    void hostileStateFilesAreSetAside() {
        QFETCH(QString, file);
        QFETCH(QString, kind);
        QDir().mkpath(m_state);
        const QByteArray path = QFile::encodeName(m_state + "/" + file);
        ::unlink(path.constData());
        if (kind == "fifo") {
            QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        } else if (kind == "link to a fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(m_tmp->path() + "/endless").constData(), 0600), 0);
            QCOMPARE(::symlink(QFile::encodeName(m_tmp->path() + "/endless").constData(),
                               path.constData()),
                     0);
        } else {
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT, 0600);
            QVERIFY(fd >= 0 && ::ftruncate(fd, qint64(300) * 1024 * 1024) == 0);
            ::close(fd);
        }
        m_folders = std::make_unique<TidiedFolders>(m_tmp->path() + "/config", m_desktop);
        m_store = m_folders->desktopRules();
        addFile("a.png", "a");
        auto cleaner = makeCleaner();
        cleaner->clean();
        QCOMPARE(cleaner->status(), Status::cleaned(1, 0));
        cleaner->undo();
        QCOMPARE(cleaner->status(), Status::undone(1, 0));
        verifyAllBack();
        if (kind == "link to a fifo") {
            struct stat st;
            QVERIFY(::stat(QFile::encodeName(m_tmp->path() + "/endless").constData(), &st) == 0 &&
                    S_ISFIFO(st.st_mode));
        }
    }

    // A download still being written when a clean by hand comes: across file systems it
    // stays whole where it is, counted as in use, and goes with a later clean. Likewise an
    // undo leaves a file in use where it is, and keeps it in the record for the next undo.
    void aFileBeingWrittenStays() {
        if (m_far.isEmpty())
            QSKIP("/dev/shm and the temporary folder are one file system");
        populate(3, 0);
        addFile("setup.iso", QByteArray(100000, 's'));
        const int writer =
            ::open(QFile::encodeName(desktop("setup.iso")).constData(), O_WRONLY | O_APPEND);
        QVERIFY(writer >= 0);
        auto cleaner = makeCleaner();
        cleaner->clean();
        QCOMPARE(cleaner->status(), Status::cleaned(3, 1, 1));
        QCOMPARE(::write(writer, "tail", 4), 4);
        ::close(writer);
        QCOMPARE(QFileInfo(desktop("setup.iso")).size(), 100004);
        QVERIFY(!platform::entryExists(m_far + "/Installers/setup.iso"));
        cleaner->clean();
        QCOMPARE(cleaner->status(), Status::cleaned(1, 0));

        const QByteArray moved = QFile::encodeName(m_far + "/Installers/setup.iso");
        const int stillWriting = ::open(moved.constData(), O_WRONLY | O_APPEND);
        cleaner->undo();
        QCOMPARE(cleaner->status(), Status::undone(0, 1, 1));
        QCOMPARE(cleaner->lastClean()->moves.size(), 1);
        ::close(stillWriting);
        cleaner->undo();
        QCOMPARE(cleaner->status(), Status::undone(1, 0));
    }

    // The disk fills while a clean runs: the clean stops when its journal can no longer be
    // written, says why, and what it moved can be put back.
    void fullDiskStopsTheCleanAndSaysWhy() {
        populate(600, 0);
        auto cleaner = makeCleaner();
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        // Once the first run of moves is journalled, the journal can grow no more.
        connect(cleaner.get(), &Cleaner::progress, this, [&](int done) {
            if (done != 1)
                return;
            rlimit full = saved;
            full.rlim_cur = rlim_t(QFileInfo(m_state + "/last-clean.journal").size());
            ::setrlimit(RLIMIT_FSIZE, &full);
        });
        cleaner->clean();
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, savedHandler);
        const Status status = cleaner->status();
        QVERIFY(status.recordStopped);
        QVERIFY(status.moved() > 0 && status.failed > 0);
        QCOMPARE(status.moved() + status.failed, 600);
        QCOMPARE(Cleaner::recordStoppedText(),
                 "Couldn't save the record for Undo, so nothing more was moved.");
        cleaner = makeCleaner();
        cleaner->undo();
        QCOMPARE(cleaner->status(), Status::undone(status.moved(), 0));
        verifyAllBack();
    }

    // The newer clean's record cannot be saved: the older one is never offered in its place,
    // not after a restart, and not after the newer one has been undone.
    void unsavedRecordNeverLeavesAnOlderOne() {
        addFile("earlier.pdf", "earlier");
        makeCleaner()->clean();
        const Immutable frozen{m_state + "/last-clean.json"};
        if (!frozen.ok)
            QSKIP("this file system cannot make a file immutable");
        m_files.clear();
        addFile("a.png", "a");
        addFile("b.png", "b");
        auto cleaner = makeCleaner();
        cleaner->clean();
        QCOMPARE(cleaner->status(), Status::cleaned(2, 0));
        QCOMPARE(cleaner->lastClean()->moves.size(), 2);

        cleaner = makeCleaner(); // a restart
        QCOMPARE(cleaner->lastClean()->moves.size(), 2);
        QCOMPARE(cleaner->lastClean()->moves[0].from, desktop("a.png"));
        cleaner->undo();
        QCOMPARE(cleaner->status(), Status::undone(2, 0));
        verifyAllBack(/*journalsGone=*/false); // they stand in for the record until it can go
        QVERIFY(!QFile::exists(desktop("earlier.pdf")));
        QVERIFY(!makeCleaner()->lastClean());
        frozen.set(false);
        QVERIFY(!makeCleaner()->lastClean());
        QVERIFY(!QFile::exists(frozen.path));
        QCOMPARE(QDir(m_state).entryList(QDir::Files),
                 QStringList({"history.json", "lock", "put-back.json"}));
    }

    // A record kept through a link to a file that cannot be replaced: the new record cannot
    // be saved, but the link can go, after the clean and after its recovery alike, so that
    // no reader without the lock finds the older record.
    void unsavedRecordTakesAnOlderLinkedOneAway() {
        addFile("earlier.pdf", "earlier");
        makeCleaner()->clean();
        const QString record = m_state + "/last-clean.json", older = m_tmp->path() + "/older";
        QVERIFY(QFile::rename(record, older));
        const Immutable frozen{older};
        if (!frozen.ok)
            QSKIP("this file system cannot make a file immutable");
        QVERIFY(QFile::link(older, record));
        addFile("a.png", "a");
        makeCleaner()->clean();
        QVERIFY(!QFileInfo::exists(record));
        QVERIFY(QFile::link(older, record));
        QVERIFY(makeCleaner()->lastClean()); // recovered from the journal, still unsaved
        QVERIFY(!QFileInfo::exists(record));
    }

    // No journal, no clean: the panel can say why, and nothing moves.
    void cleanNeedsItsJournal() {
        addFile("a.png", "a");
        auto cleaner = makeCleaner();
        const Immutable frozen{m_state};
        if (!frozen.ok)
            QSKIP("this file system cannot make a folder immutable");
        QSignalSpy notices(cleaner.get(), &Cleaner::noticeChanged);
        cleaner->clean();
        QCOMPARE(cleaner->notice(), Notice::RecordNotSaved);
        QCOMPARE(Cleaner::noticeText(cleaner->notice()),
                 "Couldn't save the record for Undo, so nothing was moved.");
        QCOMPARE(notices.count(), 1);
        QCOMPARE(cleaner->status(), Status::idle());
        QVERIFY(!cleaner->lastClean() && QFile::exists(desktop("a.png")));
        frozen.set(false);
        cleaner->clean();
        QCOMPARE(cleaner->notice(), Notice::None);
        QCOMPARE(cleaner->status(), Status::cleaned(1, 0));
    }

    // While another cleaner of the same record folder works, a second one moves nothing and
    // says Vantor is busy; once it is free the second works as usual.
    void oneCleanerAtATime() {
        populate(5, 0);
        auto first = makeCleaner();
        first->clean();
        QCOMPARE(first->status(), Status::cleaned(5, 0));
        addFile("late.png", "late");
        auto second = makeCleaner();
        second->setBusyWait(0);
        {
            const auto otherAtWork = platform::FileLock::acquire(m_state + "/lock", 0);
            QVERIFY(otherAtWork);
            second->clean();
            QVERIFY(second->notice() == Notice::Busy && QFile::exists(desktop("late.png")));
            second->undo();
            QCOMPARE(second->notice(), Notice::Busy);
            QCOMPARE(second->lastClean()->moves.size(), 5);
        }
        // The other one's record, read again under the lock, is what an undo puts back.
        first->clean();
        second->undo();
        QCOMPARE(second->notice(), Notice::None);
        QCOMPARE(second->status(), Status::undone(1, 0));
        QVERIFY(QFile::exists(desktop("late.png")));
    }

    // Started work publishes what clean() and undo() publish, in the same order, with
    // progress up to the total, and reports busy meanwhile.
    void startedWorkPublishesLikeBlockingWork() {
        populate(300, 0);
        auto cleaner = makeCleaner();
        QStringList seen;
        connect(cleaner.get(), &Cleaner::scanChanged, this, [&seen] { seen << "scan"; });
        connect(cleaner.get(), &Cleaner::lastCleanChanged, this, [&seen] { seen << "lastClean"; });
        connect(cleaner.get(), &Cleaner::statusChanged, this, [&seen] { seen << "status"; });
        QSignalSpy busy(cleaner.get(), &Cleaner::busyChanged);
        QSignalSpy progress(cleaner.get(), &Cleaner::progress);

        cleaner->startClean();
        QVERIFY(cleaner->isBusy());
        cleaner->startClean(); // ignored while at work
        cleaner->clean();      // likewise, and says so
        QCOMPARE(cleaner->notice(), Notice::Busy);
        QVERIFY(seen.isEmpty()); // even the scans come from the worker
        QTRY_VERIFY_WITH_TIMEOUT(!cleaner->isBusy(), 20000);
        QCOMPARE(seen, QStringList({"scan", "lastClean", "status", "scan"}));
        QCOMPARE(cleaner->status(), Status::cleaned(300, 0));
        QCOMPARE(cleaner->notice(), Notice::None);
        QCOMPARE(cleaner->scan().totalFiles(), 0);
        QCOMPARE(busy.count(), 2);
        QCOMPARE(progress.last(), QVariantList({300, 300}));

        seen.clear();
        cleaner->startUndo();
        QTRY_VERIFY_WITH_TIMEOUT(!cleaner->isBusy(), 20000);
        QCOMPARE(seen, QStringList({"lastClean", "status", "scan"}));
        verifyAllBack();

        // A Desktop that cannot be listed: the scan and the status, as clean() publishes.
        seen.clear();
        QVERIFY(QDir().rename(m_desktop, m_desktop + ".away"));
        cleaner->startClean();
        QTRY_VERIFY_WITH_TIMEOUT(!cleaner->isBusy(), 20000);
        QCOMPARE(seen, QStringList({"scan", "status"}));
        QCOMPARE(cleaner->status(), Status::noAccess());
    }

    // Quitting mid-clean: the current item is finished and the record holds exactly what
    // was moved, so one undo after the restart brings everything back.
    void quittingMidCleanLeavesAConsistentRecord() {
        populate(1500, 0);
        auto cleaner = makeCleaner();
        QSignalSpy progress(cleaner.get(), &Cleaner::progress);
        cleaner->startClean();
        QVERIFY(progress.wait(20000));
        cleaner.reset(); // waits for the worker
        cleaner = makeCleaner();
        const int moved = cleaner->lastClean() ? int(cleaner->lastClean()->moves.size()) : 0;
        QCOMPARE(moved, 1500 - int(QDir(m_desktop).entryList(QDir::Files).size()));
        QCOMPARE(QDir(m_state).entryList({"*.journal"}, QDir::Files), QStringList());
        if (moved > 0) {
            cleaner->undo();
            QCOMPARE(cleaner->status(), Status::undone(moved, 0));
        }
        verifyAllBack();
    }
};

VANTOR_TEST_MAIN(TestCleanRecovery)
#include "TestCleanRecovery.moc"
