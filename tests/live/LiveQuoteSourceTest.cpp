#include "LiveFixtures.h"

#include "live/LiveAddresses.h"
#include "live/LiveQuoteSource.h"
#include "live/LiveSnapshot.h"
#include "support/FakeUrlLoader.h"
#include "support/ManualTimerFactory.h"
#include "support/MemorySettingsStore.h"

#include <gtest/gtest.h>

#include <QTimeZone>

using namespace tickwell;
using namespace tickwell::live_fixtures;

namespace {

const QString kQuotes = QStringLiteral("http://quotes.test"), kDelayed = QStringLiteral("http://delayed.test"), kNews = QStringLiteral("http://news.test:8080");
const QString kAgent = QStringLiteral("Mozilla/5.0 (X11; Linux x86_64; rv:140.0) Gecko/20100101 Firefox/140.0 Test");
const QString kCrumb = QStringLiteral("ab/Cd.12");

QString chartUrl(const QString &encoded) { return kQuotes + "/v8/finance/chart/" + encoded + "?range=1d&interval=5m&includePrePost=true"; }
// The crumb percent-encoded: with its "/" as such the service answers 401.
QString quoteUrl(const QString &encoded) { return kQuotes + "/v7/finance/quote?symbols=" + encoded + "&crumb=ab%2FCd.12"; }
QString delayedUrl(const QString &symbol) { return kDelayed + "/api/global/delayed_quotes/quotes/" + symbol + ".json"; }
QString newsUrl(const QString &symbol) { return kNews + "/rss/2.0/headline?s=" + symbol + "&region=US&lang=en-US"; }

const LiveRefreshRequest kAcmeAlone{{"ACME"}, {}, false, false, false};

QByteArray chartBody(double price)
{
    return ChartBody(QStringLiteral(R"("regularMarketPrice":%1,"previousClose":100)").arg(price),
                     QStringLiteral("%1,%2").arg(kRegularStart).arg(kRegularStart + 300), QStringLiteral("100,%1").arg(price));
}

QByteArray quoteBody(const QStringList &symbols)
{
    QStringList entries;
    for (const QString &symbol : symbols)
        entries.append(QStringLiteral(R"({"symbol":"%1","regularMarketPrice":151.5,"marketState":"POST"})").arg(symbol));
    return (QStringLiteral(R"({"quoteResponse":{"result":[)") + entries.join(u',') + QStringLiteral(R"(],"error":null}})")).toUtf8();
}

QByteArray delayedBody(const QString &symbol, double price)
{
    return QStringLiteral(R"({"data":{"symbol":"%1","current_price":%2,"prev_day_close":100,"last_trade_time":"2026-12-04T16:00:00"}})").arg(symbol).arg(price).toUtf8();
}

HttpResponse answer(int status, QByteArray body, QByteArray contentType = "application/json")
{
    return HttpResponse{status, std::move(body), {{"Content-Type", std::move(contentType)}}, {}, {}};
}

} // namespace

class LiveQuoteSourceTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const HttpRequest &request : loader.sentRequests())
            EXPECT_EQ(request.headers.value(0), std::make_pair(QByteArray("User-Agent"), kAgent.toUtf8())) << request.address.toStdString();
    }

    // A refresh of this fixture's source, or of another one (on a loader of its own).
    LiveRefreshResult refresh(const LiveRefreshRequest &request, LiveQuoteSource *other = nullptr)
    {
        LiveQuoteSource &asked = other ? *other : source;
        std::optional<LiveRefreshResult> result;
        asked.refresh(request, [&result](LiveRefreshResult arrived) { result = std::move(arrived); });
        EXPECT_TRUE(result.has_value()); // the fake answers at once
        EXPECT_FALSE(asked.isBusy());
        return result ? *std::move(result) : LiveRefreshResult{};
    }

    // A front page that sets two cookies (and drops a third), and a crumb for them.
    void serveSession()
    {
        loader.respond(kQuotes + u'/', HttpResponse{200, "<html>front</html>", {}, {"A3=d=abc; Path=/; Secure", "GUC=x", "old=; Max-Age=0"}, {}});
        loader.serve(kQuotes + QStringLiteral("/v1/test/getcrumb"), kCrumb.toUtf8());
    }

    int requestsFor(const QString &address) const { return static_cast<int>(loader.requests().count(address)); }

    FakeUrlLoader loader;
    ManualTimerFactory clock{QDateTime(QDate(2026, 12, 4), QTime(19, 30), QTimeZone("America/New_York"))};
    MemorySettingsStore settings{{{"LiveQuotesURL", kQuotes + u'/'}, {"LiveFallbackURL", kDelayed}, {"LiveNewsURL", kNews},
                                  {"LiveUserAgent", kAgent}, {"StockDataUpdateRate", QStringLiteral("5")}}};
    LiveQuoteSource source{loader, clock, settings};
};

TEST_F(LiveQuoteSourceTest, ChartsThenSessionThenQuotesAndTheSessionIsKeptADay)
{
    serveSession();
    loader.serve(chartUrl("ACME"), chartBody(150));
    loader.serve(chartUrl("%5EDJI"), chartBody(45000));
    loader.serve(quoteUrl("ACME,%5EDJI,%5EIXIC,%5EGSPC"), quoteBody({"ACME", "^DJI"}));
    loader.serve(newsUrl("ACME"), "<rss version=\"2.0\"><channel><item><title>Acme up</title><link>https://n.test/a</link></item></channel></rss>");
    const LiveRefreshRequest request{{"ACME", " ACME "}, {"ACME"}, true, false, false};

    LiveRefreshResult result = refresh(request);
    // Nasdaq has no fallback; S&P has neither chart nor quote.
    EXPECT_EQ(loader.requests(), (QStringList{chartUrl("ACME"), chartUrl("%5EDJI"), chartUrl("%5EIXIC"), chartUrl("%5EGSPC"), newsUrl("ACME"),
                                              kQuotes + u'/', kQuotes + "/v1/test/getcrumb", quoteUrl("ACME,%5EDJI,%5EIXIC,%5EGSPC"), delayedUrl("_SPX")}));
    for (const HttpRequest &sent : loader.sentRequests())
        EXPECT_EQ(sent.headers.contains({"Cookie", "A3=d=abc; GUC=x"}), sent.address.contains("/v1/") || sent.address.contains("/v7/")) << sent.address.toStdString();
    ASSERT_TRUE(result.quotes.contains("ACME"));
    EXPECT_EQ(result.quotes["ACME"].chart->regularMarketPrice, 150.0);
    EXPECT_EQ(result.quotes["^DJI"].quote->regularMarketPrice, 151.5);
    EXPECT_FALSE(result.quotes.contains("^IXIC"));
    EXPECT_EQ(result.headlines["ACME"].size(), 1u);
    EXPECT_EQ(std::tuple(result.charts, result.quoteDetails, result.news), std::tuple(PartState::Fresh, PartState::Fresh, PartState::Fresh));
    EXPECT_TRUE(result.problems.isEmpty());

    // The next refreshes of the day reuse the session; a day later it is fetched again.
    for (const auto &[hours, crumbs] : {std::pair{1.0, 0}, {23.0, 1}, {0.1, 0}}) {
        clock.advance(hours * 3600);
        loader.clearRequests();
        result = refresh(request);
        EXPECT_EQ(requestsFor(kQuotes + "/v1/test/getcrumb"), crumbs) << hours;
        EXPECT_EQ(result.quoteDetails, PartState::Fresh);
    }
}

// Without a session the charts alone make the lines, nothing complains, and the session is not
// asked for again until its back-off has passed.
TEST_F(LiveQuoteSourceTest, WithoutASessionTheChartsStandAlone)
{
    const HttpResponse cookie{200, "<html/>", {}, {"A3=d=abc"}, {}};
    const struct { const char *name; HttpResponse frontPage, crumb; int crumbRequests; } cases[] = {
        {"no cookie", answer(200, "<html/>", "text/html"), answer(200, kCrumb.toUtf8()), 0},
        {"crumb rate-limited as text", cookie, answer(200, kTooManyRequests, "text/plain"), 1},
        {"crumb refused", cookie, answer(429, kTooManyRequests, "text/plain"), 1},
        {"crumb as an HTML page", cookie, answer(200, kChallengePage, "text/html"), 1},
        {"front page silent", HttpResponse{0, {}, {}, {}, "Operation timed out"}, answer(200, kCrumb.toUtf8()), 0},
    };
    for (const auto &c : cases) {
        FakeUrlLoader fresh;
        LiveQuoteSource source(fresh, clock, settings);
        fresh.respond(kQuotes + u'/', c.frontPage);
        fresh.respond(kQuotes + "/v1/test/getcrumb", c.crumb);
        fresh.serve(chartUrl("ACME"), chartBody(150));
        SCOPED_TRACE(c.name);
        for (int attempt = 0; attempt < 2; ++attempt) {
            LiveRefreshResult result = refresh(kAcmeAlone, &source);
            EXPECT_EQ(result.quotes["ACME"].chart->regularMarketPrice, 150.0);
            EXPECT_FALSE(result.quotes["ACME"].quote);
            EXPECT_TRUE(result.problems.isEmpty());
        }
        EXPECT_EQ(fresh.requests().count(kQuotes + u'/'), 1); // backing off within the minute
        EXPECT_EQ(fresh.requests().count(kQuotes + "/v1/test/getcrumb"), c.crumbRequests);
        EXPECT_FALSE(fresh.requests().join(' ').contains("/v7/"));
    }
}

TEST_F(LiveQuoteSourceTest, AnInvalidCrumbRenewsTheSessionOnceAndNeverLoops)
{
    serveSession();
    loader.serve(chartUrl("ACME"), chartBody(150));
    const HttpResponse invalid = answer(401, kInvalidCrumb);
    // Always refused: one renewal, then the charts alone.
    loader.respond(quoteUrl("ACME"), invalid);
    LiveRefreshResult result = refresh(kAcmeAlone);
    EXPECT_EQ(requestsFor(kQuotes + "/v1/test/getcrumb"), 2);
    EXPECT_EQ(requestsFor(quoteUrl("ACME")), 2);
    EXPECT_EQ(result.quoteDetails, PartState::Failed);
    EXPECT_EQ(result.quotes["ACME"].chart->regularMarketPrice, 150.0);
    EXPECT_TRUE(result.problems.isEmpty());

    // Refused once: the renewed session gets the answer.
    clock.advance(3600);
    loader.clearRequests();
    loader.respondInTurn(quoteUrl("ACME"), {invalid, answer(200, quoteBody({"ACME"}))});
    result = refresh(kAcmeAlone);
    EXPECT_EQ(requestsFor(kQuotes + "/v1/test/getcrumb"), 2) << "a new session, then one renewal";
    EXPECT_EQ(requestsFor(quoteUrl("ACME")), 2);
    EXPECT_EQ(result.quoteDetails, PartState::Fresh);
    EXPECT_EQ(result.quotes["ACME"].quote->regularMarketPrice, 151.5);
}

TEST_F(LiveQuoteSourceTest, ARefusalNamesItselfOncePerServiceAndBacksOff)
{
    const struct { const char *name; HttpResponse chart; QString reason; } cases[] = {
        {"rate limit", answer(429, kTooManyRequests, "text/plain"), "429 Too Many Requests"},
        {"challenge page", answer(200, kChallengePage, "text/html; charset=utf-8"), "not a quote answer (HTML page)"},
        {"untyped page", answer(200, "\n<html><body>blocked</body></html>", ""), "not a quote answer (HTML page)"},
        {"time-out", HttpResponse{0, {}, {}, {}, "Operation timed out after 30000 milliseconds"}, "no answer"},
        {"blocked agent", answer(403, "Forbidden", "text/plain"), "403 Forbidden"},
        {"unauthorized", answer(401, kInvalidCrumb), "401 Unauthorized"},
        {"server trouble", answer(503, "", "text/plain"), "503 Service Unavailable"},
    };
    for (const auto &c : cases) {
        FakeUrlLoader fresh;
        LiveQuoteSource source(fresh, clock, settings);
        fresh.respond(chartUrl("ACME"), c.chart);
        fresh.respond(chartUrl("BETA"), c.chart);
        fresh.serve(delayedUrl("ACME"), delayedBody("ACME", 149.75));
        LiveRefreshResult result = refresh({{"ACME", "BETA"}, {}, false, false, false}, &source);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(result.problems, QStringList{"Quotes from quotes.test: " + c.reason + "; next try at 7:31\u202FPM"});
        EXPECT_EQ(result.charts, PartState::Failed);
        EXPECT_FALSE(fresh.requests().contains(kQuotes + u'/')); // no session from a refusing host
        EXPECT_EQ(result.quotes["ACME"].delayed->currentPrice, 149.75); // the fallback stands in
        EXPECT_FALSE(result.quotes.contains("BETA"));
        EXPECT_EQ(result.delayedQuotes, PartState::Fresh); // BETA's 404 is no refusal
    }
}

// 1, 2, 4 minutes, then the refresh interval (5 minutes); skipped refreshes keep the line and ask
// nothing of the refusing host; an answer ends the back-off and the next refusal starts over.
TEST_F(LiveQuoteSourceTest, BackOffDoublesUpToTheRefreshIntervalAndEndsWithAnAnswer)
{
    loader.respond(chartUrl("ACME"), answer(429, kTooManyRequests, "text/plain"));
    const QString line = QStringLiteral("Quotes from quotes.test: 429 Too Many Requests; next try at %1");
    const struct { double secondsLater; bool asked; const char *nextTry; } steps[] = {{0, true, "7:31"}, {30, false, "7:31"}, {30, true, "7:33"}, {119, false, "7:33"}, {1, true, "7:37"},
                          {240, true, "7:42"}, {300, true, "7:47"}, {299, false, "7:47"}, {1, true, "7:52"}};
    for (const auto &step : steps) {
        clock.advance(step.secondsLater);
        loader.clearRequests();
        const LiveRefreshResult result = refresh(kAcmeAlone);
        const QString at = clock.now().toString("h:mm:ss");
        EXPECT_EQ(requestsFor(chartUrl("ACME")), step.asked ? 1 : 0) << at.toStdString();
        EXPECT_EQ(result.charts, step.asked ? PartState::Failed : PartState::NotAttempted) << at.toStdString();
        EXPECT_EQ(result.problems, QStringList{line.arg(QString::fromUtf8(step.nextTry) + QChar(0x202F) + QStringLiteral("PM"))}) << at.toStdString();
    }
    loader.serve(chartUrl("ACME"), chartBody(150));
    clock.advance(300);
    LiveRefreshResult result = refresh(kAcmeAlone);
    EXPECT_TRUE(result.problems.isEmpty());
    EXPECT_EQ(result.charts, PartState::Fresh);
    loader.respond(chartUrl("ACME"), answer(429, kTooManyRequests, "text/plain"));
    clock.advance(60); // 7:53
    result = refresh(kAcmeAlone);
    EXPECT_EQ(result.problems, QStringList{line.arg(QStringLiteral("7:54\u202FPM"))});
}

TEST_F(LiveQuoteSourceTest, TheFallbackQuotesWhatTheChartsLeftAndSaysNoToUnknownSymbols)
{
    for (const char *symbol : {"ACME", "GONE", "VOD.L", "%5EDJI", "%5EIXIC", "%5EGSPC", "GC%3DF"})
        loader.respond(chartUrl(symbol), answer(404, R"({"chart":{"result":null,"error":{"code":"Not Found"}}})"));
    for (const auto &[symbol, price] : {std::pair{"ACME", 149.75}, {"_DJI", 45000.0}})
        loader.serve(delayedUrl(symbol), delayedBody(symbol, price));
    loader.serve(delayedUrl("GONE"), R"({"data":{"symbol":"GONE","current_price":0,"last_trade_time":"2000-01-01T00:00:00"}})");
    loader.respond(delayedUrl("VOD.L"), answer(403, kAccessDenied, "application/xml"));
    loader.respond(delayedUrl("_SPX"), answer(200, kChallengePage, "text/html"));
    const LiveRefreshResult result = refresh({{"ACME", "GONE", "VOD.L"}, {}, true, false, true});

    // No fallback for the Nasdaq Composite or futures.
    EXPECT_EQ(loader.requests().filter(kDelayed), (QStringList{delayedUrl("ACME"), delayedUrl("GONE"), delayedUrl("VOD.L"), delayedUrl("_DJI"), delayedUrl("_SPX")}));
    EXPECT_EQ(result.quotes["ACME"].delayed->currentPrice, 149.75);
    EXPECT_EQ(result.quotes["^DJI"].delayed->currentPrice, 45000.0);
    for (const char *none : {"GONE", "VOD.L", "^GSPC", "^IXIC", "GC=F"})
        EXPECT_FALSE(result.quotes.contains(none)) << none;
    EXPECT_EQ(result.charts, PartState::Fresh); // a 404 for a symbol is an answer
    EXPECT_EQ(result.delayedQuotes, PartState::Failed);
    EXPECT_EQ(result.problems, QStringList{"Delayed quotes from delayed.test: not a quote answer (HTML page); next try at 7:31\u202FPM"});
}

TEST_F(LiveQuoteSourceTest, FiftyOneSymbolsTakeTwoQuoteRequests)
{
    serveSession();
    QStringList symbols; // as typed; the service answers in capitals
    for (int i = 0; i < 51; ++i)
        symbols.append(QStringLiteral("s%1").arg(i));
    const QStringList first = symbols.mid(0, 50);
    loader.serve(quoteUrl(first.join(',')), quoteBody({"S0", "S49"}));
    loader.serve(quoteUrl("s50"), quoteBody({"S50"}));
    const LiveRefreshResult result = refresh({symbols, {}, false, false, false});
    EXPECT_EQ(loader.requests().filter("/v7/"), (QStringList{quoteUrl(first.join(',')), quoteUrl("s50")}));
    for (const char *symbol : {"s0", "s49", "s50"})
        EXPECT_EQ(result.quotes[symbol].quote->regularMarketPrice, 151.5) << symbol;
    EXPECT_FALSE(result.quotes.contains("s1"));
}

TEST_F(LiveQuoteSourceTest, ACancelledOrReplacedRefreshNeverCompletes)
{
    loader.serve(chartUrl("ACME"), chartBody(150));
    loader.holdReplies(true);
    int firstCalls = 0, secondCalls = 0;
    source.refresh(kAcmeAlone, [&](LiveRefreshResult) { ++firstCalls; });
    source.refresh(kAcmeAlone, [&](LiveRefreshResult) { ++secondCalls; });
    EXPECT_EQ(loader.heldFetches(), 1u); // the replaced refresh's fetch was cancelled
    loader.holdReplies(false);
    loader.releaseReplies();
    EXPECT_EQ(std::pair(firstCalls, secondCalls), std::pair(0, 1));
    loader.holdReplies(true);
    source.refresh(kAcmeAlone, [&](LiveRefreshResult) { ++secondCalls; });
    source.cancel();
    EXPECT_EQ(loader.heldFetches(), 0u);
    EXPECT_FALSE(source.isBusy());
    EXPECT_EQ(secondCalls, 1);
}

// Hostile or odd settings: a wrong type or blank text keeps the default; a symbol or crumb cannot
// break out of its place in the address.
TEST(LiveServiceSettings, OddValuesKeepTheDefaultsAndAddressesHoldTheirParts)
{
    MemorySettingsStore odd{{{"LiveQuotesURL", QStringLiteral("http://127.0.0.1:8123//")}, {"LiveFallbackURL", 7},
                             {"LiveUserAgent", QStringLiteral("  ")}, {"StockDataUpdateRate", QStringLiteral("0")}}};
    const LiveServiceSettings local = LiveServiceSettings::read(odd);
    EXPECT_EQ(local.frontPageUrl(), u"http://127.0.0.1:8123/");
    EXPECT_EQ(std::tuple(local.fallbackUrl, local.userAgent, local.updateInterval),
              std::tuple(QStringLiteral("https://cdn.cboe.com"), QString(kDefaultLiveUserAgent), std::chrono::minutes(60)));
    EXPECT_EQ(live_address::quote(local, {"GC=F", "A&B", "X Y"}, "a/b+c="), u"http://127.0.0.1:8123/v7/finance/quote?symbols=GC%3DF,A%26B,X%20Y&crumb=a%2Fb%2Bc%3D");
    EXPECT_TRUE(isAcceptableAddress(live_address::chart(local, "A B/../x?y#z")));
}

// The fresh parts of a refresh as the menu reads them: lines only for what has a price, market
// lines in section order, the fallback standing in for a refused chart.
TEST_F(LiveQuoteSourceTest, TheRefreshFillsTheSnapshotPartsItMadeFresh)
{
    loader.serve(chartUrl("ACME"), chartBody(150));
    loader.serve(chartUrl("%5EGSPC"), chartBody(6000));
    loader.respond(chartUrl("%5EDJI"), answer(404, "{}"));
    loader.serve(delayedUrl("_DJI"), delayedBody("_DJI", 45000.5));
    loader.serve(delayedUrl("BETA"), delayedBody("BETA", 12.5));
    const LiveRefreshRequest request{{"ACME", "BETA", "NONE"}, {}, true, false, false};
    const QuoteSnapshot snapshot = SnapshotFromLiveRefresh(request, refresh(request), {Qt::green, Qt::red});

    EXPECT_EQ(snapshot.symbols.size(), 2);
    ASSERT_TRUE(snapshot.symbol("ACME") && snapshot.symbol("BETA"));
    EXPECT_TRUE(snapshot.symbol("BETA")->lastTrade->startsWith("12.5")); // the fallback's price
    ASSERT_EQ(snapshot.indices.size(), 2u);
    EXPECT_EQ(snapshot.indices[0].name + snapshot.indices[1].name, u"DowS&P");
}
