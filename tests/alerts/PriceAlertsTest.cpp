// Price alerts through the controller: refreshes and monitor passes as the timers and "Update
// Now" run them, the submenu as the tray shows it, the clear item as a click chooses it.
#include "AlertFixture.h"

namespace tickwell::testing {
namespace {

using PriceAlerts = AlertFixture;

TEST_F(PriceAlerts, TwoSymbolsAndAHiddenOneFireInOnePass)
{
    setSymbols({"ACME", "BETA", "GAMMA", "DELTA"});
    settings.setValue(QStringLiteral("ShowSettings"), QVariantMap{{"ACME", 1LL}, {"BETA", 1LL}, {"GAMMA", 0LL}, {"DELTA", 0LL}});
    setAlerts("ACME", {{"Above", "150"}});
    setAlerts("BETA", {{"Below", "50"}});
    setAlerts("GAMMA", {{"DayChangePercent", "5"}});
    for (const auto &[symbol, price] : {std::pair{"ACME", "149.00"}, {"BETA", "51.00"}, {"GAMMA", "101.00"}, {"DELTA", "7.00"}})
        quote(symbol, price);
    launch();
    EXPECT_TRUE(alerts.summaries.isEmpty());
    // The hidden symbol's quote page is fetched for its alert, its chart and logo are not; a hidden
    // symbol without alerts is not fetched at all.
    EXPECT_EQ(loader.requests().filter("GAMMA"), QStringList{"http://quotes.test/q?s=GAMMA"});
    EXPECT_TRUE(loader.requests().filter("DELTA").isEmpty());
    EXPECT_EQ(quoteLine("GAMMA"), nullptr);
    for (const auto &[symbol, price] : {std::pair{"ACME", "151.00"}, {"BETA", "49.99"}, {"GAMMA", "94.00"}})
        quote(symbol, price);
    EXPECT_EQ(refresh(), (QStringList{"ACME above 150.00", "BETA below 50.00", "GAMMA down 6.00% today"}));
    EXPECT_TRUE(refresh().isEmpty()) << "the same prices do not fire again";
    timers.advance(600); // a monitor pass over the same store
    EXPECT_EQ(alerts.summaries.size(), 3);
}

// A symbol listed twice is one symbol with one set of alerts: each crossing fires once.
TEST_F(PriceAlerts, ASymbolListedTwiceFiresOncePerCrossing)
{
    setSymbols({"ACME", "BETA", "ACME"});
    setAlerts("ACME", {{"Above", "150"}});
    quote("ACME", "149.00");
    quote("BETA", "10.00");
    launch();
    quote("ACME", "151.00");
    EXPECT_EQ(refresh(), QStringList{"ACME above 150.00"});
    timers.advance(600); // a monitor pass
    quote("ACME", "149.00");
    refresh();
    quote("ACME", "152.00");
    EXPECT_EQ(refresh(), QStringList{"ACME above 150.00"});
}

TEST_F(PriceAlerts, MissingOrUnreadableValuesNeverFire)
{
    const std::tuple<const char *, std::optional<QString>, QString, QVariant> cases[] = { // name, last trade, previous close, alerts
        {"no quote page at all", std::nullopt, "100.00", QVariantMap{{"Below", "1000"}, {"DayChangePercent", "1"}}},
        // Read the lax way this would be 1 and fire "below 100".
        {"thousands separator", "1,234.50", "1,200.00", QVariantMap{{"Below", "100"}, {"DayChangePercent", "1"}}},
        {"previous close 0", "5.00", "0.00", QVariantMap{{"DayChangePercent", "1"}}},
        {"previous close unreadable", "5.00", "-", QVariantMap{{"DayChangePercent", "1"}}},
        {"unreadable thresholds", "5.00", "1.00", QVariantMap{{"Above", ""}, {"Below", "1O"}, {"DayChangePercent", "5%"}}},
        {"symbol entry not a dictionary", "151.00", "100.00", QVariant("150")},
    };
    for (const auto &[name, lastTrade, previousClose, entries] : cases) {
        loader.clear();
        setSymbols({"ACME"});
        settings.setValue(QStringLiteral("PriceAlerts"), QVariantMap{{"ACME", entries}});
        if (lastTrade)
            quote("ACME", *lastTrade, previousClose);
        relaunch();
        controller().setDesktopNotifications(&alerts);
        refresh();
        timers.advance(600);
        EXPECT_TRUE(alerts.summaries.isEmpty()) << name;
    }
    settings.setValue(QStringLiteral("PriceAlerts"), QStringLiteral("ACME")); // not a dictionary at all
    refresh();
    statusItem.open();
    EXPECT_TRUE(alerts.summaries.isEmpty());
}

TEST_F(PriceAlerts, WhatHoldsAtLaunchFiresOnceAndAChangedThresholdStartsAfresh)
{
    setSymbols({"ACME"});
    setAlerts("ACME", {{"Above", " 150 "}, {"Comment", "kept"}});
    quote("ACME", "151.00");
    launch();
    EXPECT_EQ(alerts.summaries, QStringList{"ACME above 150.00"});
    // Settings saved elsewhere restart the timers (setup) but not the alerts.
    alerts.summaries.clear();
    notifications.postPreferencesChanged();
    timers.advance(600);
    EXPECT_TRUE(alerts.summaries.isEmpty());
    setAlerts("ACME", {{"Above", "150.5"}});
    timers.advance(600); // the monitor pass sees the new threshold
    EXPECT_EQ(alerts.summaries, QStringList{"ACME above 150.50"});
}

TEST_F(PriceAlerts, SubmenuListsTheAlertsAndItsItemClearsThem)
{
    setSymbols({"ACME"});
    setAlerts("ACME", {{"Above", "150"}, {"Below", "120,5"}, {"DayChangePercent", "60"}, {"Comment", "kept"}});
    quote("ACME", "151.00");
    launch();
    statusItem.open();
    ASSERT_NE(quoteLine("ACME"), nullptr);
    const Menu submenu = *quoteLine("ACME")->submenu;
    const auto clear = std::find_if(submenu.begin(), submenu.end(), [](const MenuItem &item) { return item.action == "selItemClearPriceAlerts:"; });
    ASSERT_NE(clear, submenu.end());
    ASSERT_GE(clear - submenu.begin(), 4);
    const QStringList group{(clear - 4)->separator ? "---" : "?", (clear - 3)->title, (clear - 2)->title, (clear - 1)->title, clear->title};
    EXPECT_EQ(group, (QStringList{"---", "Alert above 150 (last fired " + *MakeDateTimeString(timers.now(), 3, 3) + ")",
                                  "Alert below \"120,5\" (not a number: ignored)", "Alert on day move of 60% (not fired)",
                                  "Clear \"ACME\"'s Alerts"}));
    EXPECT_EQ(clear->toolTip, QStringLiteral("ACME"));
    statusItem.choose(*clear);
    EXPECT_EQ(settings.value("PriceAlerts"), QVariant(QVariantMap{{"ACME", QVariantMap{{"Comment", "kept"}}}}));
    // Set again, it fires again: clearing forgot the state.
    setAlerts("ACME", {{"Above", "150"}});
    EXPECT_EQ(refresh(), QStringList{"ACME above 150.00"});
}

} // namespace
} // namespace tickwell::testing
