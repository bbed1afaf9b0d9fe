#pragma once

#include "app/Hosts.h"
#include "app/PageStore.h"
#include "app/QuoteSnapshot.h"
#include "text/SearchableText.h"

#include <optional>
#include <vector>

namespace tickwell {

// The Dow, Nasdaq and S&P lines of the markets page, each with its chart image when the refresh
// stored it.
std::vector<MarketQuote> CutMarketIndices(const SearchableText &page, const Hosts &hosts, const PageStore &store);

// The U.S. dollar index of the other-indices page.
std::optional<MarketQuote> CutDollarIndex(const SearchableText &page, const Hosts &hosts);

// Gold, silver, platinum and palladium from the table rows of the metals page; a metal whose row
// or a needed field is missing is left out.
std::vector<MarketQuote> CutPreciousMetals(const SearchableText &page);

} // namespace tickwell
