#include "sources/ClassicMarketsCut.h"

#include "sources/PageCutting.h"
#include "sources/PreciousMetalsSection.h"

#include <array>

namespace tickwell {

namespace {

struct MarketIndex {
    QStringView name;
    QStringView anchor;
    QStringView lineFormat;
    QStringView chartPath;
};

constexpr std::array<MarketIndex, 3> kIndices{{
    {u"Dow", u"<a href=\"/data/markets/dow\" class=\"wsod_symbol\">Dow</a>", u"Dow: %@", u"/t?s=%5EDJI"},
    {u"Nasdaq", u"<a href=\"/data/markets/nasdaq\" class=\"wsod_symbol\">Nasdaq</a>", u"Nasdaq: %@", u"/t?s=%5EIXIC"},
    {u"S&P", u"<a href=\"/data/markets/sandp\" class=\"wsod_symbol\">S&amp;P</a>", u"S&P: %@", u"/t?s=%5EGSPC"},
}};

constexpr QStringView kRisingLast = u"<span class=\"posLast\">";
constexpr QStringView kFallingLast = u"<span class=\"negLast\">";
constexpr QStringView kPercentBegin = u"ChangePct\">";
constexpr QStringView kChangeBegin = u"Change\">";
constexpr QStringView kSpanEnd = u"</span>";

constexpr QStringView kRisingCell = u"<dd class=\"up\">";
constexpr QStringView kFallingCell = u"<dd class=\"down\">";
constexpr QStringView kCellEnd = u"</dd>";

// Row fields after the metal's name cell: date, time, bid, ask, change, percent change, ...
constexpr qsizetype kBidField = 3;
constexpr qsizetype kChangeField = 5;
constexpr qsizetype kPercentField = 6;

std::optional<MarketQuote> cutIndex(const SearchableText &page, const MarketIndex &index, const Hosts &hosts,
                                    const PageStore &store)
{
    const qsizetype anchorAt = page.indexOf(index.anchor);
    if (anchorAt < 0)
        return std::nullopt;
    // Every value is the first after the anchor; the last value takes whichever kind of cell
    // comes first, so a falling index never shows the next rising index's value.
    const auto last = CutBetweenNearer(page, anchorAt, kRisingLast, kFallingLast, kSpanEnd);
    const auto percent = CutBetween(page, anchorAt, kPercentBegin, kSpanEnd);
    const auto change = CutBetween(page, anchorAt, kChangeBegin, kSpanEnd);
    if (!last || !percent || !change)
        return std::nullopt;
    MarketQuote quote{index.name.toString(), FillFormat(index.lineFormat, {*last}), *change, *percent, std::nullopt};
    const QString chartAddress = Hosts::address(hosts.chartImage, index.chartPath.toString());
    if (const QImage *image = store.image(chartAddress))
        quote.chart = SnapshotImage{chartAddress, *image};
    return quote;
}

std::optional<MarketQuote> cutMetal(const SearchableText &page, const QString &metal)
{
    auto row = page.extractBetweenPattern(FillFormat(u">%@</a></td>", {metal}), u"</tr>");
    if (!row)
        return std::nullopt;
    // Each source line of the row ends in a carriage return; as "," it marks the end of a field
    // once flattening has put a line feed after it.
    row->replace(u'\r', u',');
    const auto flat = FlattenFragment(*row);
    if (!flat)
        return std::nullopt;
    const QStringList fields = flat->split(QStringLiteral(",\n"));
    if (fields.size() <= kPercentField)
        return std::nullopt;
    return MarketQuote{metal, FillFormat(u"%@: %@", {metal, fields[kBidField]}), fields[kChangeField].trimmed(),
                       fields[kPercentField].trimmed(), std::nullopt};
}

} // namespace

std::vector<MarketQuote> CutMarketIndices(const SearchableText &page, const Hosts &hosts, const PageStore &store)
{
    std::vector<MarketQuote> indices;
    for (const MarketIndex &index : kIndices) {
        if (auto quote = cutIndex(page, index, hosts, store))
            indices.push_back(std::move(*quote));
    }
    return indices;
}

std::optional<MarketQuote> CutDollarIndex(const SearchableText &page, const Hosts &hosts)
{
    const QString anchor = QStringLiteral("<a href=\"http://") + hosts.otherIndices + QStringLiteral("/chart/?s=NYBOT_DX\">US Dollar</a>");
    const qsizetype anchorAt = page.indexOf(anchor);
    if (anchorAt < 0)
        return std::nullopt;

    // Cells of either kind are taken in page order, so each value belongs to this anchor.
    const auto value = CutBetweenNearer(page, anchorAt, kRisingCell, kFallingCell, kCellEnd);
    if (!value)
        return std::nullopt;
    // The value's own cell opens before the value text, so the next cell after it is the change.
    const qsizetype valueAt = page.indexOf(*value, anchorAt);
    if (valueAt < 0)
        return std::nullopt;
    const auto changeCell = CutBetweenNearer(page, valueAt, kRisingCell, kFallingCell, kCellEnd);
    if (!changeCell)
        return std::nullopt;
    const QStringList parts = changeCell->split(u' ');
    if (parts.size() != 2)
        return std::nullopt;
    return MarketQuote{QStringLiteral("U.S. Dollar Index"), FillFormat(u"U.S. Dollar Index: %@", {*value}), parts[0], parts[1],
                       std::nullopt};
}

std::vector<MarketQuote> CutPreciousMetals(const SearchableText &page)
{
    std::vector<MarketQuote> metals;
    for (const PreciousMetal &metal : PreciousMetals()) {
        if (auto quote = cutMetal(page, metal.name.toString()))
            metals.push_back(std::move(*quote));
    }
    return metals;
}

} // namespace tickwell
