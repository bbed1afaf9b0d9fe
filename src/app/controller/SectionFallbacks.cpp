// Empty sections until the quote sources are linked in.
#include "sources/Sections.h"

namespace tickwell {

__attribute__((weak)) void addStockSymbols(SectionContext &) {}
__attribute__((weak)) void addPreciousMetals(SectionContext &) {}
__attribute__((weak)) void addOtherMarketIndices(SectionContext &) {}
__attribute__((weak)) void addMarketIndices(SectionContext &) {}

} // namespace tickwell
