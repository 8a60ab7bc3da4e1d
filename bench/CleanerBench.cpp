// Times the cleaner's rescan, clean and undo on generated Desktops against bare system-call
// loops doing the least the same work needs, and prints the ratios and peak memory.
#include "cleaner/DesktopCleaner.h"
#include "platform/FileSystem.h"
#include "rules/RuleStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
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

long peakKiB() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir root(QDir::tempPath() + "/vantor-bench-XXXXXX");
    qputenv("HOME", root.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (root.path() + "/.config").toUtf8());
    qputenv("XDG_STATE_HOME", (root.path() + "/.local/state").toUtf8());
    QCoreApplication app(argc, argv);

    std::vector<int> sizes = {1000, 10000, 100000};
    if (argc > 1)
        sizes = {std::atoi(argv[1])};

    std::printf("%8s  %-8s %10s %10s %7s\n", "entries", "op", "vantor ms", "bare ms", "ratio");
    for (const int size : sizes) {
        const QString home = root.path() + QString("/home-%1").arg(size);
        qputenv("HOME", home.toUtf8());
        const QString desktop = home + "/Desktop";
        populate(desktop, size);
        RuleStore store(home + "/.config/Vantor");
        store.restoreDefaults();
        DesktopCleaner cleaner(&store, desktop, home + "/.local/state/Vantor");
        const QByteArray dir = QFile::encodeName(desktop);
        const int runs = size >= 100000 ? 3 : 7;

        std::vector<double> tRescan, tReaddir, tLstat, tClean, tUndo, tMoves, tMovesBack;
        for (int r = 0; r < runs; ++r) {
            tReaddir.push_back(timeMs([&] { bareReaddir(dir); }));
            tLstat.push_back(timeMs([&] { bareReaddirLstat(dir); }));
            tRescan.push_back(timeMs([&] { cleaner.rescan(); }));

            // The same moves, bare: into the folders, then back.
            std::vector<Pending> moves;
            for (const auto& g : cleaner.scan().groups) {
                const QString folder = g.rule.destinationURL();
                QDir().mkpath(folder);
                for (const QString& f : g.files)
                    moves.push_back(
                        {QFile::encodeName(f).toStdString(),
                         QFile::encodeName(folder + "/" + platform::lastPathComponent(f))
                             .toStdString()});
            }
            tMoves.push_back(timeMs([&] { bareMoves(moves, false); }));
            tMovesBack.push_back(timeMs([&] { bareMoves(moves, true); }));
            for (const auto& g : cleaner.scan().groups)
                QDir().rmdir(g.rule.destinationURL());

            tClean.push_back(timeMs([&] { cleaner.clean(); }));
            tUndo.push_back(timeMs([&] { cleaner.undo(); }));
        }
        const double readdir = median(tReaddir), lstat = median(tLstat), moves = median(tMoves);
        const auto row = [&](const char* op, double ours, double bare) {
            std::printf("%8d  %-8s %10.2f %10.2f %6.2fx\n", size, op, ours, bare, ours / bare);
        };
        row("rescan", median(tRescan), lstat);
        row("clean", median(tClean), moves + 2 * lstat);
        row("undo", median(tUndo), median(tMovesBack));
        std::printf("%8d  %-8s %10s %10.2f\n", size, "readdir", "", readdir);
        std::printf("%8d  files moved %d, peak memory %ld KiB\n", size, cleaner.status().moved(),
                    peakKiB());
        std::fflush(stdout);
        QDir(home).removeRecursively();
    }
    return 0;
}
