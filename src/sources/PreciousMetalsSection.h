#pragma once

#include "app/SectionContext.h"
#include "text/SearchableText.h"

namespace tickwell {

// Gold, silver, platinum and palladium lines cut from the table rows of the metals page.
void addPreciousMetals(SectionContext &context);

// One metal's line from the decoded metals page; nothing when its row or a needed field is
// missing.
void addPreciousMetal(SectionContext &context, const QString &metal, const SearchableText &page);

// The names of the metals in menu order, each with the path of its live chart page.
struct PreciousMetal {
    QStringView name;
    QStringView chartPath;
};
const std::vector<PreciousMetal> &PreciousMetals();

} // namespace tickwell
