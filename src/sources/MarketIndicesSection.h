#pragma once

#include "app/SectionContext.h"

namespace tickwell {

// The Dow, Nasdaq and S&P lines of the snapshot, each with its chart image in a submenu when
// index charts are on and the refresh brought the image.
void addMarketIndices(SectionContext &context);

} // namespace tickwell
