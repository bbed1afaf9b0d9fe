#include "LiveFixtures.h"

#include "live/LiveAnswers.h"

#include <gtest/gtest.h>

using namespace tickwell;
using namespace tickwell::live_fixtures;

TEST(ParseCrumb, TakesAShortTokenOnly)
{
    const struct {
        QByteArray body;
        std::optional<QString> expected;
    } cases[] = {
        {"Ab3dE.f/g1h", QStringLiteral("Ab3dE.f/g1h")}, // "/" is part of the crumb (percent-encoded later)
        {"  xYz_09-Q\r\n", QStringLiteral("xYz_09-Q")},
        {"Too-Many-Requests-but-why-not?", std::nullopt},
        {"abc def", std::nullopt},
        {QByteArray("abc\0def", 7), std::nullopt},
        {QByteArray(65, 'a'), std::nullopt},
        {QByteArray(64, 'a'), QString(64, u'a')},
        {"caf\xc3\xa9", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParseCrumb(c.body), c.expected) << c.body.left(30).toStdString();
}

TEST(ParseDelayedQuoteAnswer, ReadsDataAndTreatsDroppedSymbolsAsNoQuote)
{
    const QByteArray live = R"({"timestamp":"2026-12-04 21:15:02","data":{"symbol":"ACME","security_type":"stock",
        "current_price":150.25,"price_change":1.25,"price_change_percent":0.8389,"bid":150.2,"ask":150.3,
        "open":149.5,"high":151.5,"low":148.75,"close":150.25,"prev_day_close":149.0,"volume":40896227,
        "last_trade_time":"2026-12-04T16:00:00","tick":"up"}})";
    const auto answer = ParseDelayedQuoteAnswer(live);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->symbol, u"ACME");
    EXPECT_EQ(answer->currentPrice, 150.25);
    EXPECT_EQ(answer->priceChange, 1.25);
    EXPECT_EQ(answer->priceChangePercent, 0.8389);
    EXPECT_EQ(answer->previousClose, 149.0);
    EXPECT_EQ(answer->high, 151.5);
    EXPECT_EQ(answer->volume, 40896227.0);
    EXPECT_EQ(answer->lastTradeTime, u"2026-12-04T16:00:00");

    const QByteArray nothing[] = {
        // A dropped symbol: every value zero, stamped 2000-01-01.
        R"({"timestamp":"2026-12-04 21:15:02","data":{"symbol":"GONE","current_price":0,"price_change":0,
            "price_change_percent":0,"prev_day_close":0,"open":0,"high":0,"low":0,"volume":0,
            "last_trade_time":"2000-01-01T00:00:00"}})",
        // The stamp alone says so, even with a stale price left in.
        R"({"data":{"symbol":"GONE","current_price":3.5,"last_trade_time":"2000-01-01T00:00:00"}})",
        R"({"data":{"symbol":"ACME","current_price":0,"last_trade_time":"2026-12-04T16:00:00"}})",
        R"({"data":{"symbol":"ACME","current_price":"150.25"}})",
        R"({"data":[]})",
        live.chopped(5),
    };
    for (const QByteArray &body : nothing)
        EXPECT_EQ(ParseDelayedQuoteAnswer(body), std::nullopt) << body.left(60).toStdString();
}
