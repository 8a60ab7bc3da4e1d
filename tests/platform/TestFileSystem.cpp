#include "platform/FileSystem.h"
#include "platform/NameOrder.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::detail {
MoveResult moveByLinking(const QByteArray& from, const QByteArray& to);
}

using platform::DirEntry;
using platform::MoveResult;
using Kind = platform::DirEntry::Kind;

namespace {

QString q(const QByteArray& path) {
    return QFile::decodeName(path);
}

void makeFile(const QByteArray& path, const QByteArray& content = "x", mode_t mode = 0644) {
    // Raw bytes: the name may not be valid UTF-8.
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, mode);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, content.constData(), size_t(content.size())), ssize_t(content.size()));
    ::close(fd);
    QCOMPARE(::chmod(path.constData(), mode), 0); // whatever the umask
}

void setMtime(const QByteArray& path, time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 123456789}};
    QCOMPARE(::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

// What a move must keep, by raw relative path: mode, mtime, content or link target.
using Snapshot = QMap<QByteArray, QByteArray>;
void snapshotInto(Snapshot& out, const QByteArray& path, const QByteArray& rel) {
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return;
    QByteArray& d = out[rel] = QByteArray::number(st.st_mode, 8) + ' ' +
                               QByteArray::number(st.st_mtim.tv_sec) + '.' +
                               QByteArray::number(st.st_mtim.tv_nsec) + ' ';
    char target[4096];
    if (S_ISLNK(st.st_mode))
        d += QByteArray(target, qMax<ssize_t>(0, ::readlink(path, target, sizeof target)));
    else if (S_ISREG(st.st_mode))
        d += testsupport::readFile(q(path)).toHex();
    DIR* dir = S_ISDIR(st.st_mode) ? ::opendir(path.constData()) : nullptr;
    while (const dirent* e = dir ? ::readdir(dir) : nullptr) {
        const QByteArray name(e->d_name);
        if (name != "." && name != "..")
            snapshotInto(out, path + '/' + name, rel + '/' + name);
    }
    if (dir)
        ::closedir(dir);
}
Snapshot snapshot(const QByteArray& path) {
    Snapshot s;
    snapshotInto(s, path, ".");
    return s;
}

} // namespace

class TestFileSystem : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    QByteArray m_root; // a fresh folder per test
    QTemporaryDir m_otherTmp{QStringLiteral("/dev/shm/vantor-test-XXXXXX")};
    QByteArray m_other; // on another file system than m_root, when there is one
    QString m_noOtherReason;

    // folder/ with a file, a dot file, a subfolder with a big file and a relative link.
    static void makeTree(const QByteArray& folder) {
        QCOMPARE(::mkdir(folder.constData(), 0755), 0);
        makeFile(folder + "/a.txt", "alpha", 0640);
        makeFile(folder + "/.dot", "hidden");
        QCOMPARE(::mkdir(folder + "/sub", 0750), 0);
        makeFile(folder + "/sub/b.bin", QByteArray(300000, 'b'), 0600);
        QCOMPARE(::symlink("../a.txt", folder + "/sub/link"), 0);
        setMtime(folder + "/sub/b.bin", 1000000000);
        setMtime(folder + "/sub", 1100000000);
        setMtime(folder, 1200000000);
    }

    QByteArray destination(bool across) const { return across ? m_other : m_root; }

  private slots:
    void initTestCase() {
        struct stat a, b;
        if (!m_otherTmp.isValid() || ::stat(m_otherTmp.path().toUtf8(), &b) != 0)
            m_noOtherReason = QStringLiteral("cross-device moves untested: no /dev/shm");
        else if (::stat(m_tmp.path().toUtf8(), &a) == 0 && a.st_dev == b.st_dev)
            m_noOtherReason = QStringLiteral("cross-device moves untested: /dev/shm and the "
                                             "temporary folder share a file system");
        else
            m_other = m_otherTmp.path().toUtf8();
    }

    void init() {
        static int n = 0;
        m_root = m_tmp.path().toUtf8() + "/t" + QByteArray::number(++n);
        QCOMPARE(::mkdir(m_root.constData(), 0755), 0);
    }

    // By raw names: QTemporaryDir cannot remove names that are not UTF-8.
    void cleanup() {
        QVERIFY(platform::removeItem(q(m_root)));
        for (const QString& name : platform::entryNames(q(m_other)).value_or(QStringList()))
            QVERIFY(platform::removeItem(q(m_other) + '/' + name));
    }

    void listing() {
        makeFile(m_root + "/file.txt");
        QCOMPARE(::mkdir(m_root + "/folder", 0755), 0);
        QCOMPARE(::symlink("file.txt", m_root + "/toFile"), 0);
        QCOMPARE(::symlink("folder", m_root + "/toFolder"), 0);
        QCOMPARE(::symlink("nowhere", m_root + "/dangling"), 0);
        QCOMPARE(::mkfifo(m_root + "/fifo", 0644), 0);
        for (const char* name : {"/Grüße.txt", "/bad\xff.txt", "/overlong\xc0\xaf", "/.dot"})
            makeFile(m_root + name);

        const auto entries = platform::listFolder(q(m_root), true);
        QVERIFY(entries);
        QMap<QString, Kind> kinds;
        int invalid = 0;
        for (const DirEntry& e : *entries) {
            if (e.nameIsValid)
                kinds.insert(e.name, e.kind);
            else
                ++invalid;
        }
        QCOMPARE(invalid, 2);
        const QMap<QString, Kind> expected{{"file.txt", Kind::File},    {"folder", Kind::Directory},
                                           {"toFile", Kind::Symlink},   {"toFolder", Kind::Symlink},
                                           {"dangling", Kind::Symlink}, {"fifo", Kind::File},
                                           {"Grüße.txt", Kind::File}};
        QCOMPARE(kinds, expected);

        makeFile(m_root + "/plain");
        for (const char* name : {"/missing", "/plain"}) {
            QVERIFY(!platform::listFolder(q(m_root + name), false));
            QVERIFY(!platform::entryNames(q(m_root + name)));
        }
    }

    void hiddenEntries() {
        for (const char* name : {"/shown", "/.dot", "/secret", "/Folder", "/secret.bak"})
            makeFile(m_root + name);
        makeFile(m_root + "/.hidden", "secret\r\nFolder\n\nmissing\n");
        const auto names = [](const std::optional<QList<DirEntry>>& entries) {
            QStringList out;
            for (const DirEntry& e : entries.value_or(QList<DirEntry>()))
                out << e.name;
            out.sort();
            return out;
        };
        QCOMPARE(names(platform::listFolder(q(m_root), true)),
                 (QStringList{"secret.bak", "shown"}));
        const QStringList all{".dot", ".hidden", "Folder", "secret", "secret.bak", "shown"};
        QCOMPARE(names(platform::listFolder(q(m_root), false)), all);
        QStringList entryNames = platform::entryNames(q(m_root)).value_or(QStringList());
        entryNames.sort();
        QCOMPARE(entryNames, all);
    }

    void existence() {
        makeFile(m_root + "/file");
        QCOMPARE(::mkdir(m_root + "/folder", 0755), 0);
        QCOMPARE(::symlink("folder", m_root + "/toFolder"), 0);
        QCOMPARE(::symlink("nowhere", m_root + "/dangling"), 0);
        const QString r = q(m_root);
        QVERIFY(platform::exists(r + "/file") && !platform::isDirectory(r + "/file"));
        QVERIFY(platform::isDirectory(r + "/folder") && platform::isDirectory(r + "/toFolder"));
        QVERIFY(!platform::exists(r + "/dangling") && platform::entryExists(r + "/dangling"));
        QVERIFY(platform::makePath(r + "/x/y") && platform::makePath(r + "/x/y"));
        QVERIFY(!platform::makePath(r + "/file") && !platform::makePath(r + "/file/below"));
    }

    void moves_data() {
        QTest::addColumn<bool>("across");
        QTest::addColumn<QString>("kind");
        for (bool across : {false, true}) {
            for (const char* kind : {"file", "folder", "link"})
                QTest::addRow("%s%s", kind, across ? " across devices" : "") << across << kind;
        }
    }
    // Everything arrives: content, mode, times, inner links, names that are not UTF-8.
    void moves() {
        QFETCH(bool, across);
        if (across && m_other.isEmpty())
            QSKIP(qPrintable(m_noOtherReason));
        QFETCH(QString, kind);
        const QByteArray from = m_root + "/item", to = destination(across) + "/moved";
        if (kind == "file") {
            makeFile(from, QByteArray(700000, 'q') + "end", 0640);
            setMtime(from, 946684800);
        } else if (kind == "folder") {
            makeTree(from);
            makeFile(from + "/sub/raw\xfe name");
        } else {
            QCOMPARE(::symlink("../somewhere", from.constData()), 0);
        }
        const Snapshot before = snapshot(from);
        QCOMPARE(platform::moveItem(q(from), q(to)), MoveResult::Moved);
        QVERIFY(!platform::entryExists(q(from)));
        QCOMPARE(snapshot(to), before);
    }

    void movesNeverReplace_data() {
        QTest::addColumn<bool>("across");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        for (bool across : {false, true}) {
            for (const char* s : {"file", "folder"}) {
                for (const char* t : {"file", "folder", "empty folder", "dangling link"}) {
                    QTest::addRow("%s onto %s%s", s, t, across ? " across devices" : "")
                        << across << s << t;
                }
            }
        }
    }
    // Also the race of a target appearing after a caller's check: the move is the check.
    void movesNeverReplace() {
        QFETCH(bool, across);
        if (across && m_other.isEmpty())
            QSKIP(qPrintable(m_noOtherReason));
        QFETCH(QString, source);
        QFETCH(QString, target);
        const QByteArray from = m_root + "/src", to = destination(across) + "/dst";
        source == "file" ? makeFile(from, "mine") : makeTree(from);
        if (target == "file")
            makeFile(to, "theirs");
        else if (target == "folder")
            makeTree(to);
        else if (target == "empty folder")
            QCOMPARE(::mkdir(to.constData(), 0755), 0);
        else
            QCOMPARE(::symlink("nowhere", to.constData()), 0);
        const Snapshot fromBefore = snapshot(from), toBefore = snapshot(to);
        const Snapshot otherBefore = across ? snapshot(m_other) : Snapshot();

        QCOMPARE(platform::moveItem(q(from), q(to)), MoveResult::TargetExists);
        QCOMPARE(snapshot(from), fromBefore);
        QCOMPARE(snapshot(to), toBefore);
        if (across)
            QCOMPARE(snapshot(m_other), otherBefore); // nothing left beside the target
    }

    // A copy failing half-way leaves the source whole and nothing on the other side.
    void crossDeviceFailureHalfway_data() {
        QTest::addColumn<bool>("sizeLimit");
        QTest::newRow("fifo inside") << false;
        QTest::newRow("file too large to write") << true;
    }
    void crossDeviceFailureHalfway() {
        QFETCH(bool, sizeLimit);
        if (m_other.isEmpty())
            QSKIP(qPrintable(m_noOtherReason));
        const QByteArray from = m_root + "/src", to = destination(true) + "/dst";
        makeTree(from);
        for (const char* name : {"/s1", "/s2", "/s3"})
            makeFile(from + name);
        if (!sizeLimit)
            QCOMPARE(::mkfifo(from + "/sub/pipe", 0644), 0);
        const Snapshot before = snapshot(from);

        // Unlike permission tricks, RLIMIT_FSIZE binds root too: the 300 kB b.bin cannot be
        // written while the small files can.
        rlimit saved{}, limit{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        limit = saved;
        limit.rlim_cur = sizeLimit ? 100000 : saved.rlim_cur;
        const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        const MoveResult result = platform::moveItem(q(from), q(to));
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, savedHandler);

        QCOMPARE(result, MoveResult::Failed);
        QCOMPARE(snapshot(from), before);
        QCOMPARE(platform::entryNames(q(m_other)), std::optional(QStringList()));
    }

    void moveFailures() {
        makeFile(m_root + "/file");
        QVERIFY(platform::makePath(q(m_root + "/folder/inner")));
        const QString r = q(m_root);
        QCOMPARE(platform::moveItem(r + "/missing", r + "/x"), MoveResult::Failed);
        QCOMPARE(platform::moveItem(r + "/file", r + "/no/such/x"), MoveResult::Failed);
        QCOMPARE(platform::moveItem(r + "/folder", r + "/folder/inner/x"), MoveResult::Failed);
        QVERIFY(platform::exists(r + "/file") && platform::isDirectory(r + "/folder/inner"));
    }

    // The fallback for file systems without an exclusive rename.
    void moveByLinking() {
        using platform::detail::moveByLinking;
        makeFile(m_root + "/a", "alpha", 0640);
        const Snapshot a = snapshot(m_root + "/a");
        QCOMPARE(moveByLinking(m_root + "/a", m_root + "/b"), MoveResult::Moved);
        QVERIFY(!platform::entryExists(q(m_root + "/a")));
        QCOMPARE(snapshot(m_root + "/b"), a);

        makeFile(m_root + "/c", "gamma");
        QCOMPARE(::symlink("nowhere", m_root + "/dangling"), 0);
        Snapshot before = snapshot(m_root);
        QCOMPARE(moveByLinking(m_root + "/c", m_root + "/b"), MoveResult::TargetExists);
        QCOMPARE(moveByLinking(m_root + "/c", m_root + "/dangling"), MoveResult::TargetExists);
        QCOMPARE(::mkdir(m_root + "/folder", 0755), 0);
        QCOMPARE(moveByLinking(m_root + "/folder", m_root + "/new"), MoveResult::Failed);
        QVERIFY(!platform::entryExists(q(m_root + "/new")));
        QCOMPARE(::rmdir(m_root + "/folder"), 0);
        Snapshot after = snapshot(m_root);
        after.remove(".");
        before.remove(".");
        QCOMPARE(after, before);
    }

    void removeItemDoesNotFollowLinks() {
        makeTree(m_root + "/keep");
        makeTree(m_root + "/gone");
        QCOMPARE(::symlink("../../keep", m_root + "/gone/sub/toKeep"), 0);
        makeFile(m_root + "/gone/raw\xff");
        QCOMPARE(::symlink("keep", m_root + "/linkToKeep"), 0);
        const Snapshot keep = snapshot(m_root + "/keep");
        const QString r = q(m_root);
        QVERIFY(platform::removeItem(r + "/gone") && platform::removeItem(r + "/linkToKeep"));
        QCOMPARE(snapshot(m_root + "/keep"), keep);
        QCOMPARE(platform::entryNames(r), std::optional(QStringList{"keep"}));
        QVERIFY(platform::removeItem(r + "/keep/a.txt") && !platform::removeItem(r + "/none"));
    }

    void wholeFiles() {
        const QString f = q(m_root) + "/f.json";
        const QByteArray bytes("{}\n\0tail", 8);
        QVERIFY(platform::writeFileAtomically(f, "old") && platform::writeFileAtomically(f, bytes));
        QCOMPARE(platform::readWholeFile(f), std::optional(bytes));
        QCOMPARE(platform::entryNames(q(m_root)), std::optional(QStringList{"f.json"}));
        QCOMPARE(platform::readWholeFile(f + ".none"), std::nullopt);
        QVERIFY(!platform::writeFileAtomically(q(m_root) + "/none/f.json", "x"));
    }

    void paths_data() {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("expected");
        // The tilde rows rely on CTest's throw-away HOME.
        const QString home = qEnvironmentVariable("HOME");
        const passwd* pw = ::getpwnam("root");
        const QString root = pw ? QString::fromLocal8Bit(pw->pw_dir) : QStringLiteral("~root");
        const QString rows[][4] = {
            {"tilde", "~", "", home},
            {"tilde", "~/x/y", "", home + "/x/y"},
            {"tilde", "~root", "", root},
            {"tilde", "~root/x", "", root + "/x"},
            {"tilde", "~nosuchuser123/x", "", "~nosuchuser123/x"},
            {"tilde", "/a/~/b", "", "/a/~/b"},
            {"standardize", "/a/b/../c/./", "", "/a/c"},
            {"standardize", "//a//b//", "", "/a/b"},
            {"standardize", "/../x/..", "", "/"},
            {"standardize", "x/../y", "", QDir::currentPath() + "/y"},
            {"last", "/tmp/scratch.tiff", "", "scratch.tiff"},
            {"last", "/tmp/", "", "tmp"},
            {"last", "/", "", "/"},
            {"parent", "/tmp/lock/", "", "/tmp"},
            {"parent", "/tmp", "", "/"},
            {"parent", "a//b", "", "a"},
            {"parent", "scratch", "", ""},
            {"ext", "archive.tar.gz", "", "gz"},
            {"ext", "/a.b/README", "", ""},
            {"ext", "/home/.bashrc", "", ""},
            {"ext", "a.", "", ""},
            {"ext", "/x/pack.d/", "", "d"},
            {"noext", "archive.tar.gz", "", "archive.tar"},
            {"noext", "/a.b/README", "", "/a.b/README"},
            {"noext", ".bashrc", "", ".bashrc"},
            {"append", "/tmp//", "/x", "/tmp/x"},
            {"append", "/", "x", "/x"},
            {"append", "", "x", "x"},
        };
        for (const auto& r : rows) {
            QTest::addRow("%s(%s,%s)", qPrintable(r[0]), qPrintable(r[1]), qPrintable(r[2]))
                << r[0] << r[1] << r[2] << r[3];
        }
    }
    void paths() {
        QFETCH(QString, op);
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, expected);
        QVERIFY(!qEnvironmentVariable("HOME").isEmpty());
        QCOMPARE(platform::homePath(), QDir::cleanPath(qEnvironmentVariable("HOME")));
        const QString actual = op == "tilde"         ? platform::expandTilde(a)
                               : op == "standardize" ? platform::standardize(a)
                               : op == "last"        ? platform::lastPathComponent(a)
                               : op == "parent"      ? platform::deletingLastPathComponent(a)
                               : op == "ext"         ? platform::pathExtension(a)
                               : op == "noext"       ? platform::deletingPathExtension(a)
                                                     : platform::appendingPathComponent(a, b);
        QCOMPARE(actual, expected);
    }

    void nameOrder_data() {
        QTest::addColumn<int>("copies");
        QTest::newRow("few: direct comparison") << 3;
        QTest::newRow("many: sort keys") << 40;
    }
    // The same order on both sides of the sort-key threshold, equal names kept in order.
    void nameOrder() {
        QFETCH(int, copies);
        const QStringList names{"img10.png", "b.txt", "img2.png", "Img1.png", "A.txt"};
        QList<std::pair<QString, int>> items;
        for (int i = 0; i < copies; ++i) {
            for (const QString& name : names)
                items.append({i % 2 ? name.toUpper() : name, i});
        }
        platform::NameOrder().stableSort(items, [](const auto& item) { return item.first; });

        QStringList sorted;
        for (qsizetype i = 0; i < items.size(); ++i) {
            QCOMPARE(items[i].second, int(i % copies));
            if (i % copies == 0)
                sorted << items[i].first.toLower();
        }
        QCOMPARE(sorted, (QStringList{"a.txt", "b.txt", "img1.png", "img2.png", "img10.png"}));
    }
};

VANTOR_TEST_MAIN(TestFileSystem)
#include "TestFileSystem.moc"
