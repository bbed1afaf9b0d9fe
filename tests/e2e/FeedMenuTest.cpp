// The real programs together: tickwell-menu pointed at tickwell-feed through the host settings,
// and the menu it prints checked for structure and formats. Prices move with every request, so
// values are matched by form, not by number.
#include "MenuToolFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

QString title(const QJsonValue &item)
{
    return item["separator"_L1].toBool() ? u"---"_s : item["title"_L1].toString();
}

QStringList titles(const QJsonArray &items)
{
    QStringList out;
    for (const auto &item : items)
        out.append(title(item));
    return out;
}

bool matches(const QString &text, const QString &pattern)
{
    return QRegularExpression(u"^(?:"_s + pattern + u")$"_s).match(text).hasMatch();
}

// A line coloured by direction: image, suffix run and colour agree.
void expectDirectionalLine(const QJsonValue &line, int suffixRun, const QString &unchangedSuffix, const QString &movedSuffix)
{
    const QJsonArray runs = line["styledTitle"_L1].toArray();
    ASSERT_GT(runs.size(), std::max(suffixRun, 0)) << title(line).toStdString();
    for (const auto &run : runs)
        EXPECT_EQ(run["pointSize"_L1].toDouble(), 14.0);
    const QString image = line["image"_L1].toString();
    if (runs.size() == 1 || (suffixRun >= 0 && runs[suffixRun]["text"_L1].toString() == unchangedSuffix)) {
        EXPECT_EQ(image, u"menuitem_spacer.tif"_s) << title(line).toStdString();
        return;
    }
    const QJsonValue suffix = runs[suffixRun >= 0 ? suffixRun : runs.size() - 1];
    EXPECT_TRUE(matches(suffix["text"_L1].toString(), movedSuffix)) << suffix["text"_L1].toString().toStdString();
    EXPECT_TRUE(matches(image, u"menuitem_(up_g|down_r)\\.tif"_s)) << image.toStdString();
    EXPECT_TRUE(matches(suffix["color"_L1].toString(), u"#[0-9a-f]{6}"_s));
}

using FeedMenu = MenuToolFixture;

TEST_F(FeedMenu, EverySectionFromTheLocalFeed)
{
    // ACME (with shares), BETA, DELTA (five letters: no logo), ZZTOP (unknown to the feed: no
    // line) and HIDDEN (not flagged). Every section on, history off.
    QString entries = u"<key>StockSymbols</key><array><string>ACME</string><string>BETA</string><string>DELTA</string>"
                      "<string>ZZTOP</string><string>HIDDEN</string></array>\n"
                      "<key>CompanyShares</key><dict><key>ACME</key><string>100</string><key>BETA</key><string></string></dict>\n"
                      "<key>ShowSettings</key><dict><key>ACME</key><integer>1</integer><key>BETA</key><integer>1</integer>"
                      "<key>DELTA</key><integer>1</integer><key>ZZTOP</key><integer>1</integer><key>HIDDEN</key><integer>0</integer></dict>\n"
                      "<key>IncludeStockHistoryInSubmenu</key><false/>\n"_s;
    for (const char *key : {"OnlyShowFlagged", "ShowPreciousMetalsInMenu", "ShowOtherMarketIndicesInMenu", "ShowMarketIndicesInMenu",
             "IncludeAfterHoursMenu", "IncludeHeadlinesInSubmenu", "IncludeiChartsInSubmenu", "IncludeInteractiveiChartsLinksInSubmenu",
             "IncludeStockDataInSubmenu", "IncludeIndicesChartsInSubmenu"})
        entries += u"<key>%1</key><true/>\n"_s.arg(QLatin1String(key));
    writeSettings(entries);
    const auto output = runMenu({u"--format"_s, u"json"_s});
    ASSERT_TRUE(output);
    const QJsonObject snapshot = QJsonDocument::fromJson(*output).object();
    EXPECT_EQ(snapshot["statusItem"_L1]["image"_L1].toString(), u"Tickwell.tif"_s);
    const QJsonArray menu = snapshot["menu"_L1].toArray();
    const QStringList top = titles(menu);
    ASSERT_EQ(top.size(), 27) << top.join(u" | "_s).toStdString();

    // Head, quote lines for ACME, BETA and DELTA only, and the fixed tail.
    const QString price = u"\\d+\\.\\d\\d"_s;
    const QString extra = u"(, "_s + price + u" \\((RT|AH)\\))?"_s;
    EXPECT_TRUE(top[0].startsWith(u"Last Update: "_s));
    EXPECT_EQ(top.mid(1, 2), (QStringList{u"Update Now"_s, u"---"_s}));
    EXPECT_TRUE(matches(top[3], u"Acme .+ \\[ACME\\] : "_s + price + extra + u" \\(100 shares: \\$[\\d,]+\\.\\d\\d\\)"_s)) << top[3].toStdString();
    EXPECT_TRUE(matches(top[4], u"Beta .+ \\[BETA\\] : "_s + price + extra)) << top[4].toStdString();
    EXPECT_TRUE(matches(top[5], u"Delta .+ \\[DELTA\\] : "_s + price + extra)) << top[5].toStdString();
    for (int i = 3; i <= 5; ++i) {
        EXPECT_EQ(menu[i]["action"_L1].toString(), u"selItemStockSymbol:"_s);
        expectDirectionalLine(menu[i], 1, u" "_s, u"\\([\\d,.]+, [\\d,.]+%\\) "_s);
    }
    EXPECT_EQ(top.mid(20), (QStringList{u"---"_s, u"Clear Histories"_s, u"Log Histories"_s, u"---"_s, u"Preferences..."_s, u"---"_s,
                               u"Quit"_s}));

    // ACME's submenu, line by line (patterns); the data lines are information only.
    const QJsonArray acme = menu[3]["submenu"_L1].toArray();
    const QStringList expected{u""_s, u"---"_s, u"Open Log"_s, u"Save Headlines..."_s, u"---"_s, u""_s, u"---"_s, // logo, chart
        u"1 Day Share Price Chart"_s, u".+"_s, u".+"_s, u".+"_s, u".+"_s, u".+"_s, u".+"_s, u"Max Share Price Chart"_s, u"---"_s,
        u"Last Trade: "_s + price, u"Trade Time: \\d{1,2}:\\d\\d[AP]M EDT"_s, u"Prev Close: "_s + price, u"Open: "_s + price,
        u"Bid: "_s + price, u"Ask: "_s + price, u"1y Target Est: "_s + price, u"Day's Range: "_s + price + u" - "_s + price,
        u"52wk Range: "_s + price + u" - "_s + price, u"Volume: [\\d,]+"_s, u"Avg Vol \\(3m\\): [\\d,]+"_s, u"Market Cap: [\\d.]+B"_s,
        u"P/E \\(ttm\\): "_s + price, u"EPS \\(ttm\\): "_s + price, u"Div & Yield: .+"_s, u"---"_s, u"Headlines for Acme .+"_s,
        // Three absolute links (the relative one is left out), each followed by its source line.
        u".+ beats estimates & raises outlook"_s, u"Reuters  \\(Fri 4:05PM\\) "_s,
        u"Analysts weigh Acme \\S.*"_s, u"AP  \\(Thu 9:12AM\\) "_s,                  // white space collapsed
        u".+- what to watch next week"_s, u"MarketWatch  \\(Thu 7:30AM\\) "_s};    // title from the article page
    const QStringList items = titles(acme);
    ASSERT_EQ(items.size(), expected.size()) << items.join(u" | "_s).toStdString();
    for (int i = 0; i < items.size(); ++i) {
        EXPECT_TRUE(matches(items[i], expected[i])) << i << ": " << items[i].toStdString();
        if (i >= 16 && i <= 30) {
            EXPECT_FALSE(acme[i]["enabled"_L1].toBool()) << items[i].toStdString();
        }
    }
    EXPECT_EQ(acme[0]["image"_L1].toString(), feed.url(u"/images/listed/log-ACME.gif"_s)) << "the GIF logo was read";
    EXPECT_EQ(acme[0]["toolTip"_L1].toString(), u"ACME"_s);
    EXPECT_EQ(acme[5]["image"_L1].toString(), feed.url(u"/t?s=ACME"_s)) << "the PNG chart was read";
    EXPECT_EQ(acme[5]["toolTip"_L1].toString(), feed.url(u"/echarts?s=ACME"_s));
    EXPECT_EQ(acme[9]["toolTip"_L1].toString(), feed.url(u"/echarts?s=ACME+Interactive#symbol=ACME;range=3m"_s));
    EXPECT_EQ(acme[33]["toolTip"_L1].toString(), feed.url(u"/news/acme-0.html"_s));
    EXPECT_EQ(acme[33]["action"_L1].toString(), u"selectItemHeadline:"_s);
    EXPECT_EQ(acme[33]["submenu"_L1].toArray().size(), 1);
    EXPECT_EQ(acme[33]["submenu"_L1][0]["action"_L1].toString(), u"selectPrintItemHeadline:"_s);
    EXPECT_EQ(acme[34]["styledTitle"_L1][0]["pointSize"_L1].toDouble(), 12.0);
    EXPECT_EQ(title(menu[5]["submenu"_L1].toArray()[0]), u"Open Log"_s) << "DELTA has no logo";

    // The headline section, metals, the dollar index and the market indices with their charts.
    EXPECT_EQ(top.mid(6, 4), (QStringList{u"---"_s, u"Save All Headlines..."_s, u"Go to Headlines folder..."_s, u"---"_s}));
    const QString moved = u" \\([+-][\\d,.]+, [+-]?[\\d.]+%\\)"_s;
    const QStringList metals{u"Gold"_s, u"Silver"_s, u"Platinum"_s, u"Palladium"_s};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(matches(top[10 + i], metals[i] + u": [\\d,]+\\.\\d\\d"_s)) << top[10 + i].toStdString();
        EXPECT_EQ(menu[10 + i]["action"_L1].toString(), u"selItemPreciousMetalBid:"_s);
        EXPECT_EQ(menu[10 + i]["toolTip"_L1].toString(), metals[i]);
        expectDirectionalLine(menu[10 + i], -1, QString(), moved);
    }
    EXPECT_TRUE(matches(top[15], u"U\\.S\\. Dollar Index: \\d+\\.\\d{3}"_s)) << top[15].toStdString();
    EXPECT_EQ(menu[15]["action"_L1].toString(), u"selItemOtherMarketIndices:"_s);
    expectDirectionalLine(menu[15], -1, QString(), moved);
    EXPECT_EQ(top[14], u"---"_s);
    EXPECT_EQ(top[16], u"---"_s);
    const QList<std::pair<QString, QString>> indices{{u"Dow"_s, u"%5EDJI"_s}, {u"Nasdaq"_s, u"%5EIXIC"_s}, {u"S&P"_s, u"%5EGSPC"_s}};
    for (int i = 0; i < 3; ++i) {
        const QJsonValue line = menu[17 + i];
        EXPECT_TRUE(matches(title(line), QRegularExpression::escape(indices[i].first) + u": [\\d,]+\\.\\d\\d"_s)) << title(line).toStdString();
        EXPECT_EQ(line["action"_L1].toString(), u"selItemMarketIndices:"_s);
        expectDirectionalLine(line, -1, QString(), moved);
        const QJsonArray chart = line["submenu"_L1].toArray();
        ASSERT_EQ(chart.size(), 1);
        EXPECT_EQ(chart[0]["image"_L1].toString(), feed.url(u"/t?s="_s + indices[i].second));
        EXPECT_EQ(chart[0]["toolTip"_L1].toString(), feed.url(u"/q?s="_s + indices[i].second));
        EXPECT_EQ(chart[0]["action"_L1].toString(), u"selItemIndicesiChart:"_s);
    }
}

TEST_F(FeedMenu, ChoosingEachQuoteLineAndLinkOpensItsAddress)
{
    QString entries;
    for (const char *key : {"ShowPreciousMetalsInMenu", "ShowOtherMarketIndicesInMenu", "ShowMarketIndicesInMenu", "IncludeiChartsInSubmenu",
             "IncludeInteractiveiChartsLinksInSubmenu", "IncludeIndicesChartsInSubmenu"})
        entries += u"<key>%1</key><true/>\n"_s.arg(QLatin1String(key));
    writeSettings(entries + u"<key>StockSymbols</key><array><string>ACME</string></array>\n"_s);
    const std::vector<std::pair<QString, QString>> choices{
        {u"Acme*"_s, u"/q?s=ACME"_s},
        {u"Acme* > [image 2]"_s, u"/echarts?s=ACME"_s},
        {u"Acme* > 1 Day Share Price Chart"_s, u"/echarts?s=ACME+Interactive#symbol=ACME;range=1d"_s},
        {u"Acme* > 5 Day Share Price Chart"_s, u"/echarts?s=ACME+Interactive#symbol=ACME;range=5d"_s},
        {u"Acme* > 3 Month Share Price Chart"_s, u"/echarts?s=ACME+Interactive#symbol=ACME;range=3m"_s},
        {u"Acme* > 6 Month Share Price Chart"_s, u"/echarts?s=ACME+Interactive#symbol=ACME;range=6m"_s},
        {u"Acme* > 1 Year Share Price Chart"_s, u"/echarts?s=ACME+Interactive#symbol=ACME;range=1y"_s},
        {u"Acme* > 2 Year Share Price Chart"_s, u"/echarts?s=ACME+Interactive#symbol=ACME;range=2y"_s},
        {u"Acme* > 5 Year Share Price Chart"_s, u"/echarts?s=ACME+Interactive#symbol=ACME;range=5y"_s},
        {u"Acme* > Max Share Price Chart"_s, u"/echarts?s=ACME+Interactive#symbol=ACME;range=my"_s},
        {u"Gold*"_s, u"/charts/livegoldnewyork.html"_s},
        {u"Silver*"_s, u"/charts/livesilver.html"_s},
        {u"Platinum*"_s, u"/charts/liveplatinum.html"_s},
        {u"Palladium*"_s, u"/charts/livepalladium.html"_s},
        {u"U.S. Dollar Index*"_s, u"/"_s},
        {u"Dow*"_s, u"/data/markets/"_s},
        {u"Dow* > [image]"_s, u"/q?s=%5EDJI"_s},
        {u"Nasdaq* > [image]"_s, u"/q?s=%5EIXIC"_s},
        {u"S&P* > [image]"_s, u"/q?s=%5EGSPC"_s},
    };
    QStringList arguments;
    QStringList expected;
    for (const auto &[path, opened] : choices) {
        arguments << u"--select"_s << path;
        expected << u"open: "_s + feed.url(opened);
    }
    const auto output = runMenu(arguments);
    ASSERT_TRUE(output);
    QStringList opened;
    for (const QString &line : QString::fromUtf8(*output).split(u'\n'))
        if (line.startsWith(u"open: "_s))
            opened.append(line);
    EXPECT_EQ(opened, expected);
}

TEST_F(FeedMenu, TheTextMenuShowsTheChangeAndPercentThatTheMenuShows)
{
    writeSettings(u"<key>ShowMarketIndicesInMenu</key><true/>\n<key>StockSymbols</key><array><string>ACME</string></array>\n"_s);
    const auto output = runMenu({});
    ASSERT_TRUE(output);
    const QString text = QString::fromUtf8(*output);
    // The change suffix stands before the first colon, as in the drawn menu and on a panel.
    static const QRegularExpression quoteLine(uR"(^Acme Group plc \[ACME\] \(-?[\d.,]+, -?[\d.]+%\) : [\d.,]+)"_s,
                                              QRegularExpression::MultilineOption);
    EXPECT_TRUE(quoteLine.match(text).hasMatch()) << text.toStdString();
    static const QRegularExpression indexLine(uR"(^Dow[^\n]*\([+-][\d.,]+)"_s, QRegularExpression::MultilineOption);
    EXPECT_TRUE(indexLine.match(text).hasMatch()) << text.toStdString();
}

} // namespace
} // namespace tickwell::testing
