#pragma once

#include "app/Hosts.h"
#include "app/PageStore.h"
#include "app/Preferences.h"
#include "app/QuoteSnapshot.h"
#include "live/LiveQuoteSource.h"
#include "platform/Timer.h"
#include "platform/UrlLoader.h"

#include <functional>
#include <optional>
#include <vector>

namespace tickwell {

// One address the refresh fetches and whether it holds an image or a page.
struct RefreshRequest {
    QString address;
    bool isImage = false;

    bool operator==(const RefreshRequest &) const = default;
};

// The symbols one refresh fetches quotes for, in order: the shown watch list, then the hidden
// symbols with price alerts.
QStringList RefreshSymbols(const Preferences &prefs);

// Every address of one refresh, in the order the refresh fetches them: the index charts, then
// chart, logo and quote page of each shown symbol, then the metals, markets and other-indices pages.
std::vector<RefreshRequest> RefreshRequests(const Preferences &prefs, const Hosts &hosts);

// What a refresh asks the live services: the parts whose host key is not set, or nothing.
std::optional<LiveRefreshRequest> LiveRequest(const Preferences &prefs, const Hosts &hosts);

// The store a refresh leaves from the fetched results (in request order): failed fetches and
// undecodable images leave no entry.
PageStore StoreOfResults(const std::vector<RefreshRequest> &requests, const FetchResults &results);

// What a complete refresh hands over: the stored pages and images, and the quotes cut from them.
struct RefreshResult {
    PageStore pages;
    QuoteSnapshot quotes;
    // Whether any page or live quote came at all (a refresh that brought nothing keeps the last).
    bool broughtQuotes = false;
};

// The refresh as it runs beside the event loop: every page and image at once (the loader keeps
// the per-host limits), cut once into a quote snapshot, then the titles of the snapshot's headline
// links that have no usable text and no known title, and only then the new store and snapshot,
// handed over in one piece. Those in use stay untouched until then, so the menu keeps showing the
// last complete refresh.
class StockDataRefresh {
public:
    // Headline pages one refresh looks up at most; the rest wait for the next refresh.
    static constexpr std::size_t kTitleLookupsPerRefresh = 24;

    // The quotes of the fetched pages and of the live services' answers (none when the refresh
    // asked them nothing).
    using CutQuotes = std::function<QuoteSnapshot(const PageStore &, const LiveRefreshResult *)>;
    // Addresses whose titles the menu of these quotes would need looked up.
    using UntitledLinks = std::function<std::vector<QString>(const QuoteSnapshot &)>;
    using Finished = std::function<void(RefreshResult)>;

    StockDataRefresh(UrlLoader &loader, const TimerFactory &clock, LiveQuoteSource &live);

    // Starts a refresh: the pages of the requests and, beside them, the live services' answers
    // when live is given. One already running is cancelled first.
    void start(std::vector<RefreshRequest> requests, std::optional<LiveRefreshRequest> live, CutQuotes cutQuotes,
               UntitledLinks untitledLinks, Finished finished);
    // Stops the transfers; nothing is handed over.
    void cancel();

    bool isRunning() const { return m_running; }
    // The requests of the refresh running (or of the last one).
    const std::vector<RefreshRequest> &requests() const { return m_requests; }
    const std::optional<LiveRefreshRequest> &liveRequest() const { return m_liveRequest; }

private:
    // Each of the two parts (pages, live answers) ends here; the second one goes on.
    void partArrived();
    void lookUpTitles(std::vector<QString> addresses);
    void finish();

    UrlLoader &m_loader;
    const TimerFactory &m_clock;
    LiveQuoteSource &m_live;
    FetchSlot m_fetch;
    std::vector<RefreshRequest> m_requests;
    std::optional<LiveRefreshRequest> m_liveRequest;
    std::optional<LiveRefreshResult> m_liveResult;
    int m_partsDue = 0;
    CutQuotes m_cutQuotes;
    UntitledLinks m_untitledLinks;
    Finished m_finished;
    RefreshResult m_fresh;
    bool m_running = false;
};

} // namespace tickwell
