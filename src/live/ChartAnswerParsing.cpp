// The v8 chart answer: chart.result[0] with meta, timestamp[] and indicators.quote[0].close[].

#include "live/AnswerReading.h"
#include "live/LiveAnswers.h"

#include <QJsonArray>

#include <algorithm>

namespace tickwell {

namespace {

// A year of one-minute bars is far beyond any range and interval the menu asks for.
constexpr qsizetype kMostBars = 20000;
constexpr std::int64_t kSecondsPerDay = 24 * 60 * 60;

QJsonValue field(const QJsonObject &object, const char *name)
{
    return object.value(QLatin1StringView(name));
}

std::optional<TradingPeriod> readPeriod(const QJsonValue &value)
{
    const QJsonObject period = value.toObject();
    const auto start = AnswerTime(field(period, "start"));
    const auto end = AnswerTime(field(period, "end"));
    if (!start || !end || *end < *start)
        return std::nullopt;
    return TradingPeriod{*start, *end};
}

// Bars in strictly increasing time: a pair without a valid time is dropped, a close that is not a
// finite number is a gap. Unequal arrays pair up from the start as far as both go.
std::vector<ChartBar> readBars(const QJsonObject &result)
{
    const QJsonArray times = field(result, "timestamp").toArray();
    const QJsonArray quotes = field(field(result, "indicators").toObject(), "quote").toArray();
    const QJsonArray closes = quotes.isEmpty() ? QJsonArray() : field(quotes.first().toObject(), "close").toArray();
    const qsizetype count = std::min(times.size(), closes.size());
    const qsizetype first = std::max<qsizetype>(0, count - kMostBars); // the latest bars matter most
    std::vector<ChartBar> bars;
    bars.reserve(static_cast<std::size_t>(count - first));
    for (qsizetype i = first; i < count; ++i) {
        const auto time = AnswerTime(times.at(i));
        if (!time || (!bars.empty() && *time <= bars.back().time))
            continue;
        bars.push_back(ChartBar{*time, AnswerNumber(closes.at(i))});
    }
    return bars;
}

// The close of the last bar of an earlier regular session: before today's session (and its
// pre-market) started, at a time of day inside the regular session's hours, so that neither
// today's pre-market nor an earlier day's after-hours bars stand in for the close.
std::optional<double> closeBeforeSession(const std::vector<ChartBar> &bars, const TradingPeriod &regular,
                                         const std::optional<TradingPeriod> &pre)
{
    const std::int64_t before = pre && pre->start < regular.start ? pre->start : regular.start;
    const std::int64_t sessionLength = regular.end - regular.start;
    const bool knownHours = sessionLength > 0 && sessionLength < kSecondsPerDay;
    for (auto bar = bars.rbegin(); bar != bars.rend(); ++bar) {
        if (bar->time >= before || !bar->close)
            continue;
        const std::int64_t intoDay = ((bar->time - regular.start) % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
        if (!knownHours || intoDay < sessionLength)
            return bar->close;
    }
    return std::nullopt;
}

} // namespace

std::optional<ChartAnswer> ParseChartAnswer(QByteArrayView body)
{
    const auto top = ReadJsonObjectBody(body);
    if (!top)
        return std::nullopt;
    const QJsonObject chart = field(*top, "chart").toObject();
    const QJsonValue error = field(chart, "error");
    if (!error.isNull() && !error.isUndefined())
        return std::nullopt;
    const QJsonArray results = field(chart, "result").toArray();
    if (results.isEmpty() || !results.first().isObject())
        return std::nullopt;
    const QJsonObject result = results.first().toObject();
    const QJsonValue metaValue = field(result, "meta");
    if (!metaValue.isObject())
        return std::nullopt;
    const QJsonObject meta = metaValue.toObject();

    ChartAnswer answer;
    answer.symbol = AnswerText(field(meta, "symbol")).value_or(QString());
    answer.shortName = AnswerText(field(meta, "shortName"));
    answer.longName = AnswerText(field(meta, "longName"));
    answer.currency = AnswerText(field(meta, "currency"));
    answer.exchangeName = AnswerText(field(meta, "exchangeName"));
    answer.exchangeTimezoneName = AnswerText(field(meta, "exchangeTimezoneName"));
    answer.regularMarketPrice = AnswerNumber(field(meta, "regularMarketPrice"));
    answer.regularMarketTime = AnswerTime(field(meta, "regularMarketTime"));
    answer.dayHigh = AnswerNumber(field(meta, "regularMarketDayHigh"));
    answer.dayLow = AnswerNumber(field(meta, "regularMarketDayLow"));
    answer.volume = AnswerNumber(field(meta, "regularMarketVolume"));
    answer.fiftyTwoWeekHigh = AnswerNumber(field(meta, "fiftyTwoWeekHigh"));
    answer.fiftyTwoWeekLow = AnswerNumber(field(meta, "fiftyTwoWeekLow"));
    const QJsonObject periods = field(meta, "currentTradingPeriod").toObject();
    answer.pre = readPeriod(field(periods, "pre"));
    answer.regular = readPeriod(field(periods, "regular"));
    answer.post = readPeriod(field(periods, "post"));
    answer.bars = readBars(result);

    // Never chartPreviousClose: that is the close before the requested range, which for a range
    // longer than a day is not yesterday's close.
    answer.previousClose = AnswerNumber(field(meta, "previousClose"));
    answer.chartPreviousClose = AnswerNumber(field(meta, "chartPreviousClose"));
    if (!answer.previousClose && answer.regular)
        answer.previousClose = closeBeforeSession(answer.bars, *answer.regular, answer.pre);
    return answer;
}

} // namespace tickwell
