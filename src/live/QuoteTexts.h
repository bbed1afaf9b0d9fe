#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace tickwell {

// Texts of the live quotes, written as the quote and market pages wrote them: United States
// style whatever the user's locale, "." before the fraction, "," between thousands where the
// pages grouped. Prices are written without grouping, so that the number reader (which stops at
// a ",") reads them back to the same value.

// "1234.50"; four decimals under 1 ("0.0123"), where two would lose the price. "-0.00" is "0.00".
QString PriceText(double value);
// "12,345.67" with the given number of decimals.
QString GroupedText(double value, int decimals);
// "+1.23", "-1.23"; a change that rounds to zero has no sign ("0.00").
QString SignedText(double value, int decimals);
// "+0.51%", "-1.20%", "0.00%".
QString SignedPercentText(double percent);
// A count rounded to the unit, grouped: "40,896,227".
QString CountText(double value);
// A large amount with its unit: "3.67T", "245.1B", "12.50M", "987.00K"; plain below a thousand.
QString AbbreviatedText(double value);
// The trade time as the quote pages gave it, in the exchange's time zone: "4:00PM EST". An
// unknown zone name falls back to New York, where the services' markets are.
QString TradeTimeText(std::int64_t secondsSince1970, const std::optional<QString> &timeZoneName);
// A feed's publication date ("Fri, 04 Dec 2026 21:05:00 GMT") as "Fri 4:05PM" in the given zone,
// or the text as written when it is no such date.
QString PublishedText(const QString &published, const std::optional<QString> &timeZoneName);

} // namespace tickwell
