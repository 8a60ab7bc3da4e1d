#include "cleaner/FreeName.h"

namespace {

// A free name is claimed by someone else between our check and our move only in a race;
// a bounded number of retries keeps a misbehaving file system from looping forever.
constexpr int kMoveAttempts = 64;

} // namespace

namespace cleaner {

QString uniqueDestination(const QString& name, const QString& folder, const TakenFunction& taken) {
    const auto isTaken = [&](const QString& path) {
        return taken ? taken(path) : platform::entryExists(path);
    };
    const QString first = platform::appendingPathComponent(folder, name);
    if (!isTaken(first))
        return first;
    const QString base = platform::deletingPathExtension(name);
    const QString extension = platform::pathExtension(name);
    for (qint64 n = 2;; ++n) {
        QString candidate = base + u' ' + QString::number(n);
        if (!extension.isEmpty())
            candidate += u'.' + extension;
        candidate = platform::appendingPathComponent(folder, candidate);
        if (!isTaken(candidate))
            return candidate;
    }
}

std::optional<QString> moveToFreeName(const QString& from, const QString& name,
                                      const QString& folder, const MoveFunction& move,
                                      const TakenFunction& taken) {
    for (int attempt = 0; attempt < kMoveAttempts; ++attempt) {
        const QString target = uniqueDestination(name, folder, taken);
        switch (move(from, target)) {
        case platform::MoveResult::Moved:
            return target;
        case platform::MoveResult::TargetExists:
            continue; // taken since we looked: choose again
        case platform::MoveResult::InUse:
        case platform::MoveResult::Failed:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace cleaner
