#include "logging/QuoteNumbers.h"

#include "app/Preferences.h"
#include "text/NumberReading.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace tickwell {

namespace {

std::int32_t clampToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    value = std::clamp(value, double(std::numeric_limits<std::int32_t>::min()), double(std::numeric_limits<std::int32_t>::max()));
    return static_cast<std::int32_t>(value);
}

} // namespace

double SharesAsDouble(const QVariant &entry)
{
    if (IsNumberValue(entry))
        return entry.toDouble();
    if (entry.typeId() == QMetaType::QString)
        return ReadDecimalNumber(entry.toString());
    return 0.0;
}

std::int32_t SharesAsInt32(const QVariant &entry)
{
    if (IsNumberValue(entry))
        return clampToInt32(entry.toDouble());
    if (entry.typeId() == QMetaType::QString)
        return ReadWholeNumber(entry.toString());
    return 0;
}

} // namespace tickwell
