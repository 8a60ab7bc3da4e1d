#include "platform/Trash.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::MoveResult;
using platform::Trash;

class TestTrash : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_top; // stands for the top of a mount
    QString m_uid = QString::number(::getuid());

    QString top(const QString& name) const { return m_top->path() + "/" + name; }

  private slots:
    void init() { m_top = std::make_unique<QTemporaryDir>(); }

    // Which trash at the top of a mount is used: the shared .Trash only as an administrator
    // makes it, else one of our own, never through a link nor one somebody else owns.
    void trashAtTheTop_data() {
        QTest::addColumn<QString>("root"); // "" when none may be used
        QTest::newRow("nothing there") << ".Trash-%1";
        QTest::newRow("shared, sticky") << ".Trash/%1";
        QTest::newRow("shared, not sticky") << ".Trash-%1";
        QTest::newRow("shared, a link to a sticky folder") << ".Trash-%1";
        QTest::newRow("ours, a link") << "";
        QTest::newRow("ours, owned by another") << "";
    }
    void trashAtTheTop() {
        QFETCH(QString, root);
        const QString setUp = QTest::currentDataTag();
        const QString own = top(".Trash-" + m_uid);
        if (setUp == "shared, sticky" || setUp == "shared, not sticky") {
            QVERIFY(QDir().mkdir(top(".Trash")));
            QCOMPARE(
                ::chmod(QFile::encodeName(top(".Trash")), setUp == "shared, sticky" ? 01777 : 0777),
                0);
        } else if (setUp == "shared, a link to a sticky folder") {
            QVERIFY(QDir().mkdir(top("elsewhere")));
            QCOMPARE(::chmod(QFile::encodeName(top("elsewhere")), 01777), 0);
            QVERIFY(QFile::link(top("elsewhere"), top(".Trash")));
        } else if (setUp == "ours, a link") {
            QVERIFY(QDir().mkpath(top("mine/files")) && QDir().mkpath(top("mine/info")));
            QVERIFY(QFile::link(top("mine"), own));
        } else if (setUp == "ours, owned by another") {
            QVERIFY(QDir().mkdir(own));
            QCOMPARE(::chown(QFile::encodeName(own), ::getuid() + 1, ::getgid()), 0);
        }
        const auto trash = Trash::atTop(m_top->path(), true);
        QCOMPARE(trash ? trash->root() : QString(), root.isEmpty() ? "" : top(root.arg(m_uid)));
        if (!trash)
            return;
        struct stat st;
        QCOMPARE(::lstat(QFile::encodeName(trash->root() + "/info"), &st), 0);
        QCOMPARE(st.st_mode & 07777, 0700u);
        QCOMPARE(Trash::holding(trash->filesFolder() + "/x")->root(), trash->root());
    }

    // Into a trash at the top of a mount: the path is written relative to the top. A name
    // taken in files/ or in info/ is never replaced, and a move that does not happen (also
    // for a full disk) leaves no .trashinfo behind.
    void putWritesItsInfoFirstAndReplacesNothing() {
        const auto trash = Trash::atTop(m_top->path(), true);
        QVERIFY(trash);
        const QString from = top("sub dir/a é.png");
        QVERIFY(testsupport::touch(from, "mine"));
        const QString files = trash->filesFolder();
        QVERIFY(testsupport::touch(files + "/taken.png", "theirs"));
        QVERIFY(testsupport::touch(trash->root() + "/info/orphan.png.trashinfo", "theirs"));
        const QDateTime when(QDate(2026, 3, 1), QTime(12, 0, 5)); // local time
        QCOMPARE(trash->put(from, files + "/taken.png", when), MoveResult::TargetExists);
        QCOMPARE(trash->put(from, files + "/orphan.png", when), MoveResult::TargetExists);
        QCOMPARE(trash->put(top("missing.png"), files + "/missing.png", when), MoveResult::Failed);
        // A full disk (RLIMIT_FSIZE binds root too): no .trashinfo, so the item stays.
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit full{0, saved.rlim_max};
        const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &full), 0);
        const MoveResult onFullDisk = trash->put(from, files + "/a.png", when);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, savedHandler);
        QCOMPARE(onFullDisk, MoveResult::Failed);
        QCOMPARE(QDir(trash->root() + "/info").count(), 3u); // ".", "..", the orphan's
        QCOMPARE(testsupport::readFile(files + "/taken.png"), "theirs");
        QCOMPARE(testsupport::readFile(trash->root() + "/info/orphan.png.trashinfo"), "theirs");

        QCOMPARE(trash->put(from, files + "/a.png", when), MoveResult::Moved);
        QCOMPARE(testsupport::readFile(files + "/a.png"), "mine");
        QCOMPARE(testsupport::readFile(trash->infoFile(files + "/a.png")),
                 "[Trash Info]\nPath=sub%20dir/a%20%C3%A9.png\nDeletionDate=2026-03-01T12:00:05\n");
        // Forgotten only once the item is gone from files/, and only for the path it names.
        QVERIFY(!trash->forget(files + "/a.png", from));
        QVERIFY(QFile::rename(files + "/a.png", from));
        QVERIFY(!trash->forget(files + "/a.png", top("sub dir/b.png")));
        QVERIFY(trash->forget(files + "/a.png", from));
        QVERIFY(!QFile::exists(trash->infoFile(files + "/a.png")));
    }
};

VANTOR_TEST_MAIN(TestTrash)
#include "TestTrash.moc"
