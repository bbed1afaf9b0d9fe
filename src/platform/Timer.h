#pragma once

#include <QDateTime>

#include <functional>
#include <memory>

namespace tickwell {

// A scheduled timer on the main run loop. Firing by hand runs the callback at once and does not
// move the schedule: the next firing stays one interval after creation.
class Timer {
public:
    virtual ~Timer() = default;

    virtual void fire() = 0;
    virtual void invalidate() = 0;
    virtual bool isValid() const = 0;
    virtual QDateTime fireDate() const = 0;
    virtual void setFireDate(const QDateTime &date) = 0;
    virtual double interval() const = 0;
};

// Creates timers and tells the time they run by, so tests can drive both.
class TimerFactory {
public:
    virtual ~TimerFactory() = default;

    virtual std::unique_ptr<Timer> schedule(double intervalSeconds, bool repeats, std::function<void()> callback) = 0;
    virtual QDateTime now() const = 0;
};

} // namespace tickwell
