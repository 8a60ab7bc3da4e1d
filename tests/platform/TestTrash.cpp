#include "platform/Trash.h"

#include "PlatformTest.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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
        QTest::addColumn<QString>("shared"); // what stands at .Trash
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("own");  // what stands at .Trash-$uid
        QTest::addColumn<QString>("root"); // "" when none may be used
        const auto row = [](const char* name, const char* shared, int mode, const char* own,
                            const char* root) {
            QTest::newRow(name) << QString(shared) << mode << QString(own) << QString(root);
        };
        row("nothing there", "", -1, "", ".Trash-%1");
        row("shared, sticky", "folder", 01777, "", ".Trash/%1");
        row("shared, not sticky", "folder", 0777, "", ".Trash-%1");
        row("shared, a link to a sticky folder", "link to a folder", 01777, "", ".Trash-%1");
        row("ours, a link", "", -1, "link to a folder", "");
        row("ours, owned by another", "", -1, "another's folder", "");
    }
    void trashAtTheTop() {
        QFETCH(QString, shared);
        QFETCH(int, mode);
        QFETCH(QString, own);
        QFETCH(QString, root);
        QVERIFY(shared.isEmpty() || makeEntry(shared, top(".Trash"), mode));
        QVERIFY(own.isEmpty() || makeEntry(own, top(".Trash-" + m_uid)));
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
        // A full disk: no .trashinfo, so the item stays.
        const MoveResult onFullDisk = testsupport::withFileSizeLimit(
            0, [&] { return trash->put(from, files + "/a.png", when); });
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
