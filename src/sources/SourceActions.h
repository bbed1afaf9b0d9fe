#pragma once

#include "app/Hosts.h"
#include "platform/Desktop.h"
#include "platform/MenuItem.h"

namespace tickwell {

// The actions of the quote sections' items. Each opens one address in the default browser, or
// nothing when the item does not lead to a well-formed address.

// Quote line: the quote page of the symbol between the first "[" and the next "]" of the title.
void selItemStockSymbol(const MenuItem &sender, const Hosts &hosts, Desktop &desktop);
// Chart image item and interactive chart links: the tool tip.
void selItemiChart(const MenuItem &sender, const Hosts &hosts, Desktop &desktop);
void selItemInteractiveiChart(const MenuItem &sender, const Hosts &hosts, Desktop &desktop);
// Market index line: the markets page.
void selItemMarketIndices(const MenuItem &sender, const Hosts &hosts, Desktop &desktop);
// Index chart item: the index's quote page in the tool tip.
void selItemIndicesiChart(const MenuItem &sender, const Hosts &hosts, Desktop &desktop);
// Dollar index line: the other-indices page.
void selItemOtherMarketIndices(const MenuItem &sender, const Hosts &hosts, Desktop &desktop);
// Metal line: the live chart page of the metal named (exactly) in the tool tip.
void selItemPreciousMetalBid(const MenuItem &sender, const Hosts &hosts, Desktop &desktop);

} // namespace tickwell
