#pragma once

#include "app/Hosts.h"
#include "app/PageStore.h"
#include "app/QuoteSnapshot.h"

namespace tickwell {

// Puts what the live services gave into the quotes cut from the classic pages, part by part as
// the host keys say: a part whose key is unset takes the fresh live values, and where the services
// gave nothing this time (refused, backing off, no answer for a symbol) the last good values stay.
// A symbol whose quote page is classic takes only its drawn chart from the live side, and a live
// symbol keeps the logo a classic logo host gave. The problem lines are the live side's.
void MergeLiveQuotes(QuoteSnapshot &quotes, QuoteSnapshot fresh, const QuoteSnapshot &lastGood, const QStringList &symbols,
                     const Hosts &hosts, const PageStore &pages);

} // namespace tickwell
