// Times the cleaner's rescan, clean and undo on generated Desktops against bare system-call
// loops doing the least the same work needs, and prints the ratios and peak memory.
//   vantor_bench [entries]          the ratios (1,000, 10,000 and 100,000 entries by default),
//                                   for the Desktop alone and for the Desktop and a second
//                                   tidied folder holding half the entries each
//   vantor_bench --writes           CPU time per write event of a file being written, with
//                                   automatic tidying on over folders of 1,000 and 10,000 files
//   vantor_bench --blocking         the longest the main thread is held up during a started
//                                   10,000-file clean and a 1 GB move across file systems
//   vantor_bench --kinds            a rescan of 10,000 files, a tenth of them without an
//                                   extension, with a rule by content type (so those are
//                                   looked into) against the same rescan by types only
//   vantor_bench --kill [runs] [files]  kills cleans at random moments, then checks that a
//                                   restart and one undo bring every file back whole
#include "cleaner/AutoTidy.h"
#include "cleaner/AutoTidySettings.h"
#include "cleaner/Cleaner.h"
#include "cleaner/FreeName.h"
#include "platform/FileSystem.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <ctime>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Pending {
    std::string from, to;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class F> double timeMs(F&& f) {
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

// A realistic mix of what collects on a Desktop.
void populate(const QString& desktop, int count) {
    QDir().mkpath(desktop);
    const char* kinds[] = {"png",  "png",    "png", "jpg",  "jpeg", "heic", "pdf", "pdf",
                           "docx", "xlsx",   "txt", "md",   "iso",  "dmg",  "zip", "mp4",
                           "",     "tar.gz", "dir", "link", "dot",  "png"};
    const int nKinds = int(sizeof kinds / sizeof *kinds);
    for (int i = 0; i < count; ++i) {
        const QString kind = kinds[i % nKinds];
        const int h = i % 24, m = (i / 24) % 60, s = (i / 1440) % 60;
        const QString stamp = QString("2026-03-04 at %1.%2.%3 #%4")
                                  .arg(h, 2, 10, QChar('0'))
                                  .arg(m, 2, 10, QChar('0'))
                                  .arg(s, 2, 10, QChar('0'))
                                  .arg(i);
        const QByteArray path = QFile::encodeName(desktop + "/");
        if (kind == "dir") {
            ::mkdir((path + QFile::encodeName("Project " + stamp)).constData(), 0755);
        } else if (kind == "link") {
            ::symlink("/etc/hostname", (path + QFile::encodeName("Link " + stamp)).constData());
        } else if (kind == "dot") {
            ::close(::open((path + QFile::encodeName(".cache " + stamp)).constData(),
                           O_CREAT | O_WRONLY, 0644));
        } else {
            const QString name = (kind == "png" ? "Screenshot " : "File ") + stamp +
                                 (kind.isEmpty() ? "" : "." + kind);
            ::close(::open((path + QFile::encodeName(name)).constData(), O_CREAT | O_WRONLY, 0644));
        }
    }
}

void testWrite(const QString& path, const QByteArray& bytes) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    ::close(fd);
}

int bareReaddir(const QByteArray& dir) {
    DIR* d = ::opendir(dir.constData());
    int n = 0;
    while (dirent* e = ::readdir(d))
        n += e->d_name[0] != '.';
    ::closedir(d);
    return n;
}

int bareReaddirLstat(const QByteArray& dir) {
    DIR* d = ::opendir(dir.constData());
    int n = 0;
    struct stat st;
    while (dirent* e = ::readdir(d)) {
        if (::fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            ++n;
    }
    ::closedir(d);
    return n;
}

// The least a move can do: check the target is free, then rename without replacing.
void bareMoves(const std::vector<Pending>& moves, bool back) {
    struct stat st;
    for (const Pending& p : moves) {
        const std::string& from = back ? p.to : p.from;
        const std::string& to = back ? p.from : p.to;
        if (::lstat(to.c_str(), &st) == 0)
            continue;
        ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    }
}

// Runs the event loop while `start` begins work on the cleaner, ticking a timer every
// millisecond; returns the longest gap between ticks, in ms, until the work is published.
double longestBlockMs(Cleaner& cleaner, const std::function<void()>& start) {
    QElapsedTimer clock;
    qint64 last = 0, worst = 0;
    QTimer tick;
    tick.setInterval(1);
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, now - last);
        last = now;
    });
    QEventLoop loop;
    const auto done = QObject::connect(&cleaner, &Cleaner::busyChanged, [&](bool busy) {
        if (!busy)
            QTimer::singleShot(50, &loop, &QEventLoop::quit);
    });
    clock.start();
    tick.start();
    QTimer::singleShot(10, start);
    loop.exec();
    QObject::disconnect(done);
    return double(worst) / 1e6;
}

void makeFile(const QString& path, qint64 bytes) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char> chunk(1 << 20, 'v');
    for (qint64 left = bytes; left > 0; left -= qint64(chunk.size()))
        if (::write(fd, chunk.data(), size_t(std::min<qint64>(left, qint64(chunk.size())))) < 0)
            break;
    ::close(fd);
}

int runBlocking(const QString& root) {
    QTemporaryDir far(QStringLiteral("/dev/shm/vantor-bench-XXXXXX"));
    const QString home = root + "/blocking";
    qputenv("HOME", home.toUtf8());
    const QString desktop = home + "/Desktop";
    TidiedFolders storeFolders(home + "/.config/Vantor", desktop);
    RuleStore& store = *storeFolders.desktopRules();
    store.restoreDefaults();
    Cleaner cleaner(&storeFolders, home + "/.local/state/Vantor");

    populate(desktop, 10000);
    const double cleanBlock = longestBlockMs(cleaner, [&] { cleaner.startClean(); });
    const int moved = cleaner.status().moved();
    const double undoBlock = longestBlockMs(cleaner, [&] { cleaner.startUndo(); });
    std::printf("started clean of 10000 entries (%d files moved): main thread held up at most "
                "%.1f ms; its undo: %.1f ms\n",
                moved, cleanBlock, undoBlock);
    std::fflush(stdout);

    QDir(desktop).removeRecursively();
    QDir().mkpath(desktop);
    makeFile(desktop + "/big.iso", qint64(1) << 30);
    store.setDestination(store.rules().at(2).id, far.path() + "/Installers");
    QElapsedTimer t;
    t.start();
    const double bigBlock = longestBlockMs(cleaner, [&] { cleaner.startClean(); });
    std::printf("started clean moving 1 GB across file systems (%.1f s, %d moved): main thread "
                "held up at most %.1f ms\n",
                double(t.elapsed()) / 1000.0, cleaner.status().moved(), bigBlock);
    return 0;
}

QByteArray hashOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash h(QCryptographicHash::Sha1);
    h.addData(&f);
    return h.result();
}

// Every file back on the Desktop whole, no partial copy anywhere, nothing left in the rule
// folders. Returns what is wrong, or an empty string.
QString checkAllBack(const QString& desktop, const QStringList& roots,
                     const QMap<QString, QByteArray>& files) {
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (hashOf(desktop + "/" + it.key()) != it.value())
            return "not back whole: " + it.key();
    }
    for (const QString& root : roots) {
        QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (platform::isPartialCopyName(it.fileName()))
                return "partial copy left: " + path;
            if (files.contains(it.fileName()) && path != desktop + "/" + it.fileName())
                return "left behind: " + path;
        }
    }
    return {};
}

int runKills(const QString& root, int runs, int count) {
    QTemporaryDir far(QStringLiteral("/dev/shm/vantor-bench-XXXXXX"));
    // What one uninterrupted clean of such a Desktop takes, to spread the kills over it.
    double cleanMs = 0;
    int ok = 0, beforeAny = 0, partWay = 0, afterAll = 0, across = 0;
    for (int run = -1; run < runs; ++run) {
        const QString home = root + QString("/kill-%1").arg(run + 1);
        const QString farRules = far.path() + QString("/run-%1").arg(run + 1);
        qputenv("HOME", home.toUtf8());
        const QString desktop = home + "/Desktop", state = home + "/.local/state/Vantor";
        QDir().mkpath(desktop);
        TidiedFolders storeFolders(home + "/.config/Vantor", desktop);
        RuleStore& store = *storeFolders.desktopRules();
        store.restoreDefaults();
        store.setDestination(store.rules().at(1).id, farRules + "/Documents");
        store.setDestination(store.rules().at(2).id, farRules + "/Installers");
        QMap<QString, QByteArray> files;
        across = 0;
        for (int i = 0; i < count; ++i) {
            const bool big = i % 100 == 1, document = i % 10 == 0;
            const QString name = QString("file %1.%2")
                                     .arg(i)
                                     .arg(big        ? "iso"
                                          : document ? "pdf"
                                                     : "png");
            const QString path = desktop + "/" + name;
            if (big) {
                makeFile(path, 4 << 20);
                QFile f(path);
                f.open(QIODevice::Append);
                f.write(name.toUtf8());
            } else {
                testWrite(path, name.toUtf8().repeated(1 + i % 7));
            }
            files.insert(name, hashOf(path));
            across += big || document;
        }
        if (run < 0) {
            Cleaner cleaner(&storeFolders, state);
            QElapsedTimer t;
            t.start();
            cleaner.clean();
            cleanMs = double(t.elapsed());
            cleaner.undo();
            continue;
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            TidiedFolders childStoreFolders(home + "/.config/Vantor", desktop);
            Cleaner cleaner(&childStoreFolders, state);
            cleaner.clean();
            ::_exit(0);
        }
        const double delayMs = QRandomGenerator::global()->bounded(cleanMs * 1.1);
        const timespec delay{time_t(delayMs / 1000), long(std::fmod(delayMs, 1000.0) * 1e6)};
        ::nanosleep(&delay, nullptr);
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);

        Cleaner cleaner(&storeFolders, state); // the restart
        const int recorded = cleaner.lastClean() ? int(cleaner.lastClean()->moves.size()) : 0;
        (recorded == 0 ? beforeAny : recorded == count ? afterAll : partWay) += 1;
        if (recorded > 0)
            cleaner.undo();
        const QString wrong = checkAllBack(desktop, {home, far.path()}, files);
        if (wrong.isEmpty())
            ++ok;
        else
            std::printf("run %d (killed after %.0f ms): %s\n", run + 1, delayMs, qPrintable(wrong));
        QDir(home).removeRecursively();
        QDir(farRules).removeRecursively();
    }
    std::printf("Killed at random moments %d times during a %d-file clean (%d files moved across "
                "file systems, an uninterrupted clean takes %.0f ms): a restart and one Undo "
                "brought back every file intact with no partial copy left in %d/%d runs "
                "(killed before any move %d, part-way %d, after the last move %d)\n",
                runs, count, across, cleanMs, ok, runs, beforeAny, partWay, afterAll);
    return ok == runs ? 0 : 1;
}

long peakKiB() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// User plus system CPU time of this process, in ms: unlike the wall time it leaves out
// waiting for the disk and for other programs on a busy machine.
double cpuMs() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

struct Timing {
    double wallMs = 0;
    double cpuMs = 0;
};

template <class F> Timing timed(F&& f) {
    const double cpu = cpuMs();
    QElapsedTimer t;
    t.start();
    f();
    return {double(t.nsecsElapsed()) / 1e6, cpuMs() - cpu};
}

struct Samples {
    std::vector<double> wall, cpu;
    void add(const Timing& t) {
        wall.push_back(t.wallMs);
        cpu.push_back(t.cpuMs);
    }
};

// The rescan, clean and undo rows for `folderCount` tidied folders (the Desktop, then
// "Downloads") of size / folderCount entries each. The cpu column is the ratio of CPU times.
void ratios(const QString& home, int size, int folderCount) {
    qputenv("HOME", home.toUtf8());
    QStringList paths{home + "/Desktop"};
    if (folderCount > 1)
        paths.append(home + "/Downloads");
    for (const QString& path : std::as_const(paths))
        populate(path, size / folderCount);
    TidiedFolders storeFolders(home + "/.config/Vantor", paths.first());
    storeFolders.desktopRules()->restoreDefaults();
    for (const QString& path : paths.mid(1)) {
        if (storeFolders.add(path) != TidiedFolders::Refusal::None) {
            std::printf("%8d  %d folders: %s could not be added as a tidied folder\n", size,
                        folderCount, qPrintable(path));
            QDir(home).removeRecursively();
            return;
        }
    }
    Cleaner cleaner(&storeFolders, home + "/.local/state/Vantor");
    const int runs = size >= 100000 ? 3 : 7;
    const QString label = folderCount > 1
                              ? QString("%1x%2").arg(folderCount).arg(size / folderCount)
                              : QString::number(size);

    Samples rescan, readdir, lstat, clean, undo, bareMovesTo, bareMovesBack, rmdirs;
    for (int r = 0; r < runs; ++r) {
        Timing dirs, stats;
        for (const QString& path : std::as_const(paths)) {
            const QByteArray dir = QFile::encodeName(path);
            const Timing d = timed([&] { bareReaddir(dir); });
            const Timing l = timed([&] { bareReaddirLstat(dir); });
            dirs = {dirs.wallMs + d.wallMs, dirs.cpuMs + d.cpuMs};
            stats = {stats.wallMs + l.wallMs, stats.cpuMs + l.cpuMs};
        }
        readdir.add(dirs);
        lstat.add(stats);
        rescan.add(timed([&] { cleaner.rescan(); }));

        // The same moves, bare: into the folders, then back.
        std::vector<Pending> moves;
        QStringList ruleFolders;
        for (const Scan::Folder& f : cleaner.scan().folders) {
            for (const auto& g : f.groups) {
                const QString folder = g.rule.destinationURL();
                QDir().mkpath(folder);
                ruleFolders.append(folder);
                for (const QString& file : g.files)
                    moves.push_back(
                        {QFile::encodeName(file).toStdString(),
                         QFile::encodeName(folder + "/" + platform::lastPathComponent(file))
                             .toStdString()});
            }
        }
        bareMovesTo.add(timed([&] { bareMoves(moves, false); }));
        std::reverse(moves.begin(), moves.end()); // an undo starts from the last move
        bareMovesBack.add(timed([&] { bareMoves(moves, true); }));
        // Not in the bare undo, though an undo removes the folders its clean made.
        rmdirs.add(timed([&] {
            for (const QString& folder : std::as_const(ruleFolders))
                ::rmdir(QFile::encodeName(folder).constData());
        }));

        clean.add(timed([&] { cleaner.clean(); }));
        undo.add(timed([&] { cleaner.undo(); }));
    }
    const auto row = [&](const char* op, const Samples& ours, double bareWall, double bareCpu) {
        const double wall = median(ours.wall), cpu = median(ours.cpu);
        std::printf("%8s  %-8s %10.2f %10.2f %6.2fx %6.2fx\n", qPrintable(label), op, wall,
                    bareWall, wall / bareWall, bareCpu > 0 ? cpu / bareCpu : 0.0);
    };
    const double lstatWall = median(lstat.wall), lstatCpu = median(lstat.cpu);
    row("rescan", rescan, lstatWall, lstatCpu);
    row("clean", clean, median(bareMovesTo.wall) + 2 * lstatWall,
        median(bareMovesTo.cpu) + 2 * lstatCpu);
    row("undo", undo, median(bareMovesBack.wall), median(bareMovesBack.cpu));
    std::printf("%8s  %-8s %10s %10.2f\n", qPrintable(label), "readdir", "", median(readdir.wall));
    std::printf("%8s  %-8s %10s %10.2f\n", qPrintable(label), "rmdir", "", median(rmdirs.wall));
    std::printf("%8s  files moved %d, peak memory %ld KiB\n", qPrintable(label),
                cleaner.status().moved(), peakKiB());
    std::fflush(stdout);
    QDir(home).removeRecursively();
}

// With automatic tidying on over a Desktop of `size` entries, a file grows by one write at a
// time, as a download does, and each write's event is handled before the next write. Only
// this thread's CPU time while it handles events is counted, not the writes themselves.
void writeEvents(const QString& home, int size) {
    constexpr int kWrites = 4000;
    qputenv("HOME", home.toUtf8());
    const QString desktop = home + "/Desktop";
    populate(desktop, size);
    TidiedFolders storeFolders(home + "/.config/Vantor", desktop);
    storeFolders.desktopRules()->restoreDefaults();
    Cleaner cleaner(&storeFolders, home + "/.local/state/Vantor");
    AutoTidySettings settings(home + "/.config/Vantor/settings.ini");
    settings.setQuietSeconds(3600); // nothing falls due while it is measured
    settings.setEnabled(QString(), true);
    AutoTidy tidy(&cleaner, &settings, platform::Clock::system());
    QCoreApplication::processEvents();

    int events = 0;
    QObject::connect(&cleaner, &Cleaner::fileWritten, [&] { ++events; });
    const auto threadCpuNs = [] {
        timespec ts{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    };
    const int fd = ::open(QFile::encodeName(desktop + "/download.iso").constData(),
                          O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // The new file's rescan comes and goes before the writes.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    const std::vector<char> chunk(16 * 1024, 'v');
    // Handles events until the next write's has come; true when it came.
    const auto handle = [&](qint64* cpuNs) {
        const int before = events;
        QElapsedTimer waited;
        waited.start();
        while (events == before && waited.elapsed() < 2000) {
            const qint64 t = threadCpuNs();
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            *cpuNs += threadCpuNs() - t;
        }
        return events > before;
    };
    qint64 firstNs = 0, restNs = 0;
    int handled = 0;
    for (int i = 0; i <= kWrites; ++i) {
        if (::write(fd, chunk.data(), chunk.size()) != qint64(chunk.size()))
            break;
        if (!handle(i == 0 ? &firstNs : &restNs))
            break;
        handled += i > 0;
    }
    ::close(fd);
    std::printf("%8d  %-8s first %8.1f us, then %6.2f us per event over %d events\n", size, "write",
                double(firstNs) / 1e3, handled > 0 ? double(restNs) / 1e3 / handled : 0.0, handled);
    std::fflush(stdout);
    QDir(home).removeRecursively();
}

// Median of `runs` rescans, in ms.
double medianRescan(Cleaner& cleaner, int runs) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i)
        ms.push_back(timeMs([&] { cleaner.rescan(); }));
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

int kindsRatio(const QString& home) {
    constexpr int kFiles = 10000;
    qputenv("HOME", home.toUtf8());
    const QString desktop = home + "/Desktop";
    QDir().mkpath(desktop);
    const char* types[] = {"png", "jpg", "pdf", "docx", "txt", "zip", "mp4", "iso", "md"};
    const QByteArray png =
        QByteArray::fromHex("89504e470d0a1a0a0000000d49484452") + QByteArray(48, 0);
    const QByteArray text = QByteArray(64, 'w');
    for (int i = 0; i < kFiles; ++i) {
        const bool bare = i % 10 == 0; // a tenth with no extension, half of them pictures
        const QString name =
            QString("File %1").arg(i) + (bare ? QString() : QString(".") + types[i % 9]);
        QFile f(desktop + "/" + name);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(bare && i % 20 == 0 ? png : text);
    }
    TidiedFolders folders(home + "/.config/Vantor", desktop);
    RuleStore* rules = folders.desktopRules();
    rules->restoreDefaults();
    Cleaner cleaner(&folders, home + "/.local/state/Vantor");
    cleaner.rescan(); // warm: page cache, the type database
    const double byTypes = medianRescan(cleaner, 9);
    const QUuid pictures = rules->addRule();
    rules->setKinds(pictures, {qEnvironmentVariable("KIND", "image/*")});
    cleaner.rescan();
    const double byKinds = medianRescan(cleaner, 9);
    qsizetype taken = 0;
    for (const Scan::Group& g : cleaner.scan().folders.first().groups)
        if (g.rule.id == pictures)
            taken = g.files.size();
    std::printf("%8d  rescan by types %8.1f ms, with a rule by content type %8.1f ms, "
                "ratio %.2f (%lld files without extension taken as pictures)\n",
                kFiles, byTypes, byKinds, byKinds / byTypes, qlonglong(taken));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir root(QDir::tempPath() + "/vantor-bench-XXXXXX");
    qputenv("HOME", root.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (root.path() + "/.config").toUtf8());
    qputenv("XDG_STATE_HOME", (root.path() + "/.local/state").toUtf8());
    QCoreApplication app(argc, argv);

    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == u"--blocking")
        return runBlocking(root.path());
    if (mode == u"--kill")
        return runKills(root.path(), argc > 2 ? std::atoi(argv[2]) : 20,
                        argc > 3 ? std::atoi(argv[3]) : 3000);

    if (mode == u"--kinds")
        return kindsRatio(root.path() + "/kinds");
    if (mode == u"--writes") {
        for (const int size : {1000, 10000})
            writeEvents(root.path() + QString("/writes-%1").arg(size), size);
        return 0;
    }

    std::vector<int> sizes = {1000, 10000, 100000};
    if (argc > 1)
        sizes = {std::atoi(argv[1])};

    std::printf("%8s  %-8s %10s %10s %7s %7s\n", "entries", "op", "vantor ms", "bare ms", "ratio",
                "cpu");
    for (const int size : sizes) {
        ratios(root.path() + QString("/home-%1").arg(size), size, 1);
        ratios(root.path() + QString("/home-2x%1").arg(size), size, 2);
    }
    return 0;
}
