#pragma once

#include "app/Hosts.h"
#include "app/QuoteSnapshot.h"
#include "platform/MenuItem.h"

#include <optional>

namespace tickwell {

// Separator, then the symbol's intraday chart image when the refresh brought it; choosing the
// image opens the chart page (never the image address).
void AddChartImageGroup(const Hosts &hosts, Menu &submenu, const QString &symbol, const std::optional<SnapshotImage> &chart);

// Separator, then the eight interactive chart links from one day to the whole history. Each
// carries the chart page of its range in the tool tip, or, when the quote pages come from the
// live services (no such page), the symbol: the range's chart is drawn in a window then.
void AddInteractiveChartGroup(const Hosts &hosts, Menu &submenu, const QString &symbol);

// The range code of an interactive chart link's title ("1 Year Share Price Chart" is "1y", "Max
// Share Price Chart" "my"), or nothing for another title.
std::optional<QString> InteractiveChartRangeCode(const QString &title);

} // namespace tickwell
