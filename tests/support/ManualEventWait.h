#pragma once

#include "archive/EventWait.h"
#include "support/ManualTimerFactory.h"

#include <algorithm>

namespace tickwell::testing {

// Waits by moving a manual clock in slices of a tenth of a second, firing the timers that fall
// due on the way, as the nested event loop would.
class ManualEventWait final : public EventWait {
public:
    explicit ManualEventWait(ManualTimerFactory &timers) : m_timers(timers) {}

    bool runUntil(const std::function<bool()> &done, double seconds) override
    {
        m_deepest = std::max(m_deepest, ++m_depth);
        if (!(seconds > 0) && !done())
            m_timers.advance(0);
        for (double left = seconds; left > 1e-9 && !done(); left -= 0.1)
            m_timers.advance(std::min(0.1, left));
        --m_depth;
        return done();
    }
    void wake() override {}
    bool isQuitting() const override { return false; }
    int deepestNesting() const { return m_deepest; }

private:
    ManualTimerFactory &m_timers;
    int m_depth = 0;
    int m_deepest = 0;
};

} // namespace tickwell::testing
