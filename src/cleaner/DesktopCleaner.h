#pragma once

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/NameOrder.h"
#include "rules/SortRule.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class RuleStore;
namespace platform {
class DirectoryWatch;
}

// Scans the Desktop into one group per rule, moves the groups' files into their rules'
// folders, records that clean on disk and puts it back on request. Every assignment of
// scan, lastClean and status emits its change signal, also when the value is unchanged.
class DesktopCleaner : public QObject {
    Q_OBJECT

  public:
    struct Group {
        SortRule rule;
        QStringList files; // absolute paths, in the file manager's name order
        QUuid id() const { return rule.id; }
        bool operator==(const Group&) const = default;
    };

    struct Scan {
        QList<Group> groups; // one per rule, in the store's order
        int other = 0;       // loose items that stay where they are
        int totalFiles() const;
        bool operator==(const Scan&) const = default;
    };

    struct Status {
        enum class Kind { Idle, NoAccess, Cleaned, Undone };
        Kind kind = Kind::Idle;
        int done = 0; // moved by a clean, restored by an undo
        int failed = 0;

        static Status idle() { return {}; }
        static Status noAccess() { return {Kind::NoAccess, 0, 0}; }
        static Status cleaned(int moved, int failed) { return {Kind::Cleaned, moved, failed}; }
        static Status undone(int restored, int failed) { return {Kind::Undone, restored, failed}; }
        int moved() const { return done; }
        int restored() const { return done; }
        bool operator==(const Status&) const = default;
    };

    struct Move {
        QString from;
        QString to;
        bool operator==(const Move&) const = default;
    };

    struct CleanRecord {
        QDateTime date;
        QList<Move> moves;
        QStringList createdFolders;
        bool operator==(const CleanRecord&) const = default;
    };

    // Reads last-clean.json from recordFolder and follows the store's rule list; neither
    // scans nor watches until the first rescan(). The clock dates cleans and times the
    // rescan after Desktop changes.
    DesktopCleaner(RuleStore* rules, const QString& desktop, const QString& recordFolder,
                   QObject* parent = nullptr, platform::Clock& clock = platform::Clock::system());
    ~DesktopCleaner() override;

    const Scan& scan() const { return m_scan; }
    const std::optional<CleanRecord>& lastClean() const { return m_lastClean; }
    const Status& status() const { return m_status; }
    RuleStore* rules() const { return m_rules; }
    const QString& desktop() const { return m_desktop; }
    bool isWatching() const;

    void rescan();
    void clean();
    void undo();

    // A path in `folder` for an item called `name` that replaces nothing: "name", then
    // "base 2.ext", "base 3.ext" and so on. Any entry, a dangling link too, counts as taken.
    static QString uniqueDestination(const QString& name, const QString& folder);

    // Moves one item to a free name in `folder` (`name` itself if free), taking the next
    // free name when another item claims the chosen one first. `move` moves without
    // replacing, as platform::moveItem does.
    using MoveFunction =
        std::function<platform::MoveResult(const QString& from, const QString& to)>;
    static std::optional<QString> moveToFreeName(const QString& from, const QString& name,
                                                 const QString& folder,
                                                 const MoveFunction& move = platform::moveItem);

    static QByteArray encodeRecord(const CleanRecord& record);
    static std::optional<CleanRecord> decodeRecord(const QByteArray& bytes);
    QString recordFile() const;

  signals:
    void scanChanged();
    void lastCleanChanged();
    void statusChanged();

  private:
    void setScan(Scan scan);
    void setStatus(Status status);
    void setLastClean(std::optional<CleanRecord> record);
    void saveRecord();
    void startWatching();
    void stopWatching();

    RuleStore* m_rules;
    QString m_desktop;
    QString m_recordFolder;
    Scan m_scan;
    std::optional<CleanRecord> m_lastClean;
    Status m_status;
    platform::NameOrder m_nameOrder;
    platform::DirectoryWatch* m_watcher = nullptr;
    platform::Clock& m_clock;
    std::unique_ptr<platform::Timer> m_pendingRescan;
};
