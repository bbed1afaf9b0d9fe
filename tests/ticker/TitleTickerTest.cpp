#include "TickerFixture.h"

#include "app/controller/AppController.h"
#include "platform/LocalNotificationCenter.h"
#include "platform/ManualWakeMonitor.h"
#include "platform/ScriptedDesktop.h"

namespace tickwell::testing {
namespace {

class TitleTickerTest : public TickerFixture {
protected:
    // Three symbols with order books and previous closes: all rising.
    void threeSymbols()
    {
        setSymbols({QStringLiteral("AAA"), QStringLiteral("BBB"), QStringLiteral("CCC")});
        for (const char *symbol : {"AAA", "BBB", "CCC"}) {
            serveBook(QString::fromLatin1(symbol), QStringLiteral("0011.0000"));
            gPreviousClose.insert(QString::fromLatin1(symbol), QStringLiteral("10.00"));
        }
    }
    static QStringList symbolsOf(const std::vector<TickerStep> &list)
    {
        QStringList out;
        for (const auto &s : list)
            out.append(s.title.section(QLatin1Char(':'), 0, 0));
        return out;
    }
};

TEST_F(TitleTickerTest, CyclesThroughTheFlaggedSymbolsAtTheNominalRate)
{
    threeSymbols();
    setFlags({{QStringLiteral("AAA"), 1}, {QStringLiteral("BBB"), 1}, {QStringLiteral("CCC"), 1}});
    start();
    timers.advance(30);
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(symbolsOf(steps), QStringList({QStringLiteral("AAA"), QStringLiteral("BBB"), QStringLiteral("CCC"), QStringLiteral("AAA")}));
    for (std::size_t i = 0; i < steps.size(); ++i)
        EXPECT_DOUBLE_EQ(steps[i].at, 10.0 * double(i));
    EXPECT_EQ(stock_index, 4u);
}

// Passed-over symbols go by within a few hundredths of a second; the one flagged symbol then
// stays up for the whole interval.
TEST_F(TitleTickerTest, OnlyTheThirdFlaggedIsShownAndTheOthersArePassedOver)
{
    threeSymbols();
    setFlags({{QStringLiteral("AAA"), 0}, {QStringLiteral("CCC"), 1}}); // BBB missing: hidden too
    start();
    timers.advance(0.051);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps.back().title.left(4), QStringLiteral("CCC:"));
    EXPECT_NEAR(steps.back().at, 0.05, 1e-9);
    EXPECT_EQ(steps[0].title, QStringLiteral("before"));
    EXPECT_EQ(steps[1].title, QStringLiteral("before"));

    timers.advance(10.05);
    const auto visible = visibleSteps();
    EXPECT_EQ(symbolsOf(visible), QStringList({QStringLiteral("CCC")})); // the only title ever shown
    ASSERT_EQ(steps.size(), 6u);
    EXPECT_NEAR(steps.back().at, 10.1, 1e-9); // the next showing of CCC: one interval later
}

TEST_F(TitleTickerTest, WithOnlyShowFlaggedOffEverySymbolIsShown)
{
    threeSymbols();
    setFlags({{QStringLiteral("CCC"), 1}});
    settings.setValue(QStringLiteral("OnlyShowFlagged"), false);
    start();
    timers.advance(20);
    EXPECT_EQ(symbolsOf(steps), QStringList({QStringLiteral("AAA"), QStringLiteral("BBB"), QStringLiteral("CCC")}));
}

// A list with nothing to show is passed over quickly once; after that whole cycle the ticker
// waits its interval before the next cycle instead of waking every 25 ms.
TEST_F(TitleTickerTest, NoFlaggedSymbolWaitsTheNominalIntervalAfterEachCycle)
{
    threeSymbols();
    setFlags({{QStringLiteral("AAA"), 0}});
    start();
    timers.advance(60);
    // Cycles of three steps 25 ms apart, starting at 0, 10.05, 20.1, 30.15, 40.2 and 50.25.
    ASSERT_EQ(steps.size(), 18u);
    EXPECT_NEAR(steps[2].at, 0.05, 1e-9);
    EXPECT_NEAR(steps[3].at, 10.05, 1e-9);
    EXPECT_NEAR(steps[17].at, 50.3, 1e-9);
    EXPECT_NEAR(nextStepIn(), 0.3, 1e-9);
    EXPECT_EQ(statusItem.title(), QStringLiteral("before"));

    // A symbol flagged later shows within the next cycle.
    setFlags({{QStringLiteral("BBB"), 1}});
    timers.advance(10.4);
    EXPECT_EQ(statusItem.title().left(4), QStringLiteral("BBB:"));
}

TEST_F(TitleTickerTest, NoWatchListWaitsTheNominalInterval)
{
    start();
    timers.advance(60);
    ASSERT_EQ(steps.size(), 7u); // 0, 10, ..., 60
    EXPECT_DOUBLE_EQ(nextStepIn(), 10.0);
    EXPECT_EQ(statusItem.title(), QStringLiteral("before"));
}

TEST_F(TitleTickerTest, EmptyWatchListChangesNothingNotEvenTheSchedule)
{
    setSymbols({});
    start();
    EXPECT_EQ(statusItem.title(), QStringLiteral("before"));
    EXPECT_EQ(stock_index, 0u);
    EXPECT_DOUBLE_EQ(nextStepIn(), 10.0);
    timers.advance(10);
    EXPECT_DOUBLE_EQ(nextStepIn(), 10.0);
}

// What one step shows for a symbol: image and title runs.
TEST_F(TitleTickerTest, TitleAndImageFollowTheChange)
{
    struct Case {
        const char *name;
        QString price;
        QString previousClose;
        QString image;
        std::vector<StyledRun> runs;
    };
    const QColor up(0, 255, 0);
    const QColor down(255, 0, 0);
    const Case cases[] = {
        {"up", QStringLiteral("0150.2500"), QStringLiteral("149.00"), QStringLiteral("menuitem_up_g.tif"),
         {{QStringLiteral("ACME:150.25"), 14.0, std::nullopt}, {QStringLiteral(" (1.25,0.839%)"), 14.0, up}}},
        {"down, no signs", QStringLiteral("0148.2500"), QStringLiteral("149.50"), QStringLiteral("menuitem_down_r.tif"),
         {{QStringLiteral("ACME:148.25"), 14.0, std::nullopt}, {QStringLiteral(" (1.25,0.836%)"), 14.0, down}}},
        {"equal to the previous close", QStringLiteral("0149.0000"), QStringLiteral("149"), QStringLiteral("Tickwell.tif"),
         {{QStringLiteral("ACME:149."), 14.0, std::nullopt}}},
        {"price below one", QStringLiteral("0000.5000"), QStringLiteral("0.40"), QStringLiteral("menuitem_up_g.tif"),
         {{QStringLiteral("ACME:.5"), 14.0, std::nullopt}, {QStringLiteral(" (0.1,25%)"), 14.0, up}}},
    };
    setSymbols({QStringLiteral("ACME")});
    for (const Case &c : cases) {
        serveBook(QStringLiteral("ACME"), c.price);
        gPreviousClose.insert(QStringLiteral("ACME"), c.previousClose);
        step();
        EXPECT_EQ(statusItem.imageName(), c.image) << c.name;
        ASSERT_TRUE(statusItem.styledTitle().has_value()) << c.name;
        EXPECT_EQ(*statusItem.styledTitle(), c.runs) << c.name;
    }
}

// When the document or the previous close is not usable, the previous title stays up.
TEST_F(TitleTickerTest, UnusableQuotesLeaveTheTitleAlone)
{
    struct Case {
        const char *name;
        std::optional<QByteArray> document;
        std::optional<QString> previousClose;
    };
    const QByteArray good = OrderBook(QStringLiteral("ACME"), QStringLiteral("Acme"), QStringLiteral("0150.2500"));
    const Case cases[] = {
        {"no document", std::nullopt, QStringLiteral("149.00")},
        {"no company", QByteArray("{\"trades\":[[\"09:30:00\",1,\"0150.2500\"]]}"), QStringLiteral("149.00")},
        {"price only zeros", OrderBook(QStringLiteral("ACME"), QStringLiteral("Acme"), QStringLiteral("0000.0000")), QStringLiteral("149.00")},
        {"no previous close yet", good, std::nullopt},
        {"previous close of 0", good, QStringLiteral("0.00")},
        {"negative previous close", good, QStringLiteral("-3")},
        {"previous close that is no number", good, QStringLiteral("N/A")},
    };
    setSymbols({QStringLiteral("ACME")});
    for (const Case &c : cases) {
        loader.clear();
        if (c.document)
            loader.serve(QStringLiteral("http://book.test/json/bzx/book/ACME"), *c.document);
        gPreviousClose.remove(QStringLiteral("ACME"));
        if (c.previousClose)
            gPreviousClose.insert(QStringLiteral("ACME"), *c.previousClose);
        step();
        EXPECT_EQ(statusItem.title(), QStringLiteral("before")) << c.name;
        EXPECT_EQ(statusItem.imageName(), QStringLiteral("Tickwell.tif")) << c.name;
    }
    EXPECT_EQ(stock_index, std::size(cases)); // the index moved on each time
}

TEST_F(TitleTickerTest, UnknownSymbolBlanksTheTitle)
{
    for (const char *company : {"Unknown symbol", "UNKNOWN SYMBOL ZZZZ"}) {
        setSymbols({QStringLiteral("ZZZZ")});
        serveBook(QStringLiteral("ZZZZ"), QStringLiteral("0150.2500"), QString::fromLatin1(company));
        statusItem.setImage(QStringLiteral("menuitem_up_g.tif"), QImage());
        step();
        EXPECT_EQ(statusItem.title(), QStringLiteral(" ")) << company;
        EXPECT_FALSE(statusItem.styledTitle().has_value()) << company;
        EXPECT_EQ(statusItem.imageName(), QStringLiteral("Tickwell.tif")) << company;
    }
}

// The countdown holds the symbol index and the schedule; once it is gone the cycle resumes
// where it left off.
TEST_F(TitleTickerTest, OpeningBellCountdownHoldsTheIndex)
{
    threeSymbols();
    settings.setValue(QStringLiteral("ShowOpeningBellTitle"), true);
    loader.serve(QStringLiteral("http://quotes.test/"),
                 "<div id=\"markets\"><span class=\"bell\">U.S. Markets open in 1 hr 29 mins</span></div>");
    start();
    timers.advance(20);
    ASSERT_EQ(steps.size(), 3u);
    for (const auto &s : steps) {
        EXPECT_EQ(s.title, QStringLiteral("1 hr 29 mins"));
        EXPECT_EQ(s.image, QStringLiteral("OpeningBell.tif"));
    }
    EXPECT_EQ(stock_index, 0u);
    EXPECT_DOUBLE_EQ(nextStepIn(), 10.0);

    loader.serve(QStringLiteral("http://quotes.test/"), "<span class=\"bell\">U.S. Markets are open</span>");
    timers.advance(10);
    EXPECT_EQ(steps.back().title.left(4), QStringLiteral("AAA:"));

    // Switched off, the front page is not even fetched.
    settings.setValue(QStringLiteral("ShowOpeningBellTitle"), false);
    loader.clearRequests();
    step();
    EXPECT_FALSE(loader.requests().contains(QStringLiteral("http://quotes.test/")));
}

// The next step is counted from the end of a slow fetch, so the title stays up a whole interval.
TEST_F(TitleTickerTest, SlowFetchDoesNotShortenTheInterval)
{
    class SlowLoader final : public UrlLoader {
    public:
        SlowLoader(ManualTimerFactory &clock, FakeUrlLoader &inner) : m_clock(clock), m_inner(inner) {}
        std::optional<QByteArray> fetch(const QString &address) override
        {
            m_clock.setNow(m_clock.now().addSecs(4));
            return m_inner.fetch(address);
        }

    private:
        ManualTimerFactory &m_clock;
        FakeUrlLoader &m_inner;
    };
    threeSymbols();
    SlowLoader slow(timers, loader);
    auto timer = timers.schedule(10, true, [] {});
    ticker.itemTitleUpdateTimerAction(TickerContext{statusItem, prefs, hosts, slow, state, timers}, timer.get());
    EXPECT_EQ(timer->fireDate(), startTime().addSecs(14));
}

// The ticker's timer runs at "TitleTickerRate" seconds, exists only with "TitleTicker" on,
// and a rate that reads as 0 or less falls back to 10 seconds.
TEST_F(TitleTickerTest, SetupSchedulesTheTickerInSeconds)
{
    struct Case {
        std::optional<bool> on;
        QString rate;
        std::optional<double> interval;
    };
    const Case cases[] = {
        {std::nullopt, QStringLiteral("3"), std::nullopt},
        {false, QStringLiteral("3"), std::nullopt},
        {true, QStringLiteral("3"), 3.0},
        {true, QStringLiteral("0"), 10.0},
        {true, QStringLiteral("-2"), 10.0},
    };
    for (const Case &c : cases) {
        MemorySettingsStore store;
        if (c.on)
            store.setValue(QStringLiteral("TitleTicker"), *c.on);
        store.setValue(QStringLiteral("TitleTickerRate"), c.rate);
        store.setValue(QStringLiteral("LogToConsole"), false);
        FakeUrlLoader fetches;
        HeadlessStatusItem item;
        ManualTimerFactory clock(startTime());
        ScriptedDesktop desktop;
        LocalNotificationCenter notifications;
        ManualWakeMonitor wake;
        AppController controller(Platform{store, fetches, item, clock, desktop, notifications, wake});
        controller.applicationWillFinishLaunching();
        const Timer *timer = controller.itemTitleUpdateTimer();
        EXPECT_EQ(timer != nullptr, c.interval.has_value()) << c.rate.toStdString();
        if (timer && c.interval) {
            EXPECT_EQ(timer->interval(), *c.interval);
        }
        controller.applicationWillTerminate();
    }
}

} // namespace
} // namespace tickwell::testing
