#include "prefs/CompanyLookup.h"

#include "app/Hosts.h"
#include "text/PageFetching.h"
#include "text/StringExtensions.h"

namespace tickwell {

CompanyLookup::CompanyLookup(SettingsStore &settings, UrlLoader &loader)
    : m_settings(settings)
    , m_loader(loader)
{
    m_companyNames.insert(kPlaceholderSymbol, QString());
}

std::optional<QString> CompanyLookup::getCompanyForSymbol(const QString &symbol)
{
    if (symbol.isNull())
        return std::nullopt;
    if (const auto it = m_companyNames.constFind(symbol); it != m_companyNames.constEnd())
        return *it;

    // Cached before the fetch so that a failing symbol is not asked for again.
    m_companyNames.insert(symbol, QString());

    const QString host = Hosts::fromSettings(m_settings).quotePage;
    const auto page = DownloadURL(m_loader, Hosts::address(host, QStringLiteral("/q?s=") + symbol));
    if (!page)
        return std::nullopt;
    auto name = extractBetweenPattern(*page, u"Summary for ", u"-");
    if (!name)
        return std::nullopt;
    if (symbol != kPlaceholderSymbol)
        m_companyNames.insert(symbol, *name);
    return name;
}

} // namespace tickwell
