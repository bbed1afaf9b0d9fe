#pragma once

#include "app/Hosts.h"
#include "app/PageStore.h"
#include "app/QuoteSnapshot.h"

#include <QStringList>

namespace tickwell {

// The snapshot of one refresh of the classic quote pages, cut once: for each symbol whose quote
// page was stored, its values, details, headlines, logo and chart; the indices with their charts,
// the dollar index and the metals of the pages stored. Symbols are cut as written.
QuoteSnapshot CutClassicSnapshot(const PageStore &store, const Hosts &hosts, const QStringList &symbols);

} // namespace tickwell
