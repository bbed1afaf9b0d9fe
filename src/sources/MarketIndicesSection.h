#pragma once

#include "app/SectionContext.h"

namespace tickwell {

// The Dow, Nasdaq and S&P lines cut from the markets page, each with its chart image in a
// submenu when index charts are on and the image was stored.
void addMarketIndices(SectionContext &context);

} // namespace tickwell
