#include "FeedServer.h"

#include "FeedImages.h"
#include "MarketPages.h"
#include "NewsPages.h"
#include "OrderBookDocument.h"
#include "QuotePages.h"

#include <algorithm>
#include <cstdio>
#include <thread>

namespace tickwell::feed {

namespace {

constexpr const char *kHtml = "text/html; charset=utf-8";

std::string tradeTime(std::uint64_t tick)
{
    const int minutes = 9 * 60 + 30 + static_cast<int>(tick % 390);
    const int hour = minutes / 60 % 12 == 0 ? 12 : minutes / 60 % 12;
    char text[24];
    std::snprintf(text, sizeof text, "%d:%02d%s EDT", hour, minutes % 60, minutes >= 12 * 60 ? "PM" : "AM");
    return text;
}

void notFound(httplib::Response &response)
{
    response.status = 404;
    response.set_content("<html><body><h1>Not Found</h1></body></html>\n", kHtml);
}

} // namespace

FeedServer::FeedServer(const FeedOptions &options)
    : m_options(options)
    , m_market(options.seed, options.still)
    , m_live(m_market,
             LiveOptions{.failures = options.liveFailures, .failAfter = options.liveFailAfter, .logRequests = options.logRequests},
             [this](const std::string &symbol) { return nextScriptedPrice(symbol); },
             [this](const httplib::Request &request) { return hostOf(request); })
{
    if (m_options.latency.count() > 0 || m_options.logRequests) {
        m_server.set_pre_routing_handler([this](const httplib::Request &request, httplib::Response &) {
            if (m_options.logRequests)
                std::fprintf(stderr, "%s %s\n", request.method.c_str(), request.target.c_str());
            if (m_options.latency.count() > 0)
                std::this_thread::sleep_for(m_options.latency);
            return httplib::Server::HandlerResponse::Unhandled;
        });
    }
    addRoutes();
}

std::string FeedServer::hostOf(const httplib::Request &request) const
{
    const std::string host = request.get_header_value("Host");
    return host.empty() ? "127.0.0.1:" + std::to_string(m_port) : host;
}

std::optional<double> FeedServer::nextScriptedPrice(const std::string &symbol)
{
    const auto path = m_options.pricePaths.find(symbol);
    if (path == m_options.pricePaths.end() || path->second.empty())
        return std::nullopt;
    std::lock_guard lock(m_pathMutex); // requests are answered on several threads
    std::size_t &step = m_pathSteps[symbol];
    const double price = path->second[std::min(step, path->second.size() - 1)];
    ++step;
    return price;
}

void FeedServer::addRoutes()
{
    m_server.Get("/q", [this](const httplib::Request &request, httplib::Response &response) {
        const std::string symbol = request.get_param_value("s");
        if (!FeedMarket::isKnown(symbol)) {
            response.set_content(UnknownSymbolPage(symbol), kHtml);
            return;
        }
        const std::uint64_t tick = m_market.nextTick();
        StockQuote quote = m_market.quote(symbol, tick);
        if (const auto scripted = nextScriptedPrice(symbol))
            quote.last = *scripted;
        response.set_content(QuotePage(quote, hostOf(request), tradeTime(tick)), kHtml);
    });
    m_server.Get("/t", [this](const httplib::Request &request, httplib::Response &response) {
        const std::string symbol = request.get_param_value("s");
        if (!FeedMarket::isKnown(symbol))
            return notFound(response);
        std::vector<double> prices = m_market.recentTrades(symbol, m_market.nextTick(), 40);
        std::reverse(prices.begin(), prices.end());
        response.set_content(ChartImagePng(prices), "image/png");
    });
    m_server.Get("/echarts", [](const httplib::Request &request, httplib::Response &response) {
        response.set_content(ChartPage(request.get_param_value("s")), kHtml);
    });
    m_server.Get(R"(/images/listed/log-(.+)\.gif)", [](const httplib::Request &request, httplib::Response &response) {
        const std::string symbol = request.matches[1];
        if (!FeedMarket::hasLogo(symbol))
            return notFound(response);
        response.set_content(LogoGif(symbol), "image/gif");
    });
    m_server.Get("/data/markets/", [this](const httplib::Request &, httplib::Response &response) {
        response.set_content(MarketsPage(m_market, m_market.nextTick()), kHtml);
    });
    m_server.Get("/market/", [this](const httplib::Request &, httplib::Response &response) {
        response.set_content(MetalsPage(m_market, m_market.nextTick()), kHtml);
    });
    m_server.Get(R"(/charts/live[a-z]+\.html)", [](const httplib::Request &request, httplib::Response &response) {
        if (const auto page = MetalChartPage(request.path))
            return response.set_content(*page, kHtml);
        notFound(response);
    });
    m_server.Get("/", [this](const httplib::Request &request, httplib::Response &response) {
        m_live.setSessionCookie(response);
        response.set_content(FrontPage(m_market, m_market.nextTick(), hostOf(request), m_options.openingBell), kHtml);
    });
    m_live.addTo(m_server);
    m_server.Get(R"(/json/bzx/book/(.+))", [this](const httplib::Request &request, httplib::Response &response) {
        response.set_content(OrderBookDocument(m_market, request.matches[1], m_market.nextTick()), "application/json");
    });
    m_server.Get("/news/style.css", [](const httplib::Request &, httplib::Response &response) {
        response.set_content(ArticleStylesheet(), "text/css");
    });
    m_server.Get(R"(/news/img/([a-z0-9]+-[0-9]+)\.png)", [](const httplib::Request &request, httplib::Response &response) {
        response.set_content(ArticleImagePng(request.matches[1]), "image/png");
    });
    m_server.Get(R"(/news/.+)", [](const httplib::Request &request, httplib::Response &response) {
        if (const auto page = ArticlePage(request.path))
            return response.set_content(*page, kHtml);
        notFound(response);
    });
    m_server.set_error_handler([](const httplib::Request &, httplib::Response &response) {
        if (response.body.empty())
            notFound(response);
    });
}

int FeedServer::bind()
{
    if (m_options.port == 0)
        m_port = m_server.bind_to_any_port("127.0.0.1");
    else
        m_port = m_server.bind_to_port("127.0.0.1", m_options.port) ? m_options.port : -1;
    return m_port;
}

bool FeedServer::listen()
{
    return m_server.listen_after_bind();
}

} // namespace tickwell::feed
