// Pattern cutting over a quote page of about 200 KB, the way the refresh cuts its pages: the wanted
// value sits near the end, and a pattern the page lacks scans it whole.
#include "text/PageDecoding.h"
#include "text/SearchableText.h"
#include "text/StringExtensions.h"

#include <benchmark/benchmark.h>

#include <QString>

namespace {

QString MakeQuotePage(qsizetype targetSize)
{
    QString page = QStringLiteral(
        "<!DOCTYPE html><html><head><title>MSFT: Summary for Microsoft Corporation</title>"
        "<script type=\"text/javascript\">var YAHOO = {Finance: {SymbolSuggestConfig: []}};</script>"
        "<style>.yfnc_tabledata1{font-weight:bold}</style></head><body>");
    int row = 0;
    while (page.size() < targetSize - 600) {
        page += QStringLiteral(
                    "<tr><th class=\"yfnc_tablehead1\" scope=\"row\">Item %1:</th>"
                    "<td class=\"yfnc_tabledata1\"><span id=\"yfs_x%1_aapl\">%2</span></td></tr>\n"
                    "<li><a href=\"http://finance.example/news/story-%1.html\">Shares &amp; bonds move, "
                    "story %1</a> <cite>(Wire Service)</cite></li>\n")
                    .arg(row)
                    .arg(row * 1.25, 0, 'f', 2);
        ++row;
    }
    page += QStringLiteral("<div class=\"yfi_rt_quote_summary_rt_top\"><span class=\"time_rtq_ticker\">"
                           "<span id=\"yfs_l10_msft\">28.50</span></span>"
                           "<span id=\"yfs_c10_msft\">+0.25</span></div></body></html>");
    return page;
}

const QString &Page()
{
    static const QString page = MakeQuotePage(200 * 1024);
    return page;
}

constexpr QStringView kBegin = u"<SPAN ID=\"yfs_l10_MSFT\">";
constexpr QStringView kEnd = u"</span>";
constexpr QStringView kMissing = u"<span id=\"yfs_l10_NOPE\">";

void BM_FreeExtract_Hit(benchmark::State &state)
{
    const QString &page = Page();
    for (auto _ : state)
        benchmark::DoNotOptimize(tickwell::extractBetweenPattern(page, kBegin, kEnd));
    state.SetBytesProcessed(state.iterations() * page.size() * 2);
}
BENCHMARK(BM_FreeExtract_Hit);

void BM_FreeExtract_Miss(benchmark::State &state)
{
    const QString &page = Page();
    for (auto _ : state)
        benchmark::DoNotOptimize(tickwell::extractBetweenPattern(page, kMissing, kEnd));
    state.SetBytesProcessed(state.iterations() * page.size() * 2);
}
BENCHMARK(BM_FreeExtract_Miss);

void BM_SearchableExtract_Hit(benchmark::State &state)
{
    const tickwell::SearchableText text(Page());
    for (auto _ : state)
        benchmark::DoNotOptimize(text.extractBetweenPattern(kBegin, kEnd));
    state.SetBytesProcessed(state.iterations() * text.text().size() * 2);
}
BENCHMARK(BM_SearchableExtract_Hit);

void BM_SearchableExtract_Miss(benchmark::State &state)
{
    const tickwell::SearchableText text(Page());
    for (auto _ : state)
        benchmark::DoNotOptimize(text.extractBetweenPattern(kMissing, kEnd));
    state.SetBytesProcessed(state.iterations() * text.text().size() * 2);
}
BENCHMARK(BM_SearchableExtract_Miss);

// What a search costs with Qt's Unicode case folding, for comparison.
void BM_QtCaseInsensitiveIndexOf_Hit(benchmark::State &state)
{
    const QString &page = Page();
    for (auto _ : state)
        benchmark::DoNotOptimize(QStringView(page).indexOf(kBegin, 0, Qt::CaseInsensitive));
    state.SetBytesProcessed(state.iterations() * page.size() * 2);
}
BENCHMARK(BM_QtCaseInsensitiveIndexOf_Hit);

void BM_SearchableText_Construct(benchmark::State &state)
{
    const QString &page = Page();
    for (auto _ : state)
        benchmark::DoNotOptimize(tickwell::SearchableText(page));
    state.SetBytesProcessed(state.iterations() * page.size() * 2);
}
BENCHMARK(BM_SearchableText_Construct);

void BM_DecodePageBytes_Utf8(benchmark::State &state)
{
    const QByteArray bytes = Page().toUtf8();
    for (auto _ : state)
        benchmark::DoNotOptimize(tickwell::DecodePageBytes(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_DecodePageBytes_Utf8);

void BM_DecodePageBytes_MacRoman(benchmark::State &state)
{
    QByteArray bytes = Page().toUtf8();
    bytes.append('\xE9'); // one Latin-1 byte at the very end: validation runs the whole page first
    for (auto _ : state)
        benchmark::DoNotOptimize(tickwell::DecodePageBytes(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_DecodePageBytes_MacRoman);

// Flattening hostile nesting stays linear: the time per level is the same at every depth.
void BM_FlattenHTML_HostileNesting(benchmark::State &state)
{
    const QString markup = QStringLiteral("<div><span></x><ul><li>").repeated(state.range(0)) + QStringLiteral("deep");
    for (auto _ : state)
        benchmark::DoNotOptimize(tickwell::flattenHTML(markup));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FlattenHTML_HostileNesting)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
