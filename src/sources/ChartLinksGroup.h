#pragma once

#include "app/SectionContext.h"

namespace tickwell {

// Separator, then the symbol's intraday chart image when the refresh stored it; choosing the
// image opens the chart page (never the image address).
void AddChartImageGroup(SectionContext &context, Menu &submenu, const QString &symbol);

// Separator, then the eight interactive chart links from one day to the whole history.
void AddInteractiveChartGroup(const Hosts &hosts, Menu &submenu, const QString &symbol);

} // namespace tickwell
