#include "sources/StockDataGroup.h"

namespace tickwell {

void AddStockDataGroup(Menu &submenu, const std::vector<QuoteDetail> &details)
{
    submenu.push_back(MenuItem::makeSeparator());
    for (const QuoteDetail &detail : details)
        submenu.push_back(MenuItem::make(detail.label + QStringLiteral(": ") + detail.value));
}

} // namespace tickwell
