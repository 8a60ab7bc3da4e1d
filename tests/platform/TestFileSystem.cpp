#include "platform/FileSystem.h"
#include "platform/NameOrder.h"

#include "TestSupport.h"

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
extern int (*keepMode)(int fd, mode_t mode);
extern int (*keepTimes)(int fd, const timespec times[2]);
} // namespace platform::detail

using platform::DirEntry;
using platform::MoveResult;
using Kind = platform::DirEntry::Kind;

namespace {

QString q(const QByteArray& path) {
    return QFile::decodeName(path);
}

// By raw bytes: the name may not be valid UTF-8. The time is set to the nanosecond.
void makeFile(const QByteArray& path, const QByteArray& content = "x", mode_t mode = 0644,
              time_t mtime = 0) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, mode);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, content.constData(), size_t(content.size())), ssize_t(content.size()));
    ::close(fd);
    QCOMPARE(::chmod(path.constData(), mode), 0); // whatever the umask
    const timespec times[2] = {{mtime, 0}, {mtime, 123456789}};
    QVERIFY(!mtime || ::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW) == 0);
}

// What a move must keep, by raw relative path: mode, mtime, content or link target.
using Snapshot = QMap<QByteArray, QByteArray>;
Snapshot snapshot(const QByteArray& path, const QByteArray& rel = ".") {
    Snapshot out;
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return out;
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
            out.insert(snapshot(path + '/' + name, rel + '/' + name));
    }
    if (dir)
        ::closedir(dir);
    return out;
}

// folder/ with a file, a dot file, a subfolder with a big file, a name that is not UTF-8
// and a relative link; the times set after the contents.
void makeTree(const QByteArray& folder) {
    QCOMPARE(::mkdir(folder.constData(), 0755), 0);
    makeFile(folder + "/a.txt", "alpha", 0640);
    makeFile(folder + "/.dot", "hidden");
    QCOMPARE(::mkdir(folder + "/sub", 0750), 0);
    makeFile(folder + "/sub/b.bin", QByteArray(300000, 'b'), 0600, 1000000000);
    makeFile(folder + "/sub/raw\xfe name");
    QCOMPARE(::symlink("../a.txt", folder + "/sub/link"), 0);
    const timespec sub[2] = {{0, 0}, {1100000000, 0}}, top[2] = {{0, 0}, {1200000000, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, folder + "/sub", sub, 0), 0);
    QCOMPARE(::utimensat(AT_FDCWD, folder.constData(), top, 0), 0);
}

// A large file with content of its own, a folder tree, an empty folder or a dangling link.
void makeItem(const QString& kind, const QByteArray& path) {
    if (kind == "file")
        makeFile(path, QByteArray(700000, 'q') + path, 0640, 946684800);
    else if (kind == "folder")
        makeTree(path);
    else if (kind == "empty folder")
        QCOMPARE(::mkdir(path.constData(), 0755), 0);
    else
        QCOMPARE(::symlink("../nowhere", path.constData()), 0);
}

// The names in a folder, hidden ones included; nullopt when it cannot be listed.
std::optional<QStringList> entryNames(const QString& folder) {
    const auto entries = platform::listFolder(folder, false);
    if (!entries)
        return std::nullopt;
    QStringList names;
    for (const platform::DirEntry& e : *entries)
        names << e.name;
    return names;
}

} // namespace

class TestFileSystem : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    QByteArray m_root; // a fresh folder per test
    QTemporaryDir m_otherTmp{QStringLiteral("/dev/shm/vantor-test-XXXXXX")};
    QByteArray m_other; // on another file system than m_root, when there is one
    QString m_noOtherReason;

    void link(const char* target, const char* name) {
        QCOMPARE(::symlink(target, m_root + name), 0);
    }

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
        for (const QString& name : entryNames(q(m_other)).value_or(QStringList()))
            QVERIFY(platform::removeItem(q(m_other) + '/' + name));
    }

    // Kinds without following links; hidden are dot names and those in ".hidden".
    void listing() {
        QCOMPARE(::mkdir(m_root + "/folder", 0755), 0);
        link("file.txt", "/toFile");
        link("folder", "/toFolder");
        link("nowhere", "/dangling");
        QCOMPARE(::mkfifo(m_root + "/fifo", 0644), 0);
        for (const char* name : {"/file.txt", "/Grüße.txt", "/bad\xff.txt", "/overlong\xc0\xaf",
                                 "/.dot", "/secret", "/secret.bak"})
            makeFile(m_root + name);
        makeFile(m_root + "/.hidden", "secret\r\n\nmissing\n");

        QMap<QString, Kind> kinds;
        int invalid = 0;
        const auto entries = platform::listFolder(q(m_root), true);
        for (const DirEntry& e : entries.value())
            kinds.insert(e.nameIsValid ? e.name : QString("invalid %1").arg(++invalid), e.kind);
        const QMap<QString, Kind> expected{{"file.txt", Kind::File},    {"folder", Kind::Directory},
                                           {"toFile", Kind::Symlink},   {"toFolder", Kind::Symlink},
                                           {"dangling", Kind::Symlink}, {"fifo", Kind::File},
                                           {"Grüße.txt", Kind::File},   {"secret.bak", Kind::File},
                                           {"invalid 1", Kind::File},   {"invalid 2", Kind::File}};
        QCOMPARE(kinds, expected);
        QCOMPARE(entryNames(q(m_root))->size(), 13);
        QVERIFY(!platform::listFolder(q(m_root + "/file.txt"), false));
        QVERIFY(!entryNames(q(m_root + "/missing")));
    }

    void moves_data() {
        QTest::addColumn<bool>("across");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        for (bool across : {false, true}) {
            for (const char* s : {"file", "folder", "dangling link"}) {
                for (const char* t : {"", "file", "folder", "empty folder", "dangling link"}) {
                    QTest::addRow("%s onto %s%s", s, *t ? t : "nothing",
                                  across ? " across devices" : "")
                        << across << s << t;
                }
            }
        }
    }
    // Everything arrives: content, mode, times, inner links, names that are not UTF-8. A
    // target is never replaced, also when it appears after a caller's check.
    void moves() {
        QFETCH(bool, across);
        QFETCH(QString, source);
        QFETCH(QString, target);
        if (across && m_other.isEmpty())
            QSKIP(qPrintable(m_noOtherReason));
        const QByteArray from = m_root + "/src", to = (across ? m_other : m_root) + "/dst";
        makeItem(source, from);
        if (!target.isEmpty())
            makeItem(target, to);
        const Snapshot fromBefore = snapshot(from), toBefore = snapshot(to);
        const Snapshot otherBefore = across ? snapshot(m_other) : Snapshot();

        const bool free = target.isEmpty();
        QCOMPARE(platform::moveItem(q(from), q(to)),
                 free ? MoveResult::Moved : MoveResult::TargetExists);
        QCOMPARE(snapshot(from), free ? Snapshot() : fromBefore);
        QCOMPARE(snapshot(to), free ? fromBefore : toBefore);
        if (across && !free)
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
        const QByteArray from = m_root + "/src", to = m_other + "/dst";
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
        QCOMPARE(entryNames(q(m_other)), std::optional(QStringList()));
    }

    // The copy is built under a hidden name and gets the final one only when complete; a
    // refused link leaves neither. A half-made copy from before is replaced.
    void crossDeviceCopyIsNeverHalfVisible() {
        if (m_other.isEmpty())
            QSKIP(qPrintable(m_noOtherReason));
        const QByteArray from = m_root + "/big.bin", to = m_other + "/big.bin";
        const QByteArray content(3 * 1024 * 1024, 'z');
        makeFile(from, content);
        const QString partial = platform::partialCopyPath(q(to));
        QVERIFY(platform::isPartialCopyName(platform::lastPathComponent(partial)));
        makeFile(partial.toUtf8(), "stale half");

        for (const bool allow : {false, true}) {
            bool called = false;
            const auto result = platform::moveItem(q(from), q(to), [&](const auto& copy) {
                called = true;
                [&] {
                    QVERIFY(!platform::entryExists(q(to)));
                    QCOMPARE(testsupport::readFile(partial), content);
                    QVERIFY(platform::identity(partial, false)->sameObject(copy));
                }();
                return allow;
            });
            QVERIFY(called);
            QCOMPARE(result, allow ? MoveResult::Moved : MoveResult::Failed);
            QVERIFY(!platform::entryExists(partial));
            QCOMPARE(testsupport::readFile(q(allow ? to : from)), content);
            QCOMPARE(platform::entryExists(q(allow ? from : to)), false);
        }
    }

    // FAT and exFAT refuse modes and times: the copy is kept. Other errors fail the move.
    void crossDeviceAttributeRefusals_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("kept");
        QTest::newRow("EPERM") << EPERM << true;
        QTest::newRow("ENOTSUP") << ENOTSUP << true;
        QTest::newRow("EIO") << EIO << false;
    }
    void crossDeviceAttributeRefusals() {
        QFETCH(int, error);
        QFETCH(bool, kept);
        if (m_other.isEmpty())
            QSKIP(qPrintable(m_noOtherReason));
        static int refusal = 0;
        refusal = error;
        const auto savedMode = platform::detail::keepMode;
        const auto savedTimes = platform::detail::keepTimes;
        platform::detail::keepMode = [](int, mode_t) { return errno = refusal, -1; };
        platform::detail::keepTimes = [](int, const timespec*) { return errno = refusal, -1; };
        for (const char* kind : {"file", "folder"}) {
            const QByteArray from = m_root + "/" + kind, to = m_other + "/" + kind;
            makeItem(kind, from);
            const Snapshot before = snapshot(from);
            const MoveResult result = platform::moveItem(q(from), q(to));
            QCOMPARE(result, kept ? MoveResult::Moved : MoveResult::Failed);
            QCOMPARE(snapshot(from).isEmpty(), kept);
            QCOMPARE(platform::entryExists(q(to)), kept);
        }
        platform::detail::keepMode = savedMode;
        platform::detail::keepTimes = savedTimes;
    }

    // Only a regular .hidden is read, and only its first MiB.
    void hiddenListIsBounded() {
        makeFile(m_root + "/a.txt");
        makeFile(m_root + "/late.txt");
        link("/dev/zero", "/.hidden");
        QCOMPARE(entryNames(q(m_root)).value().size(), 3);
        QCOMPARE(platform::listFolder(q(m_root), true)->size(), 2); // not hung, nothing hidden
        QVERIFY(::unlink(m_root + "/.hidden") == 0);
        // A pipe that would name a file is not a list either.
        QCOMPARE(::mkfifo(m_root + "/.hidden", 0644), 0);
        const int pipe = ::open(m_root + "/.hidden", O_RDWR | O_NONBLOCK);
        QCOMPARE(::write(pipe, "a.txt\n", 6), 6);
        QCOMPARE(platform::listFolder(q(m_root), true)->size(), 2);
        ::close(pipe);
        QVERIFY(::unlink(m_root + "/.hidden") == 0);
        makeFile(m_root + "/.hidden", "a.txt\n" + QByteArray(1024 * 1024, '#') + "\nlate.txt\n");
        const auto listed = platform::listFolder(q(m_root), true);
        QCOMPARE(listed->size(), 1);
        QCOMPARE(listed->first().name, "late.txt");
    }

    void moveFailures() {
        makeFile(m_root + "/file");
        QVERIFY(platform::makePath(q(m_root + "/folder/inner")));
        const Snapshot before = snapshot(m_root);
        const QString r = q(m_root);
        QCOMPARE(platform::moveItem(r + "/missing", r + "/x"), MoveResult::Failed);
        QCOMPARE(platform::moveItem(r + "/file", r + "/no/such/x"), MoveResult::Failed);
        QCOMPARE(platform::moveItem(r + "/folder", r + "/folder/inner/x"), MoveResult::Failed);
        QCOMPARE(snapshot(m_root), before);
    }

    // The fallback for file systems without an exclusive rename.
    void moveByLinking() {
        using platform::detail::moveByLinking;
        const QByteArray d = m_root + "/d";
        makeTree(d);
        link("nowhere", "/d/dangling");
        const Snapshot before = snapshot(d);
        QCOMPARE(moveByLinking(d + "/.dot", d + "/a.txt"), MoveResult::TargetExists);
        QCOMPARE(moveByLinking(d + "/.dot", d + "/dangling"), MoveResult::TargetExists);
        QCOMPARE(moveByLinking(d + "/sub", d + "/new"), MoveResult::Failed); // folders: no
        QCOMPARE(snapshot(d), before);

        QCOMPARE(moveByLinking(d + "/a.txt", d + "/b.txt"), MoveResult::Moved);
        QVERIFY(!platform::entryExists(q(d + "/a.txt")));
        QCOMPARE(snapshot(d + "/b.txt").value("."), before.value("./a.txt"));
    }

    void removeItemDoesNotFollowLinks() {
        makeTree(m_root + "/keep");
        makeTree(m_root + "/gone");
        link("../../keep", "/gone/sub/toKeep");
        link("keep", "/linkToKeep");
        const Snapshot keep = snapshot(m_root + "/keep");
        const QString r = q(m_root);
        QVERIFY(platform::removeItem(r + "/gone") && platform::removeItem(r + "/linkToKeep"));
        QCOMPARE(snapshot(m_root + "/keep"), keep);
        QCOMPARE(entryNames(r), std::optional(QStringList{"keep"}));
        QVERIFY(!platform::removeItem(r + "/none"));
    }

    void wholeFiles() {
        const QString f = q(m_root) + "/f.json";
        const QByteArray bytes("{}\n\0tail", 8);
        QVERIFY(platform::writeFileAtomically(f, "old") && platform::writeFileAtomically(f, bytes));
        QCOMPARE(platform::readWholeFile(f), std::optional(bytes));
        QCOMPARE(entryNames(q(m_root)), std::optional(QStringList{"f.json"}));
        QCOMPARE(platform::readWholeFile(f + ".none"), std::nullopt);
        QVERIFY(!platform::writeFileAtomically(q(m_root) + "/none/f.json", "x"));
    }

    // "~" is HOME (here a test folder); "~user" is that user's home from the user database.
    void tildeExpansion() {
        const passwd* me = ::getpwuid(::getuid());
        QVERIFY(me && me->pw_name && me->pw_dir);
        const QString user = QString::fromLocal8Bit(me->pw_name);
        const QString userHome = QDir::cleanPath(QFile::decodeName(me->pw_dir));
        const QString home = platform::homePath();
        QVERIFY(home != userHome);
        QCOMPARE(platform::expandTilde("~"), home);
        QCOMPARE(platform::expandTilde("~/Desktop"), home + "/Desktop");
        QCOMPARE(platform::expandTilde("~" + user + "/Desktop"), userHome + "/Desktop");
        QCOMPARE(platform::expandTilde("~no-such-user-vantor/x"), "~no-such-user-vantor/x");
        QCOMPARE(platform::expandTilde("/a/~/b"), "/a/~/b");
    }

    // The same order on both sides of the sort-key threshold, equal names kept in order.
    void nameOrder_data() {
        QTest::addColumn<int>("copies");
        QTest::newRow("few: direct comparison") << 3;
        QTest::newRow("many: sort keys") << 40;
    }
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
