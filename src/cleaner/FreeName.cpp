#include "cleaner/FreeName.h"

namespace {

// A free name is claimed by someone else between our check and our move only in a race;
// a bounded number of retries keeps a misbehaving file system from looping forever.
constexpr int kMoveAttempts = 64;

} // namespace

namespace cleaner {

QString uniqueDestination(const QString& name, const QString& folder) {
    const QString first = platform::appendingPathComponent(folder, name);
    if (!platform::entryExists(first))
        return first;
    const QString base = platform::deletingPathExtension(name);
    const QString extension = platform::pathExtension(name);
    for (qint64 n = 2;; ++n) {
        QString candidate = base + u' ' + QString::number(n);
        if (!extension.isEmpty())
            candidate += u'.' + extension;
        candidate = platform::appendingPathComponent(folder, candidate);
        if (!platform::entryExists(candidate))
            return candidate;
    }
}

std::optional<QString> moveToFreeName(const QString& from, const QString& name,
                                      const QString& folder, const MoveFunction& move) {
    for (int attempt = 0; attempt < kMoveAttempts; ++attempt) {
        const QString target = uniqueDestination(name, folder);
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
