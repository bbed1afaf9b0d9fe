#include "TickerFixture.h"

namespace tickwell::testing {
namespace {

using TitleTickerTest = TickerFixture;

TEST_F(TitleTickerTest, CyclesThroughTheFlaggedSymbolsAtTheNominalRate)
{
    threeSymbols();
    setFlags({{QStringLiteral("AAA"), 1}, {QStringLiteral("BBB"), 1}, {QStringLiteral("CCC"), 1}});
    start();
    timers.advance(30);
    EXPECT_EQ(shownSymbols(), QStringLiteral("AAA BBB CCC AAA"));
    for (std::size_t i = 0; i < steps.size(); ++i)
        EXPECT_DOUBLE_EQ(steps[i].at, 10.0 * double(i));
}

// Passed-over symbols go by 25 ms apart; the one flagged symbol then stays up a whole interval.
TEST_F(TitleTickerTest, OnlyTheThirdFlaggedIsShownAndTheOthersArePassedOver)
{
    threeSymbols();
    setFlags({{QStringLiteral("AAA"), 0}, {QStringLiteral("CCC"), 1}}); // BBB missing: hidden too
    start();
    timers.advance(10.1);
    EXPECT_EQ(shownSymbols(), QStringLiteral("before before CCC CCC CCC CCC"));
    EXPECT_NEAR(steps[2].at, 0.05, 1e-9);
    EXPECT_NEAR(steps[5].at, 10.1, 1e-9);
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
        EXPECT_EQ(statusItem.title() + QLatin1Char('|') + statusItem.imageName(), QLatin1String(c.shown)) << c.shown;
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
    ASSERT_EQ(steps.size(), 3u);
    for (const auto &s : steps)
        EXPECT_EQ(s.title + QLatin1Char('|') + s.image, QStringLiteral("1 hr 29 mins|OpeningBell.tif"));
    EXPECT_EQ(stock_index, 0u);

    loader.serve(QStringLiteral("http://quotes.test/"), "<span class=\"bell\">U.S. Markets are open</span>");
    timers.advance(10);
    EXPECT_EQ(steps.back().title.left(4), QStringLiteral("AAA:"));
}

} // namespace
} // namespace tickwell::testing
