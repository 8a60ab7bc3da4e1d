#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace testsupport {

void prepareEnvironment() {
    const QByteArray home = qgetenv("HOME");
    const passwd* pw = getpwuid(getuid());
    if (home.isEmpty() || (pw && home == QByteArray(pw->pw_dir))) {
        std::fputs("Refusing to run: HOME must point at a throw-away folder (run through ctest)\n",
                   stderr);
        std::exit(2);
    }
    for (const char* var : {"HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME",
                            "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString dir = qEnvironmentVariable(var);
        if (!dir.isEmpty())
            QDir().mkpath(dir);
    }
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool touch(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void settle() {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

} // namespace testsupport

namespace {

// The home folder CTest made for this program, whatever an earlier case set HOME to.
const QString& programHome() {
    static const QString home = QDir::homePath();
    return home;
}

} // namespace

TempHome::TempHome() : m_dir(programHome() + "/case-XXXXXX") {
    if (!m_dir.isValid())
        qFatal("cannot make a home folder for the case");
    const QByteArray home = path().toUtf8();
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_STATE_HOME", home + "/.local/state");
    qputenv("XDG_DATA_HOME", home + "/.local/share");
    qputenv("XDG_CONFIG_DIRS", home + "/xdg");
    QDir().mkpath(desktop());
}

QString TempHome::desktop(const QString& name) const {
    return name.isEmpty() ? path() + "/Desktop" : path() + "/Desktop/" + name;
}

class TestClock::ManualTimer : public platform::Timer {
  public:
    explicit ManualTimer(TestClock& clock) : m_clock(clock) { m_clock.m_timers.append(this); }
    ~ManualTimer() override { m_clock.m_timers.removeOne(this); }

    void start(int intervalMs) override { m_due = m_clock.m_now.addMSecs(intervalMs); }
    void stop() override { m_due = {}; }
    bool isActive() const override { return m_due.isValid(); }

    const QDateTime& due() const { return m_due; }
    void fire() {
        m_due = {};
        emit timeout();
    }

  private:
    TestClock& m_clock;
    QDateTime m_due;
};

TestClock::TestClock(QDateTime start) : m_now(std::move(start)) {}

std::unique_ptr<platform::Timer> TestClock::makeTimer() {
    return std::make_unique<ManualTimer>(*this);
}

std::optional<QDateTime> TestClock::nextDue() const {
    std::optional<QDateTime> next;
    for (const ManualTimer* timer : m_timers)
        if (timer->due().isValid() && (!next || timer->due() < *next))
            next = timer->due();
    return next;
}

void TestClock::advance(qint64 ms) {
    // Timers fire one by one in the order they are due, each at its own moment, so what a
    // timeout starts is timed from there.
    const QDateTime end = m_now.addMSecs(ms);
    for (;;) {
        ManualTimer* next = nullptr;
        for (ManualTimer* timer : std::as_const(m_timers))
            if (timer->due().isValid() && timer->due() <= end &&
                (!next || timer->due() < next->due()))
                next = timer;
        if (!next)
            break;
        m_now = next->due();
        next->fire();
    }
    m_now = end;
}
