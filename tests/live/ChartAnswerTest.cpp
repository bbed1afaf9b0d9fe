#include "LiveFixtures.h"

#include "live/LiveAnswers.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <cmath>

using namespace tickwell;
using namespace tickwell::live_fixtures;

namespace {

QString times(std::initializer_list<long long> values)
{
    QStringList texts;
    for (long long value : values)
        texts << QString::number(value);
    return texts.join(u',');
}

} // namespace

// The day's change is reckoned from yesterday's close. chartPreviousClose is the close before the
// requested range and must never stand in for it; nor may today's pre-market or yesterday's
// after-hours bars.
TEST(ParseChartAnswer, PreviousCloseIsYesterdaysRegularCloseNeverChartPreviousClose)
{
    const QString twoDays = times({kThursdayLastBar - 300, kThursdayLastBar, kThursdayAfterHours, kFridayPreMarket,
                                   kRegularStart + 1800});
    const struct {
        const char *name;
        QString meta;
        QString timestamps;
        QString closes;
        std::optional<double> expected;
    } cases[] = {
        {"meta previousClose wins", R"("previousClose":150.0,"chartPreviousClose":140.0)", twoDays,
         "148.9,149.0,149.5,151.0,152.0", 150.0},
        {"last regular bar before the session", R"("chartPreviousClose":140.0)", twoDays,
         "148.9,149.0,149.5,151.0,152.0", 149.0},
        {"a gap at the close takes the bar before", R"("chartPreviousClose":140.0)", twoDays,
         "148.9,null,149.5,151.0,152.0", 148.9},
        {"previousClose of the wrong type", R"("previousClose":"150.0","chartPreviousClose":140.0)", twoDays,
         "148.9,149.0,149.5,151.0,152.0", 149.0},
        {"only today's bars", R"("chartPreviousClose":140.0)", times({kFridayPreMarket, kRegularStart}), "151.0,152.0",
         std::nullopt},
        {"no bars at all", R"("chartPreviousClose":140.0)", "", "", std::nullopt},
    };
    for (const auto &c : cases) {
        const auto answer = ParseChartAnswer(ChartBody(c.meta, c.timestamps, c.closes));
        ASSERT_TRUE(answer) << c.name;
        EXPECT_EQ(answer->previousClose, c.expected) << c.name;
    }

    // Without the session times there is nothing to tell yesterday's bars by.
    const QByteArray noPeriods = R"({"chart":{"result":[{"meta":{"symbol":"ACME","chartPreviousClose":140.0},)"
                                 R"("timestamp":[1796331300,1796394600],"indicators":{"quote":[{"close":[149.0,152.0]}]}}]}})";
    const auto answer = ParseChartAnswer(noPeriods);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->previousClose, std::nullopt);
    EXPECT_EQ(answer->regular, std::nullopt);
}

TEST(ParseChartAnswer, ReadsMetaAndPairsBarsDefensively)
{
    const auto answer = ParseChartAnswer(ChartBody(
        R"("regularMarketPrice":152.5,"regularMarketTime":1796418000,"regularMarketDayHigh":153,"regularMarketDayLow":)"
        R"(148.25,"regularMarketVolume":12345678,"fiftyTwoWeekHigh":{"raw":180.5,"fmt":"180.50"},"fiftyTwoWeekLow":true,)"
        R"("shortName":"  Acme\n\tCorp. ","longName":null)",
        // Unequal arrays, a time that goes backwards, a negative time, a string close and a null.
        times({kRegularStart, kRegularStart + 300, kRegularStart + 200, -5, kRegularStart + 600, kRegularStart + 900,
               kRegularStart + 1200}),
        R"(150.0,"151",150.5,150.7,null,151.5)"));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->symbol, u"ACME");
    EXPECT_EQ(answer->shortName, u"Acme Corp.");
    EXPECT_EQ(answer->longName, std::nullopt);
    EXPECT_EQ(answer->exchangeTimezoneName, u"America/New_York");
    EXPECT_EQ(answer->regularMarketPrice, 152.5);
    EXPECT_EQ(answer->regularMarketTime, kRegularEnd);
    EXPECT_EQ(answer->dayHigh, 153.0);
    EXPECT_EQ(answer->dayLow, 148.25);
    EXPECT_EQ(answer->volume, 12345678.0);
    EXPECT_EQ(answer->fiftyTwoWeekHigh, 180.5);
    EXPECT_EQ(answer->fiftyTwoWeekLow, std::nullopt);
    ASSERT_TRUE(answer->regular);
    EXPECT_EQ(answer->regular->start, kRegularStart);
    EXPECT_EQ(answer->post->end, kPostEnd);

    ASSERT_EQ(answer->bars.size(), 4u); // six closes pair with the first six times; two times are dropped
    EXPECT_EQ(answer->bars[0].time, kRegularStart);
    EXPECT_EQ(answer->bars[0].close, 150.0);
    EXPECT_EQ(answer->bars[1].close, std::nullopt); // "151" is no number
    EXPECT_EQ(answer->bars[2].time, kRegularStart + 600);
    EXPECT_EQ(answer->bars[2].close, std::nullopt);
    EXPECT_EQ(answer->bars[3].time, kRegularStart + 900);
    EXPECT_EQ(answer->bars[3].close, 151.5);
}

// What the services send when they refuse, and what no service sends: no reader takes any of it.
TEST(LiveAnswers, NoReaderTakesARefusalOrAHostileBody)
{
    QByteArray huge = ChartBody(R"("regularMarketPrice":1)", "", "");
    huge.append(QByteArray(5 * 1024 * 1024, ' '));
    for (const QByteArray &body : {QByteArray(), QByteArray("\n"), kTooManyRequests, kChallengePage, kAccessDenied, kInvalidCrumb,
                                   QByteArray(200000, '['), huge}) {
        SCOPED_TRACE(body.left(40).toStdString());
        EXPECT_EQ(ParseChartAnswer(body), std::nullopt);
        EXPECT_EQ(ParseQuoteAnswer(body), std::nullopt);
        EXPECT_EQ(ParseDelayedQuoteAnswer(body), std::nullopt);
        EXPECT_EQ(ParseCrumb(body), std::nullopt);
        EXPECT_EQ(ParseHeadlineFeed(body), std::nullopt);
    }
}

TEST(ParseChartAnswer, NothingForBodiesThatAreNoChart)
{
    const struct {
        const char *name;
        QByteArray body;
    } cases[] = {
        {"chart error", R"({"chart":{"result":null,"error":{"code":"Not Found","description":"No data found"}}})"},
        {"error beside a result", R"({"chart":{"result":[{"meta":{"symbol":"X"}}],"error":{"code":"x"}}})"},
        {"empty result", R"({"chart":{"result":[],"error":null}})"},
        {"result without meta", R"({"chart":{"result":[{"timestamp":[1]}],"error":null}})"},
        {"top-level array", R"([{"chart":{}}])"},
        {"truncated", ChartBody(R"("regularMarketPrice":1)", "1,2", "1,2").chopped(3)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParseChartAnswer(c.body), std::nullopt) << c.name;
}

TEST(ParseChartAnswer, NumbersAreFiniteAndOfMarketSize)
{
    const struct {
        const char *price;
        std::optional<double> expected;
    } cases[] = {
        {"1e999", std::nullopt},  {"-1e999", std::nullopt}, {"1e300", std::nullopt},
        {"NaN", std::nullopt},    {"\"Infinity\"", std::nullopt}, {"[1]", std::nullopt},
        {"{\"raw\":\"1\"}", std::nullopt}, {"-37.63", -37.63}, {"0", 0.0},
        {"123456789012", 123456789012.0},
    };
    for (const auto &c : cases) {
        const auto answer = ParseChartAnswer(ChartBody(QStringLiteral("\"regularMarketPrice\":") + c.price, "", ""));
        // A literal JSON does not know may make the whole body unreadable; never a number that is not finite.
        if (!answer) {
            EXPECT_EQ(c.expected, std::nullopt) << c.price;
            continue;
        }
        EXPECT_EQ(answer->regularMarketPrice, c.expected) << c.price;
    }
}
