// The real programs together: tickwell-feed on a port of its own, tickwell-menu pointed at it
// through the host settings, and the menu it prints checked for structure and formats. Prices
// move with every request, so values are matched by form, not by number.

#include "platform/CurlUrlLoader.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <optional>

namespace {

QString binDir()
{
    return qEnvironmentVariable("TICKWELL_BIN_DIR", QStringLiteral("build/bin"));
}

// tickwell-feed on 127.0.0.1 with a free port, stopped when this goes away.
class FeedProcess {
public:
    explicit FeedProcess(const QStringList &options = {QStringLiteral("--seed"), QStringLiteral("11")})
    {
        m_process.setProgram(binDir() + QStringLiteral("/tickwell-feed"));
        m_process.setArguments(QStringList{QStringLiteral("--port"), QStringLiteral("0")} + options);
        m_process.start();
        if (!m_process.waitForStarted(10000))
            return;
        QByteArray out;
        while (!out.contains('\n') && m_process.waitForReadyRead(10000))
            out += m_process.readAllStandardOutput();
        const auto match = QRegularExpression(QStringLiteral("^listening on (127\\.0\\.0\\.1:\\d+)\\n")).match(QString::fromUtf8(out));
        if (match.hasMatch())
            m_host = match.captured(1);
    }
    ~FeedProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000)) {
                m_process.kill();
                m_process.waitForFinished(5000);
            }
        }
    }
    FeedProcess(const FeedProcess &) = delete;
    FeedProcess &operator=(const FeedProcess &) = delete;

    // "127.0.0.1:PORT", empty when the feed did not come up.
    const QString &host() const { return m_host; }
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    QString m_host;
};

QString plistValue(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("<true/>") : QStringLiteral("<false/>");
    if (value.typeId() == QMetaType::Int)
        return QStringLiteral("<integer>%1</integer>").arg(value.toInt());
    return QStringLiteral("<string>%1</string>").arg(value.toString().toHtmlEscaped());
}

class FeedMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        ASSERT_FALSE(m_feed.host().isEmpty()) << "tickwell-feed did not start: "
                                              << m_feed.process().readAllStandardError().toStdString();
        for (const char *folder : {"config", "data", "downloads"})
            ASSERT_TRUE(QDir(m_home.path()).mkpath(QString::fromLatin1(folder)));
        writeSettings();
    }

    // Watch list: ACME (with shares), BETA, DELTA (five letters: no logo), ZZTOP (unknown to the
    // feed: no line) and HIDDEN (not flagged). Every section on, history and logging off.
    void writeSettings()
    {
        const QString host = m_feed.host();
        QString dict;
        auto add = [&dict](const QString &key, const QString &value) {
            dict += QStringLiteral("  <key>%1</key>%2\n").arg(key, value);
        };
        add(QStringLiteral("StockSymbols"), QStringLiteral("<array><string>ACME</string><string>BETA</string><string>DELTA</string>"
                                                           "<string>ZZTOP</string><string>HIDDEN</string></array>"));
        add(QStringLiteral("CompanyShares"), QStringLiteral("<dict><key>ACME</key><string>100</string><key>BETA</key><string></string></dict>"));
        add(QStringLiteral("ShowSettings"), QStringLiteral("<dict><key>ACME</key><integer>1</integer><key>BETA</key><integer>1</integer>"
                                                           "<key>DELTA</key><integer>1</integer><key>ZZTOP</key><integer>1</integer>"
                                                           "<key>HIDDEN</key><integer>0</integer></dict>"));
        const QList<std::pair<const char *, QVariant>> values{
            {"OnlyShowFlagged", true},           {"ShowPreciousMetalsInMenu", true},    {"ShowOtherMarketIndicesInMenu", true},
            {"ShowMarketIndicesInMenu", true},   {"IncludeAfterHoursMenu", true},       {"IncludeHeadlinesInSubmenu", true},
            {"IncludeiChartsInSubmenu", true},   {"IncludeInteractiveiChartsLinksInSubmenu", true},
            {"IncludeStockDataInSubmenu", true}, {"IncludeIndicesChartsInSubmenu", true}, {"IncludeStockHistoryInSubmenu", false},
            {"LogToConsole", false},             {"QuotePageHost", host},               {"ChartImageHost", host},
            {"LogoHost", host},                  {"MetalsHost", host},                  {"MarketsHost", host},
            {"OtherIndicesHost", host},          {"OrderBookHost", host},
        };
        for (const auto &[key, value] : values)
            add(QString::fromLatin1(key), plistValue(value));

        QFile file(m_home.filePath(QStringLiteral("config/com.brantlow.Tickwell.plist")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                  "<plist version=\"1.0\">\n<dict>\n%1</dict>\n</plist>\n")
                       .arg(dict)
                       .toUtf8());
    }

    // tickwell-menu --format json, parsed.
    std::optional<QJsonObject> runMenu()
    {
        QProcess menu;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_DOWNLOAD_DIR"), m_home.filePath(QStringLiteral("downloads")));
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_US.UTF-8"));
        environment.insert(QStringLiteral("TZ"), QStringLiteral("America/New_York"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        menu.setProcessEnvironment(environment);
        menu.start(binDir() + QStringLiteral("/tickwell-menu"), {QStringLiteral("--format"), QStringLiteral("json")});
        if (!menu.waitForFinished(90000)) {
            menu.kill();
            menu.waitForFinished();
            ADD_FAILURE() << "tickwell-menu did not finish";
            return std::nullopt;
        }
        if (menu.exitStatus() != QProcess::NormalExit || menu.exitCode() != 0) {
            ADD_FAILURE() << "tickwell-menu failed: " << menu.readAllStandardError().toStdString();
            return std::nullopt;
        }
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(menu.readAllStandardOutput(), &error);
        if (error.error != QJsonParseError::NoError || !document.isObject()) {
            ADD_FAILURE() << "not JSON: " << error.errorString().toStdString();
            return std::nullopt;
        }
        return document.object();
    }

    QString address(const QString &pathAndQuery) const { return QStringLiteral("http://") + m_feed.host() + pathAndQuery; }

    QTemporaryDir m_home;
    FeedProcess m_feed;
};

QString title(const QJsonValue &item)
{
    return item[QStringLiteral("separator")].toBool() ? QStringLiteral("---") : item[QStringLiteral("title")].toString();
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
    return QRegularExpression(QStringLiteral("^") + pattern + QStringLiteral("$")).match(text).hasMatch();
}

// A line coloured by direction: image, suffix run and colour agree.
void expectDirectionalLine(const QJsonValue &line, int suffixRun, const QString &unchangedSuffix, const QString &movedSuffixPattern)
{
    const QJsonArray runs = line[QStringLiteral("styledTitle")].toArray();
    ASSERT_GT(runs.size(), suffixRun == -1 ? 0 : suffixRun) << title(line).toStdString();
    for (const auto &run : runs)
        EXPECT_EQ(run[QStringLiteral("pointSize")].toDouble(), 14.0);
    const QString image = line[QStringLiteral("image")].toString();
    if (runs.size() == 1 || (suffixRun >= 0 && runs[suffixRun][QStringLiteral("text")].toString() == unchangedSuffix)) {
        EXPECT_EQ(image, QStringLiteral("menuitem_spacer.tif")) << title(line).toStdString();
        return;
    }
    const QJsonValue suffix = runs[suffixRun >= 0 ? suffixRun : runs.size() - 1];
    EXPECT_TRUE(matches(suffix[QStringLiteral("text")].toString(), movedSuffixPattern)) << suffix[QStringLiteral("text")].toString().toStdString();
    EXPECT_TRUE(image == QStringLiteral("menuitem_up_g.tif") || image == QStringLiteral("menuitem_down_r.tif")) << image.toStdString();
    EXPECT_TRUE(matches(suffix[QStringLiteral("color")].toString(), QStringLiteral("#[0-9a-f]{6}")));
}

TEST_F(FeedMenu, EverySectionFromTheLocalFeed)
{
    const auto snapshot = runMenu();
    ASSERT_TRUE(snapshot);
    EXPECT_EQ((*snapshot)[QStringLiteral("statusItem")][QStringLiteral("image")].toString(), QStringLiteral("Tickwell.tif"));
    const QJsonArray menu = (*snapshot)[QStringLiteral("menu")].toArray();
    const QStringList top = titles(menu);
    ASSERT_GE(top.size(), 27) << top.join(QStringLiteral(" | ")).toStdString();

    EXPECT_TRUE(top[0].startsWith(QStringLiteral("Last Update: ")));
    EXPECT_EQ(top.mid(1, 2), (QStringList{QStringLiteral("Update Now"), QStringLiteral("---")}));

    // Quote lines: ACME, BETA and DELTA; the unknown and the unflagged symbol have none.
    const QString price = QStringLiteral("\\d+\\.\\d\\d");
    const QString extra = QStringLiteral("(, ") + price + QStringLiteral(" \\((RT|AH)\\))?");
    EXPECT_TRUE(matches(top[3], QStringLiteral("Acme .+ \\[ACME\\] : ") + price + extra + QStringLiteral(" \\(100 shares: \\$[\\d,]+\\.\\d\\d\\)")))
        << top[3].toStdString();
    EXPECT_TRUE(matches(top[4], QStringLiteral("Beta .+ \\[BETA\\] : ") + price + extra)) << top[4].toStdString();
    EXPECT_TRUE(matches(top[5], QStringLiteral("Delta .+ \\[DELTA\\] : ") + price + extra)) << top[5].toStdString();
    for (int i = 3; i <= 5; ++i) {
        EXPECT_EQ(menu[i][QStringLiteral("action")].toString(), QStringLiteral("selItemStockSymbol:"));
        expectDirectionalLine(menu[i], 1, QStringLiteral(" "), QStringLiteral("\\([\\d,.]+, [\\d,.]+%\\) "));
    }

    // ACME's submenu, group by group.
    const QJsonArray acme = menu[3][QStringLiteral("submenu")].toArray();
    const QStringList items = titles(acme);
    ASSERT_GE(items.size(), 39) << items.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(acme[0][QStringLiteral("image")].toString(), address(QStringLiteral("/images/listed/log-ACME.gif"))) << "the GIF logo was read";
    EXPECT_EQ(acme[0][QStringLiteral("toolTip")].toString(), QStringLiteral("ACME"));
    EXPECT_EQ(items.mid(1, 4), (QStringList{QStringLiteral("---"), QStringLiteral("Open Log"), QStringLiteral("Save Headlines..."),
                                            QStringLiteral("---")}));
    EXPECT_EQ(acme[5][QStringLiteral("image")].toString(), address(QStringLiteral("/t?s=ACME"))) << "the PNG chart was read";
    EXPECT_EQ(acme[5][QStringLiteral("toolTip")].toString(), address(QStringLiteral("/echarts?s=ACME")));
    EXPECT_EQ(items[6], QStringLiteral("---"));
    EXPECT_EQ(items[7], QStringLiteral("1 Day Share Price Chart"));
    EXPECT_EQ(acme[9][QStringLiteral("toolTip")].toString(), address(QStringLiteral("/echarts?s=ACME+Interactive#symbol=ACME;range=3m")));
    EXPECT_EQ(items[14], QStringLiteral("Max Share Price Chart"));
    EXPECT_EQ(items[15], QStringLiteral("---"));
    const QStringList fields{QStringLiteral("Last Trade: ") + price, QStringLiteral("Trade Time: \\d{1,2}:\\d\\d[AP]M EDT"),
                             QStringLiteral("Prev Close: ") + price, QStringLiteral("Open: ") + price, QStringLiteral("Bid: ") + price,
                             QStringLiteral("Ask: ") + price, QStringLiteral("1y Target Est: ") + price,
                             QStringLiteral("Day's Range: ") + price + QStringLiteral(" - ") + price,
                             QStringLiteral("52wk Range: ") + price + QStringLiteral(" - ") + price, QStringLiteral("Volume: [\\d,]+"),
                             QStringLiteral("Avg Vol \\(3m\\): [\\d,]+"), QStringLiteral("Market Cap: [\\d.]+B"),
                             QStringLiteral("P/E \\(ttm\\): ") + price, QStringLiteral("EPS \\(ttm\\): ") + price,
                             QStringLiteral("Div & Yield: .+")};
    for (int i = 0; i < fields.size(); ++i) {
        EXPECT_TRUE(matches(items[16 + i], fields[i])) << items[16 + i].toStdString();
        EXPECT_FALSE(acme[16 + i][QStringLiteral("enabled")].toBool());
    }
    EXPECT_EQ(items[31], QStringLiteral("---"));
    EXPECT_TRUE(items[32].startsWith(QStringLiteral("Headlines for Acme ")));
    // Three absolute links (the relative one is left out), each followed by its source line.
    EXPECT_TRUE(items[33].endsWith(QStringLiteral(" beats estimates & raises outlook")));
    EXPECT_EQ(acme[33][QStringLiteral("action")].toString(), QStringLiteral("selectItemHeadline:"));
    EXPECT_EQ(acme[33][QStringLiteral("toolTip")].toString(), address(QStringLiteral("/news/acme-0.html")));
    const QJsonArray save = acme[33][QStringLiteral("submenu")].toArray();
    ASSERT_EQ(save.size(), 1);
    EXPECT_EQ(save[0][QStringLiteral("title")].toString(), QStringLiteral("Save"));
    EXPECT_EQ(save[0][QStringLiteral("action")].toString(), QStringLiteral("selectPrintItemHeadline:"));
    EXPECT_EQ(items[34], QStringLiteral("Reuters  (Fri 4:05PM) "));
    EXPECT_EQ(acme[34][QStringLiteral("styledTitle")][0][QStringLiteral("pointSize")].toDouble(), 12.0);
    EXPECT_TRUE(items[35].startsWith(QStringLiteral("Analysts weigh Acme "))) << "white space collapsed";
    EXPECT_EQ(items[36], QStringLiteral("AP  (Thu 9:12AM) "));
    EXPECT_TRUE(items[37].endsWith(QStringLiteral("- what to watch next week"))) << "title looked up from the article page";
    EXPECT_EQ(items[38], QStringLiteral("MarketWatch  (Thu 7:30AM) "));
    EXPECT_EQ(items.size(), 39) << "history is off";

    // DELTA has no logo, so its submenu starts with "Open Log".
    EXPECT_EQ(title(menu[5][QStringLiteral("submenu")].toArray()[0]), QStringLiteral("Open Log"));

    // Headline section items, then metals, the dollar index and the market indices.
    EXPECT_EQ(top.mid(6, 3), (QStringList{QStringLiteral("---"), QStringLiteral("Save All Headlines..."),
                                          QStringLiteral("Go to Headlines folder...")}));
    EXPECT_EQ(top[9], QStringLiteral("---"));
    const QStringList metals{QStringLiteral("Gold"), QStringLiteral("Silver"), QStringLiteral("Platinum"), QStringLiteral("Palladium")};
    for (int i = 0; i < 4; ++i) {
        const QJsonValue line = menu[10 + i];
        EXPECT_TRUE(matches(title(line), metals[i] + QStringLiteral(": [\\d,]+\\.\\d\\d"))) << title(line).toStdString();
        EXPECT_EQ(line[QStringLiteral("toolTip")].toString(), metals[i]);
        EXPECT_EQ(line[QStringLiteral("action")].toString(), QStringLiteral("selItemPreciousMetalBid:"));
        expectDirectionalLine(line, -1, QString(), QStringLiteral(" \\([+-][\\d,.]+, [+-]?[\\d.]+%\\)"));
    }
    EXPECT_EQ(top[14], QStringLiteral("---"));
    EXPECT_TRUE(matches(top[15], QStringLiteral("U\\.S\\. Dollar Index: \\d+\\.\\d{3}"))) << top[15].toStdString();
    EXPECT_EQ(menu[15][QStringLiteral("action")].toString(), QStringLiteral("selItemOtherMarketIndices:"));
    expectDirectionalLine(menu[15], -1, QString(), QStringLiteral(" \\([+-][\\d.]+, [+-]?[\\d.]+%\\)"));
    EXPECT_EQ(top[16], QStringLiteral("---"));
    const QList<std::pair<QString, QString>> indices{{QStringLiteral("Dow"), QStringLiteral("%5EDJI")},
                                                     {QStringLiteral("Nasdaq"), QStringLiteral("%5EIXIC")},
                                                     {QStringLiteral("S&P"), QStringLiteral("%5EGSPC")}};
    for (int i = 0; i < 3; ++i) {
        const QJsonValue line = menu[17 + i];
        EXPECT_TRUE(matches(title(line), QRegularExpression::escape(indices[i].first) + QStringLiteral(": [\\d,]+\\.\\d\\d")))
            << title(line).toStdString();
        EXPECT_EQ(line[QStringLiteral("action")].toString(), QStringLiteral("selItemMarketIndices:"));
        expectDirectionalLine(line, -1, QString(), QStringLiteral(" \\([+-][\\d,.]+, [+-]?[\\d.]+%\\)"));
        const QJsonArray chart = line[QStringLiteral("submenu")].toArray();
        ASSERT_EQ(chart.size(), 1);
        EXPECT_EQ(chart[0][QStringLiteral("image")].toString(), address(QStringLiteral("/t?s=") + indices[i].second));
        EXPECT_EQ(chart[0][QStringLiteral("toolTip")].toString(), address(QStringLiteral("/q?s=") + indices[i].second));
        EXPECT_EQ(chart[0][QStringLiteral("action")].toString(), QStringLiteral("selItemIndicesiChart:"));
    }
    EXPECT_EQ(top.mid(20), (QStringList{QStringLiteral("---"), QStringLiteral("Clear Histories"), QStringLiteral("Log Histories"),
                                        QStringLiteral("---"), QStringLiteral("Preferences..."), QStringLiteral("---"),
                                        QStringLiteral("Quit")}));
}

// The feed on its own, as the refresh and the ticker fetch it.
class FeedServer : public ::testing::Test {
protected:
    QByteArray fetch(const FeedProcess &feed, const QString &target)
    {
        return m_loader.fetch(QStringLiteral("http://") + feed.host() + target).value_or(QByteArray());
    }
    QString lastTrade(const FeedProcess &feed, const QString &symbol)
    {
        const QString page = QString::fromUtf8(fetch(feed, QStringLiteral("/q?s=") + symbol));
        return QRegularExpression(QStringLiteral("<span id=\"yfs_l10_") + symbol.toLower() + QStringLiteral("\">([^<]*)</span>"))
            .match(page)
            .captured(1);
    }

    tickwell::CurlUrlLoader m_loader;
};

TEST_F(FeedServer, PricesMoveWithEveryRequestAndFollowTheSeed)
{
    FeedProcess first({QStringLiteral("--seed"), QStringLiteral("5")});
    FeedProcess second({QStringLiteral("--seed"), QStringLiteral("5")});
    FeedProcess other({QStringLiteral("--seed"), QStringLiteral("6")});
    ASSERT_FALSE(first.host().isEmpty());
    ASSERT_FALSE(second.host().isEmpty());
    ASSERT_FALSE(other.host().isEmpty());
    QStringList firstTrades, secondTrades, otherTrades;
    for (int i = 0; i < 8; ++i) {
        firstTrades.append(lastTrade(first, QStringLiteral("ACME")));
        secondTrades.append(lastTrade(second, QStringLiteral("ACME")));
        otherTrades.append(lastTrade(other, QStringLiteral("ACME")));
    }
    for (const auto &trade : firstTrades)
        EXPECT_TRUE(matches(trade, QStringLiteral("\\d+\\.\\d\\d"))) << trade.toStdString();
    EXPECT_EQ(firstTrades, secondTrades) << "the same seed and requests give the same prices";
    EXPECT_NE(firstTrades, otherTrades);
    EXPECT_GT(QSet<QString>(firstTrades.begin(), firstTrades.end()).size(), 2) << "prices move";
}

TEST_F(FeedServer, ServesEveryDocumentTheSystemReads)
{
    FeedProcess feed({QStringLiteral("--no-opening-bell")});
    ASSERT_FALSE(feed.host().isEmpty());

    EXPECT_FALSE(fetch(feed, QStringLiteral("/q?s=ZZTOP")).contains("Last Trade:")) << "unknown symbols have no quote";
    EXPECT_TRUE(fetch(feed, QStringLiteral("/t?s=ACME")).startsWith("\x89PNG"));
    EXPECT_FALSE(fetch(feed, QStringLiteral("/t?s=ZZTOP")).startsWith("\x89PNG"));
    EXPECT_TRUE(fetch(feed, QStringLiteral("/images/listed/log-ACME.gif")).startsWith("GIF89a"));
    EXPECT_FALSE(fetch(feed, QStringLiteral("/images/listed/log-DELTA.gif")).startsWith("GIF89a")) << "five letters: no logo";

    const QByteArray book = fetch(feed, QStringLiteral("/json/bzx/book/ACME"));
    EXPECT_TRUE(book.contains("\"company\":\"Acme ")) << book.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("\"trades\":\\[\\[\"[\\d:]+\",\\d+,\"0+[1-9]\\d*\\.\\d+\"\\]"))
                    .match(QString::fromUtf8(book))
                    .hasMatch())
        << book.toStdString();
    EXPECT_TRUE(fetch(feed, QStringLiteral("/json/bzx/book/ZZTOP")).contains("\"company\":\"Unknown symbol\""));

    const QByteArray front = fetch(feed, QStringLiteral("/"));
    EXPECT_FALSE(front.contains("U.S. Markets open in "));
    EXPECT_TRUE(front.contains("<a href=\"http://" + feed.host().toUtf8() + "/chart/?s=NYBOT_DX\">US Dollar</a>"))
        << "the dollar anchor names the host it was asked under";
    FeedProcess bell;
    ASSERT_FALSE(bell.host().isEmpty());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("U\\.S\\. Markets open in (\\d+ hrs? )?\\d+ mins?<"))
                    .match(QString::fromUtf8(fetch(bell, QStringLiteral("/"))))
                    .hasMatch());

    EXPECT_TRUE(fetch(feed, QStringLiteral("/market/")).contains(">Gold</a></td>\r\n<td>"));
    EXPECT_TRUE(fetch(feed, QStringLiteral("/data/markets/")).contains("class=\"wsod_symbol\">S&amp;P</a>"));

    const QByteArray article = fetch(feed, QStringLiteral("/news/acme-3.html"));
    EXPECT_TRUE(article.contains("<title>Acme ")) << article.toStdString();
    EXPECT_TRUE(article.contains("href=\"/news/style.css\""));
    EXPECT_TRUE(fetch(feed, QStringLiteral("/news/style.css")).contains("font-family"));
    EXPECT_TRUE(fetch(feed, QStringLiteral("/news/img/acme-3.png")).startsWith("\x89PNG"));
    EXPECT_FALSE(fetch(feed, QStringLiteral("/news/img/missing-acme-3.png")).startsWith("\x89PNG")) << "one resource is missing";
    EXPECT_FALSE(fetch(feed, QStringLiteral("/news/acme-9.html")).contains("<title>Acme"));
}

} // namespace
