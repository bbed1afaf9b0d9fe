#pragma once

#include "app/SectionContext.h"

#include <QStringView>

#include <vector>

namespace tickwell {

// Gold, silver, platinum and palladium lines of the snapshot.
void addPreciousMetals(SectionContext &context);

// The names of the metals in menu order, each with the path of its live chart page.
struct PreciousMetal {
    QStringView name;
    QStringView chartPath;
};
const std::vector<PreciousMetal> &PreciousMetals();

} // namespace tickwell
