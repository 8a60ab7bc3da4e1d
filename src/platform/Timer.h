#pragma once

#include <QObject>

namespace platform {

// A single-shot timer that start() (re)arms. Made by a Clock, so tests can run time by hand.
class Timer : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

  signals:
    void timeout();
};

} // namespace platform
