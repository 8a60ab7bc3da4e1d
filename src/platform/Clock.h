#pragma once

#include "platform/Timer.h"

#include <QDateTime>

#include <memory>

namespace platform {

// Where the model reads the time and gets its timers: the system's, or a test clock.
class Clock {
  public:
    virtual ~Clock() = default;

    // The current time, in UTC.
    virtual QDateTime now() const = 0;
    virtual std::unique_ptr<Timer> makeTimer() = 0;

    // The real clock, with precise timers (a coarse timer may fire 5% early).
    static Clock& system();
};

} // namespace platform
