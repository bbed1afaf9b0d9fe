#pragma once

#include "app/SectionContext.h"

namespace tickwell {

// The U.S. Dollar Index line of the snapshot.
void addOtherMarketIndices(SectionContext &context);

} // namespace tickwell
