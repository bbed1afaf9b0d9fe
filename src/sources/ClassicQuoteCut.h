#pragma once

#include "app/QuoteSnapshot.h"
#include "text/SearchableText.h"

#include <QString>

namespace tickwell {

// The watch-list values of a quote page: company, last trade, previous close and the pre- and
// post-market prices (cut whether or not the menu shows them).
void CutQuoteValues(const SearchableText &page, const QString &symbol, SymbolQuote &quote);

} // namespace tickwell
