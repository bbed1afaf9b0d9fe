#include "sources/WatchListSection.h"

#include "logging/QuoteHistory.h"
#include "sources/ChartLinksGroup.h"
#include "sources/HeadlinesGroup.h"
#include "sources/QuoteLine.h"
#include "sources/SourceAddresses.h"
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
void addLogoLogAndSaveGroups(SectionContext &context, Menu &submenu, const QString &symbol, bool headlines)
{
    const QString logoAddress = LogoImageAddress(context.hosts, symbol);
    if (const QImage *logo = context.state.m_urlContents.image(logoAddress)) {
        MenuItem item = MenuItem::make(QString(), QStringLiteral("selItemOpenConsoleLog:"));
        item.image = logoAddress;
        item.imageData = *logo;
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

    const SearchableText *page = context.state.m_urlContents.pageText(QuotePageAddress(context.hosts, symbol));
    if (!page)
        return;

    const QuoteValues values = CutQuoteValues(*page, symbol, switches.afterHours);
    if (values.previousClose)
        gPreviousClose.insert(symbol, *values.previousClose);
    if (!values.lastTrade)
        return;
    const QuoteChange change = ComputeQuoteChange(*values.lastTrade, values.previousClose);
    MenuItem line = MakeQuoteLine(context.state, QuoteLineText(symbol, values, watched.shares), change);

    Menu submenu;
    addLogoLogAndSaveGroups(context, submenu, symbol, switches.headlines);
    if (switches.chartImage)
        AddChartImageGroup(context, submenu, symbol);
    if (switches.interactiveCharts)
        AddInteractiveChartGroup(context.hosts, submenu, symbol);
    if (switches.stockData)
        AddStockDataGroup(submenu, *page, symbol);
    if (switches.headlines)
        AddHeadlinesGroup(context, submenu, *page, symbol, values.company);

    if (context.addSymbolGroups)
        context.addSymbolGroups(symbol, submenu);
    AddHistoryGroup(context.state, context.prefs, symbol, *values.lastTrade, submenu, newRefresh);

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
