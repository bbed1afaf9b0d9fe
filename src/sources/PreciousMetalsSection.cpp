#include "sources/PreciousMetalsSection.h"

#include "sources/MarketLine.h"
#include "sources/PageCutting.h"
#include "sources/SourceAddresses.h"

namespace tickwell {

namespace {

// Row fields after the metal's name cell: date, time, bid, ask, change, percent change, ...
constexpr qsizetype kBidField = 3;
constexpr qsizetype kChangeField = 5;
constexpr qsizetype kPercentField = 6;

} // namespace

const std::vector<PreciousMetal> &PreciousMetals()
{
    static const std::vector<PreciousMetal> metals{
        {u"Gold", u"/charts/livegoldnewyork.html"},
        {u"Silver", u"/charts/livesilver.html"},
        {u"Platinum", u"/charts/liveplatinum.html"},
        {u"Palladium", u"/charts/livepalladium.html"},
    };
    return metals;
}

void addPreciousMetal(SectionContext &context, const QString &metal, const SearchableText &page)
{
    auto row = page.extractBetweenPattern(FillFormat(u">%@</a></td>", {metal}), u"</tr>");
    if (!row)
        return;
    // Each source line of the row ends in a carriage return; as "," it marks the end of a field
    // once flattening has put a line feed after it.
    row->replace(u'\r', u',');
    const auto flat = FlattenFragment(*row);
    if (!flat)
        return;
    const QStringList fields = flat->split(QStringLiteral(",\n"));
    if (fields.size() <= kPercentField)
        return;

    const QString change = fields[kChangeField].trimmed();
    const QString percent = fields[kPercentField].trimmed();
    MenuItem line = MakeMarketLine(context.state, FillFormat(u"%@: %@", {metal, fields[kBidField]}),
                                   DirectionOfChangeText(change), change, percent,
                                   QStringLiteral("selItemPreciousMetalBid:"));
    line.toolTip = metal;
    context.menu.push_back(std::move(line));
}

void addPreciousMetals(SectionContext &context)
{
    const SearchableText *page = context.state.m_urlContents.pageText(MetalsPageAddress(context.hosts));
    if (!page)
        return;
    for (const PreciousMetal &metal : PreciousMetals())
        addPreciousMetal(context, metal.name.toString(), *page);
}

} // namespace tickwell
