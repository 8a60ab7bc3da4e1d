#pragma once

#include "platform/Clock.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

class AutoTidySettings;
class Cleaner;
namespace platform {
class Timer;
} // namespace platform

// In each tidied folder the settings have it on for, puts away each file a rule would move
// once the file has been quiet for the quiet time: neither modified nor open for writing for
// that long. Files that become due within a few seconds of each other (a drop of ten files,
// a copy) leave together, in one clean limited to them, as the user's clean button would:
// never while the cleaner is at work or can read no folder, and never of a file the cleaner
// says an undo put back. A file the clean could not move waits another quiet time. What
// counts as a file a rule would move, and so what is never moved while a download is in
// progress, is the cleaner's scan.
//
// A file is quiet since the latest of its modification time, its status-change time (which
// a rename or a finished download sets even when the modification time is old) and the last
// write or close-after-write the folder's watch reported for it. A file written to but not
// yet closed has no deadline until it is closed; at its deadline the kernel is asked whether
// anybody still has it open for writing. One timer waits for the earliest deadline and none
// while nothing is pending, so an idle folder never wakes the program.
//
// Deadlines are kept on the clock's time line and the files' times are read against the
// clock's now(); a file time later than now() (a clock set back, a tool's future date) does
// not count, and a file with no other time counts from when it was first seen.
class AutoTidy : public QObject {
    Q_OBJECT

  public:
    // Files due within this long of each other go in one clean, waiting at most kMaxGatherMs.
    static constexpr int kGatherMs = 5000;
    static constexpr int kMaxGatherMs = 30000;

    AutoTidy(Cleaner* cleaner, AutoTidySettings* settings, platform::Clock& clock,
             QObject* parent = nullptr);
    ~AutoTidy() override;

    // Whether the settings have it on for any tidied folder, paused or not.
    bool isOn() const;
    // Starts no clean for `ms`, or until resume(); files that fell due meanwhile go when it
    // ends. Pausing again restarts the time.
    void pause(int ms);
    void resume();
    bool isPaused() const { return m_paused; }

  signals:
    void pausedChanged(bool paused);

  private:
    void settingsChanged();
    // Works out what is due and what is next: starts a clean or arms the timer for the
    // earliest deadline (or stops it).
    void review();
    void fileWritten(const QString& path);
    void fileClosed(const QString& path);
    // Drops what is known of files no longer there.
    void forgetVanished();
    std::optional<QDateTime> quietSince(const QString& path, const QDateTime& now);
    void arm(const QDateTime& now, const QDateTime& at);

    Cleaner* m_cleaner;
    AutoTidySettings* m_settings;
    platform::Clock& m_clock;
    std::unique_ptr<platform::Timer> m_timer;
    std::unique_ptr<platform::Timer> m_pauseTimer;
    bool m_paused = false;
    // Per path, on the clock's time line: the last write or close seen, the moment a file was
    // found still open, or the start of a clean that was to move it.
    QHash<QString, QDateTime> m_lastActivity;
    QSet<QString> m_writing; // written to and not closed since
    // While due files wait for others about to be due: since when.
    std::optional<QDateTime> m_gatheringSince;
};
