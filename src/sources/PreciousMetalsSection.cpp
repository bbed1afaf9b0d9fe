#include "sources/PreciousMetalsSection.h"

#include "sources/MarketLine.h"

namespace tickwell {

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

void addPreciousMetals(SectionContext &context)
{
    for (const MarketQuote &metal : context.state.m_quotes.metals) {
        MenuItem line = MakeMarketLine(context.state, metal, QStringLiteral("selItemPreciousMetalBid:"));
        line.toolTip = metal.name;
        context.menu.push_back(std::move(line));
    }
}

} // namespace tickwell
