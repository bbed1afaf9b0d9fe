#include "support/ManualTimerFactory.h"

#include "platform/TimerSchedule.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

namespace tickwell {

using namespace timer_schedule;

namespace {

struct ManualTimerCore {
    std::function<void()> callback;
    double interval = 0;
    bool repeats = false;
    double fireTime = 0;
    std::uint64_t sequence = 0;
    bool valid = true;
    bool firing = false;
};

class ManualTimer final : public Timer {
public:
    explicit ManualTimer(std::shared_ptr<ManualTimerCore> core) : m_core(std::move(core)) {}
    ~ManualTimer() override { invalidate(); }
    ManualTimer(const ManualTimer &) = delete;
    ManualTimer &operator=(const ManualTimer &) = delete;

    void fire() override
    {
        const std::shared_ptr<ManualTimerCore> core = m_core; // the callback may destroy this Timer
        if (!core->valid)
            return;
        core->callback();
        if (!core->repeats)
            core->valid = false;
    }

    void invalidate() override { m_core->valid = false; }
    bool isValid() const override { return m_core->valid; }
    QDateTime fireDate() const override { return toDateTime(m_core->fireTime); }
    double interval() const override { return m_core->repeats ? m_core->interval : 0.0; }

    void setFireDate(const QDateTime &date) override
    {
        if (m_core->valid && date.isValid())
            m_core->fireTime = toSeconds(date);
    }

private:
    std::shared_ptr<ManualTimerCore> m_core;
};

} // namespace

struct ManualTimerFactory::State {
    double now = 0;
    std::uint64_t nextSequence = 0;
    std::vector<std::weak_ptr<ManualTimerCore>> timers;

    // The valid timers in firing order; the others are forgotten.
    std::vector<std::shared_ptr<ManualTimerCore>> valid()
    {
        std::vector<std::shared_ptr<ManualTimerCore>> cores;
        for (const auto &weak : timers)
            if (auto core = weak.lock(); core && core->valid)
                cores.push_back(std::move(core));
        timers.assign(cores.begin(), cores.end());
        std::ranges::sort(cores, {}, [](const auto &core) { return std::tie(core->fireTime, core->sequence); });
        return cores;
    }
};

ManualTimerFactory::ManualTimerFactory(const QDateTime &start)
    : m_state(std::make_shared<State>())
{
    m_state->now = toSeconds(start);
}

ManualTimerFactory::~ManualTimerFactory() = default;

std::unique_ptr<Timer> ManualTimerFactory::schedule(double intervalSeconds, bool repeats, std::function<void()> callback)
{
    const double interval = effectiveInterval(intervalSeconds);
    auto core = std::make_shared<ManualTimerCore>(ManualTimerCore{std::move(callback), interval, repeats, m_state->now + interval, m_state->nextSequence++});
    m_state->timers.push_back(core);
    return std::make_unique<ManualTimer>(std::move(core));
}

QDateTime ManualTimerFactory::now() const
{
    return toDateTime(m_state->now);
}

void ManualTimerFactory::setNow(const QDateTime &moment)
{
    if (moment.isValid())
        m_state->now = toSeconds(moment);
}

void ManualTimerFactory::advance(double seconds)
{
    const std::shared_ptr<State> state = m_state; // a callback may destroy the factory's owner
    const double deadline = state->now + std::max(0.0, seconds);
    for (;;) {
        const auto timers = state->valid();
        const auto next = std::ranges::find_if(timers, [](const auto &core) { return !core->firing; });
        if (next == timers.end() || (*next)->fireTime > deadline)
            break;
        ManualTimerCore &core = **next;
        const double firedAt = core.fireTime;
        state->now = std::max(state->now, firedAt);
        core.firing = true;
        core.callback();
        core.firing = false;
        if (!core.valid)
            continue;
        if (!core.repeats)
            core.valid = false;
        else if (core.fireTime == firedAt) // a callback that set a new fire date keeps it
            core.fireTime = nextFireTime(firedAt, core.interval, state->now);
    }
    state->now = std::max(state->now, deadline);
}

std::vector<ManualTimerFactory::PendingTimer> ManualTimerFactory::pendingTimers() const
{
    std::vector<PendingTimer> pending;
    for (const auto &core : m_state->valid())
        pending.push_back({toDateTime(core->fireTime), core->interval, core->repeats});
    return pending;
}

} // namespace tickwell
