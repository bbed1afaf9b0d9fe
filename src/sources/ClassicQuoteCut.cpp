#include "sources/ClassicQuoteCut.h"

#include "sources/PageCutting.h"

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

void CutQuoteValues(const SearchableText &page, const QString &symbol, SymbolQuote &quote)
{
    quote.company = page.extractBetweenPattern(kCompanyBegin, kCompanyEnd);
    quote.lastTrade = page.extractBetweenPattern(WithSymbol(kLastTradeBegin, symbol), kSpanEnd);
    const qsizetype previousCloseAt = page.indexOf(kPreviousCloseLabel);
    if (previousCloseAt >= 0)
        quote.previousClose = CutBetween(page, previousCloseAt, kCellBegin, kCellEnd);
    quote.realTime = page.extractBetweenPattern(WithSymbol(kRealTimeBegin, symbol), kSpanEnd);
    quote.afterHours = page.extractBetweenPattern(WithSymbol(kAfterHoursBegin, symbol), kSpanEnd);
}

} // namespace tickwell
