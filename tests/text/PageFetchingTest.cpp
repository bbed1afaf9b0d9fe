#include "platform/net/CurlUrlLoader.h"
#include "support/FakeUrlLoader.h"
#include "support/LocalHttpServer.h"
#include "text/PageDecoding.h"
#include "text/PageFetching.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace tickwell;

namespace {

const QString address = QStringLiteral("http://news.example.com/story?id=1");

QDateTime utc(int month, int day, int hour, int minute, int second) { return QDateTime(QDate(2026, month, day), QTime(hour, minute, second), Qt::UTC); }

} // namespace

TEST(DecodePageBytes, Utf8WhenValidElseMacRomanByteForByte)
{
    const struct { QByteArray hex; QString expected; } cases[] = {
        {"f09f9880efbbbf61", QStringLiteral(u"\U0001F600\uFEFFa")}, // a BOM is kept
        {"610062", QString::fromUtf16(u"a\0b", 3)},
        {"436166e9", QStringLiteral(u"Caf\u00C8")}, // Latin-1 bytes read as Mac OS Roman
        {"c0afeda080", QStringLiteral(u"\u00BF\u00D8\u00CC\u2020\u00C4")}, // overlong, encoded surrogate
        {"78e282", QStringLiteral(u"x\u201A\u00C7")}, // truncated sequence
        {"c3a920e9", QStringLiteral(u"\u221A\u00A9 \u00C8")}, // one bad byte sends the whole page
    };
    for (const auto &c : cases)
        EXPECT_EQ(DecodePageBytes(QByteArray::fromHex(c.hex)), c.expected) << c.hex.toStdString();
    QByteArray all;
    for (int value = 0; value < 256; ++value)
        all.append(static_cast<char>(value));
    const QString text = DecodePageBytes(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text.left(128), QString::fromLatin1(all.left(128)));
    EXPECT_EQ(EncodeMacRoman(text), all);
    // A near match must not be substituted: the Cyrillic a has no Mac OS Roman form.
    for (const QString &foreign : {QStringLiteral(u"a") + QChar(0xD800), QStringLiteral(u"\u0430")})
        EXPECT_EQ(EncodeMacRoman(foreign), std::nullopt);
}

TEST(PageFetching, OverHttpIgnoresTheNamedCharsetAndSendsNothingForABadAddress)
{
    test::LocalHttpServer server;
    server.serve("/q?s=AAPL", "Soci\xc3\xa9t\xc3\xa9", "text/html; charset=iso-8859-1");
    server.serve("/q?s=OLD", "Soci\xe9t\xe9", "text/html; charset=utf-8");
    CurlUrlLoader loader;
    EXPECT_EQ(DecodeFetchedPage(FetchAndWait(loader, server.url("/q?s=AAPL"))), QStringLiteral(u"Soci\u00e9t\u00e9"));
    EXPECT_EQ(DecodeFetchedPage(FetchAndWait(loader, server.url("/q?s=OLD"))), QStringLiteral(u"Soci\u00c8t\u00c8"));
    EXPECT_EQ(DecodeFetchedPage(FetchAndWait(loader, server.url("/q?s=BRK B"))), std::nullopt);
    EXPECT_EQ(server.totalRequestCount(), 2);
    FakeUrlLoader empty;
    empty.serve(address, "");
    EXPECT_EQ(DecodeFetchedPage(FetchAndWait(empty, address)), std::nullopt);
}

TEST(FetchURLTitle, FileSafeTitleOrDatedFallbackInLocalTime)
{
    const QDateTime winter = utc(1, 5, 15, 4, 5), summer = utc(7, 5, 15, 4, 5);
    const QString fallback = QStringLiteral("(No Title) 2026-01-05 10-04-05 -0500");
    const struct { std::optional<QByteArray> page; QString title; QDateTime moment = utc(1, 5, 15, 4, 5); const char *zone = "America/New_York"; } cases[] = {
        {"<TITLE>\n  Markets: Dow/Nasdaq close higher \t\r\n</Title>", "Markets- Dow-Nasdaq close higher"},
        {"<title>first</title><title>second</title>", "first"},
        {"<title>AT&amp;T\xc2\xa0</title>", "AT&amp;T"},                   // no entity decoding
        {"<title>Caf\x8e 12:30</title>", QStringLiteral(u"Caf\u00e9 12-30")}, // Mac OS Roman page
        {"<h1>No title here</h1>", fallback},
        {"<h1>No title here</h1>", "(No Title) 2026-07-05 11-04-05 -0400", summer},
        {"<h1>No title here</h1>", "(No Title) 2026-01-05 20-34-05 +0530", winter, "Asia/Kolkata"},
        {"<h1>No title here</h1>", "(No Title) 2026-01-05 15-04-05 +0000", winter, "UTC"},
        {"<title> \n </title>", fallback},
        {"<title>Never closed", fallback},
        {std::nullopt, fallback},
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
