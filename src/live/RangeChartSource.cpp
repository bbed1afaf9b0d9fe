#include "live/RangeChartSource.h"

#include "live/LiveAddresses.h"
#include "live/ServiceRefusal.h"

namespace tickwell {

RangeChartResult ReadRangeChart(const HttpResponse &response)
{
    if (const auto refusal = RefusalReason(response, ForbiddenMeans::Refusal))
        return {std::nullopt, *refusal};
    // An unknown symbol is a 404 with a chart error: the status says it best.
    if (response.status < 200 || response.status >= 300)
        return {std::nullopt, StatusText(response.status)};
    if (auto chart = ParseChartAnswer(response.body))
        return {std::move(chart), QString()};
    return {std::nullopt, QStringLiteral("not a chart answer")};
}

RangeChartSource::RangeChartSource(UrlLoader &loader, SettingsStore &settings)
    : m_loader(loader)
    , m_settings(settings)
{
}

RangeChartSource::~RangeChartSource() = default;

void RangeChartSource::cancel()
{
    ++m_generation;
    m_busy = false;
    m_handle.reset();
}

void RangeChartSource::fetch(const QString &symbol, const LiveChartRange &range, Completion done)
{
    cancel();
    const LiveServiceSettings settings = LiveServiceSettings::read(m_settings);
    const std::uint64_t generation = m_generation;
    m_busy = true;
    auto handle = m_loader.send({settings.request(live_address::rangeChart(settings, symbol, range))},
        [this, generation, done = std::move(done)](HttpResponses responses) mutable {
            if (generation != m_generation)
                return;
            m_busy = false;
            // Moved out first: a fetch started from `done` drops the transfer this runs in.
            Completion finished = std::move(done);
            finished(responses.empty() ? RangeChartResult{std::nullopt, QStringLiteral("no answer")} : ReadRangeChart(responses.front()));
        });
    // A loader that answered at once has finished (and the completion may have started another).
    if (generation == m_generation && m_busy)
        m_handle = std::move(handle);
}

} // namespace tickwell
