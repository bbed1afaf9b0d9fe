#include "platform/DBusNotificationCenter.h"
#include "platform/LogindWakeMonitor.h"

#include "PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QFileInfo>
#include <QTemporaryDir>

namespace tickwell::testing {
namespace {

QDBusMessage PreferencesChangedSignal(const QString &object)
{
    QDBusMessage signal = QDBusMessage::createSignal(kNotificationDBusPath, kNotificationDBusInterface,
        kPreferencesChangedSignal);
    signal << object;
    return signal;
}

TEST(DBusNotificationCenter, WithoutABusDeliversInProcessOnly)
{
    DBusNotificationCenter center(QDBusConnection(QStringLiteral("tickwell-no-bus")));
    EXPECT_FALSE(center.isOnBus());
    int calls = 0;
    center.observePreferencesChanged([&] { ++calls; });
    center.postPreferencesChanged();
    EXPECT_EQ(calls, 1);
}

class PrivateBusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!m_bus.isRunning())
            GTEST_SKIP() << "dbus-daemon is not available";
    }

    PrivateSessionBus m_bus;
};

TEST_F(PrivateBusTest, OtherProcessesReceiveAPostAndThePosterOnlyOnce)
{
    DBusNotificationCenter poster(m_bus.connect(QStringLiteral("tickwell-poster")));
    DBusNotificationCenter listener(m_bus.connect(QStringLiteral("tickwell-listener")));
    ASSERT_TRUE(poster.isOnBus());
    ASSERT_TRUE(listener.isOnBus());
    int posterCalls = 0;
    int listenerCalls = 0;
    poster.observePreferencesChanged([&] { ++posterCalls; });
    listener.observePreferencesChanged([&] { ++listenerCalls; });

    poster.postPreferencesChanged();
    EXPECT_EQ(posterCalls, 1) << "in-process delivery is immediate";
    EXPECT_TRUE(WaitUntil([&] { return listenerCalls == 1; }));
    SpinEventLoop(200);
    EXPECT_EQ(posterCalls, 1) << "our own signal must not be delivered a second time";
    EXPECT_EQ(listenerCalls, 1);

    listener.postPreferencesChanged();
    EXPECT_TRUE(WaitUntil([&] { return posterCalls == 2; }));
    EXPECT_EQ(listenerCalls, 2);
}

TEST_F(PrivateBusTest, SignalsAboutAnotherObjectAreIgnored)
{
    QDBusConnection other = m_bus.connect(QStringLiteral("tickwell-other"));
    DBusNotificationCenter listener(m_bus.connect(QStringLiteral("tickwell-listener")));
    int calls = 0;
    listener.observePreferencesChanged([&] { ++calls; });
    ASSERT_TRUE(other.send(PreferencesChangedSignal(QStringLiteral("com.example.other"))));
    ASSERT_TRUE(other.send(PreferencesChangedSignal(kPreferencesChangedObject)));
    EXPECT_TRUE(WaitUntil([&] { return calls == 1; }));
    SpinEventLoop(100);
    EXPECT_EQ(calls, 1);
}

TEST_F(PrivateBusTest, TheDefaultsToolReachesARunningApplication)
{
    ASSERT_TRUE(QFileInfo::exists(ToolPath(QStringLiteral("tickwell-defaults")))) << "build tickwell-defaults first";
    DBusNotificationCenter application(m_bus.connect(QStringLiteral("tickwell-application")));
    int calls = 0;
    application.observePreferencesChanged([&] { ++calls; });
    QTemporaryDir configHome;
    const ToolResult result = RunDefaults({ QStringLiteral("write"), QStringLiteral("TitleTicker"), QStringLiteral("-bool"),
                                              QStringLiteral("yes") },
        configHome.path(), m_bus.address());
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(WaitUntil([&] { return calls == 1; }));

    // A read changes nothing and tells nobody.
    ASSERT_EQ(RunDefaults({ QStringLiteral("read") }, configHome.path(), m_bus.address()).exitCode, 0);
    SpinEventLoop(200);
    EXPECT_EQ(calls, 1);
}

TEST_F(PrivateBusTest, WakeMonitorCallsBackOnlyWhenLogindReportsTheWake)
{
    QDBusConnection logind = m_bus.connect(QStringLiteral("tickwell-fake-logind"));
    ASSERT_TRUE(logind.registerService(kLogindService));
    QDBusConnection impostor = m_bus.connect(QStringLiteral("tickwell-impostor"));

    LogindWakeMonitor monitor(m_bus.connect(QStringLiteral("tickwell-wake")));
    int wakes = 0;
    ASSERT_TRUE(monitor.start([&] { ++wakes; }));
    auto prepareForSleep = [](bool goingToSleep) {
        QDBusMessage signal = QDBusMessage::createSignal(kLogindPath, kLogindManagerInterface, QStringLiteral("PrepareForSleep"));
        signal << goingToSleep;
        return signal;
    };
    ASSERT_TRUE(logind.send(prepareForSleep(true)));
    ASSERT_TRUE(impostor.send(prepareForSleep(false)));
    SpinEventLoop(200);
    EXPECT_EQ(wakes, 0);

    ASSERT_TRUE(logind.send(prepareForSleep(false)));
    EXPECT_TRUE(WaitUntil([&] { return wakes == 1; }));

    // A second start replaces the callback instead of adding a second subscription.
    int laterWakes = 0;
    ASSERT_TRUE(monitor.start([&] { ++laterWakes; }));
    ASSERT_TRUE(logind.send(prepareForSleep(false)));
    EXPECT_TRUE(WaitUntil([&] { return laterWakes == 1; }));
    SpinEventLoop(100);
    EXPECT_EQ(laterWakes, 1);
    EXPECT_EQ(wakes, 1);
}

TEST(LogindWakeMonitor, WithoutASystemBusItDoesNotStart)
{
    LogindWakeMonitor monitor(QDBusConnection(QStringLiteral("tickwell-no-system-bus")));
    EXPECT_FALSE(monitor.start([] {}));
}

} // namespace
} // namespace tickwell::testing
