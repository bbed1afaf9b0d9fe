#pragma once

#include <QStringView>
#include <QVariant>

#include <cstdint>

namespace tickwell {

// Numbers read the way quote texts and share counts are read everywhere: leading white space
// skipped, then the longest leading decimal number (a "." is the only decimal point, whatever the
// locale); a text without one reads as 0.
double LeadingDouble(QStringView text);
std::int32_t LeadingInt32(QStringView text); // saturates at the 32-bit range

// A "CompanyShares" entry, stored as text or as a number, read either way.
double SharesAsDouble(const QVariant &entry);
std::int32_t SharesAsInt32(const QVariant &entry);
// The entry as stored, as text ("" for anything that is neither text nor number).
QString SharesText(const QVariant &entry);

} // namespace tickwell
