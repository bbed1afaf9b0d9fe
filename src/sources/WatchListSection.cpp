#include "sources/WatchListSection.h"

#include "logging/QuoteHistory.h"
#include "sources/ChartLinksGroup.h"
#include "sources/HeadlinesGroup.h"
#include "sources/QuoteLine.h"
#include "sources/StockDataGroup.h"

namespace tickwell {

namespace {

constexpr qsizetype kHeadlineRoom = 20;

// The switches of the section, read once per build.
struct SubmenuSwitches {
    bool afterHours;
    bool headlines;
    bool chartImage;
    bool interactiveCharts;
    bool stockData;

    static SubmenuSwitches read(const Preferences &prefs)
    {
        return {prefs.includeAfterHours(), prefs.includeHeadlinesInSubmenu(), prefs.includeiChartsInSubmenu(),
                prefs.includeInteractiveiChartsLinksInSubmenu(), prefs.includeStockDataInSubmenu()};
    }
};

// Groups 1 to 3: the logo, "Open Log" and "Save Headlines...", each naming the symbol in its
// tool tip.
void addLogoLogAndSaveGroups(Menu &submenu, const QString &symbol, const std::optional<SnapshotImage> &logo, bool headlines)
{
    if (logo) {
        MenuItem item = MenuItem::make(QString(), QStringLiteral("selItemOpenConsoleLog:"));
        item.image = logo->address;
        item.imageData = logo->image;
        item.toolTip = symbol;
        submenu.push_back(std::move(item));
        submenu.push_back(MenuItem::makeSeparator());
    }

    MenuItem log = MenuItem::make(QStringLiteral("Open Log"), QStringLiteral("selItemOpenConsoleLog:"));
    log.toolTip = symbol;
    submenu.push_back(std::move(log));

    if (headlines) {
        MenuItem save = MenuItem::make(QStringLiteral("Save Headlines..."), QStringLiteral("selItemSaveHeadlines:"));
        save.toolTip = symbol;
        submenu.push_back(std::move(save));
    }
}

void addSymbolLine(SectionContext &context, const SubmenuSwitches &switches, const WatchedSymbol &watched, bool newRefresh)
{
    const QString &symbol = watched.symbol;
    QList<HeadlineRecord> headlines;
    headlines.reserve(kHeadlineRoom);
    context.state.m_headlines.insert(symbol, headlines);

    EnsureSymbolHistory(context.state, symbol);

    const SymbolQuote *quote = context.state.m_quotes.symbol(symbol);
    if (!quote || !quote->lastTrade)
        return;
    const QuoteChange change = ComputeQuoteChange(*quote->lastTrade, quote->previousClose);
    MenuItem line = MakeQuoteLine(context.state, QuoteLineText(symbol, *quote, watched.shares, switches.afterHours), change);

    Menu submenu;
    addLogoLogAndSaveGroups(submenu, symbol, quote->logo, switches.headlines);
    if (switches.chartImage)
        AddChartImageGroup(context.hosts, submenu, symbol, quote->chart);
    if (switches.interactiveCharts)
        AddInteractiveChartGroup(context.hosts, submenu, symbol);
    if (switches.stockData)
        AddStockDataGroup(submenu, quote->details);
    if (switches.headlines)
        AddHeadlinesGroup(context, submenu, quote->headlines, symbol, quote->company);

    if (context.addSymbolGroups)
        context.addSymbolGroups(symbol, submenu);
    AddHistoryGroup(context.state, context.prefs, symbol, *quote->lastTrade, submenu, newRefresh);

    line.submenu = std::move(submenu);
    context.menu.push_back(std::move(line));
}

} // namespace

void addStockSymbols(SectionContext &context)
{
    context.state.m_headlines.clear();

    // The watch list is read afresh (after a synchronisation) at every build. A missing
    // "CompanyShares" means no holdings, so the lines are still built.
    const std::vector<WatchedSymbol> watchList = context.prefs.watchList(true);
    const SubmenuSwitches switches = SubmenuSwitches::read(context.prefs);

    // At most one history entry per symbol and refresh, however often the menu is built.
    const bool newRefresh = BeginHistoryBuild(context.state, context.prefs);

    for (const WatchedSymbol &watched : watchList)
        addSymbolLine(context, switches, watched, newRefresh);

    if (switches.headlines)
        AddHeadlineSectionItems(context);
}

} // namespace tickwell
