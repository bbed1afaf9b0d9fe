#include "controller/StockDataRefresh.h"

#include "alerts/PriceAlertMonitor.h"
#include "text/PageFetching.h"
#include "text/UrlTitleCache.h"

#include <QImage>

#include <algorithm>

namespace tickwell {

QStringList RefreshSymbols(const Preferences &prefs)
{
    QStringList symbols;
    for (const auto &watched : prefs.watchList(true))
        symbols.append(watched.symbol);
    // Alerts are about the market, not the menu: hidden symbols with alerts need their quotes too.
    symbols.append(HiddenSymbolsWithAlerts(prefs));
    return symbols;
}

std::vector<RefreshRequest> RefreshRequests(const Preferences &prefs, const Hosts &hosts)
{
    std::vector<RefreshRequest> requests;
    const bool indices = prefs.includeMarketIndices();
    if (indices) {
        for (const char *index : {"%5EDJI", "%5EIXIC", "%5EGSPC"})
            requests.push_back({Hosts::address(hosts.chartImage, QStringLiteral("/t?s=") + QLatin1String(index)), true});
    }
    for (const auto &watched : prefs.watchList(true)) {
        const QString &symbol = watched.symbol;
        requests.push_back({Hosts::address(hosts.chartImage, QStringLiteral("/t?s=") + symbol), true});
        requests.push_back({Hosts::address(hosts.logo, QStringLiteral("/images/listed/log-%1.gif").arg(symbol)), true});
        requests.push_back({Hosts::address(hosts.quotePage, QStringLiteral("/q?s=") + symbol), false});
    }
    // Alerts are about the market, not the menu: hidden symbols with alerts need their quotes too.
    for (const auto &symbol : HiddenSymbolsWithAlerts(prefs))
        requests.push_back({Hosts::address(hosts.quotePage, QStringLiteral("/q?s=") + symbol), false});
    if (prefs.includePreciousMetals())
        requests.push_back({Hosts::address(hosts.metals, QStringLiteral("/market/")), false});
    if (indices)
        requests.push_back({Hosts::address(hosts.markets, QStringLiteral("/data/markets/")), false});
    if (prefs.includeOtherMarketIndices())
        requests.push_back({Hosts::address(hosts.otherIndices, QStringLiteral("/")), false});
    return requests;
}

PageStore StoreOfResults(const std::vector<RefreshRequest> &requests, const FetchResults &results)
{
    PageStore store;
    for (std::size_t i = 0; i < requests.size() && i < results.size(); ++i) {
        const auto &body = results[i];
        if (!body || body->isEmpty())
            continue;
        if (requests[i].isImage) {
            QImage image;
            if (image.loadFromData(*body))
                store.storeImage(requests[i].address, image);
        } else {
            store.storePage(requests[i].address, *body);
        }
    }
    return store;
}

StockDataRefresh::StockDataRefresh(UrlLoader &loader, const TimerFactory &clock)
    : m_loader(loader)
    , m_clock(clock)
{
}

void StockDataRefresh::start(std::vector<RefreshRequest> requests, CutQuotes cutQuotes, UntitledLinks untitledLinks,
                             Finished finished)
{
    cancel();
    m_requests = std::move(requests);
    m_cutQuotes = std::move(cutQuotes);
    m_untitledLinks = std::move(untitledLinks);
    m_finished = std::move(finished);
    m_running = true;
    std::vector<QString> addresses;
    addresses.reserve(m_requests.size());
    for (const auto &request : m_requests)
        addresses.push_back(request.address);
    m_fetch.start(m_loader, addresses, [this](FetchResults results) { pagesArrived(results); });
}

void StockDataRefresh::cancel()
{
    m_fetch.cancel();
    m_fresh = RefreshResult();
    m_running = false;
}

void StockDataRefresh::pagesArrived(const FetchResults &results)
{
    m_fresh.pages = StoreOfResults(m_requests, results);
    if (m_cutQuotes)
        m_fresh.quotes = m_cutQuotes(m_fresh.pages);
    std::vector<QString> untitled = m_untitledLinks ? m_untitledLinks(m_fresh.quotes) : std::vector<QString>{};
    // Several symbols may list the same article: one lookup each, in first-seen order.
    std::vector<QString> unique;
    for (QString &address : untitled) {
        if (unique.size() == kTitleLookupsPerRefresh)
            break;
        if (std::find(unique.cbegin(), unique.cend(), address) == unique.cend())
            unique.push_back(std::move(address));
    }
    if (unique.empty())
        finish();
    else
        lookUpTitles(std::move(unique));
}

void StockDataRefresh::lookUpTitles(std::vector<QString> addresses)
{
    m_fetch.start(m_loader, addresses, [this, addresses](FetchResults results) {
        const QDateTime now = m_clock.now();
        for (std::size_t i = 0; i < addresses.size() && i < results.size(); ++i)
            UrlTitleCache::shared().store(addresses[i], URLTitleOfFetchedPage(results[i], now));
        finish();
    });
}

void StockDataRefresh::finish()
{
    m_running = false;
    RefreshResult fresh = std::move(m_fresh);
    m_fresh = RefreshResult();
    // Moved out first: the receiver may start the next refresh.
    Finished finished = std::move(m_finished);
    m_finished = nullptr;
    if (finished)
        finished(std::move(fresh));
}

} // namespace tickwell
