#include "TestSupport.h"

#include "cleaner/CleanJournal.h"
#include "cleaner/DesktopCleaner.h"
#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "rules/RuleStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

using Status = DesktopCleaner::Status;
using Notice = DesktopCleaner::Notice;

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

// Waits (without a clock of its own) until the child has ended, or until `condition` holds
// and then kills it. True when the child was killed while the condition held.
bool killWhen(pid_t pid, const std::function<bool()>& condition) {
    for (long polls = 0; polls < 600000; ++polls) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        if (condition && condition()) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return true;
        }
        const timespec pause{0, 100 * 1000};
        ::nanosleep(&pause, nullptr);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return false;
}

} // namespace

class TestCleanRecovery : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;
    std::unique_ptr<QTemporaryDir> m_shm; // another file system, for copies (m_far)
    std::unique_ptr<RuleStore> m_store;
    QString m_desktop, m_state, m_far;
    QMap<QString, QByteArray> m_files; // name → hash of the content it must come back with

    QString desktop(const QString& name) const { return m_desktop + "/" + name; }
    std::unique_ptr<DesktopCleaner> makeCleaner() {
        return std::make_unique<DesktopCleaner>(m_store.get(), m_desktop, m_state);
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
        for (auto it = m_files.cbegin(); it != m_files.cend(); ++it) {
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
                if (!path.startsWith(m_desktop + "/") ||
                    path.count(u'/') > m_desktop.count(u'/') + 1)
                    QVERIFY2(!m_files.contains(it.fileName()), qPrintable(path));
            }
        }
    }

    // A child process with its own cleaner runs `action`; it kills itself with SIGKILL when
    // progress reaches `killAt` (never when -1).
    pid_t forkCleaner(const std::function<void(DesktopCleaner&)>& action, int killAt) {
        const pid_t pid = ::fork();
        if (pid != 0)
            return pid;
        RuleStore store(m_tmp->path() + "/config");
        DesktopCleaner cleaner(&store, m_desktop, m_state);
        connect(&cleaner, &DesktopCleaner::progress, [killAt](int done, int total) {
            if (done == (killAt < 0 ? -1 : qMin(killAt, total)))
                ::raise(SIGKILL);
        });
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
        m_desktop = m_tmp->path() + "/Desktop";
        m_state = m_tmp->path() + "/state";
        QDir().mkpath(m_desktop);
        m_store = std::make_unique<RuleStore>(m_tmp->path() + "/config");
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
        m_store.reset();
        m_shm.reset();
        m_tmp.reset();
    }

    // A real kill at several moments of a clean or an undo; a fresh cleaner recovers, and
    // one undo brings every file back whole. A clean killed before its first move leaves
    // the earlier record in place.
    void killedWorkIsRecoveredAndUndoneWhole_data() {
        QTest::addColumn<bool>("duringUndo");
        QTest::addColumn<int>("killAt"); // progress count; -1: while copying the big file
        QTest::newRow("clean, before the first move") << false << 0;
        QTest::newRow("clean, in the middle") << false << 700;
        QTest::newRow("clean, copying across file systems") << false << -1;
        QTest::newRow("clean, after the last move") << false << 99999;
        QTest::newRow("undo, in the middle") << true << 700;
        QTest::newRow("undo, copying across file systems") << true << -1;
    }
    void killedWorkIsRecoveredAndUndoneWhole() {
        QFETCH(bool, duringUndo);
        QFETCH(int, killAt);
        if (killAt < 0 && m_far.isEmpty())
            QSKIP("/dev/shm and the temporary folder are one file system");
        addFile("earlier.pdf", "an earlier clean");
        makeCleaner()->clean();
        const QByteArray earlierHash = m_files.take("earlier.pdf");
        const auto earlier = makeCleaner()->lastClean();
        QVERIFY(earlier);
        populate(1500, 8 * 1024 * 1024);

        if (duringUndo)
            makeCleaner()->clean();
        const QString copyTarget = duringUndo ? desktop("big.iso") : m_far + "/Installers/big.iso";
        const QString partial = platform::partialCopyPath(copyTarget);
        const pid_t child = forkCleaner(
            [duringUndo](DesktopCleaner& c) { duringUndo ? c.undo() : c.clean(); }, killAt);
        QVERIFY(
            killWhen(child, [&] { return killAt < 0 && QFileInfo(partial).size() > 1024 * 1024; }));

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
    // finished), a copy complete under its hidden name (removed; the source stays), and
    // both names of the link-and-unlink fallback (the move is finished).
    void journalledMovesAreSettledByWhatIsOnDisk() {
        if (m_far.isEmpty())
            QSKIP("/dev/shm and the temporary folder are one file system");
        m_store->setDestination(ruleAt(0), m_far + "/Images");
        QDir().mkpath(m_far + "/Images");
        QDir().mkpath(m_desktop + "/Documents");
        addFile("copied.png", "copied");
        addFile("halfway.png", "halfway");
        addFile("linked.pdf", "linked");
        const QString copied = m_far + "/Images/copied.png",
                      halfway = m_far + "/Images/halfway.png";
        const QString linked = m_desktop + "/Documents/linked.pdf";
        QVERIFY(QFile::copy(desktop("copied.png"), copied));
        QVERIFY(QFile::copy(desktop("halfway.png"), platform::partialCopyPath(halfway)));
        QVERIFY(::link(QFile::encodeName(desktop("linked.pdf")), QFile::encodeName(linked)) == 0);

        QDir().mkpath(m_state);
        auto journal =
            CleanJournal::begin(CleanJournal::fileIn(m_state, CleanJournal::Kind::Clean),
                                CleanJournal::Kind::Clean, QDateTime::currentDateTimeUtc());
        QVERIFY(journal);
        const auto id = [](const QString& path) { return *platform::identity(path, false); };
        journal->queueMove(desktop("copied.png"), copied, id(desktop("copied.png")));
        journal->queueMove(desktop("halfway.png"), halfway, id(desktop("halfway.png")));
        journal->queueMove(desktop("linked.pdf"), linked, id(desktop("linked.pdf")));
        journal->queueMove(desktop("never.png"), m_far + "/Images/never.png", id(m_desktop));
        QVERIFY(journal->flush());
        QVERIFY(journal->copyComplete(copied, id(copied)));
        QVERIFY(journal->copyComplete(halfway, id(platform::partialCopyPath(halfway))));
        journal.reset();

        auto cleaner = makeCleaner();
        QCOMPARE(cleaner->lastClean()->moves,
                 QList<DesktopCleaner::Move>(
                     {{desktop("copied.png"), copied}, {desktop("linked.pdf"), linked}}));
        QVERIFY(!QFile::exists(desktop("copied.png")) && !QFile::exists(desktop("linked.pdf")));
        QVERIFY(!platform::entryExists(platform::partialCopyPath(halfway)));
        QVERIFY(QFile::exists(desktop("halfway.png")));
        cleaner->undo();
        QCOMPARE(cleaner->status(), Status::undone(2, 0));
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

    // No journal, no clean: the panel can say why, and nothing moves.
    void cleanNeedsItsJournal() {
        addFile("a.png", "a");
        auto cleaner = makeCleaner();
        const Immutable frozen{m_state};
        if (!frozen.ok)
            QSKIP("this file system cannot make a folder immutable");
        QSignalSpy notices(cleaner.get(), &DesktopCleaner::noticeChanged);
        cleaner->clean();
        QCOMPARE(cleaner->notice(), Notice::RecordNotSaved);
        QCOMPARE(DesktopCleaner::noticeText(cleaner->notice()),
                 "Couldn't save the record for Undo, so nothing was moved.");
        QCOMPARE(notices.count(), 1);
        QCOMPARE(cleaner->status(), Status::idle());
        QVERIFY(!cleaner->lastClean());
        QVERIFY(QFile::exists(desktop("a.png")));
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
            QCOMPARE(second->notice(), Notice::Busy);
            QVERIFY(QFile::exists(desktop("late.png")));
            second->undo();
            QCOMPARE(second->notice(), Notice::Busy);
            QCOMPARE(second->status(), Status::idle());
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
        connect(cleaner.get(), &DesktopCleaner::scanChanged, this, [&seen] { seen << "scan"; });
        connect(cleaner.get(), &DesktopCleaner::lastCleanChanged, this,
                [&seen] { seen << "lastClean"; });
        connect(cleaner.get(), &DesktopCleaner::statusChanged, this, [&seen] { seen << "status"; });
        QSignalSpy busy(cleaner.get(), &DesktopCleaner::busyChanged);
        QSignalSpy progress(cleaner.get(), &DesktopCleaner::progress);

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
        QCOMPARE(cleaner->lastClean()->moves.size(), 300);
        QCOMPARE(cleaner->scan().totalFiles(), 0);
        QCOMPARE(busy.count(), 2);
        QCOMPARE(progress.last(), QVariantList({300, 300}));

        seen.clear();
        cleaner->startUndo();
        QTRY_VERIFY_WITH_TIMEOUT(!cleaner->isBusy(), 20000);
        QCOMPARE(seen, QStringList({"lastClean", "status", "scan"}));
        QCOMPARE(cleaner->status(), Status::undone(300, 0));
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
        QSignalSpy progress(cleaner.get(), &DesktopCleaner::progress);
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
