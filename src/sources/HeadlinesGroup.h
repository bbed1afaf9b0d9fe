#pragma once

#include "app/SectionContext.h"
#include "text/SearchableText.h"

#include <QString>

#include <optional>

namespace tickwell {

// Separator, "Headlines for COMPANY", then one item per absolute "http://" link of the page's
// headline block (with its "Save" submenu) and, where the article has one, its source line.
// Appends a headline record per item to the symbol's list in m_headlines and remembers each
// title in m_urlTitles; a link without text has its title looked up once.
void AddHeadlinesGroup(SectionContext &context, Menu &submenu, const SearchableText &page, const QString &symbol,
                       const std::optional<QString> &company);

// After the quote lines: separator, "Save All Headlines..." (or "Stop Saving All Headlines"
// while a batch runs) and "Go to Headlines folder...".
void AddHeadlineSectionItems(SectionContext &context);

} // namespace tickwell
