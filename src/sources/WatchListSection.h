#pragma once

#include "app/SectionContext.h"

namespace tickwell {

// The watch-list section: one quote line per shown symbol whose snapshot quote holds a last trade,
// each with its symbol submenu, then the headline section items when headlines are on. Starts
// m_headlines afresh.
void addStockSymbols(SectionContext &context);

} // namespace tickwell
