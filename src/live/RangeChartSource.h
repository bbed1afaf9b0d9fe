#pragma once

#include "live/LiveAnswers.h"
#include "live/LiveChartRange.h"
#include "platform/SettingsStore.h"
#include "platform/UrlLoader.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace tickwell {

// The chart of one range, or why there is none: "429 Too Many Requests", "no answer",
// "404 Not Found" (an unknown symbol), "not a chart answer".
struct RangeChartResult {
    std::optional<ChartAnswer> chart;
    QString problem; // set when there is no chart
};

// Fetches the chart of one symbol over one range from the live chart service, beside the event
// loop, one at a time: a new fetch replaces the one running. Asked on a click, so it is asked
// even while the refresh backs off from that service: the user sees the refusal, if any.
class RangeChartSource {
public:
    using Completion = std::function<void(RangeChartResult)>;

    RangeChartSource(UrlLoader &loader, SettingsStore &settings);
    ~RangeChartSource();
    RangeChartSource(const RangeChartSource &) = delete;
    RangeChartSource &operator=(const RangeChartSource &) = delete;

    // `done` runs once, from the event loop or before fetch returns; it may start another fetch.
    void fetch(const QString &symbol, const LiveChartRange &range, Completion done);
    void cancel();
    bool isBusy() const { return m_busy; }

private:
    UrlLoader &m_loader;
    SettingsStore &m_settings;
    std::unique_ptr<FetchHandle> m_handle;
    std::uint64_t m_generation = 0;
    bool m_busy = false;
};

// What a chart service's response holds for RangeChartSource.
RangeChartResult ReadRangeChart(const HttpResponse &response);

} // namespace tickwell
