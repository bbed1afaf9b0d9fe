#pragma once

#include "FeedMarket.h"

#include <optional>
#include <string>

namespace tickwell::feed {

// The markets page: the Dow, Nasdaq and S&P rows, each value in a "posLast" or "negLast" cell.
std::string MarketsPage(const FeedMarket &market, std::uint64_t tick);

// The metals market page: one table row per metal, every cell on a line of its own ending in
// CR LF: name, date, time, bid, ask, change, percent change, low, high.
std::string MetalsPage(const FeedMarket &market, std::uint64_t tick);

// The page served at "/": the front page (with "U.S. Markets open in ..." while the opening-bell
// countdown runs) and the other-indices page with the dollar index, whose anchor names host.
std::string FrontPage(const FeedMarket &market, std::uint64_t tick, const std::string &host, bool openingBell);

// A metal's live chart page ("/charts/livegoldnewyork.html"), or nothing for another path.
std::optional<std::string> MetalChartPage(const std::string &path);

} // namespace tickwell::feed
