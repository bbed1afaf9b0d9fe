#include "sources/QuoteLine.h"

#include "app/ValueFormatting.h"
#include "text/NumberReading.h"
#include "sources/PageCutting.h"

#include <cmath>

namespace tickwell {

QuoteChange ComputeQuoteChange(const QString &lastTrade, const std::optional<QString> &previousClose)
{
    QuoteChange result;
    if (!previousClose)
        return result;
    const double close = ReadDecimalNumber(*previousClose);
    result.change = ReadDecimalNumber(lastTrade) - close;
    result.percent = std::fabs(result.change / close * 100.0);
    if (result.change > 0)
        result.direction = Direction::Up;
    else if (result.change < 0)
        result.direction = Direction::Down;
    return result;
}

QString QuoteLineText(const QString &symbol, const SymbolQuote &quote, const QString &sharesText, bool includeAfterHours)
{
    const QString company = quote.company.value_or(symbol);
    const QString lastTrade = quote.lastTrade.value_or(QString());
    const std::optional<QString> realTime = includeAfterHours ? quote.realTime : std::nullopt;
    const std::optional<QString> afterHours = includeAfterHours ? quote.afterHours : std::nullopt;
    const std::int32_t shares = ReadWholeNumber(sharesText);
    if (shares > 0) {
        const QString count = FormatLongValue(shares);
        const QString worth = FormatCurrencyDoubleValue(ReadDecimalNumber(lastTrade) * ReadDecimalNumber(sharesText));
        if (realTime)
            return FillFormat(u"%@ [%@] : %@, %@ (RT) (%@ shares: %@)",
                              {company, symbol, lastTrade, *realTime, count, worth});
        if (afterHours)
            return FillFormat(u"%@ [%@] : %@, %@ (AH) (%@ shares: %@)",
                              {company, symbol, lastTrade, *afterHours, count, worth});
        return FillFormat(u"%@ [%@] : %@ (%@ shares: %@)", {company, symbol, lastTrade, count, worth});
    }
    if (realTime)
        return FillFormat(u"%@ [%@] : %@, %@ (RT)", {company, symbol, lastTrade, *realTime});
    if (afterHours)
        return FillFormat(u"%@ [%@] : %@, %@ (AH)", {company, symbol, lastTrade, *afterHours});
    return FillFormat(u"%@ [%@] : %@", {company, symbol, lastTrade});
}

MenuItem MakeQuoteLine(const ControllerState &state, const QString &lineText, const QuoteChange &change)
{
    MenuItem item = MenuItem::make(lineText, QStringLiteral("selItemStockSymbol:"));

    StyledRun suffix{QStringLiteral(" "), kLinePointSize, std::nullopt};
    if (change.direction != Direction::Unchanged) {
        suffix.text = FillFormat(u"(%@, %@%@) ", {FormatDoubleValue(std::fabs(change.change)),
                                                 FormatDoubleValue(change.percent), u"%"});
        suffix.color = DirectionColor(state, change.direction);
    }
    const qsizetype colon = lineText.indexOf(u':');
    const qsizetype split = colon < 0 ? lineText.size() : colon;
    std::vector<StyledRun> runs;
    if (split > 0)
        runs.push_back(StyledRun{lineText.first(split), kLinePointSize, std::nullopt});
    runs.push_back(std::move(suffix));
    if (split < lineText.size())
        runs.push_back(StyledRun{lineText.sliced(split), kLinePointSize, std::nullopt});
    item.styledTitle = std::move(runs);

    SetDirectionImage(item, state, change.direction);
    return item;
}

} // namespace tickwell
