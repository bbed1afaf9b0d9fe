#pragma once

#include "FeedMarket.h"

#include <string>

namespace tickwell::feed {

// A symbol as today's services describe it: the feed's quote and the names around it.
struct LiveQuote {
    StockQuote quote;
    std::string shortName;
    std::string longName;
    std::string quoteType = "EQUITY";   // "EQUITY", "INDEX", "FUTURE"
    std::string exchange = "NMS";       // short code
    std::string fullExchangeName = "NasdaqGS";
};

// The live quote of a symbol at a tick. The indices (^DJI, ^IXIC, ^GSPC, ^NDX and the
// delayed-quotes forms _DJI, _SPX, _NDX), the dollar index DX-Y.NYB and the metal futures (GC=F,
// SI=F, PL=F, PA=F) move as on the classic pages; any other known symbol is a listed share.
LiveQuote LiveQuoteOf(const FeedMarket &market, const std::string &symbol, std::uint64_t tick);

// Gives the quote a new last trade (a scripted price), keeping the day's range, bid and ask
// around it.
void SetLastTrade(StockQuote &quote, double last);

} // namespace tickwell::feed
