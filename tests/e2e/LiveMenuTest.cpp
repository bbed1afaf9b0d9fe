// Live quotes through the user's door: tickwell-menu with no classic host key set reads today's
// quote services, here a loopback server replaying their answers or tickwell-feed serving them.
#include "e2e/MenuToolFixture.h"
#include "support/LocalHttpServer.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace tickwell::testing {
namespace {

class LiveMenu : public MenuToolFixture {
protected:
    // ACME alone unless told otherwise, no market sections, and headlines only when asked.
    void writeFeedSettings(const QString &url, bool headlines, const QString &symbols = u"<string>ACME</string>"_s)
    {
        writeLiveSettings(url, u"<key>StockSymbols</key><array>%1</array>\n<key>ShowMarketIndicesInMenu</key><false/>\n"
                               "<key>ShowOtherMarketIndicesInMenu</key><false/>\n<key>ShowPreciousMetalsInMenu</key><false/>\n"
                               "<key>IncludeHeadlinesInSubmenu</key><%2/>\n"_s.arg(symbols, headlines ? u"true"_s : u"false"_s));
    }
};

// A day's chart as the chart service writes it: the last price 244.60, yesterday's close 241.53,
// and a chartPreviousClose (the close before the range) that is NOT yesterday's close.
TEST_F(LiveMenu, TheChartAnswerMakesTheQuoteLineWithChangeAgainstYesterdaysClose)
{
    test::LocalHttpServer server;
    const QString target = u"/v8/finance/chart/ACME?range=1d&interval=5m&includePrePost=true"_s;
    server.serve(target, R"({"chart":{"result":[{"meta":{"currency":"USD","symbol":"ACME","exchangeName":"NMS",
"exchangeTimezoneName":"America/New_York","regularMarketPrice":244.6,"regularMarketTime":1739566800,
"previousClose":241.53,"chartPreviousClose":230.1,"longName":"Acme Corporation","currentTradingPeriod":
{"pre":{"start":1739523600,"end":1739543400},"regular":{"start":1739543400,"end":1739566800},
"post":{"start":1739566800,"end":1739581200}}},"timestamp":[1739543400,1739543700,1739544000,1739566500],
"indicators":{"quote":[{"close":[242.1,null,243.5,244.6]}]}}],"error":null}})", "application/json");
    writeLiveSettings(server.url(QString()), u"<key>StockSymbols</key><array><string>ACME</string></array>\n"
                                             "<key>CompanyShares</key><dict><key>ACME</key><integer>10</integer></dict>\n"_s);
    const QString menu = QString::fromUtf8(runMenu({}).value_or(QByteArray()));
    // 244.60 - 241.53, not 244.60 - 230.10; the chart drawn from the day's bars, with the gap.
    EXPECT_TRUE(menu.contains(u"\nAcme Corporation [ACME] (3.07, 1.271%) : 244.60 (10 shares: $2,446.00)\n"_s)
                && menu.contains(u"\n  [image live-chart:ACME]\n"_s)) << menu.toStdString();
    EXPECT_FALSE(server.lastRequestHeader(target, "User-Agent").isEmpty());
}

// Against the feed: the quote details come only with the front page's cookie and the crumb (which
// holds a "/") percent-encoded; each range's chart is one the service takes, drawn in a window;
// an unknown symbol (404 chart, 403 fallback) is left out without a complaint.
TEST_F(LiveMenu, TheFeedsSessionBringsTheDetailsAndEachRangeIsDrawn)
{
    writeFeedSettings(feed.url(QString()), true, u"<string>ACME</string><string>ZZTOP</string>"_s);
    QStringList links, arguments;
    for (const char *range : {"1 Day", "5 Day", "3 Month", "6 Month", "1 Year", "2 Year", "5 Year", "Max"}) {
        links << QLatin1String(range) + u" Share Price Chart"_s;
        arguments << u"--select"_s << u"Acme* > "_s + links.last();
    }
    const QString output = QString::fromUtf8(runMenu(arguments).value_or(QByteArray()));
    const QStringList lines = output.split(u'\n');
    ASSERT_TRUE(output.contains(u"[ACME]"_s)) << output.toStdString();
    EXPECT_FALSE(output.contains(u"ZZTOP"_s) || output.contains(u"quotes from"_s, Qt::CaseInsensitive)) << output.toStdString();
    for (const QString &detail : {u"  Market Cap: "_s, u"  P/E (ttm): "_s, u"  Headlines for "_s})
        EXPECT_FALSE(lines.filter(QRegularExpression(u"^"_s + QRegularExpression::escape(detail))).isEmpty()) << detail.toStdString();

    const QStringList shown = lines.filter(QRegularExpression(u"^(image|alert|open): "_s));
    ASSERT_EQ(shown.size(), links.size()) << output.toStdString();
    const QRegularExpression caption(uR"( \| From ([\d,.]+) to [\d,.]+: [+-]?[\d,.]+ \([+-]?[\d,.]+%\); low [\d,.]+, high [\d,.]+$)"_s);
    QStringList from;
    for (qsizetype i = 0; i < links.size(); ++i) {
        const QString head = u"image: ACME: %1 480x240"_s.arg(links[i]);
        const auto match = caption.match(shown[i].mid(head.size()));
        EXPECT_TRUE(shown[i].startsWith(head) && match.hasMatch()) << shown[i].toStdString();
        from << match.captured(1);
    }
    // The day is measured from yesterday's close, the longer ranges from the close before them.
    const double previousClose = lines.filter(u"  Prev Close: "_s).value(0).section(u' ', 4, 4).toDouble();
    EXPECT_EQ(from[0].remove(u',').toDouble(), previousClose) << output.toStdString();
    EXPECT_NE(from[1].remove(u',').toDouble(), previousClose);
}

// The feed's scripted refusals: after no good answer, the menu names the refusal under "Last
// Update"; after one (ACME's chart), the quote line stands (a crumb refused as "Too Many Requests"
// with status 200 is no crumb, and no complaint) and the range's window says why it has no chart.
TEST_F(LiveMenu, EachScriptedRefusalIsSaidWhereItHappens)
{
    // expected: a whole line of the output; %1 is the feed's host.
    const struct { const char *mode, *after, *expected; } cases[] = {
        {"429", "0", "Quotes from %1: 429 Too Many Requests; next try at "},
        {"401", "0", "Quotes from %1: 401 Unauthorized; next try at "},
        {"html", "0", "Quotes from %1: not a quote answer (HTML page); next try at "},
        {"429", "1", "image: ACME: 1 Year Share Price Chart no image | The chart of ACME could not be had: 429 Too Many Requests"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " after " + c.after);
        const FeedProcess refusing({u"--seed"_s, u"11"_s, u"--live-fail"_s, QLatin1String(c.mode), u"--live-fail-after"_s, QLatin1String(c.after)});
        ASSERT_FALSE(refusing.host().isEmpty());
        writeFeedSettings(refusing.url(QString()), false);
        const bool window = *c.after != '0';
        const QString output = QString::fromUtf8(
            runMenu(window ? QStringList{u"--select"_s, u"Acme* > 1 Year Share Price Chart"_s} : QStringList()).value_or(QByteArray()));
        const QString expected = QString::fromLatin1(c.expected).replace(u"%1"_s, refusing.host());
        EXPECT_TRUE(output.contains(u'\n' + expected)) << output.toStdString();
        EXPECT_EQ(output.contains(u"[ACME]"_s), window);
        EXPECT_FALSE(window && output.contains(u"Quotes from"_s));
    }
}

} // namespace
} // namespace tickwell::testing
