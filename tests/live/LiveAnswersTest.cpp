// The readers of the live services' answers: what they take from the documented shapes, and
// that nothing else (refusals, pages, truncated or hostile bodies) passes for an answer.
#include "LiveFixtures.h"

#include "live/AnswerReading.h"
#include "live/LiveAnswers.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace tickwell;
using namespace tickwell::live_fixtures;

namespace {

QString times(std::initializer_list<long long> values)
{
    QStringList texts;
    for (long long value : values)
        texts << QString::number(value);
    return texts.join(u',');
}

} // namespace

// The day's change is reckoned from yesterday's close. chartPreviousClose is the close before the
// requested range and must never stand in for it; nor may today's pre-market or yesterday's
// after-hours bars.
TEST(ParseChartAnswer, PreviousCloseIsYesterdaysRegularCloseNeverChartPreviousClose)
{
    const QString twoDays = times({kThursdayLastBar - 300, kThursdayLastBar, kThursdayAfterHours, kFridayPreMarket, kRegularStart + 1800});
    const QString closes = "148.9,149.0,149.5,151.0,152.0";
    const struct { const char *name; QString meta, timestamps, closes; std::optional<double> expected; } cases[] = {
        {"meta previousClose wins", R"("previousClose":150.0,"chartPreviousClose":140.0)", twoDays, closes, 150.0},
        {"last regular bar before the session", R"("chartPreviousClose":140.0)", twoDays, closes, 149.0},
        {"a gap at the close takes the bar before", R"("chartPreviousClose":140.0)", twoDays, "148.9,null,149.5,151.0,152.0", 148.9},
        {"previousClose of the wrong type", R"("previousClose":"150.0","chartPreviousClose":140.0)", twoDays, closes, 149.0},
        {"only today's bars", R"("chartPreviousClose":140.0)", times({kFridayPreMarket, kRegularStart}), "151.0,152.0", std::nullopt},
        {"no bars at all", R"("chartPreviousClose":140.0)", "", "", std::nullopt},
    };
    const ChartAnswer unread{.previousClose = -1.0}; // an answer that is not read fails every case
    for (const auto &c : cases)
        EXPECT_EQ(ParseChartAnswer(ChartBody(c.meta, c.timestamps, c.closes)).value_or(unread).previousClose, c.expected) << c.name;
    // Without the session times there is nothing to tell yesterday's bars by.
    const auto answer = ParseChartAnswer(R"({"chart":{"result":[{"meta":{"symbol":"ACME","chartPreviousClose":140.0},)"
                                         R"("timestamp":[1796331300,1796394600],"indicators":{"quote":[{"close":[149.0,152.0]}]}}]}})");
    EXPECT_EQ(answer.value_or(unread).previousClose, std::nullopt);
}

TEST(ParseChartAnswer, ReadsMetaAndPairsBarsDefensively)
{
    const auto answer = ParseChartAnswer(ChartBody(
        R"("regularMarketPrice":152.5,"regularMarketDayHigh":153,"regularMarketDayLow":148.25,)"
        R"("fiftyTwoWeekHigh":{"raw":180.5,"fmt":"180.50"},"fiftyTwoWeekLow":true,"shortName":"  Acme\n\tCorp. ","longName":null)",
        // Unequal arrays, a time that goes backwards, a negative time, a string close and a null.
        times({kRegularStart, kRegularStart + 300, kRegularStart + 200, -5, kRegularStart + 600, kRegularStart + 900,
               kRegularStart + 1200}),
        R"(150.0,"151",150.5,150.7,null,151.5)"));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->shortName, u"Acme Corp.");
    EXPECT_EQ(answer->longName, std::nullopt);
    EXPECT_EQ(answer->dayLow, 148.25);
    EXPECT_EQ(answer->fiftyTwoWeekHigh, 180.5);
    EXPECT_EQ(answer->fiftyTwoWeekLow, std::nullopt);
    // Six closes pair with the first six times; two times are dropped.
    std::vector<std::pair<long long, std::optional<double>>> bars;
    for (const ChartBar &bar : answer->bars)
        bars.emplace_back(bar.time, bar.close);
    EXPECT_EQ(bars, (decltype(bars){{kRegularStart, 150.0}, {kRegularStart + 300, std::nullopt}, {kRegularStart + 600, std::nullopt}, {kRegularStart + 900, 151.5}}));
}

TEST(ParseChartAnswer, NumbersAreFiniteAndOfMarketSize)
{
    const struct { const char *price; std::optional<double> expected; } cases[] = {
        {"1e999", std::nullopt}, {"-1e999", std::nullopt}, {"1e300", std::nullopt}, {"NaN", std::nullopt},
        {"\"Infinity\"", std::nullopt}, {"[1]", std::nullopt}, {"{\"raw\":\"1\"}", std::nullopt},
        {"-37.63", -37.63}, {"0", 0.0}, {"123456789012", 123456789012.0},
    };
    for (const auto &c : cases) {
        // A literal JSON does not know may make the whole body unreadable; never a number that is not finite.
        const auto answer = ParseChartAnswer(QByteArray(R"({"chart":{"result":[{"meta":{"regularMarketPrice":)") + c.price + "}}]}}");
        EXPECT_EQ(answer ? answer->regularMarketPrice : std::nullopt, c.expected) << c.price;
    }
}

TEST(ParseQuoteAnswer, ReadsEntriesInOrderSkipsThoseWithoutSymbolAndCapsTheirNumber)
{
    const auto quotes = ParseQuoteAnswer(R"({"quoteResponse":{"result":[
 {"symbol":"ACME","regularMarketPrice":150.25,"marketState":"POST","trailingAnnualDividendYield":0.00409887},
 {"symbol":"BETA","regularMarketPrice":{"raw":12.5,"fmt":"12.50"},"regularMarketChange":"-0.5","marketState":7},
 {"shortName":"No symbol","regularMarketPrice":1}, "not an object", {"symbol":"","regularMarketPrice":2}],"error":null}})");
    ASSERT_EQ(quotes.value_or(std::vector<QuoteAnswer>{}).size(), 2u);
    EXPECT_EQ((*quotes)[0].marketState, u"POST");
    EXPECT_EQ((*quotes)[1].regularMarketPrice, 12.5);          // the formatted form gives its raw number
    EXPECT_EQ((*quotes)[1].regularMarketChange, std::nullopt); // a text is not a number
    EXPECT_EQ((*quotes)[1].marketState, std::nullopt);

    EXPECT_EQ(ParseQuoteAnswer(R"({"quoteResponse":{"result":[],"error":null}})").value_or(std::vector<QuoteAnswer>(1)).size(), 0u); // no quote is an answer
    QByteArray many = R"({"quoteResponse":{"result":[)";
    for (int i = 0; i < 5000; ++i)
        many += (i ? "," : "") + QByteArray(R"({"symbol":"S)") + QByteArray::number(i) + R"(","regularMarketPrice":1})";
    EXPECT_EQ(ParseQuoteAnswer(many + "]}}").value_or(std::vector<QuoteAnswer>{}).size(), 200u);
}

TEST(ParseHeadlineFeed, ReadsItemsWithAbsoluteLinksUpToFifty)
{
    const auto headlines = ParseHeadlineFeed(R"(<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0" xmlns:atom="http://www.w3.org/2005/Atom"><channel><title>ACME News</title><atom:link href="https://f.example.com/rss" rel="self"/>
  <item><title>Acme beats estimates &amp; raises
       outlook</title><link>https://news.example.com/acme-beats.html</link><pubDate>Fri, 04 Dec 2026 21:05:00 +0000</pubDate>
    <source url="https://www.reuters.com">Reuters</source></item>
  <item><title><![CDATA[Acme <b>opens</b> a plant]]></title><link> http://news.example.com/plant </link></item>
  <item><title>Relative link</title><link>/news/relative.html</link></item><item><title>Script link</title><link>javascript:alert(1)</link></item>
  <item><title>No link</title></item><item><link>https://news.example.com/untitled</link><title/></item></channel></rss>)");
    ASSERT_TRUE(headlines);
    ASSERT_EQ(headlines->size(), 3u);
    EXPECT_EQ((*headlines)[0].title, u"Acme beats estimates & raises outlook");
    EXPECT_EQ((*headlines)[0].link, u"https://news.example.com/acme-beats.html");
    EXPECT_EQ((*headlines)[0].published, u"Fri, 04 Dec 2026 21:05:00 +0000");
    EXPECT_EQ((*headlines)[0].source, u"Reuters");
    EXPECT_EQ((*headlines)[1].title, u"Acme <b>opens</b> a plant"); // CDATA is text, not markup
    EXPECT_EQ((*headlines)[1].link, u"http://news.example.com/plant");
    EXPECT_EQ((*headlines)[2].title, QString());

    QByteArray many = "<rss><channel>";
    for (int i = 0; i < 500; ++i)
        many += "<item><title>t</title><link>https://example.com/" + QByteArray::number(i) + "</link></item>";
    EXPECT_EQ(ParseHeadlineFeed(many + "</channel></rss>").value_or(std::vector<FeedHeadline>{}).size(), 50u);

    const auto laughs = ParseHeadlineFeed(R"(<?xml version="1.0"?><!DOCTYPE rss [<!ENTITY a "aaaaaaaaaaaaaaaaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">
<!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;"><!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;"><!ENTITY e "&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;">]>
<rss><channel><item><title>&e;&e;&e;&e;&e;</title><link>https://example.com/x</link></item></channel></rss>)");
    // Refused or expanded within bounds, and then cut to a menu title's length.
    for (const FeedHeadline &headline : laughs.value_or(std::vector<FeedHeadline>{}))
        EXPECT_LE(headline.title.size(), 200);
}

// What the services send when they refuse, and what no service sends: no reader takes any of it,
// while the good bodies beside them are taken.
TEST(LiveAnswers, NoReaderTakesARefusalOrAHostileBody)
{
    const auto chart = [](const QByteArray &body) { return ParseChartAnswer(body).has_value(); };
    const auto quote = [](const QByteArray &body) { return ParseQuoteAnswer(body).has_value(); };
    const auto delayed = [](const QByteArray &body) { return ParseDelayedQuoteAnswer(body).has_value(); };
    const auto crumb = [](const QByteArray &body) { return ParseCrumb(body).has_value(); };
    const auto headlines = [](const QByteArray &body) { return ParseHeadlineFeed(body).has_value(); };

    // The largest body read is 4 MiB.
    QByteArray atCap = ChartBody(R"("regularMarketPrice":1)", "", "");
    atCap.append(QByteArray(kLargestAnswerBody - atCap.size(), ' '));
    EXPECT_TRUE(chart(atCap));
    atCap.append(' ');
    for (const QByteArray &body : {QByteArray(), QByteArray("\n"), kTooManyRequests, kChallengePage, kAccessDenied, kInvalidCrumb,
                                   QByteArray(200000, '['), atCap}) {
        SCOPED_TRACE(body.left(40).toStdString());
        for (const auto &reader : {+chart, +quote, +delayed, +crumb, +headlines})
            EXPECT_FALSE(reader(body));
    }

    QByteArray unended = "<rss><channel>";
    for (int i = 0; i < 60; ++i)
        unended += "<item><title>t</title><link>https://example.com/" + QByteArray::number(i) + "</link></item>";
    const QByteArray delayedAnswer = R"({"data":{"symbol":"ACME","current_price":150.25,"last_trade_time":"2026-12-04T16:00:00"}})";
    const struct { bool (*reader)(const QByteArray &); QByteArray body; } cases[] = {
        {chart, R"({"chart":{"result":null,"error":{"code":"Not Found","description":"No data found"}}})"},
        {chart, R"({"chart":{"result":[{"meta":{"symbol":"X"}}],"error":{"code":"x"}}})"}, // an error beside a result
        {chart, R"({"chart":{"result":[],"error":null}})"}, {chart, R"({"chart":{"result":[{"timestamp":[1]}],"error":null}})"},
        {chart, R"([{"chart":{}}])"},
        {chart, ChartBody(R"("regularMarketPrice":1)", "1,2", "1,2").chopped(3)},
        {quote, R"({"quoteResponse":{"result":null}})"}, {quote, R"({"quoteResponse":[]})"},
        {quote, R"({"quoteResponse":{"result":[{"symbol":"ACME","regularMarketPrice":1}],"error":nu)"},
        // A dropped symbol: every value zero, stamped 2000-01-01; the stamp alone says so.
        {delayed, R"({"data":{"symbol":"GONE","current_price":0,"prev_day_close":0,"last_trade_time":"2000-01-01T00:00:00"}})"},
        {delayed, R"({"data":{"symbol":"GONE","current_price":3.5,"last_trade_time":"2000-01-01T00:00:00"}})"},
        {delayed, R"({"data":{"symbol":"ACME","current_price":0,"last_trade_time":"2026-12-04T16:00:00"}})"},
        {delayed, R"({"data":{"symbol":"ACME","current_price":"150.25"}})"}, {delayed, R"({"data":[]})"}, {delayed, delayedAnswer.chopped(3)},
        {crumb, "Too-Many-Requests-but-why-not?"}, {crumb, "abc def"}, {crumb, QByteArray("abc\0def", 7)},
        {crumb, QByteArray(65, 'a')}, {crumb, "caf\xc3\xa9"},
        {headlines, R"({"items":[]})"},
        {headlines, unended}, // a truncated feed gives nothing, not its first items
        {headlines, "<rss><channel><item><title>a</title></item></channel></rss><rss/>"}, {headlines, "<rss version=\"2.0\"></rss>"},
        {headlines, "<feed xmlns=\"http://www.w3.org/2005/Atom\"><entry/></feed>"},
    };
    EXPECT_TRUE(delayed(delayedAnswer));
    EXPECT_EQ(ParseCrumb("  Ab3dE.f/g1h\r\n"), u"Ab3dE.f/g1h"); // "/" is part of the crumb (percent-encoded later)
    EXPECT_EQ(ParseCrumb(QByteArray(64, 'a')), QString(64, u'a'));
    for (const auto &c : cases)
        EXPECT_FALSE(c.reader(c.body)) << c.body.left(70).toStdString();
}
