#include "LiveFixtures.h"

#include "live/QuoteTexts.h"
#include "live/SnapshotFromAnswers.h"
#include "text/NumberReading.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <cstdlib>
#include <ctime>

using namespace tickwell;
using namespace tickwell::live_fixtures;

namespace {

const LiveChartColors kColors{QColor(0, 200, 0), QColor(200, 0, 0)};

const QByteArray kAcmeQuote = R"({"quoteResponse":{"result":[{"shortName":"Acme Corp.","longName":"Acme Corporation","marketState":"POST",
  "regularMarketChangePercent":0.8389262,"regularMarketPrice":1150.25,"exchangeTimezoneName":"America/New_York","regularMarketTime":1796418000,
  "regularMarketChange":1.25,"regularMarketDayHigh":1151.5,"regularMarketDayLow":1148.75,"regularMarketVolume":40896227,"bid":0,"ask":1150.3,
  "regularMarketPreviousClose":1149.0,"regularMarketOpen":1149.5,"averageDailyVolume3Month":50443058.4,"fiftyTwoWeekLow":920.08,"fiftyTwoWeekHigh":1180.1,
  "trailingAnnualDividendRate":0.99,"trailingPE":38.763866,"trailingAnnualDividendYield":0.00409887,"epsTrailingTwelveMonths":-3.884,
  "marketCap":245123456789,"preMarketPrice":1140.0,"postMarketPrice":1150.64,"symbol":"ACME"}],"error":null}})";

QuoteAnswer acmeQuote()
{
    return ParseQuoteAnswer(kAcmeQuote).value_or(std::vector<QuoteAnswer>(1)).front(); // unread: every case fails
}

// A chart of the Thursday close, Friday's pre-market and session, and one after-hours bar.
ChartAnswer acmeChart(const QString &meta = QStringLiteral(R"("regularMarketPrice":1150.25,"regularMarketTime":1796418000,"shortName":"Acme")"))
{
    const QString timestamps =
        QStringLiteral("%1,%2,%3,%4,%5").arg(kThursdayLastBar).arg(kFridayPreMarket).arg(kRegularStart).arg(kRegularStart + 3600).arg(kRegularEnd + 600);
    return ParseChartAnswer(ChartBody(meta, timestamps, "1149.0,1141.0,1145.0,1150.25,1150.5")).value_or(ChartAnswer{});
}

QStringList detailPairs(const SymbolQuote &quote)
{
    QStringList pairs;
    for (const QuoteDetail &detail : quote.details)
        pairs << detail.label + ": " + detail.value;
    return pairs;
}

// Another zone for one scope (the zone of the process must not matter); New York again after.
struct ScopedZone {
    explicit ScopedZone(const char *zone) { setenv("TZ", zone, 1), tzset(); }
    ~ScopedZone() { setenv("TZ", "America/New_York", 1), tzset(); }
};

} // namespace

TEST(SymbolQuoteFromAnswers, FillsTheQuotePageFieldsFromTheQuoteAnswer)
{
    const QuoteAnswer quote = acmeQuote();
    const ChartAnswer chart = acmeChart();
    const std::vector<FeedHeadline> feed{
        {QStringLiteral("Acme beats estimates"), QStringLiteral("https://news.example.com/a"),
         QStringLiteral("Fri, 04 Dec 2026 21:05:00 +0000"), QStringLiteral("Reuters")},
        {QString(), QStringLiteral("https://news.example.com/b"), QStringLiteral("yesterday"), std::nullopt},
    };
    // Neither the user's locale nor the machine's zone changes the texts.
    const QLocale oldLocale;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const ScopedZone zone("Asia/Tokyo");
    const SymbolQuote result = SymbolQuoteFromAnswers(&chart, &quote, &feed, kColors);
    QLocale::setDefault(oldLocale);

    EXPECT_EQ(result.company, u"Acme Corporation");
    EXPECT_EQ(result.realTime, u"1150.64"); // POST: the post-market price is live
    EXPECT_EQ(result.afterHours, std::nullopt);
    // No bid: the service writes 0 when there is none. The yield arrives as a fraction.
    EXPECT_EQ(detailPairs(result), QStringList({"Last Trade: 1150.25", "Trade Time: 4:00PM EST", "Prev Close: 1149.00", "Open: 1149.50",
        "Ask: 1150.30", "Day's Range: 1148.75 - 1151.50", "52wk Range: 920.08 - 1180.10", "Volume: 40,896,227", "Avg Vol (3m): 50,443,058",
        "Market Cap: 245.1B", "P/E (ttm): 38.76", "EPS (ttm): -3.88", "Div & Yield: 0.99 (0.41%)"}));

    ASSERT_EQ(result.headlines.value_or(decltype(result.headlines)::value_type{}).size(), 2u);
    EXPECT_EQ((*result.headlines)[0].text, u"Acme beats estimates");
    EXPECT_EQ((*result.headlines)[0].source, u"Reuters (Fri 4:05PM)");
    EXPECT_EQ((*result.headlines)[1].text, std::nullopt); // the menu looks the title up
    EXPECT_EQ((*result.headlines)[1].source, u"(yesterday)");
    EXPECT_EQ(result.chart.value_or(decltype(result.chart)::value_type{}).image.size(), QSize(192, 96));
}

TEST(SymbolQuoteFromAnswers, MarketStateChoosesTheExtendedHoursPrice)
{
    const std::optional<QString> none, pre = QStringLiteral("1140.00"), post = QStringLiteral("1150.64");
    const std::tuple<const char *, std::optional<QString>, std::optional<QString>> cases[] = { // state, real time, after hours
        {"PRE", pre, none}, {"REGULAR", none, none}, {"POSTPOST", post, none}, {"CLOSED", none, post}, {"PREPRE", none, post}};
    for (const auto &[state, realTime, afterHours] : cases) {
        QuoteAnswer quote = acmeQuote();
        quote.marketState = QString::fromLatin1(state);
        const SymbolQuote result = SymbolQuoteFromAnswers(nullptr, &quote, nullptr, kColors);
        EXPECT_EQ(std::pair(result.realTime, result.afterHours), std::pair(realTime, afterHours)) << state;
        EXPECT_EQ(result.headlines, std::nullopt); // no feed asked: no headline block
    }
}

TEST(SymbolQuoteFromAnswers, ChartAloneGivesPriceAndYesterdaysClose)
{
    const ChartAnswer chart = acmeChart();
    const SymbolQuote result = SymbolQuoteFromAnswers(&chart, nullptr, nullptr, kColors);
    EXPECT_EQ(result.company, u"Acme");
    EXPECT_EQ(result.previousClose, u"1149.00"); // Thursday's last regular bar, not the pre-market one
    EXPECT_EQ(result.realTime, u"1150.50");      // the latest bar is an after-hours one

    const ChartAnswer noPrice = acmeChart(QString());
    const SymbolQuote empty = SymbolQuoteFromAnswers(&noPrice, nullptr, nullptr, kColors);
    EXPECT_EQ(empty.lastTrade, std::nullopt); // no line, though the chart can still be drawn
    EXPECT_TRUE(empty.chart);
}

TEST(QuoteTexts, PricesReadBackAndTimesFollowTheExchangeZone)
{
    // The menu reckons the change from these texts with its number reader, which stops at ",".
    for (double price : {0.0, 0.0123, 0.5, 1.0, 149.0, 1234.5, 987654.32, -37.63, 123456789012.0})
        EXPECT_NEAR(ReadDecimalNumber(PriceText(price)), price, 1e-9) << price;
    EXPECT_EQ(PriceText(-0.001), u"-0.0010");
    EXPECT_EQ(PriceText(-0.00001), u"0.0000");
    EXPECT_EQ(GroupedText(-1234567.891, 2), u"-1,234,567.89");
    EXPECT_EQ(GroupedText(999.999, 2), u"1,000.00");
    EXPECT_EQ(SignedText(-0.004, 2), u"0.00");
    EXPECT_EQ(AbbreviatedText(3674405863424.0), u"3.67T");
    EXPECT_EQ(AbbreviatedText(999.0), u"999.00");

    const struct { long long time; std::optional<QString> zone; const char *expected; } times[] = {
        {kRegularEnd, QStringLiteral("America/New_York"), "4:00PM EST"},
        {1783368000, QStringLiteral("America/New_York"), "4:00PM EDT"}, // July
        {kRegularEnd, QStringLiteral("Europe/London"), "9:00PM GMT"},
        {kRegularEnd, QStringLiteral("Not/AZone"), "4:00PM EST"},
        {kRegularEnd, std::nullopt, "4:00PM EST"},
        {kPreStart, std::nullopt, "4:00AM EST"},
    };
    const ScopedZone zone("Australia/Sydney");
    for (const auto &c : times)
        EXPECT_EQ(TradeTimeText(c.time, c.zone), QString::fromLatin1(c.expected)) << c.expected;
}

TEST(MarketQuoteFromAnswers, WritesTheMarketPagesLines)
{
    const auto named = [](const char *symbol) {
        return *std::ranges::find_if(LiveInstruments(), [&](const LiveInstrument &i) { return i.symbol == QLatin1StringView(symbol); });
    };
    QuoteAnswer dow; // the change percent comes already in percent
    std::tie(dow.regularMarketPrice, dow.regularMarketChange, dow.regularMarketChangePercent) = std::tuple(43012.345, -123.456, -0.2862);
    const ChartAnswer gold = acmeChart(QStringLiteral(R"("regularMarketPrice":2345.6,"previousClose":2340)"));
    const ChartAnswer dollar = acmeChart(QStringLiteral(R"("regularMarketPrice":104.1234,"previousClose":99)"));
    const ChartAnswer flat = acmeChart(QStringLiteral(R"("regularMarketPrice":5000,"previousClose":0)"));

    const struct { const char *symbol; const ChartAnswer *chart; const QuoteAnswer *quote; const char *title, *change, *percent; } cases[] = {
        {"^DJI", nullptr, &dow, "Dow: 43,012.35", "-123.46", "-0.29%"},
        {"GC=F", &gold, nullptr, "Gold (futures): 2,345.60", "+5.60", "+0.24%"},
        {"DX-Y.NYB", &dollar, nullptr, "U.S. Dollar Index: 104.123", "+5.123", "+5.18%"},
        {"^GSPC", &flat, nullptr, "S&P: 5,000.00", "", ""}, // a zero previous close gives no percent
    };
    for (const auto &c : cases) {
        const auto line = MarketQuoteFromAnswers(named(c.symbol), c.chart, c.quote, kColors);
        ASSERT_TRUE(line) << c.symbol;
        EXPECT_EQ(QStringList({line->title, line->change, line->percent}), QStringList({c.title, c.change, c.percent}));
        EXPECT_EQ(line->chart.has_value(), c.chart != nullptr) << c.symbol;
    }
    EXPECT_EQ(MarketQuoteFromAnswers(named("^IXIC"), nullptr, nullptr, kColors), std::nullopt);
}

TEST(SymbolQuoteFromDelayed, FillsPriceCloseAndEasternTradeTime)
{
    const auto answer = ParseDelayedQuoteAnswer(R"({"data":{"symbol":"ACME","current_price":1150.25,"price_change":1.25,"price_change_percent":0.1088,
        "open":1149.5,"high":1151.5,"low":1148.75,"prev_day_close":1149.0,"volume":40896227,"last_trade_time":"2026-12-04T16:00:00"}})");
    ASSERT_TRUE(answer);
    const ScopedZone zone("UTC");
    EXPECT_EQ(detailPairs(SymbolQuoteFromDelayed(*answer)), QStringList({"Last Trade: 1150.25", "Trade Time: 4:00PM EST", "Prev Close: 1149.00",
        "Open: 1149.50", "Day's Range: 1148.75 - 1151.50", "Volume: 40,896,227"}));

    // A stamp that is no date and time is not shown, however the service wrote it.
    DelayedQuoteAnswer odd = *answer;
    odd.lastTradeTime = QString(120, u'9');
    EXPECT_EQ(SymbolQuoteFromDelayed(odd).tradeTime, std::nullopt);
    odd.lastTradeTime = QStringLiteral("2026-12-04T16:00:00Z");
    EXPECT_EQ(SymbolQuoteFromDelayed(odd).tradeTime, u"11:00AM EST");

    const MarketQuote line = MarketQuoteFromDelayed(LiveInstruments()[2], *answer);
    EXPECT_EQ(QStringList({line.title, line.change, line.percent}), QStringList({"S&P: 1,150.25", "+1.25", "+0.11%"}));
}
