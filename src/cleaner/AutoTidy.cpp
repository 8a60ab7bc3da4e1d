#include "cleaner/AutoTidy.h"

#include "cleaner/AutoTidySettings.h"
#include "cleaner/DesktopCleaner.h"
#include "platform/DirectoryWatch.h"
#include "platform/FileActivity.h"
#include "platform/FileSystem.h"
#include "platform/Timer.h"

#include <algorithm>
#include <limits>

AutoTidy::AutoTidy(DesktopCleaner* cleaner, AutoTidySettings* settings, platform::Clock& clock,
                   QObject* parent)
    : QObject(parent), m_cleaner(cleaner), m_settings(settings), m_clock(clock),
      m_timer(clock.makeTimer()) {
    connect(m_timer.get(), &platform::Timer::timeout, this, &AutoTidy::review);
    connect(m_settings, &AutoTidySettings::changed, this, &AutoTidy::settingsChanged);
    connect(m_cleaner, &DesktopCleaner::scanChanged, this, &AutoTidy::review);
    connect(m_cleaner, &DesktopCleaner::statusChanged, this, &AutoTidy::review);
    // Queued: the cleaner reports the end of its work before it publishes the scan after it.
    connect(m_cleaner, &DesktopCleaner::busyChanged, this, &AutoTidy::review, Qt::QueuedConnection);
    settingsChanged();
}

AutoTidy::~AutoTidy() = default;

void AutoTidy::settingsChanged() {
    if (!m_settings->isEnabled()) {
        stopWatching();
        m_lastActivity.clear();
        m_timer->stop();
        return;
    }
    // The cleaner scans and watches from its first rescan, which otherwise waits for the
    // panel to open: without it, files would wait for that too.
    if (!m_cleaner->isWatching() && !m_cleaner->isBusy())
        m_cleaner->rescan();
    review();
}

void AutoTidy::watchDesktop() {
    auto* watch = new platform::DirectoryWatch(m_cleaner->desktop(), this,
                                               platform::DirectoryWatch::Events::EntriesAndWrites);
    if (!watch->isValid()) {
        delete watch; // tried again at the next review
        return;
    }
    m_watch = watch;
    connect(watch, &platform::DirectoryWatch::modified, this, &AutoTidy::fileWritten);
    connect(watch, &platform::DirectoryWatch::closedAfterWrite, this, &AutoTidy::fileClosed);
    // Close events may have been lost: files thought open are checked again at their times.
    connect(watch, &platform::DirectoryWatch::eventsLost, this, [this] { m_writing.clear(); });
    connect(watch, &platform::DirectoryWatch::folderGone, this, [this] {
        stopWatching(); // a new watch comes with the next review that finds the Desktop
        review();
    });
}

void AutoTidy::stopWatching() {
    if (m_watch)
        m_watch->deleteLater();
    m_watch = nullptr;
    // Without a watch no close event comes; the kernel is asked at the files' deadlines.
    m_writing.clear();
}

QString AutoTidy::desktopPath(const QString& name) const {
    return platform::appendingPathComponent(m_cleaner->desktop(), name);
}

void AutoTidy::fileWritten(const QString& name) {
    const QString path = desktopPath(name);
    m_lastActivity.insert(path, m_clock.now());
    if (m_writing.contains(path))
        return; // a write of many: no more work than the hash lookup
    m_writing.insert(path);
    // No deadline until it is closed: the timer may have been armed for this very file.
    if (m_timer->isActive())
        review();
}

void AutoTidy::fileClosed(const QString& name) {
    const QString path = desktopPath(name);
    m_lastActivity.insert(path, m_clock.now());
    m_writing.remove(path);
    // Its deadline is a quiet time from now, no earlier than any other: an armed timer
    // already comes first. Reviewing on every close would stat the whole Desktop per file.
    if (!m_timer->isActive())
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

void AutoTidy::review() {
    if (!m_settings->isEnabled())
        return;
    // Busy: the end of the work brings a review. No access: so does the next scan (which
    // now lists nothing, but the rule holds whatever the scan of an unreadable Desktop holds).
    if (m_cleaner->isBusy() || m_cleaner->status().kind == DesktopCleaner::Status::Kind::NoAccess) {
        m_timer->stop();
        return;
    }
    if (!m_watch)
        watchDesktop();
    forgetVanished();

    const QDateTime now = m_clock.now();
    const qint64 quietMs = qint64(m_settings->quietSeconds()) * 1000;
    QStringList due;
    std::optional<QDateTime> next;
    for (const DesktopCleaner::Group& group : m_cleaner->scan().groups) {
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
                continue;
            }
            if (platform::writersOf(file) == platform::Writers::Some) {
                // Opened before the watch saw it: its close will bring a new deadline.
                m_lastActivity.insert(file, now);
                if (m_watch) {
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

    if (!due.isEmpty()) {
        // What the clean cannot move waits another quiet time rather than being retried at
        // once, over and over.
        for (const QString& file : std::as_const(due))
            m_lastActivity.insert(file, now);
        m_timer->stop();
        m_cleaner->startClean({true, due});
        return;
    }
    if (next)
        m_timer->start(
            int(std::clamp<qint64>(now.msecsTo(*next), 0, std::numeric_limits<int>::max())));
    else
        m_timer->stop();
}
