#pragma once

#include "LiveClock.h"
#include "LiveInstruments.h"

#include <string>
#include <vector>

namespace tickwell::feed {

// The v7 quote answer: quoteResponse.result[] in the given order, marketState from the clock,
// pre-market fields before the open, post-market fields after the close, percents in percent,
// the dividend yield as a fraction.
std::string QuoteDocument(const std::vector<LiveQuote> &quotes, const MarketClock &clock);

// {"finance":{"result":null,"error":{"code":...,"description":...}}}
std::string FinanceErrorDocument(const std::string &code, const std::string &description);

// The delayed-quotes answer {"timestamp":..., "data":{...}}, stamped fifteen minutes late.
std::string DelayedQuoteDocument(const LiveQuote &live, const MarketClock &clock);
// The answer for a symbol the service dropped: every number 0, stamped 2000-01-01T00:00:00.
std::string DroppedQuoteDocument(const std::string &symbol, const MarketClock &clock);
// The XML body of a 403 for a symbol the delayed-quotes service does not have.
std::string AccessDeniedDocument();

// An RSS 2.0 feed of the symbols' headlines, linking to this feed's article pages on host.
std::string HeadlineFeedDocument(const std::vector<std::string> &symbols, const std::string &host, const MarketClock &clock);

// The 200 HTML page a service shows a client it takes for a robot.
std::string ChallengePage();

} // namespace tickwell::feed
