#include "LiveRoutes.h"

#include "LiveChart.h"
#include "LiveClock.h"
#include "LiveDocuments.h"
#include "LiveInstruments.h"

#include <QUrlQuery>

#include <cctype>
#include <cstdio>

namespace tickwell::feed {

namespace {

constexpr const char *kJson = "application/json;charset=utf-8";
constexpr const char *kText = "text/plain;charset=utf-8";
constexpr std::size_t kMostSymbols = 50;

std::vector<std::string> commaList(const std::string &text)
{
    std::vector<std::string> items;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        std::string item = text.substr(at, comma - at);
        while (!item.empty() && std::isspace(static_cast<unsigned char>(item.back())))
            item.pop_back();
        item.erase(0, item.find_first_not_of(" \t"));
        if (!item.empty())
            items.push_back(std::move(item));
        at = comma + 1;
    }
    return items;
}

// A query parameter split at its first "=" only ("symbols=GC=F" is "GC=F"), "+" read as a blank.
std::string queryValue(const httplib::Request &request, const char *key)
{
    const std::size_t question = request.target.find('?');
    if (question == std::string::npos)
        return {};
    QString query = QString::fromStdString(request.target.substr(question + 1));
    const QUrlQuery items(query.replace(u'+', QLatin1String("%20")));
    return items.queryItemValue(QLatin1String(key), QUrl::FullyDecoded).toStdString();
}

// The parameter as sent, before any decoding.
std::string rawQueryValue(const httplib::Request &request, const std::string &key)
{
    const std::size_t question = request.target.find('?');
    std::size_t at = question == std::string::npos ? request.target.size() : question + 1;
    while (at < request.target.size()) {
        const std::size_t end = std::min(request.target.find('&', at), request.target.size());
        if (request.target.compare(at, key.size() + 1, key + "=") == 0)
            return request.target.substr(at + key.size() + 1, end - at - key.size() - 1);
        at = end + 1;
    }
    return {};
}

bool startsWithIgnoringCase(const std::string &text, const char *prefix)
{
    for (std::size_t i = 0; prefix[i] != '\0'; ++i) {
        if (i >= text.size() || std::toupper(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    }
    return true;
}

// A token of the given length from the feed's seed, with a "/" in the middle.
std::string token(const FeedMarket &market, const std::string &name, std::size_t length, bool withSlash)
{
    static constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string out;
    for (std::size_t i = 0; i < length; ++i) {
        const double unit = (market.wobble(name, i) + 1.0) / 2.0;
        out += kAlphabet[std::min(kAlphabet.size() - 1, static_cast<std::size_t>(unit * static_cast<double>(kAlphabet.size())))];
    }
    if (withSlash)
        out[length / 2] = '/';
    return out;
}

const char *failureName(LiveFailure failure)
{
    switch (failure) {
    case LiveFailure::InvalidCrumb:
        return "401";
    case LiveFailure::TooManyRequests:
        return "429";
    case LiveFailure::HtmlChallenge:
        return "html";
    case LiveFailure::Hang:
        return "hang";
    }
    return "";
}

} // namespace

std::optional<LiveFailure> LiveFailureNamed(std::string_view name)
{
    for (LiveFailure failure : {LiveFailure::InvalidCrumb, LiveFailure::TooManyRequests, LiveFailure::HtmlChallenge, LiveFailure::Hang}) {
        if (name == failureName(failure))
            return failure;
    }
    return std::nullopt;
}

LiveRoutes::LiveRoutes(FeedMarket &market, LiveOptions options, ScriptedPrice scriptedPrice, HostOf hostOf)
    : m_market(market)
    , m_options(std::move(options))
    , m_scriptedPrice(std::move(scriptedPrice))
    , m_hostOf(std::move(hostOf))
    , m_cookie("A3=d=AQABBF" + token(market, "cookie-d", 24, false) + "&S=AQAAA" + token(market, "cookie-s", 16, false))
    , m_crumb(token(market, "crumb", 11, true))
{
}

void LiveRoutes::addTo(httplib::Server &server)
{
    using namespace std::placeholders;
    serve(server, R"(/v8/finance/chart/([^/]+))", Route::Other, std::bind(&LiveRoutes::chart, this, _1, _2));
    serve(server, "/v1/test/getcrumb", Route::Crumb, std::bind(&LiveRoutes::crumb, this, _1, _2));
    serve(server, "/v7/finance/quote", Route::Other, std::bind(&LiveRoutes::quotes, this, _1, _2));
    serve(server, R"(/api/global/delayed_quotes/quotes/([^/]*)\.json)", Route::Other, std::bind(&LiveRoutes::delayedQuote, this, _1, _2));
    serve(server, "/rss/2.0/headline", Route::Other, std::bind(&LiveRoutes::headlines, this, _1, _2));
}

void LiveRoutes::setSessionCookie(httplib::Response &response) const
{
    response.set_header("Set-Cookie", m_cookie + "; Max-Age=31557600; Path=/; SameSite=Lax; HttpOnly");
}

void LiveRoutes::releaseHeldRequests()
{
    {
        std::lock_guard lock(m_mutex);
        m_releasing = true;
    }
    m_released.notify_all();
}

void LiveRoutes::serve(httplib::Server &server, const std::string &pattern, Route route, Handler handler)
{
    server.Get(pattern, [this, route, handler](const httplib::Request &request, httplib::Response &response) {
        const std::optional<LiveFailure> failure = nextFailure();
        if (failure && m_options.logRequests)
            std::fprintf(stderr, "live %s: scripted %s\n", request.target.c_str(), failureName(*failure));
        if (failure)
            answerFailure(*failure, route, response);
        else
            handler(request, response);
        if (m_options.logRequests)
            std::fprintf(stderr, "live %s: %d\n", request.target.c_str(), response.status < 0 ? 200 : response.status);
    });
}

std::optional<LiveFailure> LiveRoutes::nextFailure()
{
    std::lock_guard lock(m_mutex);
    if (m_options.failures.empty() || ++m_answers <= m_options.failAfter)
        return std::nullopt;
    return m_options.failures[m_failures++ % m_options.failures.size()];
}

void LiveRoutes::answerFailure(LiveFailure failure, Route route, httplib::Response &response)
{
    switch (failure) {
    case LiveFailure::InvalidCrumb:
        response.status = 401;
        response.set_content(FinanceErrorDocument("Unauthorized", "Invalid Crumb"), kJson);
        return;
    case LiveFailure::TooManyRequests:
        // The crumb route says it with a 200, the others with a 429.
        response.status = route == Route::Crumb ? 200 : 429;
        response.set_content("Too Many Requests", kText);
        return;
    case LiveFailure::HtmlChallenge:
        response.status = 200;
        response.set_content(ChallengePage(), "text/html; charset=utf-8");
        return;
    case LiveFailure::Hang: {
        // Held until the client gives up (the feed cannot see that) or the feed stops.
        std::unique_lock lock(m_mutex);
        m_released.wait_for(lock, m_options.longestHang, [this] { return m_releasing; });
        response.status = 504;
        response.set_content("Gateway Timeout", kText);
        return;
    }
    }
}

bool LiveRoutes::hasSessionCookie(const httplib::Request &request) const
{
    for (std::size_t header = 0; header < request.get_header_value_count("Cookie"); ++header) {
        const std::string cookies = request.get_header_value("Cookie", header);
        std::size_t at = 0;
        while (at < cookies.size()) {
            const std::size_t semicolon = std::min(cookies.find(';', at), cookies.size());
            const std::size_t start = std::min(cookies.find_first_not_of(' ', at), semicolon);
            if (cookies.compare(start, semicolon - start, m_cookie) == 0)
                return true;
            at = semicolon + 1;
        }
    }
    return false;
}

void LiveRoutes::chart(const httplib::Request &request, httplib::Response &response)
{
    const std::string symbol = request.matches[1];
    if (!FeedMarket::isKnown(symbol)) {
        response.status = 404;
        return response.set_content(ChartErrorDocument("Not Found", "No data found, symbol may be delisted"), kJson);
    }
    ChartRequest asked;
    if (std::string range = queryValue(request, "range"); !range.empty())
        asked.range = std::move(range);
    if (std::string interval = queryValue(request, "interval"); !interval.empty())
        asked.interval = std::move(interval);
    asked.includePrePost = queryValue(request, "includePrePost") == "true";

    LiveQuote live = LiveQuoteOf(m_market, symbol, m_market.nextTick());
    if (const auto scripted = m_scriptedPrice(symbol))
        SetLastTrade(live.quote, *scripted);
    if (const auto document = ChartDocument(m_market, live, MarketClock::current(), asked))
        return response.set_content(*document, kJson);
    response.status = 422;
    response.set_content(ChartErrorDocument("Unprocessable Entity", "Invalid input - range=" + asked.range + " interval="
                                                                        + asked.interval + " is not supported"),
                         kJson);
}

void LiveRoutes::crumb(const httplib::Request &request, httplib::Response &response)
{
    if (!hasSessionCookie(request)) {
        response.status = 401;
        return response.set_content(FinanceErrorDocument("Unauthorized", "Invalid Cookie"), kJson);
    }
    response.set_content(m_crumb, kText);
}

void LiveRoutes::quotes(const httplib::Request &request, httplib::Response &response)
{
    if (!hasSessionCookie(request)) {
        response.status = 401;
        return response.set_content(FinanceErrorDocument("Unauthorized", "Invalid Cookie"), kJson);
    }
    // The crumb holds a "/", which a client must percent-encode.
    if (queryValue(request, "crumb") != m_crumb || rawQueryValue(request, "crumb").find('/') != std::string::npos) {
        response.status = 401;
        return response.set_content(FinanceErrorDocument("Unauthorized", "Invalid Crumb"), kJson);
    }
    const std::vector<std::string> symbols = commaList(queryValue(request, "symbols"));
    if (symbols.empty()) {
        response.status = 400;
        return response.set_content(FinanceErrorDocument("Bad Request", "Missing required query parameter=symbols"), kJson);
    }
    if (symbols.size() > kMostSymbols) {
        response.status = 429;
        return response.set_content("Too Many Requests", kText);
    }
    std::vector<LiveQuote> quotes;
    for (const std::string &symbol : symbols) {
        if (!FeedMarket::isKnown(symbol))
            continue; // the service leaves symbols it does not know out
        quotes.push_back(LiveQuoteOf(m_market, symbol, m_market.nextTick()));
        if (const auto scripted = m_scriptedPrice(symbol))
            SetLastTrade(quotes.back().quote, *scripted);
    }
    response.set_content(QuoteDocument(quotes, MarketClock::current()), kJson);
}

void LiveRoutes::delayedQuote(const httplib::Request &request, httplib::Response &response)
{
    const std::string symbol = request.matches[1];
    const MarketClock clock = MarketClock::current();
    // U.S. shares and the underscore indices only: no "^" indices, no futures.
    if (!FeedMarket::isKnown(symbol) || symbol.find_first_of("^=") != std::string::npos) {
        response.status = 403;
        return response.set_content(AccessDeniedDocument(), "application/xml");
    }
    if (startsWithIgnoringCase(symbol, "ZD"))
        return response.set_content(DroppedQuoteDocument(symbol, clock), kJson);
    LiveQuote live = LiveQuoteOf(m_market, symbol, m_market.nextTick());
    if (const auto scripted = m_scriptedPrice(symbol))
        SetLastTrade(live.quote, *scripted);
    response.set_content(DelayedQuoteDocument(live, clock), kJson);
}

void LiveRoutes::headlines(const httplib::Request &request, httplib::Response &response)
{
    response.set_content(HeadlineFeedDocument(commaList(queryValue(request, "s")), m_hostOf(request), MarketClock::current()),
                         "application/rss+xml; charset=utf-8");
}

} // namespace tickwell::feed
