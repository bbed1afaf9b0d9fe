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
    quote("ACME", "149.00");
    quote("BETA", "51.00");
    quote("GAMMA", "101.00");
    quote("DELTA", "7.00");
    launch();
    EXPECT_TRUE(alerts.shown.empty());
    // The hidden symbol's quote page is fetched for its alert, its chart and logo are not; a hidden
    // symbol without alerts is not fetched at all.
    EXPECT_EQ(loader.requests().filter("GAMMA"), QStringList{"http://quotes.test/q?s=GAMMA"});
    EXPECT_TRUE(loader.requests().filter("DELTA").isEmpty());
    EXPECT_EQ(quoteLine("GAMMA"), nullptr);

    quote("ACME", "151.00");
    quote("BETA", "49.99");
    quote("GAMMA", "94.00");
    EXPECT_EQ(refresh(), (QStringList{"ACME above 150.00", "BETA below 50.00", "GAMMA down 6.00% today"}));
    // The body is the quote line as the menu shows it.
    statusItem.open();
    ASSERT_NE(quoteLine("ACME"), nullptr);
    EXPECT_EQ(alerts.shown.front().body, quoteLine("ACME")->title);
    EXPECT_EQ(alerts.shown.front().iconName, QStringLiteral("com.brantlow.Tickwell"));
    EXPECT_FALSE(alerts.shown.front().icon.isNull());
    // Choosing the notification opens the quote page at the host the settings name by then.
    settings.setValue(QStringLiteral("QuotePageHost"), QStringLiteral("elsewhere.test"));
    alerts.shown.front().onDefaultAction();
    EXPECT_EQ(desktop.lines(), QStringList{"open: http://elsewhere.test/q?s=ACME"});

    EXPECT_TRUE(refresh().isEmpty()) << "the same prices do not fire again";
    timers.advance(600); // a monitor pass over the same store
    EXPECT_EQ(alerts.shown.size(), 3u);
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
    const struct {
        const char *name;
        std::optional<QString> lastTrade; // none: no quote page at all
        QString previousClose;
        QVariantMap alerts;
    } cases[] = {
        {"no quote page", std::nullopt, "100.00", {{"Below", "1000"}, {"DayChangePercent", "1"}}},
        {"last trade not a number", "N/A", "100.00", {{"Below", "1000"}, {"DayChangePercent", "1"}}},
        // Read the lax way this would be 1 and fire "below 100".
        {"thousands separator", "1,234.50", "1,200.00", {{"Below", "100"}, {"DayChangePercent", "1"}}},
        {"previous close 0", "5.00", "0.00", {{"DayChangePercent", "1"}}},
        {"previous close unreadable", "5.00", "-", {{"DayChangePercent", "1"}}},
        {"empty and unreadable thresholds", "5.00", "1.00", {{"Above", ""}, {"Below", "1O"}, {"DayChangePercent", "5%"}}},
        {"thresholds of the wrong type", "5.00", "1.00", {{"Above", QVariantList{1}}, {"Below", QVariantMap{}}}},
    };
    for (const auto &c : cases) {
        settings.setValue(QStringLiteral("PriceAlerts"), QVariant());
        loader.clear();
        setSymbols({"ACME"});
        setAlerts("ACME", c.alerts);
        if (c.lastTrade)
            quote("ACME", *c.lastTrade, c.previousClose);
        relaunch();
        controller().setDesktopNotifications(&alerts);
        refresh();
        timers.advance(600);
        EXPECT_TRUE(alerts.shown.empty()) << c.name << ": " << alerts.summaries().join(", ").toStdString();
    }
    // A "PriceAlerts" that is not a dictionary, or a symbol entry that is not one, is no alert.
    for (const QVariant &stored : {QVariant(QStringLiteral("ACME")), QVariant(QVariantMap{{"ACME", "150"}})}) {
        settings.setValue(QStringLiteral("PriceAlerts"), stored);
        quote("ACME", "151.00");
        refresh();
        statusItem.open();
        EXPECT_TRUE(alerts.shown.empty());
    }
}

TEST_F(PriceAlerts, WhatHoldsAtLaunchFiresOnceAndAChangedThresholdStartsAfresh)
{
    setSymbols({"ACME"});
    setAlerts("ACME", {{"Above", " 150 "}, {"Comment", "kept"}});
    quote("ACME", "151.00");
    launch();
    EXPECT_EQ(alerts.summaries(), QStringList{"ACME above 150.00"});

    // Settings saved elsewhere restart the timers (setup) but not the alerts.
    alerts.shown.clear();
    notifications.postPreferencesChanged();
    timers.advance(600);
    EXPECT_TRUE(alerts.shown.empty());

    setAlerts("ACME", {{"Above", "150.5"}});
    timers.advance(600); // the monitor pass sees the new threshold
    EXPECT_EQ(alerts.summaries(), QStringList{"ACME above 150.50"});
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
    statusItem.open();
    for (const auto &item : *quoteLine("ACME")->submenu)
        EXPECT_FALSE(item.title.startsWith("Alert") || item.action == "selItemClearPriceAlerts:") << item.title.toStdString();

    // Set again, it fires again: clearing forgot the state.
    setAlerts("ACME", {{"Above", "150"}});
    EXPECT_EQ(refresh(), QStringList{"ACME above 150.00"});
}

} // namespace
} // namespace tickwell::testing
