#include "cleaner/AutoTidy.h"

#include "cleaner/AutoTidySettings.h"
#include "cleaner/Cleaner.h"
#include "platform/FileActivity.h"
#include "platform/FileSystem.h"
#include "platform/Timer.h"
#include "rules/TidiedFolders.h"

#include <algorithm>
#include <limits>

AutoTidy::AutoTidy(Cleaner* cleaner, AutoTidySettings* settings, platform::Clock& clock,
                   QObject* parent)
    : QObject(parent), m_cleaner(cleaner), m_settings(settings), m_clock(clock),
      m_timer(clock.makeTimer()), m_pauseTimer(clock.makeTimer()) {
    connect(m_timer.get(), &platform::Timer::timeout, this, &AutoTidy::review);
    connect(m_pauseTimer.get(), &platform::Timer::timeout, this, &AutoTidy::resume);
    connect(m_settings, &AutoTidySettings::changed, this, &AutoTidy::settingsChanged);
    connect(m_cleaner->folders(), &TidiedFolders::foldersChanged, this, &AutoTidy::settingsChanged);
    connect(m_cleaner, &Cleaner::scanChanged, this, &AutoTidy::review);
    connect(m_cleaner, &Cleaner::statusChanged, this, &AutoTidy::review);
    // Queued: the cleaner reports the end of its work before it publishes the scan after it.
    connect(m_cleaner, &Cleaner::busyChanged, this, &AutoTidy::review, Qt::QueuedConnection);
    connect(m_cleaner, &Cleaner::fileWritten, this, &AutoTidy::fileWritten);
    connect(m_cleaner, &Cleaner::fileClosed, this, &AutoTidy::fileClosed);
    // Close events may have been lost: files thought open are checked again at their times.
    connect(m_cleaner, &Cleaner::writesLost, this, [this] { m_writing.clear(); });
    settingsChanged();
}

AutoTidy::~AutoTidy() = default;

bool AutoTidy::isOn() const {
    const auto& folders = m_cleaner->folders()->folders();
    return std::any_of(folders.begin(), folders.end(), [this](const TidiedFolders::Folder& f) {
        return m_settings->isEnabled(f.id);
    });
}

void AutoTidy::pause(int ms) {
    m_pauseTimer->start(ms);
    if (m_paused)
        return;
    m_paused = true;
    m_timer->stop();
    emit pausedChanged(true);
}

void AutoTidy::resume() {
    m_pauseTimer->stop();
    if (!m_paused)
        return;
    m_paused = false;
    emit pausedChanged(false);
    review();
}

void AutoTidy::settingsChanged() {
    if (!isOn()) {
        m_cleaner->setWatchingWrites(false);
        m_lastActivity.clear();
        m_writing.clear();
        m_gatheringSince.reset();
        m_timer->stop();
        return;
    }
    m_cleaner->setWatchingWrites(true);
    // The cleaner scans and watches from its first rescan, which otherwise waits for the
    // panel to open: without it, files would wait for that too.
    if (!m_cleaner->isWatching() && !m_cleaner->isBusy())
        m_cleaner->rescan();
    review();
}

void AutoTidy::fileWritten(const QString& path) {
    m_lastActivity.insert(path, m_clock.now());
    if (m_writing.contains(path))
        return; // a write of many: no more work than the hash lookup
    m_writing.insert(path);
    // No deadline until it is closed: the timer may have been armed for this very file.
    if (m_timer->isActive())
        review();
}

void AutoTidy::fileClosed(const QString& path) {
    m_lastActivity.insert(path, m_clock.now());
    m_writing.remove(path);
    // Its deadline is a quiet time from now, no earlier than any other: an armed timer
    // already comes first. Reviewing on every close would stat every file per file.
    if (!m_timer->isActive() && isOn())
        m_timer->start(int(std::min<qint64>(qint64(m_settings->quietSeconds()) * 1000,
                                            std::numeric_limits<int>::max())));
}

void AutoTidy::forgetVanished() {
    for (auto it = m_lastActivity.begin(); it != m_lastActivity.end();) {
        if (platform::entryExists(it.key()))
            ++it;
        else
            it = m_lastActivity.erase(it);
    }
    for (auto it = m_writing.begin(); it != m_writing.end();) {
        if (platform::entryExists(*it))
            ++it;
        else
            it = m_writing.erase(it);
    }
}

std::optional<QDateTime> AutoTidy::quietSince(const QString& path, const QDateTime& now) {
    const auto times = platform::fileTimes(path);
    if (!times)
        return std::nullopt;
    QDateTime since = m_lastActivity.value(path);
    for (const QDateTime& t : {times->modified, times->statusChanged}) {
        if (t <= now && (!since.isValid() || t > since))
            since = t;
    }
    if (!since.isValid()) {
        since = now;
        m_lastActivity.insert(path, now);
    }
    return since;
}

void AutoTidy::arm(const QDateTime& now, const QDateTime& at) {
    m_timer->start(int(std::clamp<qint64>(now.msecsTo(at), 0, std::numeric_limits<int>::max())));
}

void AutoTidy::review() {
    if (!isOn())
        return;
    // Writes are still followed while paused, so the files' deadlines are right at the end.
    if (m_paused) {
        m_timer->stop();
        return;
    }
    // Busy: the end of the work brings a review. No access: so does the next scan.
    if (m_cleaner->isBusy() || m_cleaner->status().kind == Cleaner::Status::Kind::NoAccess) {
        m_timer->stop();
        return;
    }
    forgetVanished();

    QSet<QString> automatic;
    for (const TidiedFolders::Folder& f : m_cleaner->folders()->folders())
        if (m_settings->isEnabled(f.id))
            automatic.insert(f.path);

    const QDateTime now = m_clock.now();
    const qint64 quietMs = qint64(m_settings->quietSeconds()) * 1000;
    QStringList due;
    std::optional<QDateTime> next;
    std::optional<QDateTime> lastSoon; // the latest deadline within the gathering time
    for (const Scan::Folder& folder : m_cleaner->scan().folders) {
        if (!automatic.contains(folder.path))
            continue;
        for (const Scan::Group& group : folder.groups) {
            for (const QString& file : group.files) {
                if (m_writing.contains(file) || m_cleaner->isPutBack(file))
                    continue;
                const auto since = quietSince(file, now);
                if (!since)
                    continue;
                const QDateTime deadline = since->addMSecs(quietMs);
                if (deadline > now) {
                    if (!next || deadline < *next)
                        next = deadline;
                    if (now.msecsTo(deadline) <= kGatherMs && (!lastSoon || deadline > *lastSoon))
                        lastSoon = deadline;
                    continue;
                }
                if (platform::writersOf(file) == platform::Writers::Some) {
                    // Opened before the watch saw it: its close will bring a new deadline.
                    m_lastActivity.insert(file, now);
                    if (m_cleaner->isWatching()) {
                        m_writing.insert(file);
                    } else {
                        const QDateTime again = now.addMSecs(quietMs);
                        if (!next || again < *next)
                            next = again;
                    }
                    continue;
                }
                due.append(file);
            }
        }
    }

    if (!due.isEmpty()) {
        // Others about to be due go with these, unless the wait has gone on too long.
        if (!m_gatheringSince)
            m_gatheringSince = now;
        if (lastSoon && m_gatheringSince->msecsTo(*lastSoon) <= kMaxGatherMs) {
            arm(now, *lastSoon);
            return;
        }
        m_gatheringSince.reset();
        // What the clean cannot move waits another quiet time rather than being retried at
        // once, over and over.
        for (const QString& file : std::as_const(due))
            m_lastActivity.insert(file, now);
        m_timer->stop();
        m_cleaner->startClean({true, due});
        return;
    }
    m_gatheringSince.reset();
    if (next)
        arm(now, *next);
    else
        m_timer->stop();
}
