#pragma once

#include "FeedMarket.h"
#include "LiveRoutes.h"

#include <httplib.h>

#include <chrono>
#include <map>
#include <mutex>
#include <vector>
#include <cstdint>
#include <optional>
#include <string>

namespace tickwell::feed {

struct FeedOptions {
    int port = 0;
    std::chrono::milliseconds latency{0};
    std::uint64_t seed = 1;
    bool still = false; // prices never move (--still)
    bool openingBell = true;
    bool logRequests = false;
    // Scripted last trades: the n-th quote page of the symbol shows the n-th price of its path,
    // the last one for ever after (the previous close stays the feed's own).
    std::map<std::string, std::vector<double>> pricePaths;
    // Scripted refusals of the live routes (--live-fail, --live-fail-after).
    std::vector<LiveFailure> liveFailures;
    std::size_t liveFailAfter = 0;
};

// The routes of the feed on an HTTP server:
//   /q?s=SYM                      quote page (a page without quotes for unknown symbols)
//   /t?s=SYM                      chart image (PNG)
//   /echarts?s=SYM                chart page
//   /images/listed/log-SYM.gif    logo (GIF; 404 for symbols of five or more characters)
//   /data/markets/                markets page
//   /market/                      metals page
//   /charts/live*.html            metal chart pages
//   /                             front page and other-indices page
//   /json/bzx/book/SYM            order-book JSON
//   /news/..., /news/local/...    articles, their images (one always missing) and stylesheet
// and the routes of today's services (LiveRoutes), whose session cookie the front page sets.
class FeedServer {
public:
    explicit FeedServer(const FeedOptions &options);

    // Binds 127.0.0.1 on the option's port (0: any free port); the bound port, or -1.
    int bind();
    // Serves until stop() is called from another thread.
    bool listen();
    void stop()
    {
        m_live.releaseHeldRequests();
        m_server.stop();
    }

private:
    void addRoutes();
    // The "Host" header of a request, the feed's own address when there is none.
    std::string hostOf(const httplib::Request &request) const;

    // The price of the symbol's next quote page when its price is scripted.
    std::optional<double> nextScriptedPrice(const std::string &symbol);

    FeedOptions m_options;
    std::mutex m_pathMutex;
    std::map<std::string, std::size_t> m_pathSteps;
    FeedMarket m_market;
    LiveRoutes m_live;
    httplib::Server m_server;
    int m_port = -1;
};

} // namespace tickwell::feed
