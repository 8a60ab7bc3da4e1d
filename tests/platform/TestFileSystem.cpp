#include "platform/FileSystem.h"
#include "platform/NameOrder.h"

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

using platform::DirEntry;
using platform::MoveResult;
using Kind = platform::DirEntry::Kind;

namespace {

constexpr int kBound = 1024 * 1024; // a .hidden list's

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
    QString m_noOtherReason;
    decltype(platform::detail::keepMode) m_keepMode = platform::detail::keepMode;
    decltype(platform::detail::keepTimes) m_keepTimes = platform::detail::keepTimes;

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

    void cleanup() {
        removeTree(m_root);
        for (const QString& name : entryNames(q(m_other)).value_or(QStringList()))
            removeTree(m_other + '/' + QFile::encodeName(name));
        platform::detail::unnamedCopies = true;
        platform::detail::leasesAllowed = true;
        platform::detail::copyStep = nullptr;
        platform::detail::keepMode = m_keepMode;
        platform::detail::keepTimes = m_keepTimes;
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
    // target is never replaced, also when it appears after a caller's check. Folders stay
    // on their file system: only loose files are tidied.
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
        const bool moves = free && !(across && source == "folder");
        QCOMPARE(platform::moveItem(q(from), q(to)), moves  ? MoveResult::Moved
                                                     : free ? MoveResult::Failed
                                                            : MoveResult::TargetExists);
        QCOMPARE(snapshot(from), moves ? Snapshot() : fromBefore);
        QCOMPARE(snapshot(to), moves ? fromBefore : toBefore);
        if (across && !free)
            QCOMPARE(snapshot(m_other), otherBefore); // nothing left beside the target
    }

    // A move across devices that cannot finish leaves the source whole and nothing on the
    // other side: a fifo, a copy failing half-way, a file written to while it is copied (held
    // open for writing from the start, opened for writing during the copy, which breaks the
    // read lease, or written where no lease can be had, so its state changes). FAT and exFAT
    // refuse modes and times: the copy is kept then; other errors fail the move.
    void crossDeviceMoveThatCannotFinish_data() {
        QTest::addColumn<int>("result");
        QTest::newRow("fifo") << int(MoveResult::Failed);
        QTest::newRow("file too large to write") << int(MoveResult::Failed);
        QTest::newRow("open throughout") << int(MoveResult::InUse);
        QTest::newRow("opened during the copy") << int(MoveResult::InUse);
        QTest::newRow("opened once the copy has its name") << int(MoveResult::InUse);
        QTest::newRow("written without a lease") << int(MoveResult::InUse);
        QTest::newRow("attributes refused: EPERM") << int(MoveResult::Moved);
        QTest::newRow("attributes refused: ENOTSUP") << int(MoveResult::Moved);
        QTest::newRow("attributes refused: EIO") << int(MoveResult::Failed);
    }
    void crossDeviceMoveThatCannotFinish() {
        QFETCH(int, result);
        if (m_other.isEmpty())
            QSKIP(qPrintable(m_noOtherReason));
        const QString setUp = QTest::currentDataTag();
        const QByteArray from = m_root + "/download.iso", to = m_other + "/download.iso";
        if (setUp == "fifo")
            QVERIFY(makeEntry("fifo", from));
        else
            makeFile(from, QByteArray(300000, 'd'));
        const Snapshot before = snapshot(from);
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
        const int held = setUp == "open throughout" ? ::open(from.constData(), O_WRONLY) : -1;
        static QByteArray opened;
        opened = setUp == "opened once the copy has its name" ? from : QByteArray();
        platform::detail::copyStep = [](qint64 copied) {
            if (copied < 0 && !opened.isEmpty()) // refused, but the lease is broken
                ::close(::open(opened.constData(), O_WRONLY | O_NONBLOCK));
        };
        platform::MoveHooks hooks;
        hooks.beforeLinking = [&](const platform::FileIdentity&) {
            if (setUp == "opened during the copy") {
                // Refused while the lease holds, but the lease is broken by the attempt.
                const int fd = ::open(from.constData(), O_WRONLY | O_NONBLOCK);
                [&] { QCOMPARE(fd, -1); }();
            } else if (setUp == "written without a lease") {
                const int fd = ::open(from.constData(), O_WRONLY | O_APPEND);
                [&] { QCOMPARE(::write(fd, "more", 4), 4); }();
                ::close(fd);
            }
            return true;
        };
        const MoveResult moved = testsupport::withFileSizeLimit(
            setUp == "file too large to write" ? 100000 : RLIM_INFINITY,
            [&] { return platform::moveItem(q(from), q(to), hooks); });
        if (held >= 0)
            ::close(held);
        QCOMPARE(int(moved), result);
        const QByteArray whole(300000, 'd');
        if (moved == MoveResult::Moved) {
            QCOMPARE(testsupport::readFile(q(to)), whole);
            QVERIFY(!platform::entryExists(q(from)));
            return;
        }
        if (setUp == "written without a lease")
            QCOMPARE(testsupport::readFile(q(from)), whole + "more");
        else
            QCOMPARE(snapshot(from), before);
        QCOMPARE(entryNames(q(m_other)), std::optional(QStringList()));
    }

    // The copy is built unnamed, or under a fresh hidden name announced before any data, and
    // gets the final name only when complete; a refused link leaves neither. A file that only
    // looks like such a copy is never touched.
    void crossDeviceCopyIsNeverHalfVisible_data() {
        QTest::addColumn<bool>("unnamed");
        QTest::newRow("unnamed copy") << true;
        QTest::newRow("hidden name") << false;
    }
    void crossDeviceCopyIsNeverHalfVisible() {
        QFETCH(bool, unnamed);
        if (m_other.isEmpty())
            QSKIP(qPrintable(m_noOtherReason));
        platform::detail::unnamedCopies = unnamed;
        const QByteArray from = m_root + "/big.bin", to = m_other + "/big.bin";
        const QByteArray content(3 * 1024 * 1024, 'z');
        makeFile(from, content);
        const QByteArray lookalike = m_other + "/.vantor-partial-0000000000000000";
        makeFile(lookalike, "someone else's");

        for (const bool allow : {false, true}) {
            QString partial;
            platform::MoveHooks hooks;
            hooks.partialCreated = [&](const QString& path, const platform::FileIdentity& id) {
                partial = path;
                [&] {
                    QVERIFY(platform::isPartialCopyName(platform::lastPathComponent(path)));
                    QVERIFY(platform::identity(path, false)->sameObject(id));
                    QCOMPARE(QFileInfo(path).size(), 0); // named before any data
                }();
                return true;
            };
            bool called = false;
            hooks.beforeLinking = [&](const platform::FileIdentity& copy) {
                called = true;
                [&] {
                    QVERIFY(!platform::entryExists(q(to)));
                    QCOMPARE(entryNames(q(m_other))->size(), unnamed ? 1 : 2);
                    if (!unnamed) {
                        QCOMPARE(testsupport::readFile(partial), content);
                        QVERIFY(platform::identity(partial, false)->sameObject(copy));
                    }
                }();
                return allow;
            };
            const auto result = platform::moveItem(q(from), q(to), hooks);
            QVERIFY(called);
            QCOMPARE(partial.isEmpty(), unnamed);
            QCOMPARE(result, allow ? MoveResult::Moved : MoveResult::Failed);
            QVERIFY(partial.isEmpty() || !platform::entryExists(partial));
            QCOMPARE(testsupport::readFile(q(allow ? to : from)), content);
            QCOMPARE(platform::entryExists(q(allow ? from : to)), false);
        }
        QCOMPARE(testsupport::readFile(q(lookalike)), "someone else's");
    }

    // A folder's .hidden list and a state file are read only when they are regular files, and
    // only as far as their bound: a fifo must not hang, a device must not be read forever.
    // Read as a state file of the same bound, the list is read whole or not at all.
    void readsAreBounded_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("read"); // bytes, -1 for none
        QTest::addColumn<QStringList>("listed");
        const QByteArray names = "a.txt\n" + QByteArray(kBound - 6, '#');
        const QStringList both{"a.txt", "late.txt"};
        QTest::newRow("none") << "" << QByteArray() << -1 << both;
        QTest::newRow("a fifo, written to") << "fifo" << QByteArray() << -1 << both;
        QTest::newRow("a link to /dev/zero") << "link" << QByteArray() << -1 << both;
        QTest::newRow("a file of its bound")
            << "file" << names << kBound << QStringList{"late.txt"};
        QTest::newRow("a file past its bound") << "file" << names + "\nlate.txt\n"
                                               << -1 << QStringList{"late.txt"};
    }
    void readsAreBounded() {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(int, read);
        QFETCH(QStringList, listed);
        makeFile(m_root + "/a.txt");
        makeFile(m_root + "/late.txt");
        const QByteArray hidden = m_root + "/.hidden";
        if (kind == "file")
            makeFile(hidden, content);
        else if (!kind.isEmpty())
            QVERIFY(makeEntry(kind, hidden, -1, "/dev/zero"));
        const auto bytes = platform::readWholeFile(q(hidden), kBound);
        QCOMPARE(bytes ? int(bytes->size()) : -1, read);
        // A pipe that would name a file is not a list either.
        const int pipe = kind == "fifo" ? ::open(hidden.constData(), O_RDWR | O_NONBLOCK) : -1;
        QVERIFY(pipe < 0 || ::write(pipe, "a.txt\n", 6) == 6);
        QStringList names = entryNames(q(m_root), true).value();
        if (pipe >= 0)
            ::close(pipe);
        names.sort();
        QCOMPARE(names, listed);
    }

    // What cannot be done leaves everything as it was: a move of nothing, into a missing
    // folder or of a folder into itself; the fallback for file systems without an exclusive
    // rename onto a file or a link, or of a folder; a removal of a folder with contents or of
    // nothing. What can be done changes only that: a link goes, not what it leads to, and a
    // folder only when empty.
    void whatCannotBeDoneChangesNothing() {
        using platform::detail::moveByLinking;
        const QByteArray d = m_root + "/d";
        const QString r = q(d);
        makeTree(d);
        link("nowhere", "/d/dangling");
        QCOMPARE(::mkdir(d + "/empty", 0755), 0);
        link("d", "/linkToD");
        const Snapshot before = snapshot(m_root), sub = snapshot(d + "/sub");
        QCOMPARE(platform::moveItem(r + "/missing", r + "/x"), MoveResult::Failed);
        QCOMPARE(platform::moveItem(r + "/a.txt", r + "/no/such/x"), MoveResult::Failed);
        QCOMPARE(platform::moveItem(r + "/sub", r + "/sub/inner"), MoveResult::Failed);
        QCOMPARE(moveByLinking(d + "/.dot", d + "/a.txt"), MoveResult::TargetExists);
        QCOMPARE(moveByLinking(d + "/.dot", d + "/dangling"), MoveResult::TargetExists);
        QCOMPARE(moveByLinking(d + "/sub", d + "/new"), MoveResult::Failed);
        QVERIFY(!platform::removeItem(r + "/sub") && !platform::removeItem(r + "/none"));
        QCOMPARE(snapshot(m_root), before);

        QCOMPARE(moveByLinking(d + "/a.txt", d + "/b.txt"), MoveResult::Moved);
        QVERIFY(!platform::entryExists(r + "/a.txt"));
        QCOMPARE(snapshot(d + "/b.txt").value("."), before.value("./d/a.txt"));
        QVERIFY(platform::removeItem(q(m_root + "/linkToD")) && platform::removeItem(r + "/empty"));
        QCOMPARE(entryNames(q(m_root)), std::optional(QStringList{"d"}));
        QCOMPARE(snapshot(d + "/sub"), sub);
    }

    // Only the very file is removed: not one that took over its name or its inode since, and
    // not through a folder that is a link.
    void removeFileIfProvesIdentity() {
        const QByteArray f = m_root + "/f.txt";
        makeFile(f, "first");
        const auto first = platform::identity(q(f), false).value();
        QVERIFY(first.hasState);
        QCOMPARE(::unlink(f.constData()), 0);
        makeFile(f, "again"); // a new file, often with the freed inode
        QVERIFY(!platform::removeFileIf(q(f), first, platform::IdentityMatch::Unchanged));
        const auto second = platform::identity(q(f), false).value();
        link(".", "/viaLink");
        QVERIFY(!platform::removeFileIf(q(m_root + "/viaLink/f.txt"), second,
                                        platform::IdentityMatch::Unchanged));
        QVERIFY(platform::removeFileIf(q(f), second, platform::IdentityMatch::Unchanged));
        QVERIFY(!platform::entryExists(q(f)));
    }

    // A save replaces the whole file at once. It follows a link to a regular file, and
    // replaces any other link, never writing where it leads.
    void aSaveFollowsOnlyALinkToAFile() {
        const QString r = q(m_root);
        const QByteArray bytes("{}\n\0tail", 8);
        makeFile(m_root + "/f.json", "old");
        QVERIFY(makeEntry("fifo", m_root + "/fifo"));
        link("f.json", "/toFile.json");
        link("fifo", "/toFifo.json");
        QVERIFY(platform::writeFileAtomically(r + "/toFile.json", bytes));
        QCOMPARE(testsupport::readFile(r + "/f.json"), bytes);
        QVERIFY(platform::writeFileAtomically(r + "/toFifo.json", "[]"));
        QCOMPARE(testsupport::readFile(r + "/toFifo.json"), "[]");
        QVERIFY(QFileInfo(r + "/toFile.json").isSymLink() &&
                !QFileInfo(r + "/toFifo.json").isSymLink());
        struct stat st;
        QVERIFY(::lstat(m_root + "/fifo", &st) == 0 && S_ISFIFO(st.st_mode));
        QCOMPARE(entryNames(r)->size(), 4); // nothing left aside
        QVERIFY(!platform::writeFileAtomically(r + "/none/f.json", "x"));
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
