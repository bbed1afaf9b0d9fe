#include "platform/DBusNotificationCenter.h"

#include "PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QTemporaryDir>

namespace tickwell::testing {
namespace {

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

TEST_F(PrivateBusTest, OtherConnectionsReceiveAPostAndThePosterOnlyOnce)
{
    DBusNotificationCenter poster(m_bus.connect(QStringLiteral("tickwell-poster")));
    DBusNotificationCenter listener(m_bus.connect(QStringLiteral("tickwell-listener")));
    ASSERT_TRUE(poster.isOnBus() && listener.isOnBus());
    int posterCalls = 0;
    int listenerCalls = 0;
    poster.observePreferencesChanged([&] { ++posterCalls; });
    listener.observePreferencesChanged([&] { ++listenerCalls; });

    poster.postPreferencesChanged();
    EXPECT_EQ(posterCalls, 1) << "in-process delivery is immediate";
    // A signal about another object is not ours.
    QDBusMessage other = QDBusMessage::createSignal(kNotificationDBusPath, kNotificationDBusInterface, kPreferencesChangedSignal);
    other << QStringLiteral("com.example.other");
    ASSERT_TRUE(m_bus.connect(QStringLiteral("tickwell-other")).send(other));
    EXPECT_TRUE(WaitUntil([&] { return listenerCalls == 1; }));
    SpinEventLoop(200);
    EXPECT_EQ(posterCalls, 1) << "our own signal must not be delivered a second time";
    EXPECT_EQ(listenerCalls, 1);
}

TEST_F(PrivateBusTest, TheDefaultsToolReachesARunningApplication)
{
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

} // namespace
} // namespace tickwell::testing
