#pragma once

#include "platform/FileSystem.h"

#include <QString>

#include <functional>
#include <optional>

namespace cleaner {

// Whether a path is taken; by default when any entry, a dangling link too, stands there.
using TakenFunction = std::function<bool(const QString& path)>;

// A path in `folder` for an item called `name` that replaces nothing: "name", then
// "base 2.ext", "base 3.ext" and so on.
QString uniqueDestination(const QString& name, const QString& folder,
                          const TakenFunction& taken = {});

// Moves one item to a free name in `folder` (`name` itself if free), taking the next free
// name when another item claims the chosen one first. `move` moves without replacing, as
// platform::moveItem does.
using MoveFunction = std::function<platform::MoveResult(const QString& from, const QString& to)>;
std::optional<QString> moveToFreeName(const QString& from, const QString& name,
                                      const QString& folder, const MoveFunction& move,
                                      const TakenFunction& taken = {});

} // namespace cleaner
