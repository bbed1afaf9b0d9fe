// A refresh of 30 symbols (chart, logo and quote page each) against three local servers, one
// per host as the real services are, each answering every request after 100 ms: one fetch after
// another against the loader's concurrent fetch (per-host limits, reused connections).
// Goal: concurrent at most 0.6 s and at least 15 times faster than sequential.

#include "platform/net/CurlUrlLoader.h"
#include "support/LocalHttpServer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QStringList>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

using tickwell::CurlUrlLoader;
using tickwell::FetchAndWait;
using tickwell::test::LocalHttpServer;

namespace {

constexpr int symbolCount = 30;
constexpr auto serverLatency = std::chrono::milliseconds(100);

struct RefreshFixture {
    LocalHttpServer quotes;
    LocalHttpServer charts;
    LocalHttpServer logos;
    std::vector<QString> addresses;

    RefreshFixture()
    {
        for (LocalHttpServer *server : {&quotes, &charts, &logos})
            server->setLatency(serverLatency);
        const QByteArray quotePage = "<html><title>Quote</title>" + QByteArray(40'000, 'q') + "</html>";
        const QByteArray image = QByteArray(6'000, '\x7f');
        for (int i = 0; i < symbolCount; ++i) {
            const QString symbol = QStringLiteral("SYM%1").arg(i);
            charts.serve("/t?s=" + symbol, image, "image/png");
            logos.serve("/images/listed/log-" + symbol + ".gif", image, "image/gif");
            quotes.serve("/q?s=" + symbol, quotePage);
            addresses.push_back(charts.url("/t?s=" + symbol));
            addresses.push_back(logos.url("/images/listed/log-" + symbol + ".gif"));
            addresses.push_back(quotes.url("/q?s=" + symbol));
        }
    }
};

RefreshFixture &fixture()
{
    static RefreshFixture shared;
    return shared;
}

void checkArrived(benchmark::State &state, const tickwell::FetchResults &results)
{
    std::size_t arrived = 0;
    for (const auto &result : results)
        arrived += result.has_value();
    benchmark::DoNotOptimize(arrived);
    if (arrived != fixture().addresses.size())
        state.SkipWithError("a fetch failed");
}

void BM_RefreshSequential(benchmark::State &state)
{
    CurlUrlLoader loader;
    for (auto _ : state) {
        tickwell::FetchResults results;
        for (const QString &address : fixture().addresses)
            results.push_back(FetchAndWait(loader, address));
        checkArrived(state, results);
    }
    state.counters["fetches"] = static_cast<double>(fixture().addresses.size());
}

void BM_RefreshConcurrent(benchmark::State &state)
{
    CurlUrlLoader loader;
    for (auto _ : state)
        checkArrived(state, FetchAndWait(loader, fixture().addresses));
    state.counters["fetches"] = static_cast<double>(fixture().addresses.size());
    int peak = 0;
    for (const LocalHttpServer *server : {&fixture().quotes, &fixture().charts, &fixture().logos})
        peak = std::max(peak, server->peakConcurrentRequests());
    state.counters["peak_per_host"] = peak;
}

BENCHMARK(BM_RefreshSequential)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_RefreshConcurrent)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// The console report plus one closing line with the speed-up of the concurrent refresh.
class SpeedupReporter : public benchmark::ConsoleReporter {
public:
    SpeedupReporter()
        : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular)
    {
    }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            m_realTimes[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto sequential = m_realTimes.find("BM_RefreshSequential/iterations:2/real_time");
        const auto concurrent = m_realTimes.find("BM_RefreshConcurrent/iterations:10/real_time");
        if (sequential == m_realTimes.end() || concurrent == m_realTimes.end() || concurrent->second <= 0)
            return;
        std::printf("refresh of %d fetches on 3 hosts at %lld ms each: sequential %.0f ms, concurrent %.0f ms, %.1fx faster "
                    "(goal: at most 600 ms and 15x)\n",
                    symbolCount * 3, static_cast<long long>(serverLatency.count()), sequential->second,
                    concurrent->second, sequential->second / concurrent->second);
    }

private:
    std::map<std::string, double> m_realTimes;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv); // the loader runs in its event loop
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    SpeedupReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
