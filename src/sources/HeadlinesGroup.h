#pragma once

#include "app/QuoteSnapshot.h"
#include "app/SectionContext.h"

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

namespace tickwell {

// The article addresses of the headlines that the menu can title only by looking the page up: no
// link text, no title remembered in urlTitles or in the title cache. The refresh looks these up.
std::vector<QString> HeadlineAddressesWithoutTitle(const std::optional<std::vector<SnapshotHeadline>> &headlines,
                                                   const QHash<QString, QString> &urlTitles);

// Separator, "Headlines for COMPANY", then one item per headline (with its "Save" submenu) and,
// where the article has one, its source line.
// Appends a headline record per item to the symbol's list in m_headlines and remembers each
// title in m_urlTitles. A link without text takes the title the refresh looked up (title cache)
// and is left out while there is none: nothing here touches the network.
void AddHeadlinesGroup(SectionContext &context, Menu &submenu, const std::optional<std::vector<SnapshotHeadline>> &headlines,
                       const QString &symbol, const std::optional<QString> &company);

// After the quote lines: separator, "Save All Headlines..." (or "Stop Saving All Headlines"
// while a batch runs) and "Go to Headlines folder...".
void AddHeadlineSectionItems(SectionContext &context);

} // namespace tickwell
