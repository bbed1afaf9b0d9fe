// A refresh of 30 symbols (chart, logo and quote page each) against a local server that answers
// every request after 100 ms: libcurl's concurrent fetchAll against one fetch after another.

#include "platform/CurlUrlLoader.h"
#include "support/LocalHttpServer.h"

#include <benchmark/benchmark.h>

#include <QStringList>

#include <chrono>
#include <cstdio>
#include <unistd.h>
#include <map>
#include <string>
#include <vector>

using tickwell::CurlUrlLoader;
using tickwell::test::LocalHttpServer;

namespace {

constexpr int symbolCount = 30;
constexpr auto serverLatency = std::chrono::milliseconds(100);

struct RefreshFixture {
    LocalHttpServer server;
    std::vector<QString> addresses;

    RefreshFixture()
    {
        server.setLatency(serverLatency);
        const QByteArray quotePage = "<html><title>Quote</title>" + QByteArray(40'000, 'q') + "</html>";
        const QByteArray image = QByteArray(6'000, '\x7f');
        for (int i = 0; i < symbolCount; ++i) {
            const QString symbol = QStringLiteral("SYM%1").arg(i);
            const QStringList targets = {"/t?s=" + symbol, "/images/listed/log-" + symbol + ".gif", "/q?s=" + symbol};
            server.serve(targets[0], image, "image/png");
            server.serve(targets[1], image, "image/gif");
            server.serve(targets[2], quotePage);
            for (const QString &target : targets)
                addresses.push_back(server.url(target));
        }
    }
};

RefreshFixture &fixture()
{
    static RefreshFixture shared;
    return shared;
}

void BM_RefreshSequential(benchmark::State &state)
{
    CurlUrlLoader loader;
    for (auto _ : state) {
        std::size_t arrived = 0;
        for (const QString &address : fixture().addresses)
            arrived += loader.fetch(address).has_value();
        benchmark::DoNotOptimize(arrived);
        if (arrived != fixture().addresses.size())
            state.SkipWithError("a fetch failed");
    }
    state.counters["fetches"] = static_cast<double>(fixture().addresses.size());
}

void BM_RefreshConcurrent(benchmark::State &state)
{
    CurlUrlLoader loader;
    for (auto _ : state) {
        const auto results = loader.fetchAll(fixture().addresses);
        std::size_t arrived = 0;
        for (const auto &result : results)
            arrived += result.has_value();
        benchmark::DoNotOptimize(arrived);
        if (arrived != fixture().addresses.size())
            state.SkipWithError("a fetch failed");
    }
    state.counters["fetches"] = static_cast<double>(fixture().addresses.size());
}

BENCHMARK(BM_RefreshSequential)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_RefreshConcurrent)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

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
        const auto concurrent = m_realTimes.find("BM_RefreshConcurrent/iterations:5/real_time");
        if (sequential == m_realTimes.end() || concurrent == m_realTimes.end() || concurrent->second <= 0)
            return;
        std::printf("refresh of %d fetches at %lld ms each: sequential %.0f ms, concurrent %.0f ms, %.1fx faster\n",
                    symbolCount * 3, static_cast<long long>(serverLatency.count()), sequential->second,
                    concurrent->second, sequential->second / concurrent->second);
    }

private:
    std::map<std::string, double> m_realTimes;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    SpeedupReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
