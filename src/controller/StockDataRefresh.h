#pragma once

#include "app/Hosts.h"
#include "app/PageStore.h"
#include "app/Preferences.h"
#include "platform/Timer.h"
#include "platform/UrlLoader.h"

#include <functional>
#include <vector>

namespace tickwell {

// One address the refresh fetches and whether it holds an image or a page.
struct RefreshRequest {
    QString address;
    bool isImage = false;

    bool operator==(const RefreshRequest &) const = default;
};

// Every address of one refresh, in the order the refresh fetches them: the index charts, then
// chart, logo and quote page of each shown symbol, then the metals, markets and other-indices pages.
std::vector<RefreshRequest> RefreshRequests(const Preferences &prefs, const Hosts &hosts);

// The store a refresh leaves from the fetched results (in request order): failed fetches and
// undecodable images leave no entry.
PageStore StoreOfResults(const std::vector<RefreshRequest> &requests, const FetchResults &results);

// The refresh as it runs beside the event loop: every page and image at once (the loader keeps
// the per-host limits), then the titles of the headline links of the fresh pages that have no
// usable text and no known title, and only then the new store, handed over in one piece. The
// store in use stays untouched until then, so the menu keeps showing the last complete refresh.
class StockDataRefresh {
public:
    // Headline pages one refresh looks up at most; the rest wait for the next refresh.
    static constexpr std::size_t kTitleLookupsPerRefresh = 24;

    // Addresses whose titles the menu of this store would need looked up.
    using UntitledLinks = std::function<std::vector<QString>(const PageStore &)>;
    using Finished = std::function<void(PageStore)>;

    StockDataRefresh(UrlLoader &loader, const TimerFactory &clock);

    // Starts a refresh; one already running is cancelled first.
    void start(std::vector<RefreshRequest> requests, UntitledLinks untitledLinks, Finished finished);
    // Stops the transfers; nothing is handed over.
    void cancel();

    bool isRunning() const { return m_running; }
    // The requests of the refresh running (or of the last one).
    const std::vector<RefreshRequest> &requests() const { return m_requests; }

private:
    void pagesArrived(const FetchResults &results);
    void lookUpTitles(std::vector<QString> addresses);
    void finish();

    UrlLoader &m_loader;
    const TimerFactory &m_clock;
    FetchSlot m_fetch;
    std::vector<RefreshRequest> m_requests;
    UntitledLinks m_untitledLinks;
    Finished m_finished;
    PageStore m_fresh;
    bool m_running = false;
};

} // namespace tickwell
