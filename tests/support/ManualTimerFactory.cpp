#include "support/ManualTimerFactory.h"

#include "platform/TimerSchedule.h"

#include <algorithm>
#include <cstdint>

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

bool firesBefore(const ManualTimerCore &a, const ManualTimerCore &b)
{
    return a.fireTime != b.fireTime ? a.fireTime < b.fireTime : a.sequence < b.sequence;
}

} // namespace

struct ManualTimerFactory::State {
    double now = 0;
    std::uint64_t nextSequence = 0;
    std::vector<std::weak_ptr<ManualTimerCore>> timers;

    void prune()
    {
        std::erase_if(timers, [](const auto &weak) {
            const auto core = weak.lock();
            return !core || !core->valid;
        });
    }

    // The timer that falls due first at or before the deadline, not counting one that is firing.
    std::shared_ptr<ManualTimerCore> nextDue(double deadline) const
    {
        std::shared_ptr<ManualTimerCore> best;
        for (const auto &weak : timers) {
            auto core = weak.lock();
            if (!core || !core->valid || core->firing || core->fireTime > deadline)
                continue;
            if (!best || firesBefore(*core, *best))
                best = std::move(core);
        }
        return best;
    }
};

namespace {

class ManualTimer final : public Timer {
public:
    explicit ManualTimer(std::shared_ptr<ManualTimerCore> core)
        : m_core(std::move(core))
    {
    }
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

ManualTimerFactory::ManualTimerFactory(const QDateTime &start)
    : m_state(std::make_shared<State>())
{
    m_state->now = toSeconds(start);
}

ManualTimerFactory::~ManualTimerFactory() = default;

std::unique_ptr<Timer> ManualTimerFactory::schedule(double intervalSeconds, bool repeats, std::function<void()> callback)
{
    auto core = std::make_shared<ManualTimerCore>();
    core->callback = std::move(callback);
    core->interval = effectiveInterval(intervalSeconds);
    core->repeats = repeats;
    core->fireTime = m_state->now + core->interval;
    core->sequence = m_state->nextSequence++;
    m_state->prune();
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
    while (const auto core = state->nextDue(deadline)) {
        const double firedAt = core->fireTime;
        state->now = std::max(state->now, firedAt);
        core->firing = true;
        core->callback();
        core->firing = false;
        if (!core->valid)
            continue;
        if (!core->repeats)
            core->valid = false;
        else if (core->fireTime == firedAt) // a callback that set a new fire date keeps it
            core->fireTime = nextFireTime(firedAt, core->interval, state->now);
    }
    state->now = std::max(state->now, deadline);
    state->prune();
}

std::vector<ManualTimerFactory::PendingTimer> ManualTimerFactory::pendingTimers() const
{
    std::vector<std::shared_ptr<ManualTimerCore>> live;
    for (const auto &weak : m_state->timers) {
        if (auto core = weak.lock(); core && core->valid)
            live.push_back(std::move(core));
    }
    std::sort(live.begin(), live.end(), [](const auto &a, const auto &b) { return firesBefore(*a, *b); });
    std::vector<PendingTimer> pending;
    pending.reserve(live.size());
    for (const auto &core : live)
        pending.push_back({toDateTime(core->fireTime), core->interval, core->repeats});
    return pending;
}

} // namespace tickwell
