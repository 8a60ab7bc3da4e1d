#pragma once

#include "platform/Clock.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <optional>
#include <sys/resource.h>

namespace testsupport {

// Creates the folders that HOME and the XDG variables name (CTest points them into the
// build tree) and refuses to run if HOME still is the real home folder.
void prepareEnvironment();

// Writes a file, creating its parent folders; false on error.
bool touch(const QString& path, const QByteArray& bytes = "x");
QByteArray readFile(const QString& path);

// What `work` returns when run with files limited to `bytes`, as on a full disk: unlike
// permission tricks, RLIMIT_FSIZE binds root too.
template <typename Work> auto withFileSizeLimit(rlim_t bytes, Work work) {
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit limit{bytes, saved.rlim_max};
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const auto result = work();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    return result;
}

// Delivers what is queued: posted events, queued signals and deferred deletions.
void settle();

// The first child of `root` of type T with that object name (any name when empty).
template <typename T> T* find(const QObject* root, const QString& name = {}) {
    return root->findChild<T*>(name);
}

} // namespace testsupport

// A fresh home folder for one test case, inside the one CTest made for the program: HOME
// and the XDG variables point into it while it lives. The Desktop exists.
class TempHome {
  public:
    TempHome();

    QString path() const { return m_dir.path(); }
    QString desktop(const QString& name = {}) const;
    QString configFolder() const { return path() + "/.config/Vantor"; }
    QString stateFolder() const { return path() + "/.local/state/Vantor"; }

  private:
    QTemporaryDir m_dir;
};

// Time run by hand: now() stands still until advance() moves it, and timers fire in
// advance() when their moment is reached.
class TestClock : public platform::Clock {
  public:
    explicit TestClock(QDateTime start = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC));

    QDateTime now() const override { return m_now; }
    std::unique_ptr<platform::Timer> makeTimer() override;
    void advance(qint64 ms);
    // When the next armed timer fires; nullopt when none is armed.
    std::optional<QDateTime> nextDue() const;

  private:
    class ManualTimer;
    QDateTime m_now;
    QList<ManualTimer*> m_timers;
};

// Test entry points that prepare the throw-away home first.
#define VANTOR_TEST_MAIN_WITH(Application, TestObject)                                             \
    int main(int argc, char** argv) {                                                              \
        testsupport::prepareEnvironment();                                                         \
        Application app(argc, argv);                                                               \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
#define VANTOR_TEST_MAIN(TestObject) VANTOR_TEST_MAIN_WITH(QCoreApplication, TestObject)
#define VANTOR_WIDGET_TEST_MAIN(TestObject) VANTOR_TEST_MAIN_WITH(QApplication, TestObject)
