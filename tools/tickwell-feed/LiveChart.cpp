#include "LiveChart.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace tickwell::feed {

namespace {

double cents(double value)
{
    return std::round(value * 100.0) / 100.0;
}

QString text(const std::string &value)
{
    return QString::fromStdString(value);
}

constexpr std::array<const char *, 11> kValidRanges{"1d", "5d", "1mo", "3mo", "6mo", "1y", "2y", "5y", "10y", "ytd", "max"};

// Minutes of an intraday interval, or 0.
int intradayMinutes(const std::string &interval)
{
    static const std::array<std::pair<const char *, int>, 8> kIntervals{
        {{"1m", 1}, {"2m", 2}, {"5m", 5}, {"15m", 15}, {"30m", 30}, {"60m", 60}, {"1h", 60}, {"90m", 90}}};
    for (const auto &[name, minutes] : kIntervals) {
        if (interval == name)
            return minutes;
    }
    return 0;
}

// Trading days per bar of a daily or longer interval, or 0.
int daysPerBar(const std::string &interval)
{
    static const std::array<std::pair<const char *, int>, 5> kIntervals{
        {{"1d", 1}, {"5d", 5}, {"1wk", 5}, {"1mo", 21}, {"3mo", 63}}};
    for (const auto &[name, days] : kIntervals) {
        if (interval == name)
            return days;
    }
    return 0;
}

// The first day of the range ending with the session day, or an invalid date.
QDate firstDayOf(const std::string &range, QDate session)
{
    if (range == "1d")
        return session;
    if (range == "5d") {
        QDate day = session;
        for (int i = 0; i < 4; ++i)
            day = MarketClock::previousTradingDay(day);
        return day;
    }
    if (range == "ytd")
        return QDate(session.year(), 1, 1);
    static const std::array<std::pair<const char *, int>, 8> kMonths{
        {{"1mo", 1}, {"3mo", 3}, {"6mo", 6}, {"1y", 12}, {"2y", 24}, {"5y", 60}, {"10y", 120}, {"max", 120}}};
    for (const auto &[name, months] : kMonths) {
        if (range == name)
            return session.addMonths(-months).addDays(1);
    }
    return {};
}

// The day prices of a symbol, counted in trading days back from the session day (0): the
// session closes at the quote's last trade, the day before at its previous close, older days
// drift slowly around it.
class DayPrices {
public:
    DayPrices(const FeedMarket &market, const StockQuote &quote)
        : m_market(market)
        , m_quote(quote)
        , m_phase(market.wobble(quote.symbol, 9999) * 3.14)
    {
    }

    double close(int back) const
    {
        if (back == 0)
            return m_quote.last;
        if (back == 1)
            return m_quote.previousClose;
        const double drift = 0.1 * (std::sin(back * 0.07 + m_phase) - std::sin(0.07 + m_phase));
        return std::max(0.01, cents(m_quote.previousClose * (1.0 + drift + 0.015 * noise(back))));
    }
    double open(int back) const
    {
        return back == 0 ? m_quote.open : cents(close(back + 1) * (1.0 + 0.006 * noise(back + 1000)));
    }
    // The day's last trade after hours: never the close itself.
    double lastTrade(int back) const
    {
        double price = back == 0 && m_quote.hasAfterHours ? m_quote.afterHours
                                                          : cents(close(back) * (1.0 + 0.004 * noise(back + 2000)));
        if (std::abs(price - close(back)) < 0.005)
            price = cents(close(back) + 0.01);
        return price;
    }
    // A value in [-1, 1] for the symbol and a number (a day, a bar time).
    double noise(std::int64_t salt) const
    {
        return m_market.wobble(m_quote.symbol, static_cast<std::uint64_t>(salt));
    }

private:
    const FeedMarket &m_market;
    const StockQuote &m_quote;
    double m_phase;
};

struct Bar {
    std::int64_t time = 0;
    double open = 0;
    double high = 0;
    double low = 0;
    double close = 0;
    double volume = 0;
    bool gap = false;
};

// The price path of one trading day through its anchors (time, price).
double pathAt(const std::vector<std::pair<std::int64_t, double>> &anchors, std::int64_t time)
{
    if (time <= anchors.front().first)
        return anchors.front().second;
    for (std::size_t i = 1; i < anchors.size(); ++i) {
        const auto &[t1, p1] = anchors[i];
        if (time <= t1) {
            const auto &[t0, p0] = anchors[i - 1];
            return t1 == t0 ? p1 : p0 + (p1 - p0) * static_cast<double>(time - t0) / static_cast<double>(t1 - t0);
        }
    }
    return anchors.back().second;
}

// The anchors of a day: the last trade of the day before at 4:00, the open, the close and the
// day's last trade at 20:00; the session day stops at the clock with the quote's price.
std::vector<std::pair<std::int64_t, double>> anchorsOf(const DayPrices &prices, int back, const TradingHours &hours,
                                                       const MarketClock &clock)
{
    std::vector<std::pair<std::int64_t, double>> anchors{{hours.preStart, prices.lastTrade(back + 1)},
                                                         {hours.regularStart, prices.open(back)},
                                                         {hours.regularEnd, prices.close(back)},
                                                         {hours.postEnd, prices.lastTrade(back)}};
    if (back == 0 && clock.now() < hours.postEnd) {
        const bool afterClose = clock.now() >= hours.regularEnd;
        std::erase_if(anchors, [&](const auto &anchor) { return anchor.first >= clock.now(); });
        anchors.emplace_back(clock.now(), afterClose ? prices.lastTrade(0) : prices.close(0));
    }
    return anchors;
}

std::vector<Bar> intradayBars(const DayPrices &prices, const StockQuote &quote, const std::vector<QDate> &days,
                              const MarketClock &clock, int minutes, bool prePost)
{
    std::vector<Bar> bars;
    const double regularVolume = static_cast<double>(quote.averageVolume) / 78.0;
    for (std::size_t i = 0; i < days.size(); ++i) {
        const int back = static_cast<int>(days.size() - 1 - i);
        const TradingHours hours = MarketClock::hoursOf(days[i]);
        const auto anchors = anchorsOf(prices, back, hours, clock);
        const std::int64_t start = prePost ? hours.preStart : hours.regularStart;
        const std::int64_t end = prePost ? hours.postEnd : hours.regularEnd;
        for (std::int64_t time = start; time < end && time <= clock.now(); time += minutes * 60) {
            Bar bar;
            bar.time = time;
            const double shake = 0.0015 * prices.noise(time);
            bar.open = bars.empty() || bars.back().gap ? pathAt(anchors, time) : bars.back().close;
            bar.close = cents(pathAt(anchors, time + minutes * 60) * (1.0 + shake));
            bar.high = cents(std::max(bar.open, bar.close) * (1.0 + 0.0008 * std::abs(prices.noise(time + 1))));
            bar.low = cents(std::min(bar.open, bar.close) * (1.0 - 0.0008 * std::abs(prices.noise(time + 2))));
            const bool regular = time >= hours.regularStart && time < hours.regularEnd;
            bar.volume = std::round(regularVolume * (regular ? 1.0 : 0.1) * (0.4 + std::abs(prices.noise(time + 3))) * minutes / 5.0);
            // A few gaps by chance, and always the bar at 11:00, as if trading had stalled.
            bar.gap = prices.noise(time + 5) > 0.92 || time == hours.regularStart + 90 * 60;
            bars.push_back(bar);
        }
        // A finished day (or the session so far) ends at its path's last price exactly.
        if (!bars.empty() && bars.back().time >= start) {
            bars.back().close = cents(pathAt(anchors, std::min(clock.now(), end)));
            bars.back().high = std::max(bars.back().high, bars.back().close);
            bars.back().low = std::min(bars.back().low, bars.back().close);
        }
    }
    if (!bars.empty())
        bars.back().gap = false;
    return bars;
}

// One bar per perBar trading days, grouped back from the session day, oldest bar first.
std::vector<Bar> dailyBars(const DayPrices &prices, const StockQuote &quote, const std::vector<QDate> &days, int perBar)
{
    std::vector<Bar> bars;
    const int count = static_cast<int>(days.size());
    for (int newest = 0; newest < count; newest += perBar) {
        const int oldest = std::min(newest + perBar - 1, count - 1);
        Bar bar;
        bar.time = MarketClock::hoursOf(days[static_cast<std::size_t>(count - 1 - oldest)]).regularStart;
        bar.open = prices.open(oldest);
        bar.close = prices.close(newest);
        bar.high = cents(std::max(bar.open, bar.close) * (1.0 + 0.006 * std::abs(prices.noise(oldest + 3000))));
        bar.low = cents(std::min(bar.open, bar.close) * (1.0 - 0.006 * std::abs(prices.noise(oldest + 4000))));
        bar.volume = std::round(static_cast<double>(quote.averageVolume) * (oldest - newest + 1)
                                * (0.6 + 0.8 * std::abs(prices.noise(oldest + 5000))));
        bars.insert(bars.begin(), bar);
    }
    return bars;
}

QJsonObject period(std::int64_t start, std::int64_t end, const TradingHours &hours)
{
    return {{"timezone", text(hours.zone)}, {"start", qint64(start)}, {"end", qint64(end)}, {"gmtoffset", hours.gmtOffset}};
}

QJsonValue orNull(const Bar &bar, double value)
{
    return bar.gap ? QJsonValue(QJsonValue::Null) : QJsonValue(value);
}

} // namespace

std::optional<std::string> ChartDocument(const FeedMarket &market, const LiveQuote &live, const MarketClock &clock,
                                         const ChartRequest &request)
{
    const TradingHours &session = clock.session();
    const QDate first = firstDayOf(request.range, session.day);
    const int minutes = intradayMinutes(request.interval);
    const int perBar = daysPerBar(request.interval);
    // Intraday bars go back about two months, as the service's do.
    if (!first.isValid() || (minutes == 0 && perBar == 0) || (minutes > 0 && first.daysTo(session.day) > 60))
        return std::nullopt;

    std::vector<QDate> days;
    for (QDate day = session.day; day >= first; day = MarketClock::previousTradingDay(day))
        days.insert(days.begin(), day);
    const StockQuote &quote = live.quote;
    const DayPrices prices(market, quote);
    const std::vector<Bar> bars = minutes > 0 ? intradayBars(prices, quote, days, clock, minutes, request.includePrePost)
                                              : dailyBars(prices, quote, days, perBar);
    const int oldest = static_cast<int>(days.size()) - 1;

    QJsonObject meta{
        {"currency", "USD"},
        {"symbol", text(quote.symbol)},
        {"exchangeName", text(live.exchange)},
        {"fullExchangeName", text(live.fullExchangeName)},
        {"instrumentType", text(live.quoteType)},
        {"firstTradeDate", qint64(345479400)},
        {"regularMarketTime", qint64(std::min(clock.now(), session.regularEnd))},
        {"hasPrePostMarketData", true},
        {"gmtoffset", session.gmtOffset},
        {"timezone", text(session.zone)},
        {"exchangeTimezoneName", "America/New_York"},
        {"regularMarketPrice", quote.last},
        {"fiftyTwoWeekHigh", quote.yearHigh},
        {"fiftyTwoWeekLow", quote.yearLow},
        {"regularMarketDayHigh", quote.dayHigh},
        {"regularMarketDayLow", quote.dayLow},
        {"regularMarketVolume", qint64(quote.volume)},
        {"longName", text(live.longName)},
        {"shortName", text(live.shortName)},
        // The last trade before the range (after hours included): not the previous close.
        {"chartPreviousClose", prices.lastTrade(oldest + 1)},
        {"priceHint", 2},
        {"currentTradingPeriod",
         QJsonObject{{"pre", period(session.preStart, session.regularStart, session)},
                     {"regular", period(session.regularStart, session.regularEnd, session)},
                     {"post", period(session.regularEnd, session.postEnd, session)}}},
        {"dataGranularity", text(request.interval)},
        {"range", text(request.range)},
    };
    // Like the service, the previous close is given for the one-day range only.
    if (request.range == "1d") {
        meta.insert("previousClose", quote.previousClose);
        meta.insert("scale", 3);
    }
    QJsonArray validRanges;
    for (const char *range : kValidRanges)
        validRanges.append(QLatin1String(range));
    meta.insert("validRanges", validRanges);

    QJsonArray times, opens, highs, lows, closes, volumes;
    for (const Bar &bar : bars) {
        times.append(qint64(bar.time));
        opens.append(orNull(bar, bar.open));
        highs.append(orNull(bar, bar.high));
        lows.append(orNull(bar, bar.low));
        closes.append(orNull(bar, bar.close));
        volumes.append(bar.gap ? QJsonValue(QJsonValue::Null) : QJsonValue(qint64(bar.volume)));
    }
    const QJsonObject bars0{{"open", opens}, {"high", highs}, {"low", lows}, {"close", closes}, {"volume", volumes}};
    const QJsonObject result{{"meta", meta}, {"timestamp", times}, {"indicators", QJsonObject{{"quote", QJsonArray{bars0}}}}};
    const QJsonObject chart{{"result", QJsonArray{result}}, {"error", QJsonValue::Null}};
    return QJsonDocument(QJsonObject{{"chart", chart}}).toJson(QJsonDocument::Compact).toStdString();
}

std::string ChartErrorDocument(const std::string &code, const std::string &description)
{
    const QJsonObject error{{"code", text(code)}, {"description", text(description)}};
    const QJsonObject chart{{"result", QJsonValue::Null}, {"error", error}};
    return QJsonDocument(QJsonObject{{"chart", chart}}).toJson(QJsonDocument::Compact).toStdString();
}

} // namespace tickwell::feed
