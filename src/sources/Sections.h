#pragma once

#include "app/SectionContext.h"

namespace tickwell {

// The menu sections, each appending its lines to context.menu from the page-content store.
void addStockSymbols(SectionContext &context);
void addPreciousMetals(SectionContext &context);
void addOtherMarketIndices(SectionContext &context);
void addMarketIndices(SectionContext &context);

} // namespace tickwell
