#include "platform/ManualTimerFactory.h"
#include "platform/QtTimerFactory.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>

#include <memory>
#include <string>
#include <vector>

using tickwell::ManualTimerFactory;
using tickwell::QtTimerFactory;
using tickwell::Timer;

namespace {

// A whole positive number of intervals, give or take the millisecond of rounding.
bool onGrid(qint64 ms, qint64 interval)
{
    const qint64 rest = ms % interval;
    return ms >= interval - 1 && (rest <= 1 || rest >= interval - 1);
}

// Qt timers need an application object; reuse one if the program already made it.
class QtTimers : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (QCoreApplication::instance())
            return;
        static int argc = 1;
        static char name[] = "platform_tests";
        static char *argv[] = {name, nullptr};
        s_app = std::make_unique<QCoreApplication>(argc, argv);
    }
    static void TearDownTestSuite() { s_app.reset(); }

    // Turns the event loop until the condition holds, at most for the limit.
    template<typename Condition>
    static bool spinUntil(Condition condition, int limitMs = 3000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!condition() && clock.elapsed() < limitMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return condition();
    }

    static void spinFor(int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    QtTimerFactory timers;

private:
    static inline std::unique_ptr<QCoreApplication> s_app;
};

} // namespace

TEST_F(QtTimers, FiringAtCreationKeepsTheSchedule)
{
    int count = 0;
    const auto before = timers.now();
    auto timer = timers.schedule(0.08, true, [&] { ++count; });
    const QDateTime scheduled = timer->fireDate();
    EXPECT_NEAR(before.msecsTo(scheduled), 80, 20);

    timer->fire();
    EXPECT_EQ(count, 1);
    EXPECT_EQ(timer->fireDate(), scheduled);
    EXPECT_TRUE(timer->isValid());

    ASSERT_TRUE(spinUntil([&] { return count == 2; }));
    // The previous fire date plus the interval (more intervals only if this machine lagged).
    EXPECT_TRUE(onGrid(scheduled.msecsTo(timer->fireDate()), 80));
    EXPECT_DOUBLE_EQ(timer->interval(), 0.08);
}

TEST_F(QtTimers, ALateTimerFiresOnceAndSkipsMissedDates)
{
    int count = 0;
    auto timer = timers.schedule(0.03, true, [&] { ++count; });
    const QDateTime first = timer->fireDate();
    QThread::msleep(110); // the main thread is busy, as during a refresh
    ASSERT_TRUE(spinUntil([&] { return count == 1; }));
    EXPECT_EQ(count, 1);
    const qint64 step = first.msecsTo(timer->fireDate());
    EXPECT_GE(step, 90); // several intervals on, on the original grid
    EXPECT_TRUE(onGrid(step, 30)) << step;
    EXPECT_GT(timer->fireDate(), timers.now());
}

TEST_F(QtTimers, OneShotTimersEndAfterFiring)
{
    int scheduled = 0;
    auto timer = timers.schedule(0.01, false, [&] { ++scheduled; });
    ASSERT_TRUE(spinUntil([&] { return scheduled == 1; }));
    EXPECT_FALSE(timer->isValid());
    EXPECT_EQ(timer->interval(), 0.0);

    int byHand = 0;
    auto other = timers.schedule(0.01, false, [&] { ++byHand; });
    other->fire();
    EXPECT_FALSE(other->isValid());
    spinFor(50);
    EXPECT_EQ(byHand, 1);
}

TEST_F(QtTimers, SetFireDateReschedules)
{
    int count = 0;
    auto timer = timers.schedule(3600, false, [&] { ++count; });
    timer->setFireDate(timers.now().addMSecs(30));
    ASSERT_TRUE(spinUntil([&] { return count == 1; }));

    int repeats = 0;
    auto repeating = timers.schedule(0.01, true, [&] { ++repeats; });
    repeating->setFireDate(timers.now().addSecs(3600));
    spinFor(60);
    EXPECT_EQ(repeats, 0);
}

TEST_F(QtTimers, InvalidatingOrDestroyingStopsATimer)
{
    int count = 0;
    auto timer = timers.schedule(0.01, true, [&] { ++count; });
    timer->invalidate();
    timer->fire(); // does nothing once invalid
    auto destroyed = timers.schedule(0.01, true, [&] { ++count; });
    destroyed.reset();
    spinFor(60);
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(timer->isValid());
}

TEST_F(QtTimers, CallbacksMayEndOrReplaceTheirOwnTimer)
{
    int invalidating = 0;
    std::unique_ptr<Timer> selfInvalidating;
    selfInvalidating = timers.schedule(0.005, true, [&] {
        ++invalidating;
        selfInvalidating->invalidate();
    });

    // Like a delayed setup that drops and recreates every timer, its own included.
    int replaced = 0;
    int replacements = 0;
    std::unique_ptr<Timer> replacing;
    replacing = timers.schedule(0.005, true, [&] {
        ++replaced;
        replacing = timers.schedule(0.005, false, [&] { ++replacements; });
    });

    int destroying = 0;
    std::unique_ptr<Timer> selfDestroying;
    selfDestroying = timers.schedule(0.005, true, [&] {
        ++destroying;
        selfDestroying.reset();
    });

    ASSERT_TRUE(spinUntil([&] { return replacements == 1; }));
    spinFor(40);
    EXPECT_EQ(invalidating, 1);
    EXPECT_EQ(replaced, 1);
    EXPECT_EQ(replacements, 1);
    EXPECT_EQ(destroying, 1);
    EXPECT_EQ(selfDestroying, nullptr);
}

TEST_F(QtTimers, TimersFireInsideANestedEventLoopButNeverInsideThemselves)
{
    int outer = 0;
    int inner = 0;
    int innerDuringOuter = 0;
    std::unique_ptr<Timer> innerTimer;
    // The outer callback waits in a nested loop, as saving a headline does while a page loads.
    auto outerTimer = timers.schedule(0.005, true, [&] {
        ++outer;
        QEventLoop loop;
        innerTimer = timers.schedule(0.01, true, [&] {
            ++inner;
            if (inner == 3)
                loop.quit();
        });
        loop.exec();
        innerDuringOuter = inner;
        innerTimer.reset();
    });
    ASSERT_TRUE(spinUntil([&] { return innerDuringOuter == 3; }));
    EXPECT_EQ(outer, 1); // the 5 ms timer did not re-enter while its own callback waited
    outerTimer->invalidate();
}

TEST(ManualTimers, AdvanceFiresDueTimersInFireDateOrder)
{
    const QDateTime start(QDate(2026, 3, 2), QTime(9, 0), Qt::UTC);
    ManualTimerFactory timers(start);
    std::vector<std::string> fired;
    const auto record = [&](const char *name) {
        return [&fired, &timers, name, start] { fired.push_back(name + std::to_string(start.secsTo(timers.now()))); };
    };
    auto a = timers.schedule(10, true, record("a"));
    auto b = timers.schedule(25, false, record("b"));
    auto c = timers.schedule(15, true, record("c"));

    timers.advance(9.5);
    EXPECT_TRUE(fired.empty());
    timers.advance(20.5);
    EXPECT_EQ(fired, (std::vector<std::string>{"a10", "c15", "a20", "b25", "a30", "c30"}));
    EXPECT_EQ(timers.now(), start.addSecs(30));
    EXPECT_FALSE(b->isValid());

    const auto pending = timers.pendingTimers();
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_EQ(pending[0].fireDate, start.addSecs(40));
    EXPECT_EQ(pending[0].interval, 10);
    EXPECT_EQ(pending[1].fireDate, start.addSecs(45));
    EXPECT_EQ(pending[1].interval, 15);
}

TEST(ManualTimers, FireAndClockJumpsFollowTheRunLoopRules)
{
    const QDateTime start(QDate(2026, 3, 2), QTime(9, 0), Qt::UTC);
    ManualTimerFactory timers(start);
    int count = 0;
    auto timer = timers.schedule(600, true, [&] { ++count; });

    timer->fire(); // at creation, as setup does
    EXPECT_EQ(count, 1);
    EXPECT_EQ(timer->fireDate(), start.addSecs(600));

    timers.setNow(start.addSecs(2000)); // asleep for three intervals
    EXPECT_EQ(count, 1);
    timers.advance(0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(timer->fireDate(), start.addSecs(2400));

    auto zero = timers.schedule(0, false, [&] { ++count; });
    EXPECT_GE(zero->fireDate(), timers.now());
    timers.advance(0.001);
    EXPECT_EQ(count, 3);
}

TEST(ManualTimers, CallbacksMayChangeTimersWhileAdvancing)
{
    const QDateTime start(QDate(2026, 3, 2), QTime(9, 0), Qt::UTC);
    ManualTimerFactory timers(start);
    std::vector<std::string> fired;
    std::unique_ptr<Timer> monitor = timers.schedule(10, true, [&] { fired.push_back("monitor"); });
    std::unique_ptr<Timer> created;
    std::unique_ptr<Timer> setupTimer;
    setupTimer = timers.schedule(5, false, [&] {
        fired.push_back("setup");
        monitor.reset(); // dropped before it fell due
        created = timers.schedule(3, true, [&] { fired.push_back("created"); });
        setupTimer.reset(); // the one-shot that runs this callback
    });
    timers.advance(12);
    EXPECT_EQ(fired, (std::vector<std::string>{"setup", "created", "created"}));
    EXPECT_EQ(timers.pendingTimers().size(), 1u);

    // A callback turning the clock itself (a nested run loop) does not re-enter its own timer.
    int outer = 0;
    auto nesting = timers.schedule(1, true, [&] {
        ++outer;
        timers.advance(5);
    });
    created.reset();
    timers.advance(1);
    EXPECT_EQ(outer, 1);
    EXPECT_EQ(nesting->fireDate(), start.addSecs(12 + 1 + 5 + 1)); // next after the nested advance
}
