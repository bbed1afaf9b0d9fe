// The title ticker on its own repeating timer and a clock that stands still until advanced, and
// once through the real tool.
#include "logging/LoggingFixture.h"
#include "platform/headless/HeadlessStatusItem.h"
#include "support/FakeUrlLoader.h"
#include "support/LocalHttpServer.h"
#include "support/ManualTimerFactory.h"
#include "support/MemorySettingsStore.h"
#include "support/ToolHome.h"
#include "ticker/TitleTicker.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QTimeZone>

namespace tickwell::testing {
namespace {

// An order-book document as the service writes it: trades newest first, prices zero-padded.
QByteArray OrderBook(const QString &company, const QString &trades)
{
    return QStringLiteral(R"({"success":true,"data":{"symbol":"X","company":"%1","trades":%2}})").arg(company, trades).toUtf8();
}
QString Trades(const char *price) { return QStringLiteral(R"([["09:31:02",100,"%1"],["09:30:55",200,"0001.0000"]])").arg(QLatin1String(price)); }

class TitleTickerTest : public ::testing::Test {
protected:
    TitleTickerTest()
    {
        stock_index = 0;
        hosts.quotePage = QStringLiteral("quotes.test");
        hosts.orderBook = QStringLiteral("book.test");
        statusItem.setTitle(QStringLiteral("before"));
    }

    void setSymbols(const QStringList &symbols) { settings.setValue(QStringLiteral("StockSymbols"), SymbolList(symbols)); }
    void setFlags(const QVariantMap &flags) { settings.setValue(QStringLiteral("ShowSettings"), flags); }
    // AAA, BBB and CCC, all rising from 10.00 to 11.
    void threeSymbols()
    {
        setSymbols({QStringLiteral("AAA"), QStringLiteral("BBB"), QStringLiteral("CCC")});
        for (const QString &symbol : {QStringLiteral("AAA"), QStringLiteral("BBB"), QStringLiteral("CCC")}) {
            loader.serve(QStringLiteral("http://book.test/json/bzx/book/") + symbol, OrderBook(QStringLiteral("Some Company"), Trades("0011.0000")));
            state.m_quotes.symbols[symbol].previousClose = QStringLiteral("10.00");
        }
    }
    // Schedules the ticker every 10 seconds and fires it once at once, as setup does.
    void start()
    {
        m_started = timers.now();
        m_timer = timers.schedule(10, true, [this] { step(); });
        m_timer->fire();
    }
    // Each step as "what the title shows up to its first colon@seconds since start()".
    void step()
    {
        ticker.itemTitleUpdateTimerAction(TickerContext{statusItem, prefs, hosts, loader, state, timers}, m_timer.get());
        steps.append(statusItem.title().section(u':', 0, 0) + u'@' + QString::number(m_started.msecsTo(timers.now()) / 1000.0));
    }

    MemorySettingsStore settings;
    Preferences prefs{settings};
    Hosts hosts;
    FakeUrlLoader loader;
    HeadlessStatusItem statusItem;
    ControllerState state;
    ManualTimerFactory timers{QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0), QTimeZone::systemTimeZone())};
    TitleTicker ticker;
    QStringList steps;

private:
    QDateTime m_started;
    std::unique_ptr<Timer> m_timer;
};

// Flagged symbols come at the nominal rate; passed-over ones go by 25 ms apart, and the one
// flagged symbol then stays up a whole interval. A cycle with nothing to show is passed over
// quickly once, then the ticker waits its interval instead of waking every 25 ms.
TEST_F(TitleTickerTest, CyclesThroughTheFlaggedSymbols)
{
    const struct { QVariantMap flags; double until; const char *steps; } cases[] = {
        {{{"AAA", 1}, {"BBB", 1}, {"CCC", 1}}, 30, "AAA@0 BBB@10 CCC@20 AAA@30"},
        {{{"AAA", 0}, {"CCC", 1}}, 10.1, "before@0 before@0.025 CCC@0.05 CCC@10.05 CCC@10.075 CCC@10.1"}, // BBB missing: hidden
        {{{"AAA", 0}}, 20.16, "before@0 before@0.025 before@0.05 before@10.05 before@10.075 before@10.1 before@20.1 before@20.125 before@20.15"},
    };
    for (const auto &c : cases) {
        stock_index = 0;
        steps.clear();
        statusItem.setTitle(QStringLiteral("before"));
        threeSymbols();
        setFlags(c.flags);
        start();
        timers.advance(c.until);
        EXPECT_EQ(steps.join(u' ').toStdString(), c.steps);
    }
    setFlags({{QStringLiteral("BBB"), 1}}); // flagged later: shown within the next cycle
    timers.advance(10.4);
    EXPECT_TRUE(steps.last().startsWith(QStringLiteral("BBB@")));
    setSymbols({}); // an empty list: every step waits the interval
    steps.clear();
    timers.advance(60);
    EXPECT_EQ(steps.size(), 6);
}

// What one step shows: unusable documents or previous closes leave the title alone, an unknown
// symbol blanks it, an unchanged price has no suffix and the plain image. The price is the first
// trade's with the padding zeros trimmed; anything off the fixed layout gives none.
TEST_F(TitleTickerTest, WhatOneStepShows)
{
    const struct {
        std::optional<QString> company; // none: no document
        QString trades;
        std::optional<QString> previousClose; // none known yet
        const char *shown;                    // title|image
    } cases[] = {
        {"Acme", Trades("0150.2500"), "149.00", "ACME:150.25 (1.25,0.839%)|menuitem_up_g.tif"},
        {"Acme", Trades("0149.0000"), "149", "ACME:149.|Tickwell.tif"},
        {"Acme", Trades("0000.5000"), "1", "ACME:.5 (0.5,50%)|menuitem_down_r.tif"},
        {"UNKNOWN SYMBOL ACME", Trades("0150.2500"), "149.00", " |Tickwell.tif"},
        {std::nullopt, {}, "149.00", "before|before"},
        {"Acme", Trades("0150.2500"), std::nullopt, "before|before"},
        {"Acme", Trades("0150.2500"), "0.00", "before|before"},
        {"Acme", Trades("0000.0000"), "149.00", "before|before"},
        {"Acme", R"([["09:30:00",100,12.34]])", "149.00", "before|before"},
        {"Acme", R"([["09:30:00",100,"0012.3400",1]])", "149.00", "before|before"},
        {"Acme", "[]", "149.00", "before|before"},
        {"Acme", R"([["09:30:00",100,"0012.3400")", "149.00", "before|before"},
    };
    setSymbols({QStringLiteral("ACME")});
    for (const auto &c : cases) {
        loader.clear();
        if (c.company)
            loader.serve(QStringLiteral("http://book.test/json/bzx/book/ACME"), OrderBook(*c.company, c.trades));
        state.m_quotes.symbols[QStringLiteral("ACME")].previousClose = c.previousClose;
        statusItem.setTitle(QStringLiteral("before"));
        statusItem.setImage(QStringLiteral("before"), QImage());
        step();
        EXPECT_EQ(statusItem.title() + u'|' + statusItem.imageName(), QLatin1String(c.shown)) << c.trades.toStdString();
    }
    EXPECT_EQ(stock_index, std::size(cases)); // the index moved on each time
}

// The countdown holds the symbol index and the schedule; once it is gone the cycle resumes.
TEST_F(TitleTickerTest, OpeningBellCountdownHoldsTheIndex)
{
    threeSymbols();
    settings.setValue(QStringLiteral("ShowOpeningBellTitle"), true);
    loader.serve(QStringLiteral("http://quotes.test/"), "<span class=\"bell\">U.S. Markets open in 1 hr 29 mins</span>");
    start();
    timers.advance(20);
    EXPECT_EQ(steps.join(u' ') + u'|' + statusItem.imageName(), QStringLiteral("1 hr 29 mins@0 1 hr 29 mins@10 1 hr 29 mins@20|OpeningBell.tif"));
    EXPECT_EQ(stock_index, 0u);

    loader.serve(QStringLiteral("http://quotes.test/"), "<span class=\"bell\">U.S. Markets are open</span>");
    timers.advance(10);
    EXPECT_EQ(steps.last(), QStringLiteral("AAA@30"));
}

// Through the real tool, its HTTP loader and a local server; the rate is in seconds.
TEST(TickwellMenuTickerTest, StepsCycleThroughTheWatchList)
{
    test::LocalHttpServer server;
    ToolHome tool;
    PlistSettingsStore store = tool.settings();
    pointHostsAt(store, server.hostAndPort());
    store.setValue(QStringLiteral("TitleTicker"), true);
    store.setValue(QStringLiteral("TitleTickerRate"), QStringLiteral("3"));
    store.setValue(QStringLiteral("StockSymbols"), SymbolList({QStringLiteral("ACME")}));
    server.serve(QStringLiteral("/q?s=ACME"), QuotePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.00"), QStringLiteral("149.00")));
    server.serve(QStringLiteral("/json/bzx/book/ACME"), OrderBook(QStringLiteral("Acme Corp."), Trades("0148.2500")), "application/json");

    const auto result = tool.runMenu({QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("--ticker-steps"), QStringLiteral("1")});
    const QJsonObject step = result.json().value(QStringLiteral("tickerSteps")).toArray().at(0).toObject();
    EXPECT_EQ(step.value(QStringLiteral("title")).toString(), QStringLiteral("ACME:148.25 (0.75,0.503%)")) << result.err.constData();
    EXPECT_NEAR(step.value(QStringLiteral("nextFireIn")).toDouble(), 3.0, 0.5);
}

} // namespace
} // namespace tickwell::testing
