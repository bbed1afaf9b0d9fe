#pragma once

#include <QString>

#include <optional>

namespace tickwell {

// The parts of a symbol's order-book document that the ticker shows. The document is read as
// text by its patterns, not parsed as JSON: the service's layout is all that is relied on.

// The text between "\"company\":\"" and the next "\"".
std::optional<QString> OrderBookCompany(const QString &document);

// Whether the service says it does not list the symbol: the company, lower-cased, begins with
// "unknown symbol".
bool IsUnknownSymbolCompany(const QString &company);

// The price of the first trade, "[[time,shares,price]": exactly three parts, a quoted time, and
// the quoted price with every "0" taken off both ends (so "0150.2500" gives "150.25"); nothing
// when any of that is missing or no digit is left (zeros only, "0000.0000").
std::optional<QString> OrderBookPrice(const QString &document);

// The text with every "0" taken off both ends.
QString TrimZeros(const QString &text);

} // namespace tickwell
