#include "platform/session/QtTimerFactory.h"

#include "platform/TimerSchedule.h"

#include <QObject>
#include <QTimerEvent>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <unordered_map>

namespace tickwell {

using namespace timer_schedule;

namespace {

double currentSeconds()
{
    return toSeconds(QDateTime::currentDateTime());
}

// A Qt timer interval is an int of milliseconds; longer waits re-arm when they end early.
constexpr double longestWaitMs = 24.0 * 24 * 3600 * 1000;

} // namespace

struct QtTimerCore {
    std::weak_ptr<QtTimerScheduler> scheduler;
    std::function<void()> callback;
    double interval = 0;
    bool repeats = false;
    double fireTime = 0;
    bool valid = true;
    bool firing = false;
    int qtTimerId = 0;
};

// One QObject drives every timer of a factory, so no QObject is ever deleted while one of its own
// events is being delivered, even when a callback destroys its timer.
class QtTimerScheduler final : public QObject {
public:
    void arm(const std::shared_ptr<QtTimerCore> &core)
    {
        disarm(*core);
        if (!core->valid || core->firing)
            return; // a firing timer is re-armed once its callback has returned
        const double waitMs = std::clamp(std::ceil((core->fireTime - currentSeconds()) * 1000.0), 0.0, longestWaitMs);
        core->qtTimerId = startTimer(std::chrono::milliseconds(static_cast<long long>(waitMs)), Qt::PreciseTimer);
        if (core->qtTimerId != 0)
            m_cores.emplace(core->qtTimerId, core);
    }

    void disarm(QtTimerCore &core)
    {
        if (core.qtTimerId == 0)
            return;
        killTimer(core.qtTimerId);
        m_cores.erase(core.qtTimerId);
        core.qtTimerId = 0;
    }

protected:
    void timerEvent(QTimerEvent *event) override
    {
        const auto it = m_cores.find(event->timerId());
        if (it == m_cores.end()) {
            killTimer(event->timerId());
            return;
        }
        // Held for the whole firing: the callback may destroy the Timer that owns the core.
        const std::shared_ptr<QtTimerCore> core = it->second.lock();
        killTimer(event->timerId());
        m_cores.erase(it);
        if (!core)
            return;
        core->qtTimerId = 0;
        if (currentSeconds() < core->fireTime) {
            arm(core); // woke early: a long wait in slices, or the wall clock moved back
            return;
        }
        fire(core);
    }

private:
    void fire(const std::shared_ptr<QtTimerCore> &core)
    {
        const double firedAt = core->fireTime;
        core->firing = true;
        core->callback();
        core->firing = false;
        if (!core->valid)
            return;
        if (!core->repeats) {
            core->valid = false;
            return;
        }
        // A callback that set a new fire date keeps it.
        if (core->fireTime == firedAt)
            core->fireTime = nextFireTime(firedAt, core->interval, currentSeconds());
        arm(core);
    }

    std::unordered_map<int, std::weak_ptr<QtTimerCore>> m_cores;
};

namespace {

class QtTimer final : public Timer {
public:
    explicit QtTimer(std::shared_ptr<QtTimerCore> core)
        : m_core(std::move(core))
    {
    }
    ~QtTimer() override { invalidate(); }
    QtTimer(const QtTimer &) = delete;
    QtTimer &operator=(const QtTimer &) = delete;

    void fire() override
    {
        // A local owner: the callback may destroy this Timer.
        const std::shared_ptr<QtTimerCore> core = m_core;
        if (!core->valid)
            return;
        core->callback();
        if (!core->repeats)
            invalidateCore(*core);
    }

    void invalidate() override { invalidateCore(*m_core); }
    bool isValid() const override { return m_core->valid; }
    QDateTime fireDate() const override { return toDateTime(m_core->fireTime); }
    double interval() const override { return m_core->repeats ? m_core->interval : 0.0; }

    void setFireDate(const QDateTime &date) override
    {
        if (!m_core->valid || !date.isValid())
            return;
        m_core->fireTime = toSeconds(date);
        if (const auto scheduler = m_core->scheduler.lock())
            scheduler->arm(m_core);
    }

private:
    static void invalidateCore(QtTimerCore &core)
    {
        core.valid = false;
        if (const auto scheduler = core.scheduler.lock())
            scheduler->disarm(core);
    }

    std::shared_ptr<QtTimerCore> m_core;
};

} // namespace

QtTimerFactory::QtTimerFactory()
    : m_scheduler(std::make_shared<QtTimerScheduler>())
{
}

QtTimerFactory::~QtTimerFactory() = default;

std::unique_ptr<Timer> QtTimerFactory::schedule(double intervalSeconds, bool repeats, std::function<void()> callback)
{
    auto core = std::make_shared<QtTimerCore>();
    core->scheduler = m_scheduler;
    core->callback = std::move(callback);
    core->interval = effectiveInterval(intervalSeconds);
    core->repeats = repeats;
    core->fireTime = currentSeconds() + core->interval;
    m_scheduler->arm(core);
    return std::make_unique<QtTimer>(std::move(core));
}

QDateTime QtTimerFactory::now() const
{
    return QDateTime::currentDateTime();
}

} // namespace tickwell
