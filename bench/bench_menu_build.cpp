// One watch-list build as the menu does it at every opening: 50 symbols with quote pages of about
// 150 KB each, every submenu group on, headline titles already known. The pages are cut into the
// quote snapshot once, as the refresh's hand-over does; the build reads only the snapshot.
// Cached formatters (as the application runs) against one formatter made per number.
// Goal: the cached build within 1.5 ms median on the 2-core development machine (3.6 ms while
// the build still cut the stored pages). The cut itself is measured on its own: once per refresh.

#include "FeedMarket.h"
#include "QuotePages.h"

#include "app/ControllerState.h"
#include "app/ValueFormatting.h"
#include "app/Hosts.h"
#include "app/Preferences.h"
#include "app/SectionContext.h"
#include "support/ManualTimerFactory.h"
#include "support/MemorySettingsStore.h"
#include "sources/ClassicSnapshot.h"
#include "sources/SourceAddresses.h"
#include "sources/WatchListSection.h"

#include <benchmark/benchmark.h>

#include <QVariantList>
#include <QVariantMap>

#include <malloc.h>

namespace {

using namespace tickwell;

constexpr int kSymbols = 50;
constexpr std::size_t kPageSize = 150 * 1024;

// Markup of the kind real finance pages carry around the quote: scripts and styles in the head,
// navigation and link lists after the news.
std::string scriptPadding(std::size_t size)
{
    std::string text = "<script type=\"text/javascript\">\n";
    for (int i = 0; text.size() < size; ++i)
        text += "YAHOO.Finance.config[" + std::to_string(i) + "] = {id: \"m" + std::to_string(i)
                + "\", url: \"/quote/feed?x=" + std::to_string(i * 7) + "\", size: [300, 250], visible: false};\n";
    return text + "</script>\n";
}

std::string linkPadding(std::size_t size)
{
    std::string text = "<div id=\"footer\"><ul class=\"nav\">\n";
    for (int i = 0; text.size() < size; ++i)
        text += "<li class=\"item\"><a href=\"/industry/" + std::to_string(i) + "\" title=\"Sector " + std::to_string(i)
                + "\"><span class=\"label\">Sector " + std::to_string(i) + "</span></a> <em>(" + std::to_string(i % 97)
                + ")</em></li>\n";
    return text + "</ul></div>\n";
}

std::string paddedQuotePage(const feed::FeedMarket &market, const std::string &symbol, const std::string &host)
{
    const std::string page = feed::QuotePage(market.quote(symbol, 42), host, "4:00PM EDT");
    const std::size_t headEnd = page.find("</head>");
    const std::size_t bodyEnd = page.rfind("</body>");
    const std::size_t room = kPageSize > page.size() ? kPageSize - page.size() : 0;
    return page.substr(0, headEnd) + scriptPadding(room / 3) + page.substr(headEnd, bodyEnd - headEnd)
           + linkPadding(room - room / 3) + page.substr(bodyEnd);
}

struct MenuBuildFixture {
    MenuBuildFixture()
    {
        hosts.quotePage = hosts.chartImage = hosts.logo = QStringLiteral("127.0.0.1:8123");
        QVariantList symbols;
        QVariantMap shares;
        QImage image(192, 96, QImage::Format_ARGB32);
        image.fill(Qt::white);
        feed::FeedMarket market(5);
        for (int i = 0; i < kSymbols; ++i) {
            const QString symbol = QStringLiteral("S") + QChar(u'A' + i / 26) + QChar(u'A' + i % 26);
            symbols.append(symbol);
            shares.insert(symbol, QString::number(10 * (i + 1)));
            state.m_urlContents.storePage(QuotePageAddress(hosts, symbol),
                                          QByteArray::fromStdString(paddedQuotePage(market, symbol.toStdString(), "127.0.0.1:8123")));
            state.m_urlContents.storeImage(ChartImageAddress(hosts, symbol), image);
            state.m_urlContents.storeImage(LogoImageAddress(hosts, symbol), image);
        }
        settings.setValue(QStringLiteral("StockSymbols"), symbols);
        for (const QVariant &symbol : symbols)
            symbolNames.append(symbol.toString());
        cut();
        settings.setValue(QStringLiteral("CompanyShares"), shares);
        for (const char *key : {"IncludeAfterHoursMenu", "IncludeHeadlinesInSubmenu", "IncludeiChartsInSubmenu",
                                "IncludeInteractiveiChartsLinksInSubmenu", "IncludeStockDataInSubmenu", "IncludeStockHistoryInSubmenu"})
            settings.setValue(QString::fromLatin1(key), true);
        state.m_upColor = QColor(Qt::green);
        state.m_downColor = QColor(Qt::red);
        // One build learns every headline title, as the first opening of the menu would.
        build();
    }

    void cut() { state.m_quotes = CutClassicSnapshot(state.m_urlContents, hosts, symbolNames); }

    void build()
    {
        menu.clear();
        SectionContext context{state, prefs, hosts, clock, menu};
        addStockSymbols(context);
    }

    MemorySettingsStore settings;
    Preferences prefs{settings};
    Hosts hosts;
    QStringList symbolNames;
    ControllerState state;
    ManualTimerFactory clock;
    Menu menu;
};

void runBuilds(benchmark::State &benchState, bool cachedFormatters)
{
    MenuBuildFixture fixture;
    UseFormatterCache(cachedFormatters);
    for (auto _ : benchState) {
        fixture.build();
        benchmark::DoNotOptimize(fixture.menu.data());
    }
    UseFormatterCache(true);
    // Every line and the three headline section items.
    if (fixture.menu.size() != kSymbols + 3)
        benchState.SkipWithError("unexpected menu");
    benchState.counters["lines"] = static_cast<double>(fixture.menu.size());
}

void BM_AddStockSymbolsUncachedFormatters(benchmark::State &benchState)
{
    runBuilds(benchState, false);
}

void BM_AddStockSymbols(benchmark::State &benchState)
{
    runBuilds(benchState, true);
}

// The cut of the 50 stored pages that one refresh's hand-over does.
void BM_CutClassicSnapshot(benchmark::State &benchState)
{
    MenuBuildFixture fixture;
    for (auto _ : benchState) {
        fixture.cut();
        benchmark::DoNotOptimize(fixture.state.m_quotes.symbols.size());
    }
    // What the store gives back once the pages are cut (it keeps only the images after that).
    const auto heapInUse = [] { return static_cast<double>(mallinfo2().uordblks) / (1024 * 1024); };
    const double before = heapInUse();
    fixture.state.m_urlContents.dropPageTexts();
    benchState.counters["heap_MiB_after_cut"] = heapInUse();
    benchState.counters["page_texts_MiB"] = before - heapInUse();
}

BENCHMARK(BM_AddStockSymbolsUncachedFormatters)->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(BM_AddStockSymbols)->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(BM_CutClassicSnapshot)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
