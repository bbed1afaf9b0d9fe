#pragma once

#include "app/QuoteSnapshot.h"
#include "live/LiveQuoteSource.h"
#include "live/SnapshotFromAnswers.h"

namespace tickwell {

// The snapshot parts one live refresh made fresh: the watch-list symbols and market lines that
// have a price this time, and the problem lines. What is missing here (a service backing off or
// refusing, a symbol without an answer) the caller keeps from its last good snapshot.
QuoteSnapshot SnapshotFromLiveRefresh(const LiveRefreshRequest &request, const LiveRefreshResult &result,
                                      const LiveChartColors &colors);

} // namespace tickwell
