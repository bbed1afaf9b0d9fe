// tickwell-feed's routes of today's quote services, asked over HTTP as a client would: each
// answers its documented shape, the session handshake holds, and the scripted refusals come as
// scripted while the classic pages go on.
#include "support/FeedProcess.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <functional>
#include <optional>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

struct Answer {
    int status = 0;
    std::string body;
    std::string contentType;
    std::string setCookie;
};

// The answer to a GET, or nothing when none came within the time-out.
std::optional<Answer> get(const FeedProcess &feed, const std::string &target, const std::string &cookie = {}, time_t timeout = 10)
{
    httplib::Client client(feed.url({}).toStdString());
    client.set_url_encode(false); // targets go out exactly as written
    client.set_read_timeout(timeout, 0);
    httplib::Headers headers;
    if (!cookie.empty())
        headers.emplace("Cookie", cookie);
    const httplib::Result result = client.Get(target, headers);
    if (!result)
        return std::nullopt;
    return Answer{result->status, result->body, result->get_header_value("Content-Type"), result->get_header_value("Set-Cookie")};
}

QJsonObject json(const Answer &answer)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(answer.body)).object();
}

QJsonObject chartResult(const Answer &answer)
{
    return json(answer)["chart"_L1]["result"_L1][0].toObject();
}

std::string percentEncoded(const std::string &text)
{
    return QUrl::toPercentEncoding(QString::fromStdString(text)).toStdString();
}

TEST(FeedLiveRoutes, EachRouteAnswersItsDocumentedShape)
{
    const FeedProcess feed({u"--seed"_s, u"11"_s});
    ASSERT_FALSE(feed.host().isEmpty());
    const struct {
        const char *target;
        int status;
        std::function<void(const Answer &)> check;
    } cases[] = {
        {"/v8/finance/chart/ACME?range=5d&interval=5m&includePrePost=true", 200,
         [](const Answer &answer) {
             const QJsonObject result = chartResult(answer);
             const QJsonObject meta = result["meta"_L1].toObject();
             EXPECT_EQ(meta["symbol"_L1].toString(), u"ACME"_s);
             EXPECT_EQ(meta["exchangeTimezoneName"_L1].toString(), u"America/New_York"_s);
             EXPECT_GT(meta["regularMarketPrice"_L1].toDouble(), 0);
             EXPECT_FALSE(meta.contains("previousClose"_L1)) << "given for the one-day range only";
             const QJsonObject regular = meta["currentTradingPeriod"_L1]["regular"_L1].toObject();
             EXPECT_LT(regular["start"_L1].toInteger(), regular["end"_L1].toInteger());
             const QJsonArray times = result["timestamp"_L1].toArray();
             const QJsonArray closes = result["indicators"_L1]["quote"_L1][0]["close"_L1].toArray();
             ASSERT_EQ(times.size(), closes.size());
             ASSERT_GT(times.size(), 4 * 16 * 12) << "four whole days of 5-minute bars and more";
             for (qsizetype i = 1; i < times.size(); ++i)
                 ASSERT_LT(times[i - 1].toInteger(), times[i].toInteger());
             EXPECT_TRUE(closes.contains(QJsonValue::Null)) << "some bars are gaps";
             EXPECT_FALSE(closes.last().isNull()) << "never the last";
         }},
        {"/v8/finance/chart/ACME?range=1d&interval=5m&includePrePost=true", 200,
         [](const Answer &answer) {
             const QJsonObject meta = chartResult(answer)["meta"_L1].toObject();
             ASSERT_TRUE(meta.contains("previousClose"_L1));
             EXPECT_NE(meta["chartPreviousClose"_L1].toDouble(), meta["previousClose"_L1].toDouble());
             EXPECT_LE(meta["regularMarketDayLow"_L1].toDouble(), meta["regularMarketDayHigh"_L1].toDouble());
         }},
        {"/v8/finance/chart/ACME?range=1y&interval=1d", 200,
         [](const Answer &answer) { EXPECT_GT(chartResult(answer)["timestamp"_L1].toArray().size(), 250); }},
        {"/v8/finance/chart/%5EDJI?range=1d&interval=5m", 200,
         [](const Answer &answer) {
             EXPECT_EQ(chartResult(answer)["meta"_L1]["symbol"_L1].toString(), u"^DJI"_s);
             EXPECT_EQ(chartResult(answer)["meta"_L1]["longName"_L1].toString(), u"Dow Jones Industrial Average"_s);
         }},
        {"/v8/finance/chart/ZZTOP?range=1d&interval=5m", 404,
         [](const Answer &answer) {
             EXPECT_TRUE(json(answer)["chart"_L1]["result"_L1].isNull());
             EXPECT_EQ(json(answer)["chart"_L1]["error"_L1]["description"_L1].toString(), u"No data found, symbol may be delisted"_s);
         }},
        {"/v8/finance/chart/ACME?range=5y&interval=5m", 422,
         [](const Answer &answer) { EXPECT_EQ(json(answer)["chart"_L1]["error"_L1]["code"_L1].toString(), u"Unprocessable Entity"_s); }},
        {"/api/global/delayed_quotes/quotes/_SPX.json", 200,
         [](const Answer &answer) {
             const QJsonObject data = json(answer)["data"_L1].toObject();
             EXPECT_EQ(data["symbol"_L1].toString(), u"_SPX"_s);
             const double close = data["prev_day_close"_L1].toDouble();
             EXPECT_NEAR(data["price_change_percent"_L1].toDouble(), (data["current_price"_L1].toDouble() - close) / close * 100, 1e-3);
             EXPECT_TRUE(json(answer)["timestamp"_L1].isString());
         }},
        {"/api/global/delayed_quotes/quotes/ZDROP.json", 200,
         [](const Answer &answer) {
             const QJsonObject data = json(answer)["data"_L1].toObject();
             EXPECT_EQ(data["current_price"_L1].toDouble(-1), 0);
             EXPECT_EQ(data["prev_day_close"_L1].toDouble(-1), 0);
             EXPECT_EQ(data["last_trade_time"_L1].toString(), u"2000-01-01T00:00:00"_s);
         }},
        {"/api/global/delayed_quotes/quotes/ZZTOP.json", 403,
         [](const Answer &answer) {
             EXPECT_EQ(answer.body.rfind("<?xml", 0), 0u);
             EXPECT_NE(answer.body.find("<Code>AccessDenied</Code>"), std::string::npos);
         }},
        {"/api/global/delayed_quotes/quotes/%5EGSPC.json", 403, [](const Answer &) {}},
        {"/rss/2.0/headline?s=ACME&region=US&lang=en-US", 200,
         [&feed](const Answer &answer) {
             EXPECT_NE(answer.body.find("<rss version=\"2.0\">"), std::string::npos);
             EXPECT_NE(answer.body.find("beats estimates &amp; raises outlook</title>"), std::string::npos);
             EXPECT_NE(answer.body.find("<pubDate>"), std::string::npos);
             const std::string link = "<link>" + feed.url(u"/news/acme-0.html"_s).toStdString() + "</link>";
             EXPECT_NE(answer.body.find(link), std::string::npos) << answer.body;
             EXPECT_EQ(get(feed, "/news/acme-0.html").value_or(Answer{}).status, 200) << "the item links to an article page";
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.target);
        const std::optional<Answer> answer = get(feed, c.target);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, c.status);
        c.check(*answer);
    }
}

// The n-th quote of a symbol shows the n-th price of its path, whichever live route asks.
TEST(FeedLiveRoutes, PricePathStepsThroughEveryLiveRoute)
{
    const FeedProcess feed({u"--price-path"_s, u"ACME=50,60.5,70"_s});
    ASSERT_FALSE(feed.host().isEmpty());
    const std::string cookie = get(feed, "/").value_or(Answer{}).setCookie;
    const std::string session = cookie.substr(0, cookie.find(';'));
    const std::string crumb = percentEncoded(get(feed, "/v1/test/getcrumb", session).value_or(Answer{}).body);

    const auto chartPrice = [&] {
        return chartResult(get(feed, "/v8/finance/chart/ACME?range=1d&interval=5m").value_or(Answer{}))["meta"_L1]["regularMarketPrice"_L1].toDouble();
    };
    EXPECT_EQ(chartPrice(), 50);
    const QJsonObject quote = json(get(feed, "/v7/finance/quote?symbols=ACME&crumb=" + crumb, session).value_or(Answer{}))
                                  ["quoteResponse"_L1]["result"_L1][0].toObject();
    EXPECT_EQ(quote["regularMarketPrice"_L1].toDouble(), 60.5);
    EXPECT_EQ(json(get(feed, "/api/global/delayed_quotes/quotes/ACME.json").value_or(Answer{}))["data"_L1]["current_price"_L1].toDouble(), 70);
    EXPECT_EQ(chartPrice(), 70) << "the last price after the path ends";
}

TEST(FeedLiveRoutes, QuotesOnlyWithTheFrontPagesCookieAndItsCrumb)
{
    const FeedProcess feed;
    ASSERT_FALSE(feed.host().isEmpty());
    EXPECT_EQ(get(feed, "/v1/test/getcrumb").value_or(Answer{}).status, 401) << "no crumb without the cookie";

    const std::string cookie = get(feed, "/").value_or(Answer{}).setCookie;
    ASSERT_NE(cookie.find("; Path=/"), std::string::npos) << cookie;
    EXPECT_EQ(cookie.find("Secure"), std::string::npos) << "the feed is plain HTTP";
    const std::string session = cookie.substr(0, cookie.find(';'));
    const Answer crumbAnswer = get(feed, "/v1/test/getcrumb", "other=1; " + session).value_or(Answer{});
    ASSERT_EQ(crumbAnswer.status, 200);
    const std::string crumb = crumbAnswer.body;
    EXPECT_NE(crumb.find('/'), std::string::npos);
    EXPECT_LT(crumb.size(), 20u);

    std::string fifty, fiftyOne;
    for (int i = 0; i < 51; ++i)
        (i < 50 ? fifty : fiftyOne) += "S" + std::to_string(i) + ",";
    fiftyOne = fifty + fiftyOne;
    const struct {
        const char *name;
        std::string target;
        std::string cookie;
        int status;
        const char *error; // the JSON error description, or the plain text body
    } cases[] = {
        {"encoded crumb", "/v7/finance/quote?symbols=ACME,ZZTOP,%5EGSPC,GC=F&crumb=" + percentEncoded(crumb), session, 200, ""},
        {"crumb not encoded", "/v7/finance/quote?symbols=ACME&crumb=" + crumb, session, 401, "Invalid Crumb"},
        {"wrong crumb", "/v7/finance/quote?symbols=ACME&crumb=abc%2Fdef", session, 401, "Invalid Crumb"},
        {"no cookie", "/v7/finance/quote?symbols=ACME&crumb=" + percentEncoded(crumb), "", 401, "Invalid Cookie"},
        {"fifty symbols", "/v7/finance/quote?symbols=" + fifty + "&crumb=" + percentEncoded(crumb), session, 200, ""},
        {"fifty-one symbols", "/v7/finance/quote?symbols=" + fiftyOne + "&crumb=" + percentEncoded(crumb), session, 429, "Too Many Requests"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<Answer> answer = get(feed, c.target, c.cookie);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, c.status);
        if (c.status == 429) {
            EXPECT_EQ(answer->body, c.error);
        } else if (c.status != 200) {
            EXPECT_EQ(json(*answer)["finance"_L1]["error"_L1]["description"_L1].toString(), QLatin1String(c.error));
        }
    }

    const QJsonArray result = json(*get(feed, cases[0].target, session))["quoteResponse"_L1]["result"_L1].toArray();
    ASSERT_EQ(result.size(), 3) << "the unknown symbol is left out";
    EXPECT_EQ(result[1]["symbol"_L1].toString(), u"^GSPC"_s);
    EXPECT_EQ(result[2]["symbol"_L1].toString(), u"GC=F"_s);
    const QJsonObject acme = result[0].toObject();
    const double previous = acme["regularMarketPreviousClose"_L1].toDouble();
    EXPECT_NEAR(acme["regularMarketChangePercent"_L1].toDouble(), (acme["regularMarketPrice"_L1].toDouble() - previous) / previous * 100, 1e-9)
        << "in percent";
    EXPECT_NEAR(acme["trailingAnnualDividendYield"_L1].toDouble(), acme["trailingAnnualDividendRate"_L1].toDouble() / previous, 1e-9)
        << "a fraction";
    EXPECT_TRUE(QStringList({u"PRE"_s, u"REGULAR"_s, u"POST"_s, u"CLOSED"_s}).contains(acme["marketState"_L1].toString()));
    for (const char *field : {"bid", "ask", "marketCap", "trailingPE", "epsTrailingTwelveMonths", "averageDailyVolume3Month", "targetMeanPrice"})
        EXPECT_GT(acme[QLatin1String(field)].toDouble(), 0) << field;
}

// Each refusal after one good answer, on a live route; the classic quote page goes on.
TEST(FeedLiveRoutes, ScriptedRefusalsComeAfterTheGoodAnswers)
{
    const char *chart = "/v8/finance/chart/ACME?range=1d&interval=5m";
    const struct {
        const char *modes;
        const char *target;
        int status; // 0: no answer at all
        const char *bodyStart;
    } cases[] = {
        {"401", chart, 401, R"({"finance":{"error":{"code":"Unauthorized","description":"Invalid Crumb"})"},
        {"429", chart, 429, "Too Many Requests"},
        {"429", "/v1/test/getcrumb", 200, "Too Many Requests"},
        {"html", "/rss/2.0/headline?s=ACME", 200, "<!DOCTYPE html>"},
        {"hang", "/api/global/delayed_quotes/quotes/ACME.json", 0, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.modes) + " " + c.target);
        const FeedProcess feed({u"--live-fail"_s, QString::fromLatin1(c.modes), u"--live-fail-after"_s, u"1"_s});
        ASSERT_FALSE(feed.host().isEmpty());
        EXPECT_EQ(get(feed, chart).value_or(Answer{}).status, 200) << "the first answer goes well";
        const std::optional<Answer> answer = get(feed, c.target, {}, 1);
        if (c.status == 0) {
            EXPECT_FALSE(answer) << "held until the client gives up";
        } else {
            ASSERT_TRUE(answer);
            EXPECT_EQ(answer->status, c.status);
            EXPECT_EQ(answer->body.rfind(c.bodyStart, 0), 0u) << answer->body;
        }
        EXPECT_EQ(get(feed, "/q?s=ACME").value_or(Answer{}).status, 200);
    }
}

TEST(FeedLiveRoutes, SeveralRefusalsTakeTurns)
{
    const FeedProcess feed({u"--live-fail"_s, u"401,429"_s, u"--live-fail"_s, u"html"_s});
    ASSERT_FALSE(feed.host().isEmpty());
    std::vector<int> statuses;
    for (int i = 0; i < 4; ++i)
        statuses.push_back(get(feed, "/v8/finance/chart/ACME").value_or(Answer{}).status);
    EXPECT_EQ(statuses, (std::vector<int>{401, 429, 200, 401}));
}

} // namespace
} // namespace tickwell::testing
