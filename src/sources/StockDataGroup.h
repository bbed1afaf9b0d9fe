#pragma once

#include "platform/MenuItem.h"
#include "text/SearchableText.h"

#include <QString>

namespace tickwell {

// Separator, then one informational item per quote field found on the page ("Last Trade: ...",
// "Trade Time: ...", ... "Div & Yield: ..."). Each label is looked for only after the previous
// label found, the order the page lists them in.
void AddStockDataGroup(Menu &submenu, const SearchableText &page, const QString &symbol);

} // namespace tickwell
