#include "ControllerFixture.h"

#include <QRegularExpression>

#include <algorithm>

namespace tickwell::testing {
namespace {

using ControllerTest = ControllerFixture;
const QVariantList acme{QStringLiteral("ACME")};

// The colours come from setup: at a settings change, not at a menu opening.
TEST_F(ControllerTest, SetupTakesTheColours)
{
    launch();
    EXPECT_FALSE(statusItem.image().isNull());
    EXPECT_EQ(controller().state().m_upColor, QColor(0, 255, 0));
    settings.setValue(QStringLiteral("UpColor"), ArchiveColor(QColor(0, 0, 255)));
    statusItem.open();
    EXPECT_EQ(controller().state().m_upColor, QColor(0, 255, 0));
    notifications.postPreferencesChanged();
    EXPECT_EQ(controller().state().m_upColor, QColor(0, 0, 255));
}

TEST_F(ControllerTest, BareMenuLayoutAndSectionSeparators)
{
    settings.setValue(QStringLiteral("IncludeHeadlinesInSubmenu"), false);
    launch();
    EXPECT_EQ(menuTitles().join(u'|').replace(QRegularExpression(QStringLiteral("^Last Update: [^|]*")), QStringLiteral("Last Update")),
              QStringLiteral("Last Update|Update Now|---|---|Clear Histories|Log Histories|---|Preferences...|---|Quit"));
    const struct { bool metals, other, indices; int separators; } cases[] = {{true, false, false, 5}, {true, true, true, 7}, {false, false, true, 5}};
    for (const auto &c : cases) {
        settings.setValue(QStringLiteral("ShowPreciousMetalsInMenu"), c.metals);
        settings.setValue(QStringLiteral("ShowOtherMarketIndicesInMenu"), c.other);
        settings.setValue(QStringLiteral("ShowMarketIndicesInMenu"), c.indices);
        statusItem.open(); // opening the menu rebuilds it
        EXPECT_EQ(menuTitles().count(QStringLiteral("---")), c.separators) << c.metals << c.other << c.indices;
    }
}

TEST_F(ControllerTest, HistoriesOfRemovedSymbolsAreDroppedAndStoredOnceAtTermination)
{
    settings.setValue(QStringLiteral("StockSymbols"), acme);
    settings.setValue(QStringLiteral("Histories"), QVariantMap { { QStringLiteral("ACME"), QVariantList { QStringLiteral("a1") } }, { QStringLiteral("GONE"), acme } });
    launch();
    EXPECT_EQ(controller().state().m_stockSymbolHistories.keys(), QStringList({ QStringLiteral("ACME") }));
    // Termination stores the whole of the histories, also of a symbol that left the watch list
    // since launch, whatever the settings hold by then.
    settings.setValue(QStringLiteral("StockSymbols"), QVariantList { QStringLiteral("BETA") });
    settings.remove(QStringLiteral("Histories"));
    controller().applicationWillTerminate();
    EXPECT_EQ(settings.value(QStringLiteral("Histories")).value_or(QVariant()).toMap(),
        (QVariantMap { { QStringLiteral("ACME"), QVariantList { QStringLiteral("a1") } } }));
    settings.remove(QStringLiteral("Histories"));
    controller().applicationWillTerminate(); // a signal after Quit must not write again
    EXPECT_FALSE(settings.value(QStringLiteral("Histories")).has_value());
    // The next launch drops what is no longer watched.
    settings.setValue(QStringLiteral("Histories"), QVariantMap { { QStringLiteral("ACME"), QVariantList { QStringLiteral("a1") } } });
    relaunch();
    EXPECT_TRUE(controller().state().m_stockSymbolHistories.value(QStringLiteral("ACME")).isEmpty());
}

// The pending timers after each settings change; rates that would spin or do not parse fall back.
TEST_F(ControllerTest, TimersFollowTheSettings)
{
    launch();
    const auto pending = timers.pendingTimers();
    ASSERT_EQ(pending.size(), 2u); // the quote monitor and the refresh: no ticker, no headline download
    EXPECT_EQ(pending.back().fireDate, startTime().addSecs(3600)); // firing at creation keeps the schedule
    EXPECT_TRUE(loader.requests().isEmpty());
    // Long date and time of the refresh start, next firing as h:mm:ss a.
    const QString line = controller().menu().front().title;
    EXPECT_TRUE(line.startsWith(QStringLiteral("Last Update: December 5, 2026"))) << qPrintable(line);
    EXPECT_TRUE(line.endsWith(QStringLiteral("(next at 4:00:00 PM)"))) << qPrintable(line);

    struct Case {
        std::vector<std::pair<const char *, QVariant>> settings;
        std::vector<double> intervals; // of the pending timers, sorted
    };
    const Case cases[] = {
        { {}, { 600, 3600 } },
        { { { "LogToConsole", false } }, { 3600 } },
        { { { "LogToConsoleRate", QStringLiteral("2") }, { "StockDataUpdateRate", QStringLiteral("15") } }, { 120, 900 } },
        { { { "StockDataUpdateRate", QStringLiteral("0") } }, { 600, 3600 } },
        { { { "StockDataUpdateRate", QStringLiteral("-5") } }, { 600, 3600 } },
        { { { "StockDataUpdateRate", QStringLiteral("abc") } }, { 600, 3600 } },
        { { { "TitleTicker", true }, { "TitleTickerRate", QStringLiteral("3") } }, { 3, 600, 3600 } }, // seconds, not minutes
        { { { "DownloadHeadlines", true }, { "StockDataUpdateRate", QStringLiteral("15") } }, { 600, 900, 900 } },
    };
    for (const Case &c : cases) {
        for (const char *key : { "LogToConsole", "LogToConsoleRate", "StockDataUpdateRate", "TitleTicker", "TitleTickerRate", "DownloadHeadlines" })
            settings.remove(QString::fromLatin1(key));
        for (const auto &[key, value] : c.settings)
            settings.setValue(QString::fromLatin1(key), value);
        notifications.postPreferencesChanged();
        std::vector<double> intervals;
        for (const auto &timer : timers.pendingTimers())
            intervals.push_back(timer.interval);
        std::sort(intervals.begin(), intervals.end());
        EXPECT_EQ(intervals, c.intervals) << (c.settings.empty() ? "defaults" : qPrintable(c.settings.front().second.toString()));
    }
}

TEST_F(ControllerTest, WakeAndTimersWaitWhileTheMenuIsOpen)
{
    settings.setValue(QStringLiteral("StockSymbols"), acme);
    settings.setValue(QStringLiteral("StockDataUpdateRate"), QStringLiteral("1"));
    settings.setValue(QStringLiteral("LogToConsole"), false);
    launch();
    loader.clearRequests();
    // A wake runs one setup five seconds later.
    wake.wake();
    timers.advance(4.9);
    EXPECT_TRUE(loader.requests().isEmpty());
    timers.advance(0.2);
    EXPECT_EQ(loader.requests().size(), 3);
    timers.advance(50);
    EXPECT_EQ(loader.requests().size(), 3);
    loader.clearRequests();
    const auto refreshInterval = [this] {
        for (const auto &timer : timers.pendingTimers())
            if (timer.repeats)
                return timer.interval;
        return 0.0;
    };

    // Two refreshes fall due while the menu is open: one runs when it closes.
    statusItem.open();
    statusItem.setShown(true);
    timers.advance(119);
    EXPECT_TRUE(loader.requests().isEmpty());
    EXPECT_TRUE(controller().timersHeld());
    statusItem.setShown(false);
    EXPECT_EQ(loader.requests().size(), 3);

    // A settings change while the menu is open neither rebuilds the visible menu nor restarts the
    // timers until it closes; a wake's setup waits the same way.
    statusItem.setShown(true);
    const QString lastUpdate = statusItem.menu().front().title;
    settings.setValue(QStringLiteral("ShowMarketIndicesInMenu"), true);
    settings.setValue(QStringLiteral("StockDataUpdateRate"), QStringLiteral("30"));
    notifications.postPreferencesChanged();
    wake.wake();
    timers.advance(6);
    EXPECT_EQ(statusItem.menu().front().title, lastUpdate);
    EXPECT_EQ(refreshInterval(), 60.0);
    loader.clearRequests();
    statusItem.setShown(false);
    EXPECT_EQ(refreshInterval(), 1800.0);
    EXPECT_EQ(loader.requests().size(), 7); // one setup, one refresh: three index charts, ACME's three, the markets page

    // A panel that never says the menu closed holds the timers two minutes at most.
    timers.advance(1790);
    loader.clearRequests();
    statusItem.setShown(true);
    timers.advance(110);
    EXPECT_TRUE(loader.requests().isEmpty());
    timers.advance(15);
    EXPECT_FALSE(controller().timersHeld());
    EXPECT_FALSE(loader.requests().isEmpty());

    // Choosing an item closes the menu too.
    statusItem.setShown(true);
    loader.clearRequests();
    statusItem.choose(MenuItem::make(QStringLiteral("Log Histories"), QStringLiteral("selItemLogHistories:")));
    EXPECT_FALSE(controller().timersHeld());
}

} // namespace
} // namespace tickwell::testing
