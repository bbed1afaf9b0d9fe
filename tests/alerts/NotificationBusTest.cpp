// Alerts through a desktop notification service on a private session bus.
#include "AlertFixture.h"
#include "FakeNotificationServer.h"
#include "gui/SniTestBus.h"

#include "platform/session/DBusDesktopNotifications.h"

namespace tickwell::testing {
namespace {

class NotificationBus : public AlertFixture {
protected:
    void SetUp() override
    {
        AlertFixture::SetUp();
        if (!bus.isRunning())
            GTEST_SKIP() << "dbus-daemon is not available";
        setSymbols({"ACME"});
        setAlerts("ACME", {{"Above", "150"}});
        quote("ACME", "151.00");
    }

    PrivateSessionBus bus;
};

TEST_F(NotificationBus, TheNotificationCarriesTheAlertAndItsActionOpensTheQuotePage)
{
    FakeNotificationServer server(bus.connect(QStringLiteral("server")));
    ASSERT_TRUE(server.isRegistered());
    DBusDesktopNotifications client(bus.connect(QStringLiteral("client")));
    controller().setDesktopNotifications(&client);
    launch();
    ASSERT_TRUE(WaitUntil([&] { return server.calls.size() == 1 && client.pendingCalls() == 0; }));

    const auto &call = server.calls.front();
    statusItem.open();
    ASSERT_NE(quoteLine("ACME"), nullptr);
    EXPECT_EQ(call.appName, QStringLiteral("Tickwell"));
    EXPECT_EQ(call.summary, QStringLiteral("ACME above 150.00"));
    EXPECT_EQ(call.body, quoteLine("ACME")->title);
    EXPECT_EQ(call.appIcon, QStringLiteral("com.brantlow.Tickwell"));
    EXPECT_EQ(call.desktopEntry, QStringLiteral("com.brantlow.Tickwell"));
    EXPECT_EQ(call.imageSize, QImage(QStringLiteral(":/images/Tickwell.tif")).size());
    EXPECT_EQ(call.imageChannels, 4);
    EXPECT_EQ(call.actions, (QStringList{"default", "Open Quote Page"}));
    EXPECT_EQ(call.expireTimeout, -1);
    EXPECT_TRUE(desktop.systemLogLines().isEmpty()) << "delivered: no fallback";

    // Other actions, and notifications that are not ours, open nothing.
    server.invokeAction(101, QStringLiteral("other"));
    server.invokeAction(7, QStringLiteral("default"));
    server.invokeAction(101, QStringLiteral("default"));
    ASSERT_TRUE(WaitUntil([&] { return !desktop.lines().isEmpty(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(desktop.lines(), QStringList{"open: http://quotes.test/q?s=ACME"});
}

TEST_F(NotificationBus, WithoutAServiceTheAlertFallsBack)
{
    DBusDesktopNotifications client(bus.connect(QStringLiteral("client")));
    controller().setDesktopNotifications(&client);
    launch();
    ASSERT_TRUE(WaitUntil([&] { return client.pendingCalls() == 0; }));
    const QString line = QStringLiteral("Alert: ACME above 150.00: ACME Inc.  [ACME] : 151.00");
    EXPECT_EQ(desktop.systemLogLines(), QStringList{line});
    EXPECT_EQ(statusItem.toolTipNote(), line);
    EXPECT_TRUE(logBytes("Tickwell_ACME.log").contains(("] " + line + "\r").toUtf8())) << logBytes("Tickwell_ACME.log").toStdString();
}

} // namespace
} // namespace tickwell::testing
