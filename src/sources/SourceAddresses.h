#pragma once

#include "app/Hosts.h"

#include <QString>

#include <optional>

namespace tickwell {

// The addresses the sections read from the page-content store and open in the browser. Store
// keys are the very texts the refresh stores under; the symbol goes in exactly as written.

QString QuotePageAddress(const Hosts &hosts, const QString &symbol);   // quote-page host "/q?s=SYM"
QString ChartImageAddress(const Hosts &hosts, const QString &symbol);  // chart-image host "/t?s=SYM"
QString LogoImageAddress(const Hosts &hosts, const QString &symbol);   // logo host "/images/listed/log-SYM.gif"
QString ChartPageAddress(const Hosts &hosts, const QString &symbol);   // quote-page host "/echarts?s=SYM"
QString InteractiveChartAddress(const Hosts &hosts, const QString &symbol, const QString &rangeCode);
// The quote page of a market index by its name ("Dow", "Nasdaq", "S&P"); nothing for another name.
std::optional<QString> IndexQuotePageAddress(const Hosts &hosts, QStringView name);
QString MarketsPageAddress(const Hosts &hosts);                        // markets host "/data/markets/"
QString MetalsPageAddress(const Hosts &hosts);                         // metals host "/market/"
QString OtherIndicesPageAddress(const Hosts &hosts);                   // other-indices host "/"

} // namespace tickwell
