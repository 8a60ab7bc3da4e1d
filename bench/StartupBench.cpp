// Start-up, idle memory and panel-opening figures of the real application. Runs as the
// session's StatusNotifierWatcher, so "tray icon registered" is the moment the program's
// icon registers with it. Needs a display and a session bus:
//   dbus-run-session -- xvfb-run -a build-release/bench/vantor_startup_bench
#include "app/PanelWindow.h"
#include "cleaner/AutoTidySettings.h"
#include "cleaner/Cleaner.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"
#include "widgets/Symbols.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

  public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const { return m_items; }
    QElapsedTimer clock;
    qint64 registeredAt = -1;

  public slots:
    void RegisterStatusNotifierItem(const QString& service) {
        m_items << service;
        if (registeredAt < 0)
            registeredAt = clock.elapsed();
    }
    void RegisterStatusNotifierHost(const QString&) {}

  private:
    QStringList m_items;
};

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long residentKiB(qint64 pid) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// Starts a program, waits for its tray icon to register, lets it settle, reads its memory.
std::pair<double, long> startOnce(Watcher& watcher, const QString& program, const QString& home) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    env.insert("XDG_STATE_HOME", home + "/.local/state");
    env.insert("XDG_RUNTIME_DIR", home + "/run");
    process.setProcessEnvironment(env);
    watcher.registeredAt = -1;
    watcher.clock.start();
    process.start(program, {});
    QElapsedTimer limit;
    limit.start();
    while (watcher.registeredAt < 0 && limit.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double ms = double(watcher.registeredAt);
    QTest::qWait(1500); // idle
    const long rss = residentKiB(process.processId());
    process.kill();
    process.waitForFinished();
    return {ms, rss};
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    Watcher watcher;
    if (!bus.registerService("org.kde.StatusNotifierWatcher") ||
        !bus.registerObject("/StatusNotifierWatcher", &watcher,
                            QDBusConnection::ExportAllSlots |
                                QDBusConnection::ExportAllProperties)) {
        std::fputs("needs a session bus (dbus-run-session) without a tray host\n", stderr);
        return 1;
    }
    const QString dir = QCoreApplication::applicationDirPath();
    QTemporaryDir root;
    for (const char* sub : {"/vantor/run", "/bare/run"})
        QDir().mkpath(root.path() + sub);
    QFile::setPermissions(root.path() + "/vantor/run",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(root.path() + "/bare/run",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // No first-run hint: it is not part of start-up.
    QDir().mkpath(root.path() + "/vantor/.config/Vantor");
    QFile hint(root.path() + "/vantor/.config/Vantor/settings.ini");
    hint.open(QIODevice::WriteOnly);
    hint.write("[General]\ndidShowWelcome=true\n");
    hint.close();

    std::vector<double> vStart, bStart;
    std::vector<double> vRss, bRss;
    // --panel: only the panel's opening figures, for profiling it.
    const int runs = QCoreApplication::arguments().contains("--panel") ? 0 : 7;
    for (int i = 0; i < runs; ++i) {
        auto [vs, vr] = startOnce(watcher, dir + "/../src/vantor", root.path() + "/vantor");
        auto [bs, br] = startOnce(watcher, dir + "/vantor_bare_tray", root.path() + "/bare");
        vStart.push_back(vs);
        bStart.push_back(bs);
        vRss.push_back(double(vr));
        bRss.push_back(double(br));
    }
    if (runs > 0) {
        std::printf("start to tray icon registered: vantor %.1f ms, bare tray program %.1f ms "
                    "(target: vantor <= 150 ms)\n",
                    median(vStart), median(bStart));
        std::printf(
            "idle resident memory: vantor %.0f KiB, bare tray program %.0f KiB, ratio %.2fx "
            "(target <= 1.3x)\n",
            median(vRss), median(bRss), median(vRss) / median(bRss));
    }

    // Opening the panel on a Desktop of 1,000 files: rescan, layout and paint.
    const QString home = root.path() + "/panel";
    qputenv("HOME", home.toUtf8());
    const QString desktop = home + "/Desktop";
    QDir().mkpath(desktop);
    const char* types[] = {"png", "pdf", "jpg", "docx", "iso", "zip", "txt", "mp4"};
    for (int i = 0; i < 1000; ++i) {
        const QByteArray name =
            QFile::encodeName(desktop + QString("/Screenshot 2026-03-04 at 10.%1.%2 #%3.%4")
                                            .arg(i / 60, 2, 10, QChar('0'))
                                            .arg(i % 60, 2, 10, QChar('0'))
                                            .arg(i)
                                            .arg(types[i % 8]));
        ::close(::open(name.constData(), O_CREAT | O_WRONLY, 0644));
    }
    TidiedFolders storeFolders(home + "/.config/Vantor", desktop);
    RuleStore& store = *storeFolders.desktopRules();
    store.restoreDefaults();
    Cleaner cleaner(&storeFolders, home + "/.local/state/Vantor");
    DesktopServices quiet;
    AutoTidySettings autoTidy(home + "/.config/Vantor/settings.ini");
    // A running Vantor has loaded its icons while idle after start-up; --cold measures a
    // process that has not.
    const bool cold = QCoreApplication::arguments().contains("--cold");
    if (!cold)
        widgets::preloadSymbols();
    std::unique_ptr<PanelWindow> window;
    std::vector<double> open;
    double first = 0;
    for (int i = 0; i < 15; ++i) {
        QElapsedTimer t;
        t.start();
        if (!window) // the first opening also builds the panel's widgets
            window = std::make_unique<PanelWindow>(&cleaner, autoTidy, quiet);
        window->showAsWindow(); // shown: rescans and lays out
        QImage image(window->size(), QImage::Format_ARGB32_Premultiplied);
        window->render(&image);
        (i == 0 ? first : open.emplace_back()) = double(t.nsecsElapsed()) / 1e6;
        window->hide();
        QCoreApplication::processEvents();
    }
    std::printf("opening the panel on 1,000 files (rescan, layout, paint): first %.1f ms%s, "
                "then %.1f ms (target <= 30 ms)\n",
                first, cold ? " in a cold process" : "", median(open));
    return 0;
}

#include "StartupBench.moc"
