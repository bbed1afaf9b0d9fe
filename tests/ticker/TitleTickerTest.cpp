#include "TickerFixture.h"

namespace tickwell::testing {
namespace {

class TitleTickerTest : public TickerFixture {};

TEST_F(TitleTickerTest, CyclesThroughTheFlaggedSymbolsAtTheNominalRate)
{
    threeSymbols();
    setFlags({{QStringLiteral("AAA"), 1}, {QStringLiteral("BBB"), 1}, {QStringLiteral("CCC"), 1}});
    start();
    timers.advance(30);
    EXPECT_EQ(shownSymbols(), QStringList({QStringLiteral("AAA"), QStringLiteral("BBB"), QStringLiteral("CCC"), QStringLiteral("AAA")}));
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
    EXPECT_EQ(shownSymbols(), QStringList({QStringLiteral("before"), QStringLiteral("before"), QStringLiteral("CCC"), QStringLiteral("CCC"),
                                           QStringLiteral("CCC"), QStringLiteral("CCC")}));
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

    settings.remove(QStringLiteral("StockSymbols"));
    steps.clear();
    timers.advance(60);
    EXPECT_EQ(steps.size(), 6u);
    setSymbols({});
    steps.clear();
    timers.advance(60);
    EXPECT_EQ(steps.size(), 6u);
}

// What one step shows: unusable documents or previous closes leave the title alone, an unknown
// symbol blanks it, an unchanged price has no suffix and the plain image.
TEST_F(TitleTickerTest, WhatOneStepShows)
{
    struct Case {
        const char *name;
        std::optional<QByteArray> document;
        std::optional<QString> previousClose;
        QString title;
        QString image;
    };
    const auto book = [](const char *company, const char *price) { return OrderBook(QStringLiteral("ACME"), QString::fromLatin1(company), QString::fromLatin1(price)); };
    const QString up = QStringLiteral("menuitem_up_g.tif");
    const QString before = QStringLiteral("before");
    const Case cases[] = {
        {"up", book("Acme", "0150.2500"), QStringLiteral("149.00"), QStringLiteral("ACME:150.25 (1.25,0.839%)"), up},
        {"equal to the previous close", book("Acme", "0149.0000"), QStringLiteral("149"), QStringLiteral("ACME:149."), QStringLiteral("Tickwell.tif")},
        {"unknown symbol", book("UNKNOWN SYMBOL ACME", "0150.2500"), QStringLiteral("149.00"), QStringLiteral(" "), QStringLiteral("Tickwell.tif")},
        {"no document", std::nullopt, QStringLiteral("149.00"), before, before},
        {"no previous close yet", book("Acme", "0150.2500"), std::nullopt, before, before},
        {"previous close of 0", book("Acme", "0150.2500"), QStringLiteral("0.00"), before, before},
        {"previous close that is no number", book("Acme", "0150.2500"), QStringLiteral("N/A"), before, before},
    };
    setSymbols({QStringLiteral("ACME")});
    for (const Case &c : cases) {
        loader.clear();
        if (c.document)
            loader.serve(QStringLiteral("http://book.test/json/bzx/book/ACME"), *c.document);
        gPreviousClose.remove(QStringLiteral("ACME"));
        if (c.previousClose)
            gPreviousClose.insert(QStringLiteral("ACME"), *c.previousClose);
        statusItem.setTitle(before);
        statusItem.setImage(before, QImage());
        step();
        EXPECT_EQ(statusItem.title() + QLatin1Char('|') + statusItem.imageName(), c.title + QLatin1Char('|') + c.image) << c.name;
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
    EXPECT_DOUBLE_EQ(nextStepIn(), 10.0);

    loader.serve(QStringLiteral("http://quotes.test/"), "<span class=\"bell\">U.S. Markets are open</span>");
    timers.advance(10);
    EXPECT_EQ(steps.back().title.left(4), QStringLiteral("AAA:"));
}

// The next step is counted from the end of a slow fetch, so the title stays up a whole interval.
TEST_F(TitleTickerTest, SlowFetchDoesNotShortenTheInterval)
{
    struct SlowLoader final : UrlLoader {
        explicit SlowLoader(ManualTimerFactory &c) : clock(c) {}
        std::optional<QByteArray> fetch(const QString &) override
        {
            clock.setNow(clock.now().addSecs(4));
            return std::nullopt;
        }
        ManualTimerFactory &clock;
    } slow(timers);
    setSymbols({QStringLiteral("ACME")});
    auto timer = timers.schedule(10, true, [] {});
    ticker.itemTitleUpdateTimerAction(TickerContext{statusItem, prefs, hosts, slow, state, timers}, timer.get());
    EXPECT_EQ(timer->fireDate(), startTime().addSecs(14));
}

} // namespace
} // namespace tickwell::testing
