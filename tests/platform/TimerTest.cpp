#include "platform/session/QtTimerFactory.h"

#include "PlatformTestSupport.h"

#include <QDateTime>
#include <QEventLoop>

#include <memory>

namespace tickwell::testing {
namespace {

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
    // A main thread busy past several fire dates, as during a refresh: one late fire, same grid.
    QThread::msleep(250);
    ASSERT_TRUE(WaitUntil([&] { return count >= 3; }));
    EXPECT_EQ(count, 3);
    EXPECT_GT(timer->fireDate(), timers.now());
}

TEST(QtTimers, CallbacksMayDestroyOrReplaceTheirOwnTimer)
{
    QtTimerFactory timers;
    int replaced = 0, replacements = 0, destroying = 0;
    std::unique_ptr<Timer> replacing, selfDestroying;
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
    WaitUntil([] { return false; }, 40);
    EXPECT_EQ(replaced + replacements + destroying, 3);
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
    EXPECT_EQ(outer, 1);
    outerTimer->invalidate();
}

} // namespace
} // namespace tickwell::testing
