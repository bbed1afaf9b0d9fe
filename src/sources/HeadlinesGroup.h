#pragma once

#include "app/SectionContext.h"
#include "text/SearchableText.h"

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

namespace tickwell {

// An article link of a headline block: an absolute "http://" address and its link text (none
// when the link has none, or it is not valid UTF-8).
struct HeadlineLink {
    QString address;
    std::optional<QString> text;
};

struct HeadlineBlock {
    SearchableText block; // the text between "Filter Headlines" and "More Headlines"
    std::vector<HeadlineLink> links;
};

// The headline block of a quote page and its article links in page order, or nothing.
std::optional<HeadlineBlock> CutHeadlineBlock(const SearchableText &page);

// The article addresses of the page that the menu can title only by looking the page up: no
// link text, no title remembered in urlTitles or in the title cache. The refresh looks these up.
std::vector<QString> HeadlineAddressesWithoutTitle(const SearchableText &page, const QHash<QString, QString> &urlTitles);

// Separator, "Headlines for COMPANY", then one item per absolute "http://" link of the page's
// headline block (with its "Save" submenu) and, where the article has one, its source line.
// Appends a headline record per item to the symbol's list in m_headlines and remembers each
// title in m_urlTitles. A link without text takes the title the refresh looked up (title cache)
// and is left out while there is none: nothing here touches the network.
void AddHeadlinesGroup(SectionContext &context, Menu &submenu, const SearchableText &page, const QString &symbol,
                       const std::optional<QString> &company);

// After the quote lines: separator, "Save All Headlines..." (or "Stop Saving All Headlines"
// while a batch runs) and "Go to Headlines folder...".
void AddHeadlineSectionItems(SectionContext &context);

} // namespace tickwell
