// The v7 quote answer: quoteResponse.result[], one object per symbol.

#include "live/AnswerReading.h"
#include "live/LiveAnswers.h"

#include <QJsonArray>

namespace tickwell {

namespace {

// The service refuses more than about 50 symbols a request; anything far beyond is not its answer.
constexpr qsizetype kMostQuotes = 200;

QJsonValue field(const QJsonObject &object, const char *name)
{
    return object.value(QLatin1StringView(name));
}

std::optional<QuoteAnswer> readQuote(const QJsonObject &entry)
{
    const auto symbol = AnswerText(field(entry, "symbol"));
    if (!symbol)
        return std::nullopt;
    QuoteAnswer quote;
    quote.symbol = *symbol;
    quote.shortName = AnswerText(field(entry, "shortName"));
    quote.longName = AnswerText(field(entry, "longName"));
    quote.marketState = AnswerText(field(entry, "marketState"));
    quote.exchangeTimezoneName = AnswerText(field(entry, "exchangeTimezoneName"));
    quote.regularMarketTime = AnswerTime(field(entry, "regularMarketTime"));

    const struct {
        const char *name;
        std::optional<double> QuoteAnswer::*member;
    } numbers[] = {
        {"regularMarketPrice", &QuoteAnswer::regularMarketPrice},
        {"regularMarketChange", &QuoteAnswer::regularMarketChange},
        {"regularMarketChangePercent", &QuoteAnswer::regularMarketChangePercent},
        {"regularMarketPreviousClose", &QuoteAnswer::regularMarketPreviousClose},
        {"regularMarketOpen", &QuoteAnswer::regularMarketOpen},
        {"regularMarketDayHigh", &QuoteAnswer::regularMarketDayHigh},
        {"regularMarketDayLow", &QuoteAnswer::regularMarketDayLow},
        {"regularMarketVolume", &QuoteAnswer::regularMarketVolume},
        {"averageDailyVolume3Month", &QuoteAnswer::averageDailyVolume3Month},
        {"bid", &QuoteAnswer::bid},
        {"ask", &QuoteAnswer::ask},
        {"fiftyTwoWeekLow", &QuoteAnswer::fiftyTwoWeekLow},
        {"fiftyTwoWeekHigh", &QuoteAnswer::fiftyTwoWeekHigh},
        {"marketCap", &QuoteAnswer::marketCap},
        {"trailingPE", &QuoteAnswer::trailingPE},
        {"epsTrailingTwelveMonths", &QuoteAnswer::epsTrailingTwelveMonths},
        {"trailingAnnualDividendRate", &QuoteAnswer::trailingAnnualDividendRate},
        {"trailingAnnualDividendYield", &QuoteAnswer::trailingAnnualDividendYield},
        {"targetMeanPrice", &QuoteAnswer::targetMeanPrice},
        {"preMarketPrice", &QuoteAnswer::preMarketPrice},
        {"preMarketChange", &QuoteAnswer::preMarketChange},
        {"preMarketChangePercent", &QuoteAnswer::preMarketChangePercent},
        {"postMarketPrice", &QuoteAnswer::postMarketPrice},
        {"postMarketChange", &QuoteAnswer::postMarketChange},
        {"postMarketChangePercent", &QuoteAnswer::postMarketChangePercent},
    };
    for (const auto &number : numbers)
        quote.*number.member = AnswerNumber(field(entry, number.name));
    return quote;
}

} // namespace

std::optional<std::vector<QuoteAnswer>> ParseQuoteAnswer(QByteArrayView body)
{
    const auto top = ReadJsonObjectBody(body);
    if (!top)
        return std::nullopt;
    // A refused crumb answers {"finance": {"result": null, "error": {...}}}: no quoteResponse.
    const QJsonValue results = field(field(*top, "quoteResponse").toObject(), "result");
    if (!results.isArray())
        return std::nullopt;
    std::vector<QuoteAnswer> quotes;
    for (const QJsonValue &entry : results.toArray()) {
        if (static_cast<qsizetype>(quotes.size()) >= kMostQuotes)
            break;
        if (auto quote = readQuote(entry.toObject()))
            quotes.push_back(std::move(*quote));
    }
    return quotes;
}

} // namespace tickwell
