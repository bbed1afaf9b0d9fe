// The title ticker on its own repeating timer and a clock that stands still until advanced, and
// once through the real tool.
#include "app/ControllerState.h"
#include "app/Hosts.h"
#include "app/Preferences.h"
#include "logging/LoggingFixture.h"
#include "platform/headless/HeadlessStatusItem.h"
#include "support/FakeUrlLoader.h"
#include "support/LocalHttpServer.h"
#include "support/ManualTimerFactory.h"
#include "support/MemorySettingsStore.h"
#include "support/ToolHome.h"
#include "ticker/OrderBookQuote.h"
#include "ticker/TitleTicker.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QTimeZone>

namespace tickwell::testing {
namespace {

// An order-book document as the service writes it: trades newest first, prices zero-padded.
QByteArray OrderBook(const QString &symbol, const QString &company, const QString &price)
{
    return QStringLiteral(R"({"success":true,"data":{"symbol":"%1","company":"%2","trades":[["09:31:02",100,"%3"],["09:30:55",200,"0001.0000"]]}})")
        .arg(symbol, company, price).toUtf8();
}

class TitleTickerTest : public ::testing::Test {
protected:
    struct Step { double at; QString title, image; }; // at: seconds since start()

    TitleTickerTest()
    {
        stock_index = 0;
        hosts.quotePage = QStringLiteral("quotes.test");
        hosts.orderBook = QStringLiteral("book.test");
        statusItem.setImage(QStringLiteral("Tickwell.tif"), QImage());
        statusItem.setTitle(QStringLiteral("before"));
    }
    static QDateTime startTime() { return QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0), QTimeZone::systemTimeZone()); }

    void setSymbols(const QStringList &symbols) { settings.setValue(QStringLiteral("StockSymbols"), QVariant(symbols).toList()); }
    void setFlags(const QVariantMap &flags) { settings.setValue(QStringLiteral("ShowSettings"), flags); }
    // AAA, BBB and CCC, all rising from 10.00 to 11.
    void threeSymbols()
    {
        setSymbols({QStringLiteral("AAA"), QStringLiteral("BBB"), QStringLiteral("CCC")});
        for (const QString &symbol : {QStringLiteral("AAA"), QStringLiteral("BBB"), QStringLiteral("CCC")}) {
            loader.serve(QStringLiteral("http://book.test/json/bzx/book/") + symbol, OrderBook(symbol, QStringLiteral("Some Company"), QStringLiteral("0011.0000")));
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
    void step()
    {
        ticker.itemTitleUpdateTimerAction(TickerContext{statusItem, prefs, hosts, loader, state, timers}, m_timer.get());
        steps.push_back({static_cast<double>(m_started.msecsTo(timers.now())) / 1000.0, statusItem.title(), statusItem.imageName()});
    }
    // The symbols the steps showed, "before" where a step showed nothing new.
    QString shownSymbols() const
    {
        QStringList out;
        for (const auto &s : steps)
            out.append(s.title.section(QLatin1Char(':'), 0, 0));
        return out.join(QLatin1Char(' '));
    }

    MemorySettingsStore settings;
    Preferences prefs{settings};
    Hosts hosts;
    FakeUrlLoader loader;
    HeadlessStatusItem statusItem;
    ControllerState state;
    ManualTimerFactory timers{startTime()};
    TitleTicker ticker;
    std::vector<Step> steps;

private:
    QDateTime m_started = startTime();
    std::unique_ptr<Timer> m_timer;
};

// Flagged symbols come at the nominal rate; passed-over ones go by 25 ms apart, and the one
// flagged symbol then stays up a whole interval.
TEST_F(TitleTickerTest, CyclesThroughTheFlaggedSymbols)
{
    const struct { QVariantMap flags; double until; QString shown; std::vector<double> at; } cases[] = {
        {{{"AAA", 1}, {"BBB", 1}, {"CCC", 1}}, 30, "AAA BBB CCC AAA", {0, 10, 20, 30}},
        {{{"AAA", 0}, {"CCC", 1}}, 10.1, "before before CCC CCC CCC CCC", {0, 0.025, 0.05, 10.05, 10.075, 10.1}}, // BBB missing: hidden
    };
    for (const auto &c : cases) {
        stock_index = 0;
        steps.clear();
        statusItem.setTitle(QStringLiteral("before"));
        threeSymbols();
        setFlags(c.flags);
        start();
        timers.advance(c.until);
        EXPECT_EQ(shownSymbols(), c.shown);
        ASSERT_EQ(steps.size(), c.at.size());
        for (std::size_t i = 0; i < steps.size(); ++i)
            EXPECT_NEAR(steps[i].at, c.at[i], 1e-9) << i;
    }
}

// A cycle with nothing to show is passed over quickly once, then the ticker waits its interval
// instead of waking every 25 ms; with no watch list at all every step waits the interval.
TEST_F(TitleTickerTest, NothingEligibleWaitsTheNominalInterval)
{
    threeSymbols();
    setFlags({{QStringLiteral("AAA"), 0}});
    start();
    timers.advance(60);
    // Cycles of three steps 25 ms apart, starting at 0, 10.05, 20.1, 30.15, 40.2 and 50.25.
    ASSERT_EQ(steps.size(), 18u);
    EXPECT_NEAR(steps[3].at, 10.05, 1e-9);
    EXPECT_NEAR(steps[17].at, 50.3, 1e-9);
    EXPECT_EQ(statusItem.title(), QStringLiteral("before"));
    setFlags({{QStringLiteral("BBB"), 1}}); // flagged later: shown within the next cycle
    timers.advance(10.4);
    EXPECT_EQ(statusItem.title().left(4), QStringLiteral("BBB:"));

    setSymbols({});
    steps.clear();
    timers.advance(60);
    EXPECT_EQ(steps.size(), 6u);
}

// What one step shows: unusable documents or previous closes leave the title alone, an unknown
// symbol blanks it, an unchanged price has no suffix and the plain image.
TEST_F(TitleTickerTest, WhatOneStepShows)
{
    const struct {
        const char *company; // nullptr: no document
        const char *price;
        const char *previousClose; // nullptr: none known yet
        const char *shown;         // title|image
    } cases[] = {
        {"Acme", "0150.2500", "149.00", "ACME:150.25 (1.25,0.839%)|menuitem_up_g.tif"},
        {"Acme", "0149.0000", "149", "ACME:149.|Tickwell.tif"},
        {"UNKNOWN SYMBOL ACME", "0150.2500", "149.00", " |Tickwell.tif"},
        {nullptr, "", "149.00", "before|before"},
        {"Acme", "0150.2500", nullptr, "before|before"},
        {"Acme", "0150.2500", "0.00", "before|before"},
    };
    setSymbols({QStringLiteral("ACME")});
    for (const auto &c : cases) {
        loader.clear();
        if (c.company)
            loader.serve(QStringLiteral("http://book.test/json/bzx/book/ACME"), OrderBook(QStringLiteral("ACME"), QLatin1String(c.company), QLatin1String(c.price)));
        state.m_quotes.symbols[QStringLiteral("ACME")].previousClose.reset();
        if (c.previousClose)
            state.m_quotes.symbols[QStringLiteral("ACME")].previousClose = QLatin1String(c.previousClose);
        statusItem.setTitle(QStringLiteral("before"));
        statusItem.setImage(QStringLiteral("before"), QImage());
        step();
        EXPECT_EQ(statusItem.title() + QLatin1Char('|') + statusItem.imageName(), QLatin1String(c.shown)) << c.company;
    }
    EXPECT_EQ(stock_index, std::size(cases)); // the index moved on each time
    // The first trade's price with the padding zeros trimmed; anything off the fixed layout gives none.
    const std::pair<const char *, std::optional<QString>> books[] = {
        {R"([["09:30:00",100,"0100.0000"]])", QStringLiteral("100.")}, {R"([["09:30:00",100,"0000.5000"]])", QStringLiteral(".5")},
        {R"([["09:30:00",100,"0000.0000"]])", std::nullopt}, {R"([["09:30:00",100,12.34]])", std::nullopt},
        {R"([["09:30:00",100,"0012.3400",1]])", std::nullopt}, {"[]", std::nullopt}, {R"([["09:30:00",100,"0012.3400")", std::nullopt},
    };
    for (const auto &[trades, price] : books)
        EXPECT_EQ(OrderBookPrice(QStringLiteral(R"({"data":{"trades":)") + QLatin1String(trades)), price) << trades;
}

// The countdown holds the symbol index and the schedule; once it is gone the cycle resumes.
TEST_F(TitleTickerTest, OpeningBellCountdownHoldsTheIndex)
{
    threeSymbols();
    settings.setValue(QStringLiteral("ShowOpeningBellTitle"), true);
    loader.serve(QStringLiteral("http://quotes.test/"), "<span class=\"bell\">U.S. Markets open in 1 hr 29 mins</span>");
    start();
    timers.advance(20);
    ASSERT_EQ(steps.size(), 3u);
    for (const auto &s : steps)
        EXPECT_EQ(s.title + QLatin1Char('|') + s.image, QStringLiteral("1 hr 29 mins|OpeningBell.tif"));
    EXPECT_EQ(stock_index, 0u);

    loader.serve(QStringLiteral("http://quotes.test/"), "<span class=\"bell\">U.S. Markets are open</span>");
    timers.advance(10);
    EXPECT_EQ(steps.back().title.left(4), QStringLiteral("AAA:"));
}

// Through the real tool, its HTTP loader and a local server; the rate is in seconds.
TEST(TickwellMenuTickerTest, StepsCycleThroughTheWatchList)
{
    test::LocalHttpServer server;
    ToolHome tool;
    PlistSettingsStore store = tool.settings();
    pointHostsAt(store, server.hostAndPort());
    store.setValue(QStringLiteral("IncludeHeadlinesInSubmenu"), false);
    store.setValue(QStringLiteral("TitleTicker"), true);
    store.setValue(QStringLiteral("TitleTickerRate"), QStringLiteral("3"));
    store.setValue(QStringLiteral("StockSymbols"), SymbolList({QStringLiteral("ACME"), QStringLiteral("ZZZZ")}));
    server.serve(QStringLiteral("/q?s=ACME"), QuotePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.00"), QStringLiteral("149.00")));
    server.serve(QStringLiteral("/json/bzx/book/ACME"), OrderBook(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("0148.2500")),
                 "application/json");
    server.serve(QStringLiteral("/json/bzx/book/ZZZZ"), R"({"success":false,"data":{"company":"Unknown symbol","trades":[]}})", "application/json");

    // The launch's step comes before the first menu build (no previous close yet): the steps begin with ZZZZ.
    const auto result = tool.runMenu({QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("--ticker-steps"), QStringLiteral("2")});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    const QJsonArray steps = result.json().value(QStringLiteral("tickerSteps")).toArray();
    ASSERT_EQ(steps.size(), 2) << result.out.constData();
    EXPECT_EQ(steps[0].toObject().value(QStringLiteral("title")).toString(), QStringLiteral(" "));
    EXPECT_EQ(steps[1].toObject().value(QStringLiteral("title")).toString(), QStringLiteral("ACME:148.25 (0.75,0.503%)"));
    EXPECT_NEAR(steps[1].toObject().value(QStringLiteral("nextFireIn")).toDouble(), 3.0, 0.5);
}

} // namespace
} // namespace tickwell::testing
