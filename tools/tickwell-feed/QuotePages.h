#pragma once

#include "FeedMarket.h"

#include <string>

namespace tickwell::feed {

// The quote page of a symbol the feed knows: the title with "Summary for NAME-", the real-time
// and after-hours prices when the symbol has them, the fifteen quote fields in page order, and
// the headline block between "Filter Headlines" and "More Headlines". Absolute links name host.
std::string QuotePage(const StockQuote &quote, const std::string &host, const std::string &tradeTime);

// The page the site gives for a symbol it does not list: no quote at all.
std::string UnknownSymbolPage(const std::string &symbol);

// The chart page a chart item opens: the chart image and the interactive range asked for.
std::string ChartPage(const std::string &symbol);

} // namespace tickwell::feed
