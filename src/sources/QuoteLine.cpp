#include "sources/QuoteLine.h"

#include "app/ValueFormatting.h"
#include "text/NumberReading.h"
#include "sources/PageCutting.h"

#include <cmath>

namespace tickwell {

namespace {

constexpr QStringView kCompanyBegin = u"Summary for ";
constexpr QStringView kCompanyEnd = u"-";
constexpr QStringView kLastTradeBegin =
    u"Last Trade:</th><td class=\"yfnc_tabledata1\"><big><b><span id=\"yfs_l10_%@\">";
constexpr QStringView kSpanEnd = u"</span>";
constexpr QStringView kPreviousCloseLabel = u"Prev Close:";
constexpr QStringView kCellBegin = u"<td class=\"yfnc_tabledata1\">";
constexpr QStringView kCellEnd = u"</td>";
constexpr QStringView kRealTimeBegin = u"<span id=\"yfs_l90_%@\">";
constexpr QStringView kAfterHoursBegin = u"<span id=\"yfs_l91_%@\">";

} // namespace

QuoteValues CutQuoteValues(const SearchableText &page, const QString &symbol, bool includeAfterHours)
{
    QuoteValues values;
    values.company = page.extractBetweenPattern(kCompanyBegin, kCompanyEnd);
    values.lastTrade = page.extractBetweenPattern(WithSymbol(kLastTradeBegin, symbol), kSpanEnd);
    const qsizetype previousCloseAt = page.indexOf(kPreviousCloseLabel);
    if (previousCloseAt >= 0)
        values.previousClose = CutBetween(page, previousCloseAt, kCellBegin, kCellEnd);
    if (includeAfterHours) {
        values.realTime = page.extractBetweenPattern(WithSymbol(kRealTimeBegin, symbol), kSpanEnd);
        values.afterHours = page.extractBetweenPattern(WithSymbol(kAfterHoursBegin, symbol), kSpanEnd);
    }
    return values;
}

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

QString QuoteLineText(const QString &symbol, const QuoteValues &values, const QString &sharesText)
{
    const QString company = values.company.value_or(symbol);
    const QString lastTrade = values.lastTrade.value_or(QString());
    const std::int32_t shares = ReadWholeNumber(sharesText);
    if (shares > 0) {
        const QString count = FormatLongValue(shares);
        const QString worth = FormatCurrencyDoubleValue(ReadDecimalNumber(lastTrade) * ReadDecimalNumber(sharesText));
        if (values.realTime)
            return FillFormat(u"%@ [%@] : %@, %@ (RT) (%@ shares: %@)",
                              {company, symbol, lastTrade, *values.realTime, count, worth});
        if (values.afterHours)
            return FillFormat(u"%@ [%@] : %@, %@ (AH) (%@ shares: %@)",
                              {company, symbol, lastTrade, *values.afterHours, count, worth});
        return FillFormat(u"%@ [%@] : %@ (%@ shares: %@)", {company, symbol, lastTrade, count, worth});
    }
    if (values.realTime)
        return FillFormat(u"%@ [%@] : %@, %@ (RT)", {company, symbol, lastTrade, *values.realTime});
    if (values.afterHours)
        return FillFormat(u"%@ [%@] : %@, %@ (AH)", {company, symbol, lastTrade, *values.afterHours});
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
