// Live quotes through the user's door: tickwell-menu with no classic host key set reads today's
// quote services, here a loopback server replaying their answers.
#include "e2e/MenuToolFixture.h"
#include "support/LocalHttpServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace tickwell::testing {
namespace {

// A day's chart of ACME as the chart service writes it: the last price 244.60, yesterday's close
// 241.53, and a chartPreviousClose (the close before the range) that is NOT yesterday's close.
const QByteArray kChart = R"({"chart":{"result":[{"meta":{"currency":"USD","symbol":"ACME","exchangeName":"NMS",
"exchangeTimezoneName":"America/New_York","regularMarketPrice":244.6,"regularMarketTime":1739566800,
"previousClose":241.53,"chartPreviousClose":230.1,"regularMarketDayHigh":245.41,"regularMarketDayLow":241.0,
"regularMarketVolume":40896227,"fiftyTwoWeekHigh":260.1,"fiftyTwoWeekLow":164.08,"longName":"Acme Corporation",
"shortName":"Acme Corp.","currentTradingPeriod":{"pre":{"start":1739523600,"end":1739543400},
"regular":{"start":1739543400,"end":1739566800},"post":{"start":1739566800,"end":1739581200}}},
"timestamp":[1739543400,1739543700,1739544000,1739566500],
"indicators":{"quote":[{"close":[242.1,null,243.5,244.6]}]}}],"error":null}})";

const QString kChartTarget = u"/v8/finance/chart/ACME?range=1d&interval=5m&includePrePost=true"_s;

class LiveMenu : public MenuToolFixture {
protected:
    // Settings without any classic host key: every part from the live services at `server`.
    void writeLiveSettings()
    {
        QString entries = u"<key>StockSymbols</key><array><string>ACME</string></array>\n"
                          "<key>CompanyShares</key><dict><key>ACME</key><integer>10</integer></dict>\n"_s;
        for (const char *key : {"LiveQuotesURL", "LiveFallbackURL", "LiveNewsURL"})
            entries += u"<key>%1</key><string>%2</string>\n"_s.arg(QLatin1String(key), server.url(QString()));
        QFile file(home.filePath(u"config/com.brantlow.Tickwell.plist"_s));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                   "<key>LogToConsole</key><false/>\n%1</dict>\n</plist>\n"_s.arg(entries).toUtf8());
    }

    QJsonArray menu()
    {
        const auto output = runMenu({u"--format"_s, u"json"_s});
        return output ? QJsonDocument::fromJson(*output).object().value(u"menu"_s).toArray() : QJsonArray();
    }

    static QStringList titles(const QJsonArray &items)
    {
        QStringList result;
        for (const auto &item : items)
            result.append(item.toObject().value(u"title"_s).toString());
        return result;
    }

    test::LocalHttpServer server;
};

TEST_F(LiveMenu, TheChartAnswerMakesTheQuoteLineWithChangeAgainstYesterdaysClose)
{
    server.serve(kChartTarget, kChart, "application/json");
    writeLiveSettings();
    const QJsonArray items = menu();
    ASSERT_FALSE(items.isEmpty());
    const auto line = std::find_if(items.begin(), items.end(), [](const QJsonValue &item) {
        return item.toObject().value(u"action"_s).toString() == u"selItemStockSymbol:";
    });
    ASSERT_NE(line, items.end()) << titles(items).join(u'\n').toStdString();
    EXPECT_EQ(line->toObject().value(u"title"_s).toString(), u"Acme Corporation [ACME] : 244.60 (10 shares: $2,446.00)"_s);
    QString styled;
    for (const auto &run : line->toObject().value(u"styledTitle"_s).toArray())
        styled += run.toObject().value(u"text"_s).toString();
    // 244.60 - 241.53, not 244.60 - 230.10 (the close before the range).
    EXPECT_TRUE(styled.contains(u"(3.07, 1.271%)"_s)) << styled.toStdString();
    EXPECT_EQ(line->toObject().value(u"image"_s).toString(), u"menuitem_up_g.tif"_s);
    // The chart is drawn from the day's bars, at the classic image's width.
    const QJsonArray submenu = line->toObject().value(u"submenu"_s).toArray();
    EXPECT_TRUE(std::any_of(submenu.begin(), submenu.end(), [](const QJsonValue &item) {
        return item.toObject().value(u"image"_s).toString().startsWith(u"live-chart:"_s);
    })) << titles(submenu).join(u'\n').toStdString();
    EXPECT_EQ(server.lastRequestHeader(kChartTarget, "User-Agent").isEmpty(), false);
}

TEST_F(LiveMenu, ARefusalIsNamedUnderLastUpdate)
{
    test::LocalHttpServer::Response refusal;
    refusal.status = 429;
    refusal.contentType = "text/plain";
    refusal.body = "Too Many Requests\r\n";
    server.setResponse(kChartTarget, refusal);
    writeLiveSettings();
    const QStringList shown = titles(menu());
    const auto lastUpdate = std::find_if(shown.begin(), shown.end(), [](const QString &title) { return title.startsWith(u"Last Update"_s); });
    ASSERT_NE(lastUpdate, shown.end()) << shown.join(u'\n').toStdString();
    ASSERT_NE(lastUpdate + 1, shown.end());
    const QString problem = *(lastUpdate + 1);
    EXPECT_TRUE(problem.startsWith(u"Quotes from %1: 429 Too Many Requests; next try at "_s.arg(server.hostAndPort())))
        << shown.join(u'\n').toStdString();
    EXPECT_FALSE(shown.join(u'\n').contains(u"[ACME]"_s));
}

} // namespace
} // namespace tickwell::testing
