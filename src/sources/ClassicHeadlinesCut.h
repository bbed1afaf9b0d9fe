#pragma once

#include "app/QuoteSnapshot.h"
#include "text/SearchableText.h"

#include <optional>
#include <vector>

namespace tickwell {

// The article links of a quote page's headline block (between "Filter Headlines" and "More
// Headlines"), in page order: absolute "http://" addresses only, each with its link text (entities
// decoded, white space collapsed; none when the link has none or it is not valid UTF-8) and the
// "<cite>" source line after the address. Nothing when the page has no headline block.
std::optional<std::vector<SnapshotHeadline>> CutHeadlines(const SearchableText &page);

} // namespace tickwell
