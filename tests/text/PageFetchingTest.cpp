#include "platform/CurlUrlLoader.h"
#include "platform/FakeUrlLoader.h"
#include "support/LocalHttpServer.h"
#include "text/PageFetching.h"
#include "text/UrlTitleCache.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

using tickwell::CurlUrlLoader;
using tickwell::DownloadURL;
using tickwell::FakeUrlLoader;
using tickwell::FetchURLTitle;
using tickwell::GetURLTitle;
using tickwell::UrlTitleCache;
using tickwell::test::LocalHttpServer;

namespace {

const QString address = QStringLiteral("http://news.example.com/story?id=1");

// Sets TZ for one test and puts the previous value back.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char *zone)
    {
        if (const char *previous = std::getenv("TZ"))
            m_previous = previous;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone()
    {
        if (m_previous)
            setenv("TZ", m_previous->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone &) = delete;
    ScopedTimeZone &operator=(const ScopedTimeZone &) = delete;

private:
    std::optional<std::string> m_previous;
};

QDateTime utc(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

} // namespace

TEST(DownloadURL, DecodesUtf8ElseMacRoman)
{
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"caf\xc3\xa9", QStringLiteral(u"caf\u00e9")},           // valid UTF-8
        {"caf\xe9", QStringLiteral(u"caf\u00c8")},               // Latin-1 bytes read as Mac OS Roman
        {"Dow \x8e\xd0", QStringLiteral(u"Dow \u00e9\u2013")},  // Mac OS Roman e-acute, en dash
        {"<b>+1.25</b>", QStringLiteral("<b>+1.25</b>")},
        {"\xef\xbb\xbfok", QStringLiteral(u"\ufeffok")},          // a BOM is not looked for
    };
    for (const auto &c : cases) {
        FakeUrlLoader loader;
        loader.serve(address, c.bytes);
        EXPECT_EQ(DownloadURL(loader, address), c.text) << c.bytes.toStdString();
    }
}

TEST(DownloadURL, GivesNothingWithoutBytes)
{
    FakeUrlLoader loader;
    loader.serve(address, "");
    EXPECT_EQ(DownloadURL(loader, address), std::nullopt);
    EXPECT_EQ(DownloadURL(loader, QStringLiteral("http://news.example.com/other")), std::nullopt);
}

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
}

TEST(FetchURLTitle, MakesThePageTitleFileSafe)
{
    const struct {
        QByteArray page;
        QString title;
    } cases[] = {
        {"<html><head><title>Apple Inc. (AAPL)</title></head>", "Apple Inc. (AAPL)"},
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
    const struct {
        const char *zone;
        QDateTime moment;
        QString title;
    } cases[] = {
        {"America/New_York", winter, "(No Title) 2026-01-05 10-04-05 -0500"},
        {"America/New_York", summer, "(No Title) 2026-07-05 11-04-05 -0400"},
        {"Asia/Kolkata", winter, "(No Title) 2026-01-05 20-34-05 +0530"},
        {"UTC", winter, "(No Title) 2026-01-05 15-04-05 +0000"},
    };
    for (const auto &c : cases) {
        const ScopedTimeZone zone(c.zone);
        FakeUrlLoader loader;
        loader.serve(address, "<html><h1>No title here</h1></html>");
        EXPECT_EQ(FetchURLTitle(loader, address, c.moment), c.title) << c.zone;
    }

    const ScopedTimeZone zone("America/New_York");
    const QString fallback = "(No Title) 2026-01-05 10-04-05 -0500";
    FakeUrlLoader loader;
    loader.serve("http://news.example.com/blank", "<title> \n </title>");
    loader.serve("http://news.example.com/unclosed", "<title>Never closed");
    EXPECT_EQ(FetchURLTitle(loader, "http://news.example.com/blank", winter), fallback);
    EXPECT_EQ(FetchURLTitle(loader, "http://news.example.com/unclosed", winter), fallback);
    EXPECT_EQ(FetchURLTitle(loader, "http://news.example.com/not-served", winter), fallback);
    EXPECT_EQ(FetchURLTitle(loader, "http://news.example.com/a b", winter), fallback);
}

TEST(UrlTitleCache, FetchesEachAddressOncePerProcess)
{
    const ScopedTimeZone zone("America/New_York");
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
    EXPECT_EQ(cache.cachedTitle(failing), fallback);
    EXPECT_EQ(cache.size(), 2);
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
    EXPECT_EQ(UrlTitleCache::shared().cachedTitle(story), "Shared- story");
}
