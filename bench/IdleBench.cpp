// How often an idle Vantor wakes up, and how much CPU time it takes, with automatic tidying on
// and a Desktop holding only files no rule moves. Starts the built program in a throw-away
// home, lets start-up settle, then counts the context switches of all its threads over the
// measuring window.
//   vantor_idle_bench [--window SECONDS] [--settle SECONDS] [--vantor PATH]
// The window is 600 s unless given; the program is the one built next to this benchmark.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {

struct Thread {
    QString name;
    qint64 switches = 0;
};

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Voluntary and involuntary context switches of each thread, by thread id.
QMap<qint64, Thread> threadsOf(qint64 pid) {
    QMap<qint64, Thread> threads;
    const QString tasks = QString("/proc/%1/task").arg(pid);
    for (const QString& tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        Thread t;
        t.name = QString::fromUtf8(readAll(tasks + "/" + tid + "/comm")).trimmed();
        for (const QByteArray& line : readAll(tasks + "/" + tid + "/status").split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:") ||
                line.startsWith("nonvoluntary_ctxt_switches:"))
                t.switches += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        threads.insert(tid.toLongLong(), t);
    }
    return threads;
}

// User plus system CPU time of the whole process, ended threads included, in milliseconds.
double cpuMs(qint64 pid) {
    const QByteArray stat = readAll(QString("/proc/%1/stat").arg(pid));
    // The name in parentheses may hold spaces; the fields after it do not.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    const double ticks = double(fields.at(11).toLongLong() + fields.at(12).toLongLong());
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

bool write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(path.left(path.lastIndexOf('/')));
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

int usage() {
    std::fputs("usage: vantor_idle_bench [--window SECONDS] [--settle SECONDS] [--vantor PATH]\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int windowSeconds = 600;
    int settleSeconds = 5;
    QString program = QCoreApplication::applicationDirPath() + "/../src/vantor";
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (i + 1 >= args.size())
            return usage();
        bool ok = true;
        if (args.at(i) == "--window")
            windowSeconds = args.at(++i).toInt(&ok);
        else if (args.at(i) == "--settle")
            settleSeconds = args.at(++i).toInt(&ok);
        else if (args.at(i) == "--vantor")
            program = args.at(++i);
        else
            return usage();
        if (!ok || windowSeconds <= 0 || settleSeconds < 0)
            return usage();
    }

    QTemporaryDir root;
    const QString home = root.path();
    const bool prepared =
        write(home + "/.config/Vantor/settings.ini",
              "[General]\ndidShowWelcome=true\n\n[autoTidy]\nenabled=true\nquietSeconds=600\n") &&
        // Types no rule has: nothing is ever due to be put away.
        write(home + "/Desktop/notes.xyz", "notes") && write(home + "/Desktop/README", "read me") &&
        write(home + "/Desktop/scene.blend", "scene") &&
        write(home + "/Desktop/library.sqlite", "rows") && QDir().mkpath(home + "/run");
    QFile::setPermissions(home + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!root.isValid() || !prepared) {
        std::fputs("cannot prepare a home folder\n", stderr);
        return 2;
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    env.insert("XDG_STATE_HOME", home + "/.local/state");
    env.insert("XDG_DATA_HOME", home + "/.local/share");
    env.insert("XDG_CACHE_HOME", home + "/.cache");
    env.insert("XDG_RUNTIME_DIR", home + "/run");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    QProcess vantor;
    vantor.setProcessEnvironment(env);
    vantor.setStandardOutputFile(home + "/vantor.log");
    vantor.setStandardErrorFile(home + "/vantor.log");
    vantor.start(program, {});
    if (!vantor.waitForStarted()) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(program));
        return 2;
    }
    const qint64 pid = vantor.processId();

    QThread::sleep(settleSeconds);
    const QMap<qint64, Thread> before = threadsOf(pid);
    const double cpuBefore = cpuMs(pid);
    QThread::sleep(windowSeconds);
    const QMap<qint64, Thread> after = threadsOf(pid);
    const double cpuAfter = cpuMs(pid);
    const bool stillRunning = vantor.state() == QProcess::Running && !after.isEmpty();
    vantor.terminate();
    if (!vantor.waitForFinished(5000))
        vantor.kill();
    vantor.waitForFinished(5000);
    if (!stillRunning) {
        std::fprintf(stderr, "vantor ended during the measurement:\n%s\n",
                     readAll(home + "/vantor.log").constData());
        return 2;
    }

    // A thread started during the window counts from zero; one that ended is not counted.
    qint64 total = 0;
    QStringList woke;
    for (auto t = after.cbegin(); t != after.cend(); ++t) {
        const qint64 delta = t->switches - before.value(t.key()).switches;
        total += delta;
        if (delta > 0)
            woke << QString("%1 (%2): %3").arg(t->name).arg(t.key()).arg(delta);
    }
    int ended = 0;
    for (auto t = before.cbegin(); t != before.cend(); ++t)
        ended += after.contains(t.key()) ? 0 : 1;

    const double minutes = windowSeconds / 60.0;
    std::printf("idle Vantor, automatic tidying on (quiet time 600 s), 4 files no rule moves\n");
    QStringList names;
    for (const Thread& t : after)
        names << t.name;
    std::printf("settled %d s, measured %d s, threads: %s", settleSeconds, windowSeconds,
                qPrintable(names.join(", ")));
    if (ended > 0)
        std::printf(" (%d ended during the window, not counted)", ended);
    std::printf("\nwake-ups: %.1f per minute (%lld over the window)\n", double(total) / minutes,
                static_cast<long long>(total));
    for (const QString& line : woke)
        std::printf("  %s\n", qPrintable(line));
    std::printf("CPU time: %.0f ms over the window (%.1f ms per minute)\n", cpuAfter - cpuBefore,
                (cpuAfter - cpuBefore) / minutes);
    std::printf("expected 0 wake-ups per minute: %s\n", total == 0 ? "met" : "NOT met");
    return total == 0 ? 0 : 1;
}
