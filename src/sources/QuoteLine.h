#pragma once

#include "app/ControllerState.h"
#include "app/QuoteSnapshot.h"
#include "platform/MenuItem.h"
#include "sources/MarketLine.h"

#include <QString>

#include <optional>

namespace tickwell {

// The day's change against the previous close; none (unchanged) without a previous close.
struct QuoteChange {
    double change = 0.0;
    double percent = 0.0; // absolute
    Direction direction = Direction::Unchanged;
};

QuoteChange ComputeQuoteChange(const QString &lastTrade, const std::optional<QString> &previousClose);

// The line text, e.g. "Acme Corp. [ACME] : 150.25 (100 shares: $15,025.00)". The shares text is
// the "CompanyShares" entry as stored (empty for none); it counts as a holding when it reads as
// a whole number above 0. The symbol stands in for a company name the source does not give. The
// pre- or post-market price ("RT", else "AH") shows only with after-hours prices on.
QString QuoteLineText(const QString &symbol, const SymbolQuote &quote, const QString &sharesText, bool includeAfterHours);

// The quote line item: plain title, the title at 14 points with the change suffix before its
// first ":", the direction's image and the action that opens the quote page.
MenuItem MakeQuoteLine(const ControllerState &state, const QString &lineText, const QuoteChange &change);

} // namespace tickwell
