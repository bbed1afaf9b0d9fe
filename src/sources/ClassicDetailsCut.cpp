#include "sources/ClassicDetailsCut.h"

#include "sources/PageCutting.h"
#include "text/StringExtensions.h"

#include <array>

namespace tickwell {

namespace {

enum class FieldKind {
    Cell,      // the first value cell after the label
    Span,      // the first element with the symbol's identifier after the label
    BidOrAsk,  // the value cell, or the symbol's span inside it
    DaysRange, // low and high spans
    YearRange, // low and high spans of the 52-week cell, flattened
};

struct Field {
    QStringView label;
    FieldKind kind;
    QStringView begin; // for ranges: the low value's begin
    QStringView inner; // span inside a bid or ask cell; for ranges: the high value's begin
    QStringView shownLabel;
};

constexpr QStringView kCell = u"<td class=\"yfnc_tabledata1\">";
constexpr QStringView kCellEnd = u"</td>";
constexpr QStringView kSpanEnd = u"</span>";
constexpr QStringView kRangeFormat = u"%@ - %@";

constexpr std::array<Field, 15> kFields{{
    {u"Last Trade:", FieldKind::Span, u"<span id=\"yfs_l10_%@\">", {}, u"Last Trade"},
    {u"Trade Time:", FieldKind::Span, u"<span id=\"yfs_t10_%@\">", {}, u"Trade Time"},
    {u"Prev Close:", FieldKind::Cell, kCell, {}, u"Prev Close"},
    {u"Open:", FieldKind::Cell, kCell, {}, u"Open"},
    {u"Bid:", FieldKind::BidOrAsk, kCell, u"<span id=\"yfs_b00_%@\">", u"Bid"},
    {u"Ask:", FieldKind::BidOrAsk, kCell, u"<span id=\"yfs_a00_%@\">", u"Ask"},
    {u"1y Target Est:", FieldKind::Cell, kCell, {}, u"1y Target Est"},
    {u"Day's Range:", FieldKind::DaysRange, u"<span id=\"yfs_g00_%@\">", u"<span id=\"yfs_h00_%@\">", u"Day's Range"},
    {u"52wk Range:", FieldKind::YearRange, u"<td class=\"yfnc_tabledata1\"><span>", u"</span> - <span>", u"52wk Range"},
    {u"Volume:", FieldKind::Span, u"<span id=\"yfs_v00_%@\">", {}, u"Volume"},
    {u"Avg Vol <span class=\"small\">(3m)</span>:", FieldKind::Cell, kCell, {}, u"Avg Vol (3m)"},
    {u"Market Cap:", FieldKind::Span, u"<span id=\"yfs_j10_%@\">", {}, u"Market Cap"},
    {u"P/E <span class=\"small\">(ttm)</span>:", FieldKind::Cell, kCell, {}, u"P/E (ttm)"},
    {u"EPS <span class=\"small\">(ttm)</span>:", FieldKind::Cell, kCell, {}, u"EPS (ttm)"},
    {u"Div &amp; Yield:", FieldKind::Cell, kCell, {}, u"Div & Yield"},
}};

// The bid or ask inside its cell. A span that is never closed runs to the end of the cell, as an
// unclosed element ends with its parent.
QString valueInsideCell(const QString &cell, const QString &spanBegin)
{
    const qsizetype spanAt = indexOfIgnoringAsciiCase(cell, spanBegin);
    if (spanAt < 0)
        return cell;
    const qsizetype valueAt = spanAt + spanBegin.size();
    const qsizetype endAt = indexOfIgnoringAsciiCase(cell, kSpanEnd, valueAt);
    return endAt < 0 ? cell.sliced(valueAt) : cell.sliced(valueAt, endAt - valueAt);
}

std::optional<QString> fieldValue(const Field &field, const SearchableText &page, qsizetype cursor, const QString &symbol)
{
    switch (field.kind) {
    case FieldKind::Cell:
    case FieldKind::Span:
        return CutBetween(page, cursor, WithSymbol(field.begin, symbol), field.kind == FieldKind::Cell ? kCellEnd : kSpanEnd);
    case FieldKind::BidOrAsk:
        if (const auto cell = CutBetween(page, cursor, field.begin, kCellEnd))
            return valueInsideCell(*cell, WithSymbol(field.inner, symbol));
        return std::nullopt;
    case FieldKind::DaysRange: {
        const auto low = CutBetween(page, cursor, WithSymbol(field.begin, symbol), kSpanEnd);
        const auto high = CutBetween(page, cursor, WithSymbol(field.inner, symbol), kSpanEnd);
        if (!low || !high)
            return std::nullopt;
        return FillFormat(kRangeFormat, {*low, *high});
    }
    case FieldKind::YearRange: {
        const auto low = CutBetween(page, cursor, field.begin, kSpanEnd);
        const auto high = CutBetween(page, cursor, field.inner, kSpanEnd);
        if (!low || !high)
            return std::nullopt;
        const auto flatLow = FlattenFragment(*low);
        const auto flatHigh = FlattenFragment(*high);
        if (!flatLow || !flatHigh)
            return std::nullopt;
        return FillFormat(kRangeFormat, {*flatLow, *flatHigh});
    }
    }
    return std::nullopt;
}

} // namespace

std::vector<QuoteDetail> CutQuoteDetails(const SearchableText &page, const QString &symbol)
{
    std::vector<QuoteDetail> details;
    qsizetype cursor = 0;
    for (const Field &field : kFields) {
        const qsizetype labelAt = page.indexOf(field.label, cursor);
        if (labelAt < 0)
            continue;
        cursor = labelAt;
        if (auto value = fieldValue(field, page, cursor, symbol))
            details.push_back(QuoteDetail{field.shownLabel.toString(), std::move(*value)});
    }
    return details;
}

} // namespace tickwell
