#pragma once

#include "app/Hosts.h"
#include "app/QuoteSnapshot.h"
#include "platform/MenuItem.h"

#include <optional>

namespace tickwell {

// Separator, then the symbol's intraday chart image when the refresh brought it; choosing the
// image opens the chart page (never the image address).
void AddChartImageGroup(const Hosts &hosts, Menu &submenu, const QString &symbol, const std::optional<SnapshotImage> &chart);

// Separator, then the eight interactive chart links from one day to the whole history.
void AddInteractiveChartGroup(const Hosts &hosts, Menu &submenu, const QString &symbol);

} // namespace tickwell
