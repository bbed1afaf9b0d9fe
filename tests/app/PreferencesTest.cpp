#include "app/Hosts.h"
#include "app/Preferences.h"
#include "platform/MemorySettingsStore.h"

#include <gtest/gtest.h>

namespace tickwell {
namespace {

TEST(PreferencesTest, FreshStoreGivesTheDefaults)
{
    MemorySettingsStore store;
    const Preferences prefs(store);
    EXPECT_FALSE(prefs.includePreciousMetals());
    EXPECT_FALSE(prefs.includeOtherMarketIndices());
    EXPECT_FALSE(prefs.includeMarketIndices());
    EXPECT_FALSE(prefs.titleTicker());
    EXPECT_FALSE(prefs.showOpeningBellTitle());
    EXPECT_FALSE(prefs.downloadHeadlines());
    EXPECT_FALSE(prefs.displayTheHeadlineProgressWindow());
    EXPECT_FALSE(prefs.setFilenameToHeadlineArticleName());
    EXPECT_TRUE(prefs.includeAfterHours());
    EXPECT_TRUE(prefs.includeHeadlinesInSubmenu());
    EXPECT_TRUE(prefs.includeiChartsInSubmenu());
    EXPECT_TRUE(prefs.includeInteractiveiChartsLinksInSubmenu());
    EXPECT_TRUE(prefs.includeStockDataInSubmenu());
    EXPECT_TRUE(prefs.includeStockHistoryInSubmenu());
    EXPECT_TRUE(prefs.includeIndicesChartsInSubmenu());
    EXPECT_TRUE(prefs.onlyShowFlagged());
    EXPECT_TRUE(prefs.logToConsole());
    EXPECT_TRUE(prefs.logToConsoleOnlyIfStockChanges());
    EXPECT_EQ(prefs.stockDataUpdateRate(), 60);
    EXPECT_EQ(prefs.logToConsoleRate(), 10);
    EXPECT_EQ(prefs.titleTickerRate(), 10);
    EXPECT_EQ(prefs.headlineFormat(), QStringLiteral("Web Archive"));
    EXPECT_EQ(prefs.upColor(), QColor(0, 255, 0));
    EXPECT_EQ(prefs.downColor(), QColor(255, 0, 0));
    EXPECT_TRUE(prefs.stockSymbols().isEmpty());
}

TEST(PreferencesTest, SwitchesCountOnlyBooleans)
{
    MemorySettingsStore store;
    const Preferences prefs(store);
    for (const QVariant &stored : {QVariant(qlonglong(0)), QVariant(0.0), QVariant(QStringLiteral("NO")), QVariant(QByteArray("\0", 1))}) {
        store.setValue(QStringLiteral("OnlyShowFlagged"), stored);
        EXPECT_TRUE(prefs.onlyShowFlagged()) << qPrintable(stored.toString());
    }
    store.setValue(QStringLiteral("OnlyShowFlagged"), false);
    EXPECT_FALSE(prefs.onlyShowFlagged());
    EXPECT_GT(store.syncCount(), 0); // switches synchronise before every read
}

TEST(PreferencesTest, RatesReadTheLeadingInteger)
{
    MemorySettingsStore store;
    const Preferences prefs(store);
    struct Case {
        QVariant stored;
        int expected;
    };
    const Case cases[] = {
        {QVariant(qlonglong(15)), 60}, // a number, not a text: the default
        {QVariant(QStringLiteral(" 15 minutes")), 15},
        {QVariant(QStringLiteral("\t+7")), 7},
        {QVariant(QStringLiteral("-3")), -3},
        {QVariant(QStringLiteral("abc")), 0},
        {QVariant(QStringLiteral("")), 0},
        {QVariant(QStringLiteral("99999999999999")), INT32_MAX},
        {QVariant(true), 60},
    };
    for (const auto &c : cases) {
        store.setValue(QStringLiteral("StockDataUpdateRate"), c.stored);
        EXPECT_EQ(prefs.stockDataUpdateRate(), c.expected) << qPrintable(c.stored.toString());
    }
}

TEST(PreferencesTest, HeadlineFormatIsTakenAsStored)
{
    MemorySettingsStore store;
    const Preferences prefs(store);
    store.setValue(QStringLiteral("HeadlineFileFormat"), QStringLiteral("pdf"));
    EXPECT_EQ(prefs.headlineFormat(), QStringLiteral("pdf")); // not "PDF": saving takes it as a web archive
    store.setValue(QStringLiteral("HeadlineFileFormat"), qlonglong(1));
    EXPECT_EQ(prefs.headlineFormat(), QStringLiteral("Web Archive"));
}

TEST(PreferencesTest, ColoursRoundTripAndBadDataGivesNone)
{
    MemorySettingsStore store;
    const Preferences prefs(store);
    const QColor chosen(12, 34, 56, 200);
    store.setValue(QStringLiteral("UpColor"), ArchiveColor(chosen));
    EXPECT_EQ(prefs.upColor(), chosen);
    store.setValue(QStringLiteral("DownColor"), QByteArray("garbage"));
    EXPECT_FALSE(prefs.downColor().has_value());
    store.setValue(QStringLiteral("DownColor"), QStringLiteral("red"));
    EXPECT_EQ(prefs.downColor(), QColor(255, 0, 0));
}

TEST(PreferencesTest, WatchListFlagsAndShares)
{
    MemorySettingsStore store;
    const Preferences prefs(store);
    store.setValue(QStringLiteral("StockSymbols"), QVariantList{QStringLiteral("ACME"), qlonglong(5), QStringLiteral("BETA"), QStringLiteral("GAMMA")});
    QVariantMap flags{{QStringLiteral("ACME"), qlonglong(1)}, {QStringLiteral("BETA"), qlonglong(0)}};
    store.setValue(QStringLiteral("ShowSettings"), flags);
    QVariantMap shares{{QStringLiteral("ACME"), QStringLiteral("100")}, {QStringLiteral("GAMMA"), qlonglong(7)}};
    store.setValue(QStringLiteral("CompanyShares"), shares);

    auto symbols = [](const std::vector<WatchedSymbol> &list) {
        QStringList out;
        for (const auto &w : list)
            out.append(w.symbol);
        return out;
    };
    // GAMMA has no flag: hidden while only flagged symbols show.
    EXPECT_EQ(symbols(prefs.watchList(true)), QStringList({QStringLiteral("ACME")}));
    EXPECT_EQ(symbols(prefs.watchList(false)).size(), 3);
    EXPECT_EQ(prefs.sharesForSymbol(QStringLiteral("ACME")), QStringLiteral("100"));
    EXPECT_EQ(prefs.sharesForSymbol(QStringLiteral("GAMMA")), QStringLiteral("7"));
    EXPECT_TRUE(prefs.sharesForSymbol(QStringLiteral("BETA")).isEmpty());

    store.setValue(QStringLiteral("OnlyShowFlagged"), false);
    EXPECT_EQ(symbols(prefs.watchList(true)).size(), 3);
}

TEST(HostsTest, DefaultsAndOverrides)
{
    MemorySettingsStore store;
    store.setValue(QStringLiteral("QuotePageHost"), QStringLiteral(" 127.0.0.1:8080 "));
    store.setValue(QStringLiteral("LogoHost"), qlonglong(3));
    const Hosts hosts = Hosts::fromSettings(store);
    EXPECT_EQ(hosts.quotePage, QStringLiteral("127.0.0.1:8080"));
    EXPECT_FALSE(hosts.logo.isEmpty());
    EXPECT_EQ(Hosts::address(hosts.quotePage, QStringLiteral("/q?s=ACME")), QStringLiteral("http://127.0.0.1:8080/q?s=ACME"));
}

} // namespace
} // namespace tickwell
