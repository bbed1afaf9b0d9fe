#include "platform/CurlUrlLoader.h"
#include "platform/FakeUrlLoader.h"
#include "support/LocalHttpServer.h"
#include "text/PageFetching.h"
#include "text/UrlTitleCache.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace tickwell;
using tickwell::test::LocalHttpServer;

namespace {

const QString address = QStringLiteral("http://news.example.com/story?id=1");

void SetTimeZone(const char *zone)
{
    setenv("TZ", zone, 1);
    tzset();
}

QDateTime utc(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

} // namespace

TEST(DownloadURL, OverHttpIgnoresTheNamedCharsetAndSendsNothingForABadAddress)
{
    LocalHttpServer server;
    server.serve("/q?s=AAPL", "Soci\xc3\xa9t\xc3\xa9", "text/html; charset=iso-8859-1");
    server.serve("/q?s=OLD", "Soci\xe9t\xe9", "text/html; charset=utf-8");
    CurlUrlLoader loader;
    EXPECT_EQ(DownloadURL(loader, server.url("/q?s=AAPL")), QStringLiteral(u"Soci\u00e9t\u00e9"));
    EXPECT_EQ(DownloadURL(loader, server.url("/q?s=OLD")), QStringLiteral(u"Soci\u00c8t\u00c8"));

    server.resetRequestCounts();
    EXPECT_EQ(DownloadURL(loader, server.url("/q?s=BRK B")), std::nullopt);
    EXPECT_EQ(server.totalRequestCount(), 0);

    FakeUrlLoader empty;
    empty.serve(address, "");
    EXPECT_EQ(DownloadURL(empty, address), std::nullopt);
}

TEST(FetchURLTitle, MakesThePageTitleFileSafe)
{
    const struct { QByteArray page; QString title; } cases[] = {
        {"<TITLE>\n  Markets: Dow/Nasdaq close higher \t\r\n</Title>", "Markets- Dow-Nasdaq close higher"},
        {"<title>first</title><title>second</title>", "first"},
        {"<title>AT&amp;T\xc2\xa0</title>", "AT&amp;T"},                  // no entity decoding
        {"<title>Caf\x8e 12:30</title>", QStringLiteral(u"Caf\u00e9 12-30")}, // Mac OS Roman page
    };
    for (const auto &c : cases) {
        FakeUrlLoader loader;
        loader.serve(address, c.page);
        EXPECT_EQ(FetchURLTitle(loader, address, utc(2026, 1, 5, 15, 0, 0)), c.title) << c.page.toStdString();
    }
}

TEST(FetchURLTitle, FallsBackToADatedTitleInLocalTime)
{
    const QDateTime winter = utc(2026, 1, 5, 15, 4, 5);
    const QDateTime summer = utc(2026, 7, 5, 15, 4, 5);
    const struct { const char *zone; QDateTime moment; QString title; } cases[] = {
        {"America/New_York", winter, "(No Title) 2026-01-05 10-04-05 -0500"},
        {"America/New_York", summer, "(No Title) 2026-07-05 11-04-05 -0400"},
        {"Asia/Kolkata", winter, "(No Title) 2026-01-05 20-34-05 +0530"},
        {"UTC", winter, "(No Title) 2026-01-05 15-04-05 +0000"},
    };
    FakeUrlLoader loader;
    loader.serve(address, "<html><h1>No title here</h1></html>");
    for (const auto &c : cases) {
        SetTimeZone(c.zone);
        EXPECT_EQ(FetchURLTitle(loader, address, c.moment), c.title) << c.zone;
    }
    SetTimeZone("America/New_York");

    const QString fallback = "(No Title) 2026-01-05 10-04-05 -0500";
    loader.serve("http://news.example.com/blank", "<title> \n </title>");
    loader.serve("http://news.example.com/unclosed", "<title>Never closed");
    for (const char *page : {"blank", "unclosed", "not-served", "a b"})
        EXPECT_EQ(FetchURLTitle(loader, QStringLiteral("http://news.example.com/") + page, winter), fallback) << page;
}

TEST(UrlTitleCache, FetchesEachAddressOncePerProcess)
{
    FakeUrlLoader loader;
    loader.serve(address, "<title>Earnings beat</title>");
    UrlTitleCache cache;
    EXPECT_EQ(cache.title(loader, address, utc(2026, 1, 5, 15, 0, 0)), "Earnings beat");
    loader.serve(address, "<title>Updated headline</title>");
    EXPECT_EQ(cache.title(loader, address, utc(2026, 1, 6, 15, 0, 0)), "Earnings beat");
    EXPECT_EQ(loader.requests().size(), 1);

    // A failed lookup is remembered too, with the date of the first attempt.
    const QString failing = QStringLiteral("http://news.example.com/down");
    const QString fallback = cache.title(loader, failing, utc(2026, 1, 5, 15, 0, 0));
    EXPECT_EQ(fallback, "(No Title) 2026-01-05 10-00-00 -0500");
    loader.serve(failing, "<title>Back up</title>");
    EXPECT_EQ(cache.title(loader, failing, utc(2026, 2, 1, 9, 0, 0)), fallback);
    EXPECT_EQ(loader.requests().size(), 2);
}

TEST(UrlTitleCache, GetURLTitleSharesOneCache)
{
    LocalHttpServer server;
    server.serve("/story-shared", "<html><title>Shared: story</title></html>");
    CurlUrlLoader loader;
    const QString story = server.url("/story-shared");
    EXPECT_EQ(GetURLTitle(loader, story), "Shared- story");
    EXPECT_EQ(GetURLTitle(loader, story, utc(2030, 1, 1, 0, 0, 0)), "Shared- story");
    EXPECT_EQ(server.requestCount("/story-shared"), 1);
}
