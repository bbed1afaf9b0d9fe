// Pattern cutting over a quote page of about 200 KB, the way the refresh cuts its pages: the wanted
// value sits near the end, and a pattern the page lacks scans it whole.
#include "sources/PageCutting.h"
#include "text/PageDecoding.h"
#include "text/SearchableText.h"
#include "text/StringExtensions.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QString>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <iterator>

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

// Any fragment the quote sources flatten, up to the size limit, takes at most 20 ms and 16 MB:
// the parser's costly shapes filled to 16 KiB. "peak_MiB" is what one call adds to the peak
// resident size (VmHWM), measured in a child process of its own.
struct HostileShape {
    const char *name;
    QString unit;
};

const HostileShape kHostileShapes[] = {
    {"reopened formatting", QStringLiteral("<p><b id=1><i id=2><u id=3><s id=4><em id=5>x")},
    {"div nesting", QStringLiteral("<div>")},
    {"inline nesting", QStringLiteral("<q>")},
    {"ignored end tags", QStringLiteral("<span></x>")},
    {"list items", QStringLiteral("<ul><li>")},
    {"table cells", QStringLiteral("<table><td>")},
    {"block in formatting", QStringLiteral("<div><b>")},
    {"svg", QStringLiteral("<svg><g>")},
    {"many attributes", {}},
};

QString HostileFragment(const HostileShape &shape)
{
    if (shape.unit.isEmpty()) { // one tag with thousands of distinct attributes
        QString tag = QStringLiteral("<span");
        for (int i = 0; tag.size() < tickwell::kLongestFlattenedFragment - 8; ++i)
            tag += QStringLiteral(" a%1").arg(i);
        return tag + QStringLiteral(">x");
    }
    return shape.unit.repeated(tickwell::kLongestFlattenedFragment / shape.unit.size());
}

// VmRSS or VmHWM of this process, in KiB.
long StatusKiB(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLong();
    return -1;
}

// In a child: free memory goes back to the system and the peak is reset to the current size
// (clear_refs "5"), so whatever the call needs at most shows as growth of the peak.
double PeakMiBOfOneCall(const QString &fragment)
{
    int channel[2];
    if (pipe(channel) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        malloc_trim(0);
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        long kib = -1024;
        if (clear.open(QIODevice::WriteOnly) && clear.write("5") == 1) {
            clear.close();
            const long before = StatusKiB("VmRSS:");
            benchmark::DoNotOptimize(tickwell::FlattenFragment(fragment));
            kib = StatusKiB("VmHWM:") - before;
        }
        [[maybe_unused]] const auto written = write(channel[1], &kib, sizeof kib);
        _exit(0);
    }
    close(channel[1]);
    long kib = -1024;
    if (child < 0 || read(channel[0], &kib, sizeof kib) != sizeof kib)
        kib = -1024;
    close(channel[0]);
    if (child > 0)
        waitpid(child, nullptr, 0);
    return static_cast<double>(kib) / 1024.0;
}

void BM_FlattenFragment_Hostile(benchmark::State &state)
{
    const HostileShape &shape = kHostileShapes[state.range(0)];
    const QString fragment = HostileFragment(shape);
    state.SetLabel(shape.name);
    state.counters["peak_MiB"] = PeakMiBOfOneCall(fragment);
    for (auto _ : state)
        benchmark::DoNotOptimize(tickwell::FlattenFragment(fragment));
    state.counters["bytes"] = static_cast<double>(fragment.size());
}
BENCHMARK(BM_FlattenFragment_Hostile)->DenseRange(0, std::size(kHostileShapes) - 1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
