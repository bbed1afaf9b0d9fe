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
    // Only the hosts the settings name: the other parts come from the live services.
    const Hosts::Classic &classic = hosts.classic;
    std::vector<RefreshRequest> requests;
    const bool indices = prefs.includeMarketIndices();
    if (indices && classic.chartImage) {
        for (const char *index : {"%5EDJI", "%5EIXIC", "%5EGSPC"})
            requests.push_back({Hosts::address(hosts.chartImage, QStringLiteral("/t?s=") + QLatin1String(index)), true});
    }
    for (const auto &watched : prefs.watchList(true)) {
        const QString &symbol = watched.symbol;
        if (classic.chartImage)
            requests.push_back({Hosts::address(hosts.chartImage, QStringLiteral("/t?s=") + symbol), true});
        if (classic.logo)
            requests.push_back({Hosts::address(hosts.logo, QStringLiteral("/images/listed/log-%1.gif").arg(symbol)), true});
        if (classic.quotePage)
            requests.push_back({Hosts::address(hosts.quotePage, QStringLiteral("/q?s=") + symbol), false});
    }
    // Alerts are about the market, not the menu: hidden symbols with alerts need their quotes too.
    if (classic.quotePage) {
        for (const auto &symbol : HiddenSymbolsWithAlerts(prefs))
            requests.push_back({Hosts::address(hosts.quotePage, QStringLiteral("/q?s=") + symbol), false});
    }
    if (prefs.includePreciousMetals() && classic.metals)
        requests.push_back({Hosts::address(hosts.metals, QStringLiteral("/market/")), false});
    if (indices && classic.markets)
        requests.push_back({Hosts::address(hosts.markets, QStringLiteral("/data/markets/")), false});
    if (prefs.includeOtherMarketIndices() && classic.otherIndices)
        requests.push_back({Hosts::address(hosts.otherIndices, QStringLiteral("/")), false});
    return requests;
}

std::optional<LiveRefreshRequest> LiveRequest(const Preferences &prefs, const Hosts &hosts)
{
    const Hosts::Classic &classic = hosts.classic;
    LiveRefreshRequest live;
    // A drawn chart needs the day's bars even where the quote page is a classic one.
    if (!classic.quotePage || !classic.chartImage)
        live.symbols = RefreshSymbols(prefs);
    if (!classic.quotePage && prefs.includeHeadlinesInSubmenu()) {
        for (const auto &watched : prefs.watchList(true))
            live.headlineSymbols.append(watched.symbol);
    }
    live.indices = prefs.includeMarketIndices() && !classic.markets;
    live.dollarIndex = prefs.includeOtherMarketIndices() && !classic.otherIndices;
    live.metals = prefs.includePreciousMetals() && !classic.metals;
    if (live.symbols.isEmpty() && !live.indices && !live.dollarIndex && !live.metals)
        return std::nullopt;
    return live;
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

StockDataRefresh::StockDataRefresh(UrlLoader &loader, const TimerFactory &clock, LiveQuoteSource &live)
    : m_loader(loader)
    , m_clock(clock)
    , m_live(live)
{
}

void StockDataRefresh::start(std::vector<RefreshRequest> requests, std::optional<LiveRefreshRequest> live,
                             CutQuotes cutQuotes, UntitledLinks untitledLinks, Finished finished)
{
    cancel();
    m_requests = std::move(requests);
    m_liveRequest = std::move(live);
    m_cutQuotes = std::move(cutQuotes);
    m_untitledLinks = std::move(untitledLinks);
    m_finished = std::move(finished);
    m_running = true;
    // Counted before either part starts: either may end before its start returns.
    m_partsDue = m_liveRequest ? 2 : 1;
    std::vector<QString> addresses;
    addresses.reserve(m_requests.size());
    for (const auto &request : m_requests)
        addresses.push_back(request.address);
    m_fetch.start(m_loader, addresses, [this](FetchResults results) {
        m_fresh.pages = StoreOfResults(m_requests, results);
        partArrived();
    });
    if (m_liveRequest) {
        m_live.refresh(*m_liveRequest, [this](LiveRefreshResult result) {
            m_liveResult = std::move(result);
            partArrived();
        });
    }
}

void StockDataRefresh::cancel()
{
    m_fetch.cancel();
    m_live.cancel();
    m_fresh = RefreshResult();
    m_liveResult.reset();
    m_partsDue = 0;
    m_running = false;
}

void StockDataRefresh::partArrived()
{
    if (--m_partsDue > 0)
        return;
    m_fresh.broughtQuotes = m_fresh.pages.size() > 0 || (m_liveResult && !m_liveResult->quotes.isEmpty());
    if (m_cutQuotes)
        m_fresh.quotes = m_cutQuotes(m_fresh.pages, m_liveResult ? &*m_liveResult : nullptr);
    m_fresh.pages.dropPageTexts();
    m_liveResult.reset();
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
