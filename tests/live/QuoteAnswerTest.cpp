#include "LiveFixtures.h"

#include "live/LiveAnswers.h"

#include <gtest/gtest.h>

using namespace tickwell;
using namespace tickwell::live_fixtures;

namespace {

// The v7 shape: percents in percent, the dividend yield a fraction, post-market values after the close.
const QByteArray kTwoQuotes = R"({"quoteResponse":{"result":[
 {"language":"en-US","quoteType":"EQUITY","shortName":"Acme Corp.","longName":"Acme Corporation",
  "marketState":"POST","regularMarketChangePercent":0.8389262,"regularMarketPrice":150.25,
  "exchangeTimezoneName":"America/New_York","regularMarketTime":1796418000,"regularMarketChange":1.25,
  "regularMarketDayHigh":151.5,"regularMarketDayLow":148.75,"regularMarketVolume":40896227,
  "regularMarketPreviousClose":149.0,"bid":150.2,"ask":150.3,"regularMarketOpen":149.5,
  "averageDailyVolume3Month":50443058,"fiftyTwoWeekLow":120.08,"fiftyTwoWeekHigh":180.1,
  "trailingAnnualDividendRate":0.99,"trailingPE":38.763866,"trailingAnnualDividendYield":0.00409887,
  "dividendYield":0.41,"epsTrailingTwelveMonths":3.88,"marketCap":3674405863424,"targetMeanPrice":170,
  "postMarketPrice":150.64,"postMarketChange":0.39,"postMarketChangePercent":0.26,"symbol":"ACME"},
 {"symbol":"BETA","regularMarketPrice":{"raw":12.5,"fmt":"12.50"},"regularMarketChange":"-0.5","marketState":7},
 {"shortName":"No symbol","regularMarketPrice":1},
 "not an object",
 {"symbol":"","regularMarketPrice":2}
],"error":null}})";

} // namespace

TEST(ParseQuoteAnswer, ReadsEntriesInOrderAndSkipsThoseWithoutSymbol)
{
    const auto quotes = ParseQuoteAnswer(kTwoQuotes);
    ASSERT_TRUE(quotes);
    ASSERT_EQ(quotes->size(), 2u);
    const QuoteAnswer &acme = (*quotes)[0];
    EXPECT_EQ(acme.symbol, u"ACME");
    EXPECT_EQ(acme.longName, u"Acme Corporation");
    EXPECT_EQ(acme.marketState, u"POST");
    EXPECT_EQ(acme.exchangeTimezoneName, u"America/New_York");
    EXPECT_EQ(acme.regularMarketTime, kRegularEnd);
    EXPECT_EQ(acme.regularMarketChangePercent, 0.8389262);
    EXPECT_EQ(acme.trailingAnnualDividendYield, 0.00409887);
    EXPECT_EQ(acme.marketCap, 3674405863424.0);
    EXPECT_EQ(acme.targetMeanPrice, 170.0);
    EXPECT_EQ(acme.postMarketPrice, 150.64);
    EXPECT_EQ(acme.preMarketPrice, std::nullopt);

    const QuoteAnswer &beta = (*quotes)[1];
    EXPECT_EQ(beta.symbol, u"BETA");
    EXPECT_EQ(beta.regularMarketPrice, 12.5);          // the formatted form gives its raw number
    EXPECT_EQ(beta.regularMarketChange, std::nullopt); // a text is not a number
    EXPECT_EQ(beta.marketState, std::nullopt);
}

TEST(ParseQuoteAnswer, EmptyResultIsAnAnswerRefusalsAreNot)
{
    const auto empty = ParseQuoteAnswer(R"({"quoteResponse":{"result":[],"error":null}})");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());

    for (const QByteArray &body : {QByteArray(R"({"quoteResponse":{"result":null}})"),
                                   QByteArray(R"({"quoteResponse":[]})"), kTwoQuotes.chopped(10)})
        EXPECT_EQ(ParseQuoteAnswer(body), std::nullopt) << body.left(40).toStdString();
}

TEST(ParseQuoteAnswer, CapsTheNumberOfEntries)
{
    QByteArray body = R"({"quoteResponse":{"result":[)";
    for (int i = 0; i < 5000; ++i)
        body += (i ? "," : "") + QByteArray(R"({"symbol":"S)") + QByteArray::number(i) + R"(","regularMarketPrice":1})";
    body += "]}}";
    const auto quotes = ParseQuoteAnswer(body);
    ASSERT_TRUE(quotes);
    EXPECT_EQ(quotes->size(), 200u);
    EXPECT_EQ(quotes->front().symbol, u"S0");
}
