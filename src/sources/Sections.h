#pragma once

#include "app/SectionContext.h"

namespace tickwell {

// The menu sections, each appending its lines to context.menu from the quote snapshot.
void addStockSymbols(SectionContext &context);
void addPreciousMetals(SectionContext &context);
void addOtherMarketIndices(SectionContext &context);
void addMarketIndices(SectionContext &context);

} // namespace tickwell
