#pragma once

#include <QStringView>
#include <QVariant>

#include <cstdint>

namespace tickwell {

// A "CompanyShares" entry, stored as text or as a number, read either way.
double SharesAsDouble(const QVariant &entry);
std::int32_t SharesAsInt32(const QVariant &entry);

} // namespace tickwell
