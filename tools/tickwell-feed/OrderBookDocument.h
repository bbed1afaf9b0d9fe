#pragma once

#include "FeedMarket.h"

#include <string>

namespace tickwell::feed {

// The order-book JSON of a symbol: company, bids, asks and the latest trades (newest first), each
// trade [time, shares, price] with the price a zero-padded string such as "0150.2500". A symbol
// the feed does not know gets the company "Unknown symbol" and no trades.
std::string OrderBookDocument(const FeedMarket &market, const std::string &symbol, std::uint64_t tick);

} // namespace tickwell::feed
