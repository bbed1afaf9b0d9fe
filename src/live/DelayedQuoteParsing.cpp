// The delayed-quotes answer: {"timestamp": "...", "data": {"symbol", "current_price", ...}}.

#include "live/AnswerReading.h"
#include "live/LiveAnswers.h"

namespace tickwell {

namespace {

QJsonValue field(const QJsonObject &object, const char *name)
{
    return object.value(QLatin1StringView(name));
}

} // namespace

std::optional<DelayedQuoteAnswer> ParseDelayedQuoteAnswer(QByteArrayView body)
{
    const auto top = ReadJsonObjectBody(body);
    if (!top)
        return std::nullopt;
    const QJsonValue dataValue = field(*top, "data");
    if (!dataValue.isObject())
        return std::nullopt;
    const QJsonObject data = dataValue.toObject();

    // A dropped symbol keeps answering, with every value zero and the trade stamped 2000-01-01;
    // a price of zero is no quote in any case.
    const auto price = AnswerNumber(field(data, "current_price"));
    const auto lastTradeTime = AnswerText(field(data, "last_trade_time"));
    if (!price || *price <= 0.0 || (lastTradeTime && lastTradeTime->startsWith(u"2000-01-01")))
        return std::nullopt;

    DelayedQuoteAnswer answer;
    answer.symbol = AnswerText(field(data, "symbol")).value_or(QString());
    answer.currentPrice = *price;
    answer.priceChange = AnswerNumber(field(data, "price_change"));
    answer.priceChangePercent = AnswerNumber(field(data, "price_change_percent"));
    answer.previousClose = AnswerNumber(field(data, "prev_day_close"));
    answer.open = AnswerNumber(field(data, "open"));
    answer.high = AnswerNumber(field(data, "high"));
    answer.low = AnswerNumber(field(data, "low"));
    answer.volume = AnswerNumber(field(data, "volume"));
    answer.lastTradeTime = lastTradeTime;
    return answer;
}

} // namespace tickwell
