#include "LoggingFixture.h"
#include "TickwellMenuRun.h"

#include "support/LocalHttpServer.h"

namespace tickwell::testing {
namespace {

// History and logging through the real tool against a local server: what one run records, the
// next run finds.
class TickwellMenuHistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (TickwellMenuRun::program().isEmpty())
            GTEST_SKIP() << "tickwell-menu is not built (TICKWELL_BIN_DIR)";
        PlistSettingsStore store = tool.settings();
        for (const char *key : {"QuotePageHost", "ChartImageHost", "LogoHost", "MetalsHost", "MarketsHost", "OtherIndicesHost", "OrderBookHost"})
            store.setValue(QString::fromLatin1(key), server.hostAndPort());
        for (const char *key : {"IncludeHeadlinesInSubmenu", "IncludeiChartsInSubmenu", "IncludeInteractiveiChartsLinksInSubmenu",
                                "IncludeStockDataInSubmenu"})
            store.setValue(QString::fromLatin1(key), false);
        store.setValue(QStringLiteral("StockSymbols"), SymbolList({QStringLiteral("ACME")}));
        store.setValue(QStringLiteral("CompanyShares"), QVariantMap{{QStringLiteral("ACME"), QStringLiteral("10")}});
        servePrice(QStringLiteral("150.25"));
    }

    void servePrice(const QString &lastTrade)
    {
        server.serve(QStringLiteral("/q?s=ACME"), QuotePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), lastTrade, QStringLiteral("149.00")));
    }
    // The entries of the ACME submenu's history group.
    static QStringList historyOf(const QJsonObject &root)
    {
        const QStringList titles = TickwellMenuRun::submenuTitles(root, QStringLiteral("[ACME]"));
        QStringList entries = titles.mid(titles.indexOf(QStringLiteral("---")) + 1);
        if (!entries.isEmpty() && entries.last().startsWith(QStringLiteral("Clear ")))
            entries.removeLast();
        return entries;
    }
    QStringList storedHistory() const
    {
        PlistSettingsStore store = tool.settings();
        const auto value = store.value(QStringLiteral("Histories"));
        return value ? value->toMap().value(QStringLiteral("ACME")).toStringList() : QStringList{QStringLiteral("<none>")};
    }

    test::LocalHttpServer server;
    TickwellMenuRun tool;
};

TEST_F(TickwellMenuHistoryTest, HistoryPersistsAcrossLaunchesAndClears)
{
    const auto first = tool.run({QStringLiteral("--format"), QStringLiteral("json")});
    ASSERT_EQ(first.exitCode, 0) << first.err.constData();
    const QStringList firstHistory = historyOf(first.json());
    ASSERT_EQ(firstHistory.size(), 1) << first.out.constData();
    EXPECT_TRUE(firstHistory[0].startsWith(QStringLiteral("150.25, [10 shares: $1,502.50] ("))) << qPrintable(firstHistory[0]);
    EXPECT_EQ(storedHistory(), firstHistory);

    servePrice(QStringLiteral("151.00"));
    const auto second = tool.run({QStringLiteral("--format"), QStringLiteral("json")});
    const QStringList secondHistory = historyOf(second.json());
    ASSERT_EQ(secondHistory.size(), 2) << second.out.constData();
    EXPECT_EQ(secondHistory[0], firstHistory[0]);
    EXPECT_TRUE(secondHistory[1].startsWith(QStringLiteral("151.00, [10 shares: $1,510.00] (")));

    // Cancel leaves the history alone; OK clears the symbol's list.
    const QString line = TickwellMenuRun::lineTitle(second.json(), QStringLiteral("[ACME]"));
    const QString clearOne = line + QStringLiteral(" > Clear \"ACME\"'s History");
    const auto cancelled = tool.run({QStringLiteral("--select"), clearOne, QStringLiteral("--answer"), QStringLiteral("alternate")});
    ASSERT_EQ(cancelled.exitCode, 0) << cancelled.err.constData();
    EXPECT_TRUE(cancelled.out.contains("alert: Are you sure you want to clear the history for stock symbol \"ACME\"? | "
                                       "This operation can not be undone. [OK] [Cancel]"));
    EXPECT_EQ(storedHistory(), secondHistory);

    const auto cleared = tool.run({QStringLiteral("--select"), clearOne});
    ASSERT_EQ(cleared.exitCode, 0) << cleared.err.constData();
    EXPECT_EQ(storedHistory(), QStringList());

    const auto third = tool.run({QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("--select"), QStringLiteral("Clear Histories"),
                                 QStringLiteral("--answer"), QStringLiteral("default")});
    ASSERT_EQ(third.exitCode, 0) << third.err.constData();
    EXPECT_EQ(historyOf(third.json()).size(), 1); // this run's refresh, before the clearing
    EXPECT_TRUE(third.out.contains("alert: Are you sure you want to clear the history of every symbol?"));
    PlistSettingsStore store = tool.settings();
    EXPECT_EQ(store.value(QStringLiteral("Histories"))->toMap(), QVariantMap());
}

TEST_F(TickwellMenuHistoryTest, MonitorPassesWriteTheLogAndOpenLogShowsIt)
{
    const auto result = tool.run({QStringLiteral("--monitor-passes"), QStringLiteral("3"), QStringLiteral("--select"),
                                  QStringLiteral("Log Histories")});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    QFile file(tool.logFolder() + QStringLiteral("/Tickwell_ACME.log"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count('\r'), 1) << bytes.constData(); // the same quote three times: one entry
    EXPECT_TRUE(bytes.contains("] Acme Corp. [ACME] : 150.25 (10 shares: 1,502.5)\r"));
    EXPECT_TRUE(bytes.startsWith("["));
    EXPECT_TRUE(bytes.endsWith(" Stopping logging\n"));
    EXPECT_TRUE(result.out.contains("log: {")) << result.out.constData();

    const QString line = TickwellMenuRun::lineTitle(tool.run({QStringLiteral("--format"), QStringLiteral("json")}).json(), QStringLiteral("[ACME]"));
    const auto opened = tool.run({QStringLiteral("--select"), line + QStringLiteral(" > Open Log")});
    EXPECT_TRUE(opened.out.contains(("open: " + tool.logFolder() + "/Tickwell_ACME.log").toUtf8())) << opened.out.constData();
}

} // namespace
} // namespace tickwell::testing
