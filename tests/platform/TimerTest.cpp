#include "platform/QtTimerFactory.h"

#include "PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QEventLoop>

#include <memory>

namespace tickwell::testing {
namespace {

// A whole positive number of intervals, give or take the millisecond of rounding.
bool OnGrid(qint64 ms, qint64 interval)
{
    const qint64 rest = ms % interval;
    return ms >= interval - 1 && (rest <= 1 || rest >= interval - 1);
}

TEST(QtTimers, FiringAtCreationKeepsTheSchedule)
{
    QtTimerFactory timers;
    int count = 0;
    auto timer = timers.schedule(0.08, true, [&] { ++count; });
    const QDateTime scheduled = timer->fireDate();
    timer->fire();
    EXPECT_EQ(count, 1);
    EXPECT_EQ(timer->fireDate(), scheduled);
    ASSERT_TRUE(WaitUntil([&] { return count == 2; }));
    EXPECT_TRUE(OnGrid(scheduled.msecsTo(timer->fireDate()), 80));

    // A main thread busy past several fire dates, as during a refresh: one late fire, same grid.
    QThread::msleep(250);
    ASSERT_TRUE(WaitUntil([&] { return count >= 3; }));
    EXPECT_EQ(count, 3);
    EXPECT_TRUE(OnGrid(scheduled.msecsTo(timer->fireDate()), 80));
    EXPECT_GT(timer->fireDate(), timers.now());
}

TEST(QtTimers, CallbacksMayEndOrReplaceTheirOwnTimer)
{
    QtTimerFactory timers;
    int invalidating = 0, replaced = 0, replacements = 0, destroying = 0;
    std::unique_ptr<Timer> selfInvalidating, replacing, selfDestroying;
    selfInvalidating = timers.schedule(0.005, true, [&] {
        ++invalidating;
        selfInvalidating->invalidate();
    });
    // Like a delayed setup that drops and recreates every timer, its own included.
    replacing = timers.schedule(0.005, true, [&] {
        ++replaced;
        replacing = timers.schedule(0.005, false, [&] { ++replacements; });
    });
    selfDestroying = timers.schedule(0.005, true, [&] {
        ++destroying;
        selfDestroying.reset();
    });
    ASSERT_TRUE(WaitUntil([&] { return replacements == 1; }));
    SpinEventLoop(40);
    EXPECT_EQ(invalidating + replaced + replacements + destroying, 4);
}

TEST(QtTimers, TimersFireInsideANestedEventLoopButNeverInsideThemselves)
{
    QtTimerFactory timers;
    int outer = 0, inner = 0, innerDuringOuter = 0;
    std::unique_ptr<Timer> innerTimer;
    // The outer callback waits in a nested loop, as saving a headline does while a page loads.
    auto outerTimer = timers.schedule(0.005, true, [&] {
        ++outer;
        QEventLoop loop;
        innerTimer = timers.schedule(0.01, true, [&] {
            if (++inner == 3)
                loop.quit();
        });
        loop.exec();
        innerDuringOuter = inner;
        innerTimer.reset();
    });
    ASSERT_TRUE(WaitUntil([&] { return innerDuringOuter == 3; }));
    EXPECT_EQ(outer, 1); // the 5 ms timer did not re-enter while its own callback waited
    outerTimer->invalidate();
}

} // namespace
} // namespace tickwell::testing
