#pragma once

#include "app/SectionContext.h"

namespace tickwell {

// The U.S. Dollar Index line cut from the other-indices page.
void addOtherMarketIndices(SectionContext &context);

} // namespace tickwell
