#pragma once

#include "platform/Timer.h"

#include <memory>

namespace tickwell {

class QtTimerScheduler;

// Timers on the Qt event loop of the thread that creates the factory (the main thread, once the
// QCoreApplication exists), firing in nested event loops too. A repeating timer keeps a fire
// date: after each firing the next one is the previous fire date plus the interval, passed dates
// skipped. A timer never fires inside its own callback. Callbacks may invalidate, reschedule or
// destroy any timer, their own included. Destroying a Timer invalidates it. The factory must
// outlive the callbacks it runs.
class QtTimerFactory final : public TimerFactory {
public:
    QtTimerFactory();
    ~QtTimerFactory() override;
    QtTimerFactory(const QtTimerFactory &) = delete;
    QtTimerFactory &operator=(const QtTimerFactory &) = delete;

    std::unique_ptr<Timer> schedule(double intervalSeconds, bool repeats, std::function<void()> callback) override;
    QDateTime now() const override;

private:
    std::shared_ptr<QtTimerScheduler> m_scheduler;
};

} // namespace tickwell
