#include "sources/MarketIndicesSection.h"

#include "sources/MarketLine.h"
#include "sources/SourceAddresses.h"

namespace tickwell {

void addMarketIndices(SectionContext &context)
{
    const bool charts = context.prefs.includeIndicesChartsInSubmenu();
    for (const MarketQuote &index : context.state.m_quotes.indices) {
        MenuItem line = MakeMarketLine(context.state, index, QStringLiteral("selItemMarketIndices:"));
        if (charts && index.chart) {
            MenuItem chart = MenuItem::make(QString(), QStringLiteral("selItemIndicesiChart:"));
            chart.image = index.chart->address;
            chart.imageData = index.chart->image;
            chart.toolTip = IndexQuotePageAddress(context.hosts, index.name);
            line.submenu = Menu{std::move(chart)};
        }
        context.menu.push_back(std::move(line));
    }
}

} // namespace tickwell
