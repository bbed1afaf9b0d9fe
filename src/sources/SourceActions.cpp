#include "sources/SourceActions.h"

#include "platform/UrlLoader.h"
#include "sources/PreciousMetalsSection.h"
#include "sources/SourceAddresses.h"
#include "text/StringExtensions.h"

namespace tickwell {

namespace {

void openIfAddress(const QString &address, Desktop &desktop)
{
    if (isAcceptableAddress(address))
        desktop.openUrl(address);
}

void openToolTip(const MenuItem &sender, Desktop &desktop)
{
    if (sender.toolTip)
        openIfAddress(*sender.toolTip, desktop);
}

} // namespace

void selItemStockSymbol(const MenuItem &sender, const Hosts &hosts, Desktop &desktop)
{
    if (const auto symbol = extractBetweenPattern(sender.title, u"[", u"]"))
        openIfAddress(QuotePageAddress(hosts, *symbol), desktop);
}

void selItemiChart(const MenuItem &sender, const Hosts &, Desktop &desktop)
{
    openToolTip(sender, desktop);
}

void selItemInteractiveiChart(const MenuItem &sender, const Hosts &, Desktop &desktop)
{
    openToolTip(sender, desktop);
}

void selItemMarketIndices(const MenuItem &, const Hosts &hosts, Desktop &desktop)
{
    openIfAddress(MarketsPageAddress(hosts), desktop);
}

void selItemIndicesiChart(const MenuItem &sender, const Hosts &, Desktop &desktop)
{
    openToolTip(sender, desktop);
}

void selItemOtherMarketIndices(const MenuItem &, const Hosts &hosts, Desktop &desktop)
{
    openIfAddress(OtherIndicesPageAddress(hosts), desktop);
}

void selItemPreciousMetalBid(const MenuItem &sender, const Hosts &hosts, Desktop &desktop)
{
    if (!sender.toolTip)
        return;
    for (const PreciousMetal &metal : PreciousMetals()) {
        if (*sender.toolTip == metal.name) {
            openIfAddress(Hosts::address(hosts.metals, metal.chartPath.toString()), desktop);
            return;
        }
    }
}

} // namespace tickwell
