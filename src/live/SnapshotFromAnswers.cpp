#include "live/SnapshotFromAnswers.h"

#include "live/DayChart.h"
#include "live/QuoteTexts.h"

#include <QDateTime>
#include <QTimeZone>

#include <cmath>

namespace tickwell {

namespace {

const QString kNewYork = QStringLiteral("America/New_York");

template <typename T>
std::optional<T> either(const std::optional<T> &preferred, const std::optional<T> &other)
{
    return preferred ? preferred : other;
}

// A member of the answer, or nothing when there is no answer.
template <typename Answer, typename T>
std::optional<T> from(const Answer *answer, std::optional<T> Answer::*member)
{
    return answer ? answer->*member : std::nullopt;
}

void addDetail(std::vector<QuoteDetail> &details, const char *label, const std::optional<QString> &value)
{
    if (value)
        details.push_back(QuoteDetail{QString::fromLatin1(label), *value});
}

std::optional<QString> priceText(const std::optional<double> &value)
{
    return value ? std::optional(PriceText(*value)) : std::nullopt;
}

// A bid or ask of 0 is the service's way of saying there is none (outside trading hours).
std::optional<QString> offerText(const std::optional<double> &value)
{
    return value && *value > 0.0 ? std::optional(PriceText(*value)) : std::nullopt;
}

std::optional<QString> rangeText(const std::optional<double> &low, const std::optional<double> &high)
{
    if (!low || !high)
        return std::nullopt;
    return PriceText(*low) + QStringLiteral(" - ") + PriceText(*high);
}

std::optional<QString> countText(const std::optional<double> &value)
{
    return value && *value >= 0.0 ? std::optional(CountText(*value)) : std::nullopt;
}

std::optional<QString> ratioText(const std::optional<double> &value)
{
    return value ? std::optional(QString::number(*value, 'f', 2)) : std::nullopt;
}

// "0.99 (0.40%)": the yield arrives as a fraction. A stock without dividends reads as the pages
// showed it, "N/A (N/A)".
std::optional<QString> dividendText(const std::optional<double> &rate, const std::optional<double> &yield)
{
    if (!rate)
        return std::nullopt;
    if (*rate <= 0.0)
        return QStringLiteral("N/A (N/A)");
    const QString yieldText = yield ? PriceText(*yield * 100.0) + u'%' : QStringLiteral("N/A");
    return PriceText(*rate) + QStringLiteral(" (") + yieldText + u')';
}

std::optional<QString> marketCapText(const std::optional<double> &value)
{
    return value && *value > 0.0 ? std::optional(AbbreviatedText(*value)) : std::nullopt;
}

bool within(std::int64_t time, const std::optional<TradingPeriod> &period)
{
    return period && time >= period->start && time < period->end;
}

// Without a market state, the chart's latest bar tells: one in the pre- or post-market session
// is an extended-hours price.
std::optional<double> extendedHoursClose(const ChartAnswer &chart)
{
    for (auto bar = chart.bars.rbegin(); bar != chart.bars.rend(); ++bar) {
        if (!bar->close)
            continue;
        if (within(bar->time, chart.pre) || within(bar->time, chart.post))
            return bar->close;
        return std::nullopt;
    }
    return std::nullopt;
}

struct ExtendedHours {
    std::optional<double> realTime;
    std::optional<double> afterHours;
};

// The quote answer's state says which price is live: pre-market before the open, post-market
// after the close; once the post-market session is over (or on a day off), the last post-market
// price is the after-hours price.
ExtendedHours extendedHours(const ChartAnswer *chart, const QuoteAnswer *quote)
{
    if (quote && quote->marketState) {
        const QString &state = *quote->marketState;
        if (state == u"PRE")
            return {quote->preMarketPrice, std::nullopt};
        if (state == u"POST" || state == u"POSTPOST")
            return {quote->postMarketPrice, std::nullopt};
        if (state == u"CLOSED" || state == u"PREPRE")
            return {std::nullopt, quote->postMarketPrice};
        return {};
    }
    if (!quote && chart)
        return {extendedHoursClose(*chart), std::nullopt};
    return {};
}

std::optional<SnapshotImage> chartImage(const ChartAnswer &chart, const QString &symbol, const LiveChartColors &colors)
{
    auto image = DrawDayChart(chart, colors.up, colors.down);
    if (!image)
        return std::nullopt;
    return SnapshotImage{LiveChartAddress(symbol), std::move(*image)};
}

std::vector<SnapshotHeadline> snapshotHeadlines(const std::vector<FeedHeadline> &feed,
                                                const std::optional<QString> &timeZoneName)
{
    std::vector<SnapshotHeadline> headlines;
    headlines.reserve(feed.size());
    for (const FeedHeadline &item : feed) {
        SnapshotHeadline headline{item.link, std::nullopt, std::nullopt};
        if (!item.title.isEmpty())
            headline.text = item.title;
        // "Reuters (Fri 4:05PM)", or whichever of the two the feed gave.
        QStringList sourceLine;
        if (item.source)
            sourceLine << *item.source;
        if (item.published)
            sourceLine << u'(' + PublishedText(*item.published, timeZoneName) + u')';
        if (!sourceLine.isEmpty())
            headline.source = sourceLine.join(u' ');
        headlines.push_back(std::move(headline));
    }
    return headlines;
}

// The delayed-quotes service writes Eastern time without a zone ("2026-12-04T16:00:00").
std::optional<QString> delayedTradeTime(const std::optional<QString> &written)
{
    if (!written)
        return std::nullopt;
    const QDateTime parsed = QDateTime::fromString(*written, Qt::ISODate);
    if (!parsed.isValid())
        return written;
    const QDateTime moment = parsed.timeSpec() == Qt::LocalTime
                                 ? QDateTime(parsed.date(), parsed.time(), QTimeZone(kNewYork.toUtf8()))
                                 : parsed;
    return TradeTimeText(moment.toSecsSinceEpoch(), kNewYork);
}

// Change and percent texts, both or neither; a percent over a previous close near zero can
// overflow, and then there is no percent to show.
void setChange(MarketQuote &line, std::optional<double> change, std::optional<double> percent, int decimals)
{
    if (!change || !percent || !std::isfinite(*change) || !std::isfinite(*percent))
        return;
    line.change = SignedText(*change, decimals);
    line.percent = SignedPercentText(*percent);
}

} // namespace

QString LiveChartAddress(const QString &symbol)
{
    return QStringLiteral("live-chart:") + symbol;
}

SymbolQuote SymbolQuoteFromAnswers(const ChartAnswer *chart, const QuoteAnswer *quote,
                                   const std::vector<FeedHeadline> *headlines, const LiveChartColors &colors)
{
    SymbolQuote result;
    const QString symbol = quote ? quote->symbol : chart ? chart->symbol : QString();
    result.company = either(either(from(quote, &QuoteAnswer::longName), from(quote, &QuoteAnswer::shortName)),
                            either(from(chart, &ChartAnswer::longName), from(chart, &ChartAnswer::shortName)));
    const auto last = either(from(quote, &QuoteAnswer::regularMarketPrice), from(chart, &ChartAnswer::regularMarketPrice));
    const auto previous =
        either(from(quote, &QuoteAnswer::regularMarketPreviousClose), from(chart, &ChartAnswer::previousClose));
    const auto timeZone =
        either(from(quote, &QuoteAnswer::exchangeTimezoneName), from(chart, &ChartAnswer::exchangeTimezoneName));
    const auto time = either(from(quote, &QuoteAnswer::regularMarketTime), from(chart, &ChartAnswer::regularMarketTime));
    result.lastTrade = priceText(last);
    result.previousClose = priceText(previous);
    const ExtendedHours extended = extendedHours(chart, quote);
    result.realTime = priceText(extended.realTime);
    result.afterHours = priceText(extended.afterHours);
    if (time)
        result.tradeTime = TradeTimeText(*time, timeZone);

    // The fields of the quote pages' two tables, in their order, those the answers give.
    std::vector<QuoteDetail> &details = result.details;
    addDetail(details, "Last Trade", result.lastTrade);
    addDetail(details, "Trade Time", result.tradeTime);
    addDetail(details, "Prev Close", result.previousClose);
    addDetail(details, "Open", priceText(from(quote, &QuoteAnswer::regularMarketOpen)));
    addDetail(details, "Bid", offerText(from(quote, &QuoteAnswer::bid)));
    addDetail(details, "Ask", offerText(from(quote, &QuoteAnswer::ask)));
    addDetail(details, "1y Target Est", priceText(from(quote, &QuoteAnswer::targetMeanPrice)));
    addDetail(details, "Day's Range",
              rangeText(either(from(quote, &QuoteAnswer::regularMarketDayLow), from(chart, &ChartAnswer::dayLow)),
                        either(from(quote, &QuoteAnswer::regularMarketDayHigh), from(chart, &ChartAnswer::dayHigh))));
    addDetail(details, "52wk Range",
              rangeText(either(from(quote, &QuoteAnswer::fiftyTwoWeekLow), from(chart, &ChartAnswer::fiftyTwoWeekLow)),
                        either(from(quote, &QuoteAnswer::fiftyTwoWeekHigh), from(chart, &ChartAnswer::fiftyTwoWeekHigh))));
    addDetail(details, "Volume",
              countText(either(from(quote, &QuoteAnswer::regularMarketVolume), from(chart, &ChartAnswer::volume))));
    addDetail(details, "Avg Vol (3m)", countText(from(quote, &QuoteAnswer::averageDailyVolume3Month)));
    addDetail(details, "Market Cap", marketCapText(from(quote, &QuoteAnswer::marketCap)));
    addDetail(details, "P/E (ttm)", ratioText(from(quote, &QuoteAnswer::trailingPE)));
    addDetail(details, "EPS (ttm)", ratioText(from(quote, &QuoteAnswer::epsTrailingTwelveMonths)));
    addDetail(details, "Div & Yield",
              dividendText(from(quote, &QuoteAnswer::trailingAnnualDividendRate),
                           from(quote, &QuoteAnswer::trailingAnnualDividendYield)));

    if (headlines)
        result.headlines = snapshotHeadlines(*headlines, timeZone);
    if (chart)
        result.chart = chartImage(*chart, symbol, colors);
    return result;
}

SymbolQuote SymbolQuoteFromDelayed(const DelayedQuoteAnswer &answer)
{
    SymbolQuote result;
    result.lastTrade = PriceText(answer.currentPrice);
    result.previousClose = priceText(answer.previousClose);
    result.tradeTime = delayedTradeTime(answer.lastTradeTime);
    addDetail(result.details, "Last Trade", result.lastTrade);
    addDetail(result.details, "Trade Time", result.tradeTime);
    addDetail(result.details, "Prev Close", result.previousClose);
    addDetail(result.details, "Open", priceText(answer.open));
    addDetail(result.details, "Day's Range", rangeText(answer.low, answer.high));
    addDetail(result.details, "Volume", countText(answer.volume));
    return result;
}

std::optional<MarketQuote> MarketQuoteFromAnswers(const LiveInstrument &instrument, const ChartAnswer *chart,
                                                  const QuoteAnswer *quote, const LiveChartColors &colors)
{
    const auto last = either(from(quote, &QuoteAnswer::regularMarketPrice), from(chart, &ChartAnswer::regularMarketPrice));
    if (!last)
        return std::nullopt;
    MarketQuote line;
    line.name = instrument.name;
    line.title = instrument.titleLabel + QStringLiteral(": ") + GroupedText(*last, instrument.decimals);
    auto change = from(quote, &QuoteAnswer::regularMarketChange);
    auto percent = from(quote, &QuoteAnswer::regularMarketChangePercent);
    const auto previous =
        either(from(quote, &QuoteAnswer::regularMarketPreviousClose), from(chart, &ChartAnswer::previousClose));
    if (!change && previous)
        change = *last - *previous;
    if (!percent && previous && *previous != 0.0)
        percent = (*last - *previous) / *previous * 100.0;
    setChange(line, change, percent, instrument.decimals);
    if (chart)
        line.chart = chartImage(*chart, instrument.symbol, colors);
    return line;
}

MarketQuote MarketQuoteFromDelayed(const LiveInstrument &instrument, const DelayedQuoteAnswer &answer)
{
    MarketQuote line;
    line.name = instrument.name;
    line.title = instrument.titleLabel + QStringLiteral(": ") + GroupedText(answer.currentPrice, instrument.decimals);
    auto change = answer.priceChange;
    if (!change && answer.previousClose)
        change = answer.currentPrice - *answer.previousClose;
    auto percent = answer.priceChangePercent;
    if (!percent && change && answer.previousClose && *answer.previousClose != 0.0)
        percent = *change / *answer.previousClose * 100.0;
    setChange(line, change, percent, instrument.decimals);
    return line;
}

} // namespace tickwell
