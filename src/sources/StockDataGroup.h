#pragma once

#include "app/QuoteSnapshot.h"
#include "platform/MenuItem.h"

#include <vector>

namespace tickwell {

// Separator, then one informational item "label: value" per quote detail, in the order given.
void AddStockDataGroup(Menu &submenu, const std::vector<QuoteDetail> &details);

} // namespace tickwell
