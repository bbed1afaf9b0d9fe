// The real programs: tickwell-feed with a scripted price, tickwell-menu refreshing three times,
// and a notification service on a private session bus.
#include "FakeNotificationServer.h"
#include "support/ToolHome.h"
#include "gui/SniTestBus.h"

#include <gtest/gtest.h>

namespace tickwell::testing {
namespace {

TEST(AlertEndToEnd, APriceMovingPastTheThresholdNotifiesExactlyOnce)
{
    PrivateSessionBus bus;
    if (!bus.isRunning())
        GTEST_SKIP() << "dbus-daemon is not available";
    FakeNotificationServer server(bus.connect(QStringLiteral("server")));
    ASSERT_TRUE(server.isRegistered());
    // Launch sees 149, then each "Update Now" the next price: across at 151, then hovering.
    FeedProcess feed({QStringLiteral("--seed"), QStringLiteral("3"), QStringLiteral("--price-path"), QStringLiteral("ACME=149,151,151.5,150.2")});
    ASSERT_FALSE(feed.host().isEmpty()) << "tickwell-feed did not start";

    ToolHome home;
    PlistSettingsStore settings = home.settings();
    pointHostsAt(settings, feed.host());
    settings.setValue(QStringLiteral("IncludeHeadlinesInSubmenu"), false);
    settings.setValue(QStringLiteral("StockSymbols"), QVariantList{QStringLiteral("ACME")});
    settings.setValue(QStringLiteral("PriceAlerts"), QVariantMap{{QStringLiteral("ACME"), QVariantMap{{QStringLiteral("Above"), QStringLiteral("150")}}}});

    QProcess menu;
    QProcessEnvironment environment = home.environment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    menu.setProcessEnvironment(environment);
    menu.start(ToolDir() + QStringLiteral("/tickwell-menu"),
               {QStringLiteral("--select"), QStringLiteral("Update Now"), QStringLiteral("--select"), QStringLiteral("Update Now"),
                QStringLiteral("--select"), QStringLiteral("Update Now")});
    // The service lives in this process: keep its event loop turning while the tool runs.
    ASSERT_TRUE(WaitUntil([&] { return menu.state() == QProcess::NotRunning; }, 60000)) << "tickwell-menu did not finish";
    QCoreApplication::processEvents();
    ASSERT_EQ(menu.exitCode(), 0) << menu.readAllStandardError().toStdString();

    ASSERT_EQ(server.calls.size(), 1u);
    EXPECT_EQ(server.calls.front().summary, QStringLiteral("ACME above 150.00"));
    EXPECT_TRUE(server.calls.front().body.contains(QStringLiteral("[ACME] : 151.00"))) << server.calls.front().body.toStdString();
    const QString out = QString::fromUtf8(menu.readAllStandardOutput());
    EXPECT_EQ(out.count(QStringLiteral("notify: ")), 1) << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("log: Alert"))) << "delivered: no fallback";
}

} // namespace
} // namespace tickwell::testing
