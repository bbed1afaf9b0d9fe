#include "platform/net/CurlUrlLoader.h"
#include "support/FakeUrlLoader.h"
#include "support/LocalHttpServer.h"
#include "text/PageFetching.h"
#include "text/UrlTitleCache.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace tickwell;

namespace {

const QString address = QStringLiteral("http://news.example.com/story?id=1");

QDateTime utc(int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute, second), Qt::UTC);
}

} // namespace

TEST(PageFetching, OverHttpIgnoresTheNamedCharsetAndSendsNothingForABadAddress)
{
    test::LocalHttpServer server;
    server.serve("/q?s=AAPL", "Soci\xc3\xa9t\xc3\xa9", "text/html; charset=iso-8859-1");
    server.serve("/q?s=OLD", "Soci\xe9t\xe9", "text/html; charset=utf-8");
    server.serve("/story", "<html><title>Shared: story</title></html>");
    CurlUrlLoader loader;
    EXPECT_EQ(DecodeFetchedPage(FetchAndWait(loader, server.url("/q?s=AAPL"))), QStringLiteral(u"Soci\u00e9t\u00e9"));
    EXPECT_EQ(DecodeFetchedPage(FetchAndWait(loader, server.url("/q?s=OLD"))), QStringLiteral(u"Soci\u00c8t\u00c8"));
    // GetURLTitle looks each address up once per process.
    EXPECT_EQ(GetURLTitle(loader, server.url("/story")), "Shared- story");
    EXPECT_EQ(GetURLTitle(loader, server.url("/story"), utc(1, 1, 0, 0, 0)), "Shared- story");
    EXPECT_EQ(server.requestCount("/story"), 1);

    server.resetRequestCounts();
    EXPECT_EQ(DecodeFetchedPage(FetchAndWait(loader, server.url("/q?s=BRK B"))), std::nullopt);
    EXPECT_EQ(server.totalRequestCount(), 0);
    FakeUrlLoader empty;
    empty.serve(address, "");
    EXPECT_EQ(DecodeFetchedPage(FetchAndWait(empty, address)), std::nullopt) << "an empty page is no page";
}

TEST(FetchURLTitle, FileSafeTitleOrDatedFallbackInLocalTime)
{
    const QDateTime winter = utc(1, 5, 15, 4, 5), summer = utc(7, 5, 15, 4, 5);
    const QString fallback = QStringLiteral("(No Title) 2026-01-05 10-04-05 -0500");
    const struct { const char *zone; std::optional<QByteArray> page; QDateTime moment; QString title; } cases[] = {
        {"America/New_York", "<TITLE>\n  Markets: Dow/Nasdaq close higher \t\r\n</Title>", winter, "Markets- Dow-Nasdaq close higher"},
        {"America/New_York", "<title>first</title><title>second</title>", winter, "first"},
        {"America/New_York", "<title>AT&amp;T\xc2\xa0</title>", winter, "AT&amp;T"},                   // no entity decoding
        {"America/New_York", "<title>Caf\x8e 12:30</title>", winter, QStringLiteral(u"Caf\u00e9 12-30")}, // Mac OS Roman page
        {"America/New_York", "<h1>No title here</h1>", winter, fallback},
        {"America/New_York", "<h1>No title here</h1>", summer, "(No Title) 2026-07-05 11-04-05 -0400"},
        {"Asia/Kolkata", "<h1>No title here</h1>", winter, "(No Title) 2026-01-05 20-34-05 +0530"},
        {"UTC", "<h1>No title here</h1>", winter, "(No Title) 2026-01-05 15-04-05 +0000"},
        {"America/New_York", "<title> \n </title>", winter, fallback},
        {"America/New_York", "<title>Never closed", winter, fallback},
        {"America/New_York", std::nullopt, winter, fallback},
    };
    for (const auto &c : cases) {
        setenv("TZ", c.zone, 1);
        tzset();
        FakeUrlLoader loader;
        if (c.page)
            loader.serve(address, *c.page);
        EXPECT_EQ(FetchURLTitle(loader, address, c.moment), c.title) << c.zone << ' ' << c.page.value_or("").toStdString();
    }
    FakeUrlLoader none;
    EXPECT_EQ(FetchURLTitle(none, QStringLiteral("http://news.example.com/a b"), winter), fallback);
}

TEST(UrlTitleCache, FetchesEachAddressOncePerProcess)
{
    FakeUrlLoader loader;
    loader.serve(address, "<title>Earnings beat</title>");
    UrlTitleCache cache;
    EXPECT_EQ(cache.title(loader, address, utc(1, 5, 15, 0, 0)), "Earnings beat");
    loader.serve(address, "<title>Updated headline</title>");
    EXPECT_EQ(cache.title(loader, address, utc(1, 6, 15, 0, 0)), "Earnings beat");
    // A failed lookup is remembered too, with the date of the first attempt.
    const QString failing = QStringLiteral("http://news.example.com/down");
    EXPECT_EQ(cache.title(loader, failing, utc(1, 5, 15, 0, 0)), "(No Title) 2026-01-05 10-00-00 -0500");
    loader.serve(failing, "<title>Back up</title>");
    EXPECT_EQ(cache.title(loader, failing, utc(2, 1, 9, 0, 0)), "(No Title) 2026-01-05 10-00-00 -0500");
    EXPECT_EQ(loader.requests().size(), 2);
}
