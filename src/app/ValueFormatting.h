#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>

namespace tickwell {

// Numbers the system computes itself, in the user's locale (ICU, from LC_ALL / LC_NUMERIC / LANG;
// United States English when that is "C", "POSIX" or unset).
// Decimal style: grouping, at most three fraction digits, half-even, no trailing zeros.
QString FormatLongValue(std::int32_t value);
QString FormatDoubleValue(double value);
// Currency style: the locale's currency symbol and fraction digits, always shown.
QString FormatCurrencyDoubleValue(double value);

// Date-formatter style codes: 0 none, 1 short, 2 medium, 3 long, 4 full.
// The text of the given moment in the user's locale and the system time zone, or nothing.
std::optional<QString> MakeDateTimeString(const QDateTime &moment, int dateStyle, int timeStyle);

// The moment formatted with a Unicode date pattern (for example "h:mm:ss a") in local time.
QString FormatDatePattern(const QDateTime &moment, const QString &pattern);

// The default date description: "YYYY-MM-DD HH:MM:SS ±HHMM" in local time.
QString DefaultDateDescription(const QDateTime &moment);

// Number formatters are made once per locale and style and kept (the default). Off makes one
// per call, for measuring what the cache saves.
void UseFormatterCache(bool on);

} // namespace tickwell
