#include "platform/FileSystem.h"

#include "PlatformTest.h"
#include "TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::detail {
MoveResult moveByLinking(const QByteArray& from, const QByteArray& to);
extern int (*keepMode)(int fd, mode_t mode);
extern int (*keepTimes)(int fd, const timespec times[2]);
extern bool unnamedCopies;
extern bool leasesAllowed;
extern void (*copyStep)(qint64 copied);
} // namespace platform::detail

using platform::MoveResult;

namespace {

constexpr int kBound = 1024 * 1024; // a .hidden list's
constexpr const char* kNoOther = "cross-device moves untested: /dev/shm is no other file system";

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

// folder/ with a file, a dot file and a subfolder with a file whose name is not UTF-8.
void makeTree(const QByteArray& folder) {
    QCOMPARE(::mkdir(folder.constData(), 0755), 0);
    makeFile(folder + "/a.txt", "alpha", 0640);
    makeFile(folder + "/.dot", "hidden");
    QCOMPARE(::mkdir(folder + "/sub", 0750), 0);
    makeFile(folder + "/sub/raw\xfe name", "raw", 0600, 1000000000);
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

// By raw names, links not followed: QTemporaryDir cannot remove names that are not UTF-8.
void removeTree(const QByteArray& path) {
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(path.toStdString()), error);
    QVERIFY2(!error, error.message().c_str());
}

// The names in a folder, hidden ones too unless skipped; nullopt when it cannot be listed.
std::optional<QStringList> entryNames(const QString& folder, bool skipHidden = false) {
    const auto entries = platform::listFolder(folder, skipHidden);
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
  private slots:
    void initTestCase() {
        const auto near = platform::identity(m_tmp.path(), true);
        const auto far = platform::identity(m_otherTmp.path(), true);
        if (m_otherTmp.isValid() && near && far && near->device != far->device)
            m_other = m_otherTmp.path().toUtf8();
    }

    void init() {
        static int n = 0;
        m_root = m_tmp.path().toUtf8() + "/t" + QByteArray::number(++n);
        QCOMPARE(::mkdir(m_root.constData(), 0755), 0);
    }

    void cleanup() {
        removeTree(m_root);
        for (const QString& name : entryNames(q(m_other)).value_or(QStringList()))
            removeTree(m_other + '/' + QFile::encodeName(name));
        platform::detail::unnamedCopies = true;
        platform::detail::leasesAllowed = true;
        platform::detail::copyStep = nullptr;
        platform::detail::keepMode = ::fchmod;
        platform::detail::keepTimes = ::futimens;
    }

    // Hidden are dot names and the lines of a folder's .hidden list. The list and a state
    // file are read only when they are regular files, and only as far as their bound: a fifo
    // must not hang, a device must not be read forever. Read as a state file of the same
    // bound, the list is read whole or not at all.
    void readsAreBounded_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("read"); // bytes, -1 for none
        QTest::addColumn<QStringList>("listed");
        const QByteArray names = "secret\r\n\nmissing\n" + QByteArray(kBound - 17, '#');
        const QStringList all{"late.txt", "secret", "secret.bak"},
            unhidden{"late.txt", "secret.bak"};
        QTest::newRow("none") << "" << QByteArray() << -1 << all;
        QTest::newRow("a fifo, written to") << "fifo" << QByteArray() << -1 << all;
        QTest::newRow("a link to /dev/zero") << "link" << QByteArray() << -1 << all;
        QTest::newRow("a file of its bound") << "file" << names << kBound << unhidden;
        QTest::newRow("a file past its bound") << "file" << names + "\nlate.txt\n"
                                               << -1 << unhidden;
    }
    void readsAreBounded() {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(int, read);
        QFETCH(QStringList, listed);
        for (const char* name : {"/.dot", "/secret", "/secret.bak", "/late.txt"})
            makeFile(m_root + name);
        const QByteArray hidden = m_root + "/.hidden";
        if (kind == "file")
            makeFile(hidden, content);
        else if (!kind.isEmpty())
            QVERIFY(makeEntry(kind, hidden, -1, "/dev/zero"));
        const auto bytes = platform::readWholeFile(q(hidden), kBound);
        QCOMPARE(bytes ? int(bytes->size()) : -1, read);
        // A pipe that would name a file is not a list either.
        const int pipe = kind == "fifo" ? ::open(hidden.constData(), O_RDWR | O_NONBLOCK) : -1;
        QVERIFY(pipe < 0 || ::write(pipe, "secret\n", 7) == 7);
        QStringList names = entryNames(q(m_root), true).value();
        if (pipe >= 0)
            ::close(pipe);
        names.sort();
        QCOMPARE(names, listed);
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
    // Everything arrives: content, mode, times, names that are not UTF-8. A target is never
    // replaced, also when it appears after a caller's check. Folders stay on their file
    // system: only loose files are tidied.
    void moves() {
        QFETCH(bool, across);
        QFETCH(QString, source);
        QFETCH(QString, target);
        if (across && m_other.isEmpty())
            QSKIP(kNoOther);
        const QByteArray from = m_root + "/src", to = (across ? m_other : m_root) + "/dst";
        makeItem(source, from);
        if (!target.isEmpty())
            makeItem(target, to);
        const Snapshot fromBefore = snapshot(from), toBefore = snapshot(to);
        const Snapshot otherBefore = across ? snapshot(m_other) : Snapshot();

        const bool free = target.isEmpty();
        const bool moves = free && !(across && source == "folder");
        QCOMPARE(platform::moveItem(q(from), q(to)), moves  ? MoveResult::Moved
                                                     : free ? MoveResult::Failed
                                                            : MoveResult::TargetExists);
        QCOMPARE(snapshot(from), moves ? Snapshot() : fromBefore);
        QCOMPARE(snapshot(to), moves ? fromBefore : toBefore);
        if (across && !free)
            QCOMPARE(snapshot(m_other), otherBefore); // nothing left beside the target
    }

    // The copy across devices is built unnamed, or under a fresh hidden name announced before
    // any data, and gets the final name only when complete. A move that cannot finish leaves
    // the source whole and nothing on the other side: a fifo, a copy failing half-way, a
    // refused link, a file written to while it is copied (opened for writing, which breaks
    // the read lease, or written where no lease can be had, so its state changes). FAT and
    // exFAT refuse modes and times: the copy is kept then; other errors fail the move.
    void crossDeviceMoves_data() {
        QTest::addColumn<int>("result");
        QTest::newRow("hidden name") << int(MoveResult::Moved);
        QTest::newRow("link refused") << int(MoveResult::Failed);
        QTest::newRow("link refused, hidden name") << int(MoveResult::Failed);
        QTest::newRow("fifo") << int(MoveResult::Failed);
        QTest::newRow("file too large to write") << int(MoveResult::Failed);
        QTest::newRow("opened once the copy has its name") << int(MoveResult::InUse);
        QTest::newRow("written without a lease") << int(MoveResult::InUse);
        QTest::newRow("attributes refused: EPERM") << int(MoveResult::Moved);
        QTest::newRow("attributes refused: ENOTSUP") << int(MoveResult::Moved);
        QTest::newRow("attributes refused: EIO") << int(MoveResult::Failed);
    }
    void crossDeviceMoves() {
        QFETCH(int, result);
        if (m_other.isEmpty())
            QSKIP(kNoOther);
        const QString setUp = QTest::currentDataTag();
        const bool unnamed = !setUp.endsWith("hidden name");
        const QByteArray from = m_root + "/download.iso", to = m_other + "/download.iso";
        const QByteArray whole(300000, 'd');
        if (setUp == "fifo")
            QVERIFY(makeEntry("fifo", from));
        else
            makeFile(from, whole);
        const Snapshot before = snapshot(from);
        platform::detail::unnamedCopies = unnamed;
        static int refusal = 0;
        refusal = setUp == "attributes refused: EPERM"     ? EPERM
                  : setUp == "attributes refused: ENOTSUP" ? ENOTSUP
                  : setUp == "attributes refused: EIO"     ? EIO
                                                           : 0;
        if (refusal) {
            platform::detail::keepMode = [](int, mode_t) { return errno = refusal, -1; };
            platform::detail::keepTimes = [](int, const timespec*) { return errno = refusal, -1; };
        }
        platform::detail::leasesAllowed = setUp != "written without a lease";
        static QByteArray opened;
        opened = setUp == "opened once the copy has its name" ? from : QByteArray();
        platform::detail::copyStep = [](qint64 copied) {
            if (copied < 0 && !opened.isEmpty()) // refused, but the lease is broken
                ::close(::open(opened.constData(), O_WRONLY | O_NONBLOCK));
        };
        // What the hooks see: a hidden name taken before any data, for this very copy, and
        // the copy whole, under no final name, before it is named.
        QString partial;
        bool namedFirst = true, wholeBeforeNamed = true;
        platform::MoveHooks hooks;
        hooks.partialCreated = [&](const QString& path, const platform::FileIdentity& id) {
            partial = path;
            namedFirst = platform::isPartialCopyName(platform::lastPathComponent(path)) &&
                         QFileInfo(path).size() == 0 &&
                         platform::identity(path, false)->sameObject(id);
            return true;
        };
        hooks.beforeLinking = [&](const platform::FileIdentity& copy) {
            wholeBeforeNamed = !platform::entryExists(q(to)) &&
                               (unnamed || (testsupport::readFile(partial) == whole &&
                                            platform::identity(partial, false)->sameObject(copy)));
            if (setUp == "written without a lease")
                testsupport::touch(q(from), whole + "more");
            return !setUp.startsWith("link refused");
        };
        const MoveResult moved = testsupport::withFileSizeLimit(
            setUp == "file too large to write" ? 100000 : RLIM_INFINITY,
            [&] { return platform::moveItem(q(from), q(to), hooks); });
        QCOMPARE(int(moved), result);
        QCOMPARE(partial.isEmpty(), unnamed);
        QVERIFY(namedFirst && wholeBeforeNamed);
        if (moved == MoveResult::Moved) {
            QCOMPARE(testsupport::readFile(q(to)), whole);
            QCOMPARE(entryNames(q(m_other)), std::optional(QStringList{"download.iso"}));
            QVERIFY(!platform::entryExists(q(from)));
            return;
        }
        if (setUp == "written without a lease")
            QCOMPARE(testsupport::readFile(q(from)), whole + "more");
        else
            QCOMPARE(snapshot(from), before);
        QCOMPARE(entryNames(q(m_other)), std::optional(QStringList()));
    }

    // What cannot be done leaves everything as it was: a move of nothing, into a missing
    // folder or of a folder into itself; the fallback for file systems without an exclusive
    // rename onto a file or a link, or of a folder; a removal of a folder with contents or of
    // nothing, or of a file but the very one known (not one that took over its name, often
    // with the freed inode, nor through a folder that is a link). What can be done changes
    // only that: a link goes, not what it leads to, and a folder only when empty.
    void whatCannotBeDoneChangesNothing() {
        using platform::IdentityMatch;
        using platform::detail::moveByLinking;
        const QByteArray d = m_root + "/d";
        const QString r = q(d);
        makeTree(d);
        QVERIFY(QFile::link("nowhere", r + "/dangling"));
        QCOMPARE(::mkdir(d + "/empty", 0755), 0);
        QVERIFY(QFile::link("d", q(m_root + "/linkToD")));
        const auto replaced = platform::identity(r + "/.dot", false).value();
        QCOMPARE(::unlink(d + "/.dot"), 0);
        makeFile(d + "/.dot", "again");
        const auto dot = platform::identity(r + "/.dot", false).value();
        const Snapshot before = snapshot(m_root), sub = snapshot(d + "/sub");
        QCOMPARE(platform::moveItem(r + "/missing", r + "/x"), MoveResult::Failed);
        QCOMPARE(platform::moveItem(r + "/a.txt", r + "/no/such/x"), MoveResult::Failed);
        QCOMPARE(platform::moveItem(r + "/sub", r + "/sub/inner"), MoveResult::Failed);
        QCOMPARE(moveByLinking(d + "/.dot", d + "/a.txt"), MoveResult::TargetExists);
        QCOMPARE(moveByLinking(d + "/.dot", d + "/dangling"), MoveResult::TargetExists);
        QCOMPARE(moveByLinking(d + "/sub", d + "/new"), MoveResult::Failed);
        QVERIFY(!platform::removeItem(r + "/sub") && !platform::removeItem(r + "/none"));
        QVERIFY(!platform::removeFileIf(r + "/.dot", replaced, IdentityMatch::Unchanged));
        QVERIFY(
            !platform::removeFileIf(q(m_root + "/linkToD/.dot"), dot, IdentityMatch::Unchanged));
        QCOMPARE(snapshot(m_root), before);

        QCOMPARE(moveByLinking(d + "/a.txt", d + "/b.txt"), MoveResult::Moved);
        QCOMPARE(snapshot(d + "/b.txt").value("."), before.value("./d/a.txt"));
        QVERIFY(platform::removeFileIf(r + "/.dot", dot, IdentityMatch::Unchanged));
        QVERIFY(platform::removeItem(q(m_root + "/linkToD")) && platform::removeItem(r + "/empty"));
        QCOMPARE(entryNames(q(m_root)), std::optional(QStringList{"d"}));
        QStringList left = entryNames(r).value();
        left.sort();
        QCOMPARE(left, (QStringList{"b.txt", "dangling", "sub"}));
        QCOMPARE(snapshot(d + "/sub"), sub);
    }

    // A save follows a link to a regular file, and replaces any other link, never writing
    // where it leads.
    void aSaveFollowsOnlyALinkToAFile() {
        const QString r = q(m_root);
        makeFile(m_root + "/f.json", "old");
        QVERIFY(makeEntry("fifo", m_root + "/fifo"));
        QVERIFY(QFile::link("f.json", r + "/toFile.json"));
        QVERIFY(QFile::link("fifo", r + "/toFifo.json"));
        QVERIFY(platform::writeFileAtomically(r + "/toFile.json", "{}"));
        QVERIFY(platform::writeFileAtomically(r + "/toFifo.json", "[]"));
        QCOMPARE(testsupport::readFile(r + "/f.json"), "{}");
        QCOMPARE(testsupport::readFile(r + "/toFifo.json"), "[]");
        QVERIFY(QFileInfo(r + "/toFile.json").isSymLink() &&
                !QFileInfo(r + "/toFifo.json").isSymLink());
        struct stat st;
        QVERIFY(::lstat(m_root + "/fifo", &st) == 0 && S_ISFIFO(st.st_mode));
    }

    // "~user" is that user's home from the user database, "~" is HOME (a test folder here).
    void tildeExpansion() {
        const passwd* me = ::getpwuid(::getuid());
        QVERIFY(me && me->pw_name && me->pw_dir);
        const QString user = QString::fromLocal8Bit(me->pw_name);
        const QString userHome = QDir::cleanPath(QFile::decodeName(me->pw_dir));
        QVERIFY(platform::homePath() != userHome);
        QCOMPARE(platform::expandTilde("~/Desktop"), platform::homePath() + "/Desktop");
        QCOMPARE(platform::expandTilde("~" + user + "/Desktop"), userHome + "/Desktop");
        QCOMPARE(platform::expandTilde("~no-such-user-vantor/x"), "~no-such-user-vantor/x");
    }
};

VANTOR_TEST_MAIN(TestFileSystem)
#include "TestFileSystem.moc"
