#include "platform/net/CurlUrlLoader.h"
#include "support/LocalHttpServer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>

using namespace std::chrono_literals;
using tickwell::CurlLoaderLimits;
using tickwell::FetchAndWait;
using tickwell::CurlUrlLoader;
using tickwell::test::LocalHttpServer;
using Results = std::vector<std::optional<QByteArray>>;

TEST(CurlUrlLoader, InvalidAddressesSendNoRequest)
{
    LocalHttpServer server;
    server.serve("/q?s=A", "page");
    const QString base = server.url("");
    EXPECT_TRUE(tickwell::isAcceptableAddress(base + "/q?s=%5EDJI"));
    const std::vector<QString> rejected = {
        base + "/q?s=A B", base + "/x\r\nHost: other", base + "/q?s=^DJI", base + "/q?s=caf\u00e9", base + "/q?s=%ZZ",
        "http://127.0.0.1:99999/", "ftp://" + server.hostAndPort() + "/q?s=A", "file:///etc/passwd",
        server.hostAndPort() + "/q?s=A", "",
    };
    CurlUrlLoader loader;
    for (const QString &address : rejected)
        EXPECT_EQ(FetchAndWait(loader, address), std::nullopt) << address.toStdString();
    EXPECT_EQ(FetchAndWait(loader, rejected), Results(rejected.size()));
    EXPECT_EQ(server.totalRequestCount(), 0);
}

TEST(CurlUrlLoader, BoundsRedirectsAndTheDecodedBody)
{
    LocalHttpServer server;
    server.serve("/end", "arrived");
    for (int i = 1; i <= 6; ++i)
        server.redirect(QStringLiteral("/hop%1").arg(i), i == 1 ? QStringLiteral("/end") : QStringLiteral("/hop%1").arg(i - 1));
    server.redirect("/loop", "/loop");
    server.redirect("/to-file", "file:///etc/hostname");
    server.serve("/exact", QByteArray(1000, '\xfe'), "application/octet-stream");
    server.serve("/over", QByteArray(1001, '\xfe'), "application/octet-stream");
    server.serve("/bomb", QByteArray(4 * 1024 * 1024, 'a'), "text/plain"); // compresses to a few kilobytes
    CurlLoaderLimits limits;
    limits.maxBodyBytes = 1000;
    CurlUrlLoader loader(limits);
    const std::pair<const char *, std::optional<QByteArray>> cases[] = { { "/hop5", "arrived" }, { "/hop6", std::nullopt },
        { "/to-file", std::nullopt }, { "/loop", std::nullopt }, { "/exact", QByteArray(1000, '\xfe') }, { "/over", std::nullopt },
        { "/bomb", std::nullopt } };
    for (const auto &[path, expected] : cases)
        EXPECT_EQ(FetchAndWait(loader, server.url(path)), expected) << path;
    EXPECT_EQ(server.requestCount("/loop"), 6); // the first request and five redirects
}

// Results come in the order asked (later addresses answer sooner here); an error page is still
// a page, nothing is nothing; the same address twice is fetched twice; a completion may start the
// next fetch from inside.
TEST(CurlUrlLoader, FetchAllKeepsTheOrderAskedAndMayStartAgainFromItsCompletion)
{
    LocalHttpServer server;
    server.setResponse("/slow", { 200, "text/html", "slow" + QByteArray(50000, 'x'), 60ms });
    server.setResponse("/fast", { 200, "text/html", "fast", 0ms });
    server.serve("/error", "error page", "text/html", 503);
    server.serve("/empty", "");
    std::vector<QString> addresses;
    for (const char *path : { "/slow", "/error", "/empty", "/missing", "/q?s=A B", "/fast", "/slow" })
        addresses.push_back(server.url(path));
    const Results expected = { "slow" + QByteArray(50000, 'x'), "error page", std::nullopt, std::nullopt, std::nullopt, "fast",
        "slow" + QByteArray(50000, 'x') };
    CurlLoaderLimits limits;
    limits.maxConnectionsPerHost = 3;
    CurlUrlLoader loader(limits);
    std::optional<tickwell::FetchResults> first, second;
    QEventLoop loop;
    tickwell::FetchSlot slot;
    slot.start(loader, addresses, [&](tickwell::FetchResults results) {
        first = std::move(results);
        slot.start(loader, addresses, [&](tickwell::FetchResults again) {
            second = std::move(again);
            loop.quit();
        });
    });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(first, expected);
    EXPECT_EQ(second, expected);
    EXPECT_EQ(server.totalRequestCount(), 12); // all but the rejected one, twice
    EXPECT_LE(server.peakConcurrentRequests(), 3);
}

// Three servers that accept and never answer. With two connections per host and five in all,
// exactly five requests reach the servers and stay there, whatever the order curl picks them in;
// a fetch dropped is cancelled at once without calling back; a fetch ends at its time-out; and
// all the while the event loop keeps turning (a 10 ms timer is never held up for long).
TEST(CurlUrlLoader, HangingHostsHoldExactlyTheLimitsUntilTheTimeOutAndNeverHoldTheEventLoop)
{
    LocalHttpServer a, b, c;
    std::vector<QString> addresses;
    for (LocalHttpServer *server : { &a, &b, &c }) {
        server->hang("/silent");
        for (int i = 0; i < 4; ++i)
            addresses.push_back(server->url("/silent"));
    }
    CurlLoaderLimits limits;
    limits.maxConnectionsPerHost = 2;
    limits.maxConnections = 5;
    limits.totalTimeout = 1500ms;
    CurlUrlLoader loader(limits);
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    ticker.start(10);
    sinceTick.start();

    const auto arrived = [&] { return a.totalRequestCount() + b.totalRequestCount() + c.totalRequestCount(); };
    auto handle = loader.start(addresses, [](tickwell::FetchResults) { ADD_FAILURE() << "a dropped fetch called back"; });
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 800) // time for a sixth to slip through, were the limit broken
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(arrived(), 5);
    for (const LocalHttpServer *server : { &a, &b, &c })
        EXPECT_LE(server->totalRequestCount(), 2);
    EXPECT_EQ(loader.transfersInFlight(), addresses.size());
    handle.reset();
    EXPECT_EQ(loader.transfersInFlight(), 0u);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);

    clock.restart();
    EXPECT_EQ(FetchAndWait(loader, std::vector<QString>(2, a.url("/silent"))), Results(2));
    EXPECT_GE(clock.elapsed(), 1400);
    // A loader that waited on curl would hold the loop for the whole time-out; a busy machine may
    // hold it for a fraction of that.
    EXPECT_LT(longestGap, 500);
}

// The request form: headers go out as given (a request's User-Agent replaces the loader's), the
// status, headers and cookies of the final response come back, and a failure says what curl said.
TEST(CurlUrlLoader, SendsHeadersAndGivesBackStatusHeadersAndErrors)
{
    using tickwell::HttpRequest;
    using tickwell::HttpResponse;
    LocalHttpServer server;
    server.setResponse("/refused", { 429, "text/plain", "Too Many Requests", 0ms, {} });
    server.setResponse("/front", { 302, "text/html", "", 0ms, { { "Set-Cookie", "A3=d=xyz; Path=/" }, { "Location", "/landing" } } });
    server.setResponse("/landing", { 200, "text/html", "<html>hi</html>", 0ms, { { "Set-Cookie", "B=1" }, { "X-Mark", "end" } } });
    server.hang("/silent");
    server.serve("/big", QByteArray(2000, 'x'), "text/plain");
    CurlLoaderLimits limits;
    limits.totalTimeout = 400ms;
    limits.maxBodyBytes = 1000;
    CurlUrlLoader loader(limits);

    const tickwell::HttpHeaders sent = { { "User-Agent", "Mozilla/5.0 (Test)" }, { "Cookie", "A3=d=xyz" } };
    const std::vector<HttpRequest> requests = { { server.url("/refused"), sent }, { server.url("/front"), sent },
        { server.url("/silent"), {} }, { server.url("/big"), {} }, { server.url("/refused"), { { "X-Bad", "a\r\nHost: evil" } } },
        { server.url("/refused"), { { "Bad Name", "1" } } } };
    const tickwell::HttpResponses responses = tickwell::SendAndWait(loader, requests);
    ASSERT_EQ(responses.size(), requests.size());

    EXPECT_EQ(server.lastRequestHeader("/refused", "User-Agent"), "Mozilla/5.0 (Test)");
    EXPECT_EQ(server.lastRequestHeader("/refused", "Cookie"), "A3=d=xyz");
    EXPECT_EQ(server.lastRequestHeader("/silent", "User-Agent"), TICKWELL_NAME "/" TICKWELL_VERSION);
    EXPECT_EQ(server.requestCount("/refused"), 1) << "a request with a bad header is not sent";

    const HttpResponse &refused = responses[0];
    EXPECT_EQ(refused.status, 429);
    EXPECT_EQ(refused.body, "Too Many Requests");
    EXPECT_EQ(refused.contentType(), "text/plain");
    EXPECT_TRUE(refused.answered());
    EXPECT_EQ(tickwell::BodyOf(refused), QByteArray("Too Many Requests")) << "start() keeps an error page";

    const HttpResponse &front = responses[1];
    EXPECT_EQ(front.status, 200);
    EXPECT_EQ(front.body, "<html>hi</html>");
    EXPECT_EQ(front.header("x-mark"), QByteArray("end"));
    EXPECT_EQ(front.header("Location"), std::nullopt) << "headers of the redirect are not the final response's";
    EXPECT_EQ(front.setCookies, (QList<QByteArray> { "A3=d=xyz; Path=/", "B=1" }));

    EXPECT_EQ(responses[2].status, 0);
    EXPECT_TRUE(responses[2].error.contains("timed out", Qt::CaseInsensitive)) << responses[2].error.toStdString();
    EXPECT_FALSE(responses[2].answered());
    EXPECT_EQ(responses[3].status, 200);
    EXPECT_TRUE(responses[3].body.isEmpty());
    EXPECT_FALSE(responses[3].error.isEmpty());
    for (std::size_t i : { 4u, 5u }) {
        EXPECT_EQ(responses[i].status, 0);
        EXPECT_FALSE(responses[i].error.isEmpty());
    }
}
