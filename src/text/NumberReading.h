#pragma once

#include <QStringView>

#include <cstdint>

namespace tickwell {

// Numbers read out of page and settings texts. Leading white space is skipped and the longest
// leading part that forms a number is taken; a text without one reads as 0. A thousands
// separator therefore ends the number: "1,234.50" reads as 1.

// Optional sign, digits, optional fraction, optional exponent.
double ReadDecimalNumber(QStringView text);

// Optional sign and digits; values beyond the 32-bit range saturate.
std::int32_t ReadWholeNumber(QStringView text);

} // namespace tickwell
