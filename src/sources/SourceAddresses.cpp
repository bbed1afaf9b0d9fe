#include "sources/SourceAddresses.h"

#include <array>
#include <utility>

namespace tickwell {

QString QuotePageAddress(const Hosts &hosts, const QString &symbol)
{
    return Hosts::address(hosts.quotePage, QStringLiteral("/q?s=") + symbol);
}

QString ChartImageAddress(const Hosts &hosts, const QString &symbol)
{
    return Hosts::address(hosts.chartImage, QStringLiteral("/t?s=") + symbol);
}

QString LogoImageAddress(const Hosts &hosts, const QString &symbol)
{
    return Hosts::address(hosts.logo, QStringLiteral("/images/listed/log-") + symbol + QStringLiteral(".gif"));
}

QString ChartPageAddress(const Hosts &hosts, const QString &symbol)
{
    return Hosts::address(hosts.quotePage, QStringLiteral("/echarts?s=") + symbol);
}

QString InteractiveChartAddress(const Hosts &hosts, const QString &symbol, const QString &rangeCode)
{
    return Hosts::address(hosts.quotePage, QStringLiteral("/echarts?s=") + symbol + QStringLiteral("+Interactive#symbol=")
                                               + symbol + QStringLiteral(";range=") + rangeCode);
}

std::optional<QString> IndexQuotePageAddress(const Hosts &hosts, QStringView name)
{
    static constexpr std::array<std::pair<QStringView, QStringView>, 3> kQuotePaths{{
        {u"Dow", u"/q?s=%5EDJI"},
        {u"Nasdaq", u"/q?s=%5EIXIC"},
        {u"S&P", u"/q?s=%5EGSPC"},
    }};
    for (const auto &[index, path] : kQuotePaths) {
        if (index == name)
            return Hosts::address(hosts.quotePage, path.toString());
    }
    return std::nullopt;
}

QString MarketsPageAddress(const Hosts &hosts)
{
    return Hosts::address(hosts.markets, QStringLiteral("/data/markets/"));
}

QString MetalsPageAddress(const Hosts &hosts)
{
    return Hosts::address(hosts.metals, QStringLiteral("/market/"));
}

QString OtherIndicesPageAddress(const Hosts &hosts)
{
    return Hosts::address(hosts.otherIndices, QStringLiteral("/"));
}

} // namespace tickwell
