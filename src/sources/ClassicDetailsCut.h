#pragma once

#include "app/QuoteSnapshot.h"
#include "text/SearchableText.h"

#include <QString>

#include <vector>

namespace tickwell {

// The quote fields found on the page ("Last Trade", "Trade Time", ... "Div & Yield"), in the
// order the page lists them: each label is looked for only after the previous label found.
std::vector<QuoteDetail> CutQuoteDetails(const SearchableText &page, const QString &symbol);

} // namespace tickwell
