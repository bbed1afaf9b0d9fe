#include "sources/MarketIndicesSection.h"

#include "sources/MarketLine.h"
#include "sources/PageCutting.h"
#include "sources/SourceAddresses.h"

#include <array>

namespace tickwell {

namespace {

struct MarketIndex {
    QStringView anchor;
    QStringView lineFormat;
    QStringView chartPath;
    QStringView quotePath;
};

constexpr std::array<MarketIndex, 3> kIndices{{
    {u"<a href=\"/data/markets/dow\" class=\"wsod_symbol\">Dow</a>", u"Dow: %@", u"/t?s=%5EDJI", u"/q?s=%5EDJI"},
    {u"<a href=\"/data/markets/nasdaq\" class=\"wsod_symbol\">Nasdaq</a>", u"Nasdaq: %@", u"/t?s=%5EIXIC",
     u"/q?s=%5EIXIC"},
    {u"<a href=\"/data/markets/sandp\" class=\"wsod_symbol\">S&amp;P</a>", u"S&P: %@", u"/t?s=%5EGSPC",
     u"/q?s=%5EGSPC"},
}};

constexpr QStringView kRisingLast = u"<span class=\"posLast\">";
constexpr QStringView kFallingLast = u"<span class=\"negLast\">";
constexpr QStringView kPercentBegin = u"ChangePct\">";
constexpr QStringView kChangeBegin = u"Change\">";
constexpr QStringView kSpanEnd = u"</span>";

void addIndexLine(SectionContext &context, const SearchableText &page, const MarketIndex &index, bool charts)
{
    const qsizetype anchorAt = page.indexOf(index.anchor);
    if (anchorAt < 0)
        return;
    // Every value is the first after the anchor; the last value takes whichever kind of cell
    // comes first, so a falling index never shows the next rising index's value.
    const auto last = CutBetweenNearer(page, anchorAt, kRisingLast, kFallingLast, kSpanEnd);
    const auto percent = CutBetween(page, anchorAt, kPercentBegin, kSpanEnd);
    const auto change = CutBetween(page, anchorAt, kChangeBegin, kSpanEnd);
    if (!last || !percent || !change)
        return;

    MenuItem line = MakeMarketLine(context.state, FillFormat(index.lineFormat, {*last}),
                                   DirectionOfChangeText(*change), *change, *percent,
                                   QStringLiteral("selItemMarketIndices:"));
    if (charts) {
        const QString chartAddress = Hosts::address(context.hosts.chartImage, index.chartPath.toString());
        if (const QImage *image = context.state.m_urlContents.image(chartAddress)) {
            MenuItem chart = MenuItem::make(QString(), QStringLiteral("selItemIndicesiChart:"));
            chart.image = chartAddress;
            chart.imageData = *image;
            chart.toolTip = Hosts::address(context.hosts.quotePage, index.quotePath.toString());
            line.submenu = Menu{std::move(chart)};
        }
    }
    context.menu.push_back(std::move(line));
}

} // namespace

void addMarketIndices(SectionContext &context)
{
    const SearchableText *page = context.state.m_urlContents.pageText(MarketsPageAddress(context.hosts));
    if (!page)
        return;
    const bool charts = context.prefs.includeIndicesChartsInSubmenu();
    for (const MarketIndex &index : kIndices)
        addIndexLine(context, *page, index, charts);
}

} // namespace tickwell
