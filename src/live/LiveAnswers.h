#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace tickwell {

// The answers of today's keyless quote services, read defensively: a parser never trusts a
// field's presence or type, yields only finite numbers (or nothing), and gives nothing at all for
// a body that is not the answer it reads (an HTML challenge page, a plain-text refusal, a
// truncated document). Times are seconds since 1970 (UTC).

struct TradingPeriod {
    std::int64_t start = 0;
    std::int64_t end = 0;
};

// One bar of the chart: its time and the close, absent where the service left a gap (null).
struct ChartBar {
    std::int64_t time = 0;
    std::optional<double> close;
};

// The v8 chart answer ("/v8/finance/chart/SYM?range=1d&interval=5m&includePrePost=true"),
// chart.result[0].
struct ChartAnswer {
    QString symbol;
    std::optional<QString> shortName;
    std::optional<QString> longName;
    std::optional<QString> currency;
    std::optional<QString> exchangeName;
    std::optional<QString> exchangeTimezoneName; // "America/New_York"
    std::optional<double> regularMarketPrice;
    std::optional<std::int64_t> regularMarketTime;
    // The close the day's change is reckoned from: meta.previousClose when present, else the
    // close of the last bar before the current regular session started. Never chartPreviousClose,
    // which is the close before the requested range, not yesterday's close.
    std::optional<double> previousClose;
    // meta.chartPreviousClose: the close before the requested range, what a chart of the range
    // is measured against.
    std::optional<double> chartPreviousClose;
    std::optional<double> dayHigh;
    std::optional<double> dayLow;
    std::optional<double> volume;
    std::optional<double> fiftyTwoWeekHigh;
    std::optional<double> fiftyTwoWeekLow;
    std::optional<TradingPeriod> pre;
    std::optional<TradingPeriod> regular;
    std::optional<TradingPeriod> post;
    std::vector<ChartBar> bars; // in time order
};

// A chart answer, or nothing when the body is not one (also for chart.error set, no result).
// Usage: the body of a 200 answer, whatever its content type; nothing is a refusal to report.
std::optional<ChartAnswer> ParseChartAnswer(QByteArrayView body);

// One entry of the v7 quote answer ("/v7/finance/quote?symbols=A,B&crumb=..."),
// quoteResponse.result[]. Percents here are in percent (1.27 means 1.27 %).
struct QuoteAnswer {
    QString symbol;
    std::optional<QString> shortName;
    std::optional<QString> longName;
    std::optional<QString> marketState; // "PRE", "REGULAR", "POST", "POSTPOST", "CLOSED", ...
    std::optional<QString> exchangeTimezoneName; // "America/New_York"
    std::optional<double> regularMarketPrice;
    std::optional<double> regularMarketChange;
    std::optional<double> regularMarketChangePercent;
    std::optional<double> regularMarketPreviousClose;
    std::optional<std::int64_t> regularMarketTime;
    std::optional<double> regularMarketOpen;
    std::optional<double> regularMarketDayHigh;
    std::optional<double> regularMarketDayLow;
    std::optional<double> regularMarketVolume;
    std::optional<double> averageDailyVolume3Month;
    std::optional<double> bid;
    std::optional<double> ask;
    std::optional<double> fiftyTwoWeekLow;
    std::optional<double> fiftyTwoWeekHigh;
    std::optional<double> marketCap;
    std::optional<double> trailingPE;
    std::optional<double> epsTrailingTwelveMonths;
    std::optional<double> trailingAnnualDividendRate;
    std::optional<double> trailingAnnualDividendYield; // a fraction (0.004 means 0.4 %)
    std::optional<double> targetMeanPrice;
    std::optional<double> preMarketPrice;
    std::optional<double> preMarketChange;
    std::optional<double> preMarketChangePercent;
    std::optional<double> postMarketPrice;
    std::optional<double> postMarketChange;
    std::optional<double> postMarketChangePercent;
};

// The entries of a quote answer in answer order, or nothing when the body is not one (a refused
// crumb's {"finance": {"error": ...}} included). Entries without a symbol are left out; at most 200.
// Usage: match the entries to the asked symbols by `symbol`; an asked symbol may be missing.
std::optional<std::vector<QuoteAnswer>> ParseQuoteAnswer(QByteArrayView body);

// A crumb from the "/v1/test/getcrumb" body: a short printable token without white space, or
// nothing (an empty body, "Too Many Requests", an HTML page, anything long or odd).
// Usage: nothing means no session; percent-encode the crumb before putting it in an address.
std::optional<QString> ParseCrumb(QByteArrayView body);

// The delayed-quotes answer ("/api/global/delayed_quotes/quotes/SYM.json", data.*). Percent in
// percent. Nothing for a body that is not one, and nothing for a dropped symbol (every price zero,
// stamped 2000-01-01): both mean "no quote".
struct DelayedQuoteAnswer {
    QString symbol;
    double currentPrice = 0.0;
    std::optional<double> priceChange;
    std::optional<double> priceChangePercent;
    std::optional<double> previousClose; // prev_day_close
    std::optional<double> open;
    std::optional<double> high;
    std::optional<double> low;
    std::optional<double> volume;
    std::optional<QString> lastTradeTime; // as the service writes it
};

// Usage: for a symbol the other services refuse; a 403 XML body (unknown symbol) gives nothing too.
std::optional<DelayedQuoteAnswer> ParseDelayedQuoteAnswer(QByteArrayView body);

// One item of a per-symbol RSS 2.0 headline feed.
struct FeedHeadline {
    QString title;   // entities decoded, white space folded
    QString link;    // absolute http or https address, else the item is left out
    std::optional<QString> published; // pubDate as written
    std::optional<QString> source;    // <source> text, when given
};

// The items of an RSS feed in feed order (at most 50), or nothing when the body is not RSS.
// A truncated or malformed document gives nothing, not the items before the fault.
// Usage: hand the items to SymbolQuoteFromAnswers; nothing leaves the headline block absent.
std::optional<std::vector<FeedHeadline>> ParseHeadlineFeed(QByteArrayView body);

} // namespace tickwell
