#pragma once

#include "FeedMarket.h"

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tickwell::feed {

// The refusals today's services are known for, scripted with --live-fail.
enum class LiveFailure {
    InvalidCrumb,    // "401": 401 with the "Invalid Crumb" JSON
    TooManyRequests, // "429": 429 "Too Many Requests" plain text (the crumb route: 200 with that text)
    HtmlChallenge,   // "html": 200 with an HTML challenge page
    Hang,            // "hang": no answer until the client gives up (or the feed stops)
};

// The failure an option value names ("401", "429", "html", "hang"), or nothing.
std::optional<LiveFailure> LiveFailureNamed(std::string_view name);

struct LiveOptions {
    // Scripted failures, taken in turn by every live answer once failAfter answers went well.
    std::vector<LiveFailure> failures;
    std::size_t failAfter = 0;
    bool logRequests = false;
    // The longest a scripted hang holds a request.
    std::chrono::seconds longestHang{120};
};

// The routes of today's keyless quote services, on the feed's moving prices:
//   /v8/finance/chart/SYM?range=&interval=&includePrePost=   chart JSON (no session needed)
//   /v1/test/getcrumb                  the crumb, for a client holding the front page's cookie
//   /v7/finance/quote?symbols=A,B&crumb=   quote JSON, with that cookie and crumb
//   /api/global/delayed_quotes/quotes/SYM.json   delayed quotes (indices as _SPX, _DJI, _NDX;
//                                      403 XML for "^", "=" and unknown symbols; symbols
//                                      beginning "ZD" were dropped: all zeros)
//   /rss/2.0/headline?s=A,B            RSS 2.0 headlines linking to the feed's article pages
// The front page ("/") stays the classic one and hands out the session cookie.
class LiveRoutes {
public:
    // The price of a symbol's next quote when it is scripted (one step per call).
    using ScriptedPrice = std::function<std::optional<double>(const std::string &symbol)>;
    // The "Host" a request was sent to.
    using HostOf = std::function<std::string(const httplib::Request &)>;

    LiveRoutes(FeedMarket &market, LiveOptions options, ScriptedPrice scriptedPrice, HostOf hostOf);

    void addTo(httplib::Server &server);
    // Adds the session cookie to an answer (the front page's).
    void setSessionCookie(httplib::Response &response) const;
    // Lets every held request go, so the server can stop.
    void releaseHeldRequests();

private:
    enum class Route { Crumb, Other };
    using Handler = std::function<void(const httplib::Request &, httplib::Response &)>;

    void serve(httplib::Server &server, const std::string &pattern, Route route, Handler handler);
    // The scripted failure of the next live answer, if any.
    std::optional<LiveFailure> nextFailure();
    void answerFailure(LiveFailure failure, Route route, httplib::Response &response);
    bool hasSessionCookie(const httplib::Request &request) const;

    void chart(const httplib::Request &request, httplib::Response &response);
    void crumb(const httplib::Request &request, httplib::Response &response);
    void quotes(const httplib::Request &request, httplib::Response &response);
    void delayedQuote(const httplib::Request &request, httplib::Response &response);
    void headlines(const httplib::Request &request, httplib::Response &response);

    FeedMarket &m_market;
    LiveOptions m_options;
    ScriptedPrice m_scriptedPrice;
    HostOf m_hostOf;
    std::string m_cookie; // "A3=..."
    std::string m_crumb;

    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_releasing = false;
    std::size_t m_answers = 0;
    std::size_t m_failures = 0;
};

} // namespace tickwell::feed
