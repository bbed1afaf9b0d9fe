#include "LiveDocuments.h"

#include "FeedText.h"
#include "NewsPages.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTimeZone>

#include <algorithm>
#include <cmath>

namespace tickwell::feed {

namespace {

QString text(const std::string &value)
{
    return QString::fromStdString(value);
}

std::string compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

double percentOf(double change, double base)
{
    return base != 0 ? change / base * 100.0 : 0.0;
}

QString range(double low, double high)
{
    return text(Fixed(low, 2) + " - " + Fixed(high, 2));
}

QJsonObject quoteEntry(const LiveQuote &live, const MarketClock &clock)
{
    const StockQuote &quote = live.quote;
    const TradingHours &session = clock.session();
    const std::string state = clock.marketState();
    const double change = quote.last - quote.previousClose;
    QJsonObject entry{
        {"language", "en-US"},
        {"region", "US"},
        {"quoteType", text(live.quoteType)},
        {"typeDisp", live.quoteType == "EQUITY" ? "Equity" : live.quoteType == "INDEX" ? "Index" : "Futures"},
        {"shortName", text(live.shortName)},
        {"longName", text(live.longName)},
        {"marketState", text(state)},
        {"currency", "USD"},
        {"exchange", text(live.exchange)},
        {"fullExchangeName", text(live.fullExchangeName)},
        {"exchangeTimezoneName", "America/New_York"},
        {"exchangeTimezoneShortName", text(session.zone)},
        {"gmtOffSetMilliseconds", qint64(session.gmtOffset) * 1000},
        {"market", "us_market"},
        {"regularMarketPrice", quote.last},
        {"regularMarketChange", change},
        {"regularMarketChangePercent", percentOf(change, quote.previousClose)},
        {"regularMarketTime", qint64(std::min(clock.now(), session.regularEnd))},
        {"regularMarketPreviousClose", quote.previousClose},
        {"regularMarketOpen", quote.open},
        {"regularMarketDayHigh", quote.dayHigh},
        {"regularMarketDayLow", quote.dayLow},
        {"regularMarketDayRange", range(quote.dayLow, quote.dayHigh)},
        {"regularMarketVolume", qint64(quote.volume)},
        {"averageDailyVolume3Month", qint64(quote.averageVolume)},
        {"averageDailyVolume10Day", qint64(quote.averageVolume * 9 / 10)},
        {"fiftyTwoWeekLow", quote.yearLow},
        {"fiftyTwoWeekHigh", quote.yearHigh},
        {"fiftyTwoWeekRange", range(quote.yearLow, quote.yearHigh)},
        {"hasPrePostMarketData", live.quoteType == "EQUITY"},
        {"priceHint", 2},
        {"sourceInterval", 15},
        {"exchangeDataDelayedBy", 0},
        {"tradeable", false},
        {"triggerable", true},
        {"symbol", text(quote.symbol)},
    };
    if (live.quoteType == "EQUITY") {
        const double yield = quote.previousClose > 0 ? quote.dividend / quote.previousClose : 0.0;
        entry.insert("bid", quote.bid);
        entry.insert("ask", quote.ask);
        entry.insert("bidSize", 1);
        entry.insert("askSize", 3);
        entry.insert("marketCap", std::round(quote.marketCapBillions * 1e9));
        entry.insert("trailingPE", quote.priceEarnings);
        entry.insert("epsTrailingTwelveMonths", quote.earningsPerShare);
        entry.insert("trailingAnnualDividendRate", quote.dividend);
        entry.insert("trailingAnnualDividendYield", yield);
        entry.insert("dividendYield", std::round(yield * 10000.0) / 100.0); // this one in percent
        entry.insert("targetMeanPrice", quote.targetEstimate);
        entry.insert("averageAnalystRating", "2.1 - Buy");
        if (state == "PRE") {
            entry.insert("preMarketPrice", quote.realTime);
            entry.insert("preMarketChange", quote.realTime - quote.last);
            entry.insert("preMarketChangePercent", percentOf(quote.realTime - quote.last, quote.last));
            entry.insert("preMarketTime", qint64(clock.now()));
        } else if (state != "REGULAR") {
            entry.insert("postMarketPrice", quote.afterHours);
            entry.insert("postMarketChange", quote.afterHours - quote.last);
            entry.insert("postMarketChangePercent", percentOf(quote.afterHours - quote.last, quote.last));
            entry.insert("postMarketTime", qint64(std::min(clock.now(), session.postEnd)));
        }
    }
    return entry;
}

QJsonObject delayedData(const std::string &symbol, const StockQuote &quote, const std::string &lastTradeTime, bool index)
{
    const double change = quote.last - quote.previousClose;
    return {
        {"symbol", text(symbol)},
        {"security_type", index ? "index" : "stock"},
        {"exchange_id", index ? 5 : 0},
        {"current_price", quote.last},
        {"price_change", std::round(change * 100.0) / 100.0},
        {"price_change_percent", quote.previousClose != 0 ? std::round(percentOf(change, quote.previousClose) * 1e4) / 1e4 : 0.0},
        {"bid", quote.bid},
        {"bid_size", quote.bid > 0 ? 1 : 0},
        {"ask", quote.ask},
        {"ask_size", quote.ask > 0 ? 3 : 0},
        {"open", quote.open},
        {"high", quote.dayHigh},
        {"low", quote.dayLow},
        {"close", quote.last},
        {"prev_day_close", quote.previousClose},
        {"volume", qint64(quote.volume)},
        {"last_trade_time", text(lastTradeTime)},
        {"tick", change > 0 ? "up" : change < 0 ? "down" : "no_change"},
        {"seqno", qint64(quote.volume % 100000)},
        {"options", QJsonArray{}},
    };
}

std::string rfc822(std::int64_t time)
{
    return QLocale::c()
        .toString(QDateTime::fromSecsSinceEpoch(time, QTimeZone::utc()), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss '+0000'"))
        .toStdString();
}

} // namespace

std::string QuoteDocument(const std::vector<LiveQuote> &quotes, const MarketClock &clock)
{
    QJsonArray result;
    for (const LiveQuote &live : quotes)
        result.append(quoteEntry(live, clock));
    return compact({{"quoteResponse", QJsonObject{{"result", result}, {"error", QJsonValue::Null}}}});
}

std::string FinanceErrorDocument(const std::string &code, const std::string &description)
{
    const QJsonObject error{{"code", text(code)}, {"description", text(description)}};
    return compact({{"finance", QJsonObject{{"result", QJsonValue::Null}, {"error", error}}}});
}

std::string DelayedQuoteDocument(const LiveQuote &live, const MarketClock &clock)
{
    const std::int64_t delayed = std::min(clock.now() - 15 * 60, clock.session().regularEnd);
    return compact({{"timestamp", text(MarketClock::newYorkText(clock.now()).replace(10, 1, " "))},
                    {"data", delayedData(live.quote.symbol, live.quote, MarketClock::newYorkText(delayed), live.quoteType == "INDEX")}});
}

std::string DroppedQuoteDocument(const std::string &symbol, const MarketClock &clock)
{
    StockQuote nothing;
    return compact({{"timestamp", text(MarketClock::newYorkText(clock.now()).replace(10, 1, " "))},
                    {"data", delayedData(symbol, nothing, "2000-01-01T00:00:00", false)}});
}

std::string AccessDeniedDocument()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Error><Code>AccessDenied</Code><Message>Access Denied</Message>"
           "<RequestId>5F1D7C0A2B9E4D31</RequestId><HostId>feed-local</HostId></Error>";
}

std::string HeadlineFeedDocument(const std::vector<std::string> &symbols, const std::string &host, const MarketClock &clock)
{
    const std::string joined = [&] {
        std::string all;
        for (const std::string &symbol : symbols)
            all += (all.empty() ? "" : ",") + symbol;
        return all;
    }();
    std::string feed = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\">\n<channel>\n"
                       "<title>Headlines for " + EscapeHtml(joined) + "</title>\n<link>http://" + host + "/</link>\n"
                       "<description>Latest news for " + EscapeHtml(joined) + "</description>\n"
                       "<language>en-US</language>\n<lastBuildDate>" + rfc822(clock.now()) + "</lastBuildDate>\n";
    std::int64_t published = clock.session().regularEnd;
    for (const std::string &symbol : symbols) {
        if (!FeedMarket::isKnown(symbol))
            continue;
        for (const Headline &headline : HeadlinesFor(symbol)) {
            const std::string link = "http://" + host + headline.path;
            const std::string title = EscapeHtml(headline.title);
            feed += "<item>\n<title>" + title + "</title>\n<link>" + link + "</link>\n<pubDate>" + rfc822(published)
                    + "</pubDate>\n<description>" + title + ". Shares moved in busy trading.</description>\n"
                    "<guid isPermaLink=\"false\">" + headline.path.substr(headline.path.rfind('/') + 1) + "</guid>\n"
                    "<source url=\"http://" + host + "/news/\">" + headline.source + "</source>\n</item>\n";
            published -= 2 * 3600 + 17 * 60;
        }
    }
    return feed + "</channel>\n</rss>\n";
}

std::string ChallengePage()
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>One moment, please...</title></head>\n"
           "<body><h1>Checking your browser before you continue</h1>\n"
           "<noscript><p>Enable JavaScript and cookies to continue.</p></noscript>\n"
           "<script>setTimeout(function () { location.reload(); }, 5000);</script>\n</body></html>\n";
}

} // namespace tickwell::feed
