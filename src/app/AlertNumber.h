#pragma once

#include <QStringView>

#include <optional>

namespace tickwell {

// A number as price alerts read it, from a threshold typed by the user or a value cut from a
// quote page: the whole text must be a plain decimal number (optional sign, digits, optional
// "." and fraction), with white space allowed only around it. Anything else gives nothing,
// never 0: a decimal comma ("150,5"), a thousands separator ("1,500"), inner spaces, units,
// exponents, or an empty text. Reading never depends on the locale, so one settings file means
// the same everywhere.
std::optional<double> ReadAlertNumber(QStringView text);

} // namespace tickwell
