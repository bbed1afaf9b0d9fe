#include "prefs/CompanyLookup.h"

#include "app/Hosts.h"
#include "text/PageFetching.h"
#include "text/StringExtensions.h"

#include <algorithm>

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
    // Finished lookups are dropped here, never from inside their own completion.
    std::erase_if(m_fetches, [](const auto &entry) { return !entry.second.isBusy(); });

    const QString host = Hosts::fromSettings(m_settings).quotePage;
    m_starting = true;
    m_arrivedAtOnce.reset();
    m_fetches[symbol].start(m_loader, Hosts::address(host, QStringLiteral("/q?s=") + symbol),
                            [this, symbol](const FetchResult &page) { nameArrived(symbol, page); });
    m_starting = false;
    return std::exchange(m_arrivedAtOnce, std::nullopt);
}

bool CompanyLookup::isFetching() const
{
    return std::any_of(m_fetches.cbegin(), m_fetches.cend(), [](const auto &entry) { return entry.second.isBusy(); });
}

void CompanyLookup::nameArrived(const QString &symbol, const FetchResult &page)
{
    const auto text = DecodeFetchedPage(page);
    const auto name = text ? extractBetweenPattern(*text, u"Summary for ", u"-") : std::nullopt;
    if (name && symbol != kPlaceholderSymbol)
        m_companyNames.insert(symbol, *name);
    if (m_starting)
        m_arrivedAtOnce = name;
    else if (name && m_nameArrived)
        m_nameArrived(symbol);
}

} // namespace tickwell
