#include "controller/StockDataRefresh.h"

#include "alerts/PriceAlertMonitor.h"

#include <QImage>

namespace tickwell {

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

void RunRefresh(const std::vector<RefreshRequest> &requests, UrlLoader &loader, PageStore &store)
{
    store.clear();
    std::vector<QString> addresses;
    addresses.reserve(requests.size());
    for (const auto &request : requests)
        addresses.push_back(request.address);
    const auto bodies = loader.fetchAll(addresses);
    for (std::size_t i = 0; i < requests.size() && i < bodies.size(); ++i) {
        const auto &body = bodies[i];
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
}

} // namespace tickwell
