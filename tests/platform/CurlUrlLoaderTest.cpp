#include "platform/CurlUrlLoader.h"
#include "support/LocalHttpServer.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <chrono>

using namespace std::chrono_literals;
using tickwell::CurlLoaderLimits;
using tickwell::CurlUrlLoader;
using tickwell::isAcceptableAddress;
using tickwell::test::LocalHttpServer;

namespace {

QByteArray binaryBytes(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + 7) % 256);
    return bytes;
}

CurlLoaderLimits withCap(std::size_t bytes)
{
    CurlLoaderLimits limits;
    limits.maxBodyBytes = bytes;
    return limits;
}

} // namespace

TEST(IsAcceptableAddress, FollowsTheStrictUrlRule)
{
    const struct {
        const char *address;
        bool acceptable;
    } cases[] = {
        {"http://quotes.example.com/q?s=AAPL", true},
        {"https://quotes.example.com/q?s=BRK.B", true},
        {"http://127.0.0.1:8080/t?s=%5EDJI", true},
        {"HTTP://quotes.example.com/", true},
        {"http://quotes.example.com/q?s=A B", false},   // a symbol with a space
        {"http://quotes.example.com/q?s=A\tB", false},
        {"http://quotes.example.com/x\r\nHost: other", false},
        {"http://quotes.example.com/q?s=^DJI", false},  // unencoded caret
        {"http://quotes.example.com/q?s=caf\xc3\xa9", false},
        {"http://quotes.example.com/q?s=%ZZ", false},
        {"http://quotes.example.com:99999/", false},
        {"ftp://quotes.example.com/file", false},
        {"file:///etc/passwd", false},
        {"quotes.example.com/q?s=AAPL", false},
        {"http:///q?s=AAPL", false},
        {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(isAcceptableAddress(QString::fromUtf8(c.address)), c.acceptable) << c.address;
}

TEST(CurlUrlLoader, ReturnsTheBodyAsReceived)
{
    LocalHttpServer server;
    const QByteArray page = QByteArray("<html><title>Quote</title>").append(QByteArray(50'000, 'x')).append("</html>");
    server.serve("/page", page);                                                   // sent gzip-compressed
    server.serve("/binary", binaryBytes(70'000), "application/octet-stream");
    CurlUrlLoader loader;
    EXPECT_EQ(loader.fetch(server.url("/page")), page);
    EXPECT_EQ(loader.fetch(server.url("/binary")), binaryBytes(70'000));
}

TEST(CurlUrlLoader, AnErrorPageIsAPageButNothingIsNothing)
{
    LocalHttpServer server;
    server.serve("/gone", "<html>Not here</html>", "text/html", 404);
    server.serve("/broken", "Internal error", "text/plain", 500);
    server.serve("/empty", "", "text/html", 200);
    server.serve("/empty-404", "", "text/html", 404);
    CurlUrlLoader loader;
    EXPECT_EQ(loader.fetch(server.url("/gone")), QByteArray("<html>Not here</html>"));
    EXPECT_EQ(loader.fetch(server.url("/broken")), QByteArray("Internal error"));
    EXPECT_EQ(loader.fetch(server.url("/empty")), std::nullopt);
    EXPECT_EQ(loader.fetch(server.url("/empty-404")), std::nullopt);
    EXPECT_EQ(loader.fetch(server.url("/no-route")), std::nullopt);
}

TEST(CurlUrlLoader, FollowsAtMostFiveRedirects)
{
    LocalHttpServer server;
    server.serve("/end", "arrived");
    for (int i = 1; i <= 6; ++i)
        server.redirect(QStringLiteral("/hop%1").arg(i), i == 1 ? QStringLiteral("/end") : QStringLiteral("/hop%1").arg(i - 1));
    server.redirect("/loop", "/loop");
    server.redirect("/absolute", server.url("/end"), 301);
    server.redirect("/to-file", "file:///etc/hostname");

    CurlUrlLoader loader;
    EXPECT_EQ(loader.fetch(server.url("/hop5")), QByteArray("arrived"));
    EXPECT_EQ(loader.fetch(server.url("/hop6")), std::nullopt);
    EXPECT_EQ(loader.fetch(server.url("/absolute")), QByteArray("arrived"));
    EXPECT_EQ(loader.fetch(server.url("/to-file")), std::nullopt);

    server.resetRequestCounts();
    EXPECT_EQ(loader.fetch(server.url("/loop")), std::nullopt);
    EXPECT_EQ(server.requestCount("/loop"), 6); // the first request and five redirects
}

TEST(CurlUrlLoader, CapsTheDecodedBody)
{
    LocalHttpServer server;
    server.serve("/exact", binaryBytes(1000), "application/octet-stream");
    server.serve("/over", binaryBytes(1001), "application/octet-stream");
    server.serve("/exact-text", QByteArray(1000, 'a'), "text/plain");
    // Compresses to a few kilobytes but unpacks far past the cap.
    server.serve("/bomb", QByteArray(4 * 1024 * 1024, 'a'), "text/plain");

    CurlUrlLoader loader(withCap(1000));
    EXPECT_EQ(loader.fetch(server.url("/exact")), binaryBytes(1000));
    EXPECT_EQ(loader.fetch(server.url("/over")), std::nullopt);
    EXPECT_EQ(loader.fetch(server.url("/exact-text")), QByteArray(1000, 'a'));
    EXPECT_EQ(loader.fetch(server.url("/bomb")), std::nullopt);
}

TEST(CurlUrlLoader, GivesUpOnAServerThatNeverAnswers)
{
    LocalHttpServer server;
    server.hang("/silent");
    CurlLoaderLimits limits;
    limits.connectTimeout = 300ms;
    limits.totalTimeout = 300ms;
    CurlUrlLoader loader(limits);

    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(loader.fetch(server.url("/silent")), std::nullopt);
    EXPECT_EQ(loader.fetchAll({server.url("/silent"), server.url("/silent")}),
              (std::vector<std::optional<QByteArray>>{std::nullopt, std::nullopt}));
    EXPECT_LT(clock.elapsed(), 5000); // far below the 30 s default: the shortened limit applied
}

TEST(CurlUrlLoader, RefusedConnectionGivesNothing)
{
    int closedPort = 0;
    {
        LocalHttpServer gone;
        closedPort = gone.port();
    }
    CurlUrlLoader loader;
    EXPECT_EQ(loader.fetch(QStringLiteral("http://127.0.0.1:%1/q?s=AAPL").arg(closedPort)), std::nullopt);
}

TEST(CurlUrlLoader, SendsNoRequestForARejectedAddress)
{
    LocalHttpServer server;
    server.serve("/q?s=A", "page");
    const QString base = server.url("");
    const std::vector<QString> rejected = {
        base + "/q?s=A B",
        base + "/q?s=A\nB",
        base + "/q?s=^DJI",
        "ftp://" + server.hostAndPort() + "/q?s=A",
        server.hostAndPort() + "/q?s=A",
    };
    CurlUrlLoader loader;
    for (const QString &address : rejected)
        EXPECT_EQ(loader.fetch(address), std::nullopt) << address.toStdString();
    const auto all = loader.fetchAll(rejected);
    EXPECT_EQ(all, std::vector<std::optional<QByteArray>>(rejected.size()));
    EXPECT_EQ(server.totalRequestCount(), 0);
}

TEST(CurlUrlLoader, FetchAllEqualsASequentialRunInInputOrder)
{
    LocalHttpServer server;
    std::vector<QString> addresses;
    for (int i = 0; i < 14; ++i) {
        const QString target = QStringLiteral("/q?s=S%1").arg(i);
        // Later addresses answer sooner, so completion order is the reverse of input order.
        server.setResponse(target, {200, "text/html", QByteArray("page ") + QByteArray::number(i),
                                    std::chrono::milliseconds(5 * (14 - i))});
        addresses.push_back(server.url(target));
    }
    server.serve("/error", "error page", "text/html", 503);
    server.serve("/empty", "");
    addresses.insert(addresses.begin() + 3, server.url("/error"));
    addresses.insert(addresses.begin() + 5, server.url("/empty"));
    addresses.insert(addresses.begin() + 7, server.url("/missing"));
    addresses.insert(addresses.begin() + 9, server.url("/q?s=A B"));
    addresses.push_back(addresses.front()); // the same address twice is fetched twice

    CurlLoaderLimits limits;
    limits.maxConcurrentFetches = 3;
    CurlUrlLoader loader(limits);
    std::vector<std::optional<QByteArray>> sequential;
    for (const QString &address : addresses)
        sequential.push_back(loader.fetch(address));
    server.resetRequestCounts();

    const auto concurrent = loader.fetchAll(addresses);
    EXPECT_EQ(concurrent, sequential);
    EXPECT_EQ(concurrent[0], QByteArray("page 0"));
    EXPECT_EQ(concurrent[3], QByteArray("error page"));
    EXPECT_EQ(server.totalRequestCount(), static_cast<int>(addresses.size()) - 1); // all but the rejected one
    EXPECT_EQ(server.requestCount("/q?s=S0"), 2);
    EXPECT_LE(server.peakConcurrentRequests(), 3);
    EXPECT_GE(server.peakConcurrentRequests(), 2);

    EXPECT_TRUE(loader.fetchAll({}).empty());
}
