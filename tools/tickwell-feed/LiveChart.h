#pragma once

#include "FeedMarket.h"
#include "LiveClock.h"
#include "LiveInstruments.h"

#include <optional>
#include <string>

namespace tickwell::feed {

// What a chart request asks for: "range=1d&interval=5m&includePrePost=true".
struct ChartRequest {
    std::string range = "1mo";
    std::string interval = "1d";
    bool includePrePost = false;
};

// The v8 chart answer of a known symbol: chart.result[0] with its meta, the bar times and
// indicators.quote[0] (a few bars are null gaps, the 11:00 one among them, never the last). The
// bars end with the quote's last trade and follow the same day closes whatever the range, so
// ranged charts agree. Nothing when the range or interval is not one the service takes.
std::optional<std::string> ChartDocument(const FeedMarket &market, const LiveQuote &live, const MarketClock &clock,
                                         const ChartRequest &request);

// {"chart":{"result":null,"error":{"code":...,"description":...}}}
std::string ChartErrorDocument(const std::string &code, const std::string &description);

} // namespace tickwell::feed
