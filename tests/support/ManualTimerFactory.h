#pragma once

#include "platform/Timer.h"

#include <QDateTime>

#include <memory>
#include <vector>

namespace tickwell {

// Timers on a clock of its own, for tests: time stands still until advance() moves it, firing
// every timer that falls due on the way in fire-date order (equal dates in creation order).
// Timers follow the same rules as the real ones: repeating timers move on by their interval,
// skipping passed dates; a timer never fires inside its own callback; fire() leaves the schedule
// alone; destroying a Timer invalidates it. A callback may call advance() to act as a nested
// event loop.
class ManualTimerFactory final : public TimerFactory {
public:
    struct PendingTimer {
        QDateTime fireDate;
        double interval; // the scheduled interval, for one-shot timers too
        bool repeats;
    };

    explicit ManualTimerFactory(const QDateTime &start = QDateTime::currentDateTime());
    ~ManualTimerFactory() override;
    ManualTimerFactory(const ManualTimerFactory &) = delete;
    ManualTimerFactory &operator=(const ManualTimerFactory &) = delete;

    std::unique_ptr<Timer> schedule(double intervalSeconds, bool repeats, std::function<void()> callback) override;
    QDateTime now() const override;

    // Moves the clock without firing anything; the next advance() fires what is overdue.
    void setNow(const QDateTime &moment);
    // Moves the clock forward, firing the timers that fall due up to the new time.
    void advance(double seconds);
    // The valid timers, earliest fire date first.
    std::vector<PendingTimer> pendingTimers() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
};

} // namespace tickwell
