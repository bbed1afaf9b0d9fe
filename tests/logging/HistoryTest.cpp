#include "LoggingFixture.h"

#include "logging/QuoteHistory.h"
#include "support/LocalHttpServer.h"

namespace tickwell::testing {
namespace {

using HistoryTest = LoggingFixture;

// However often the menu opens, a refresh adds one entry, none if the menu never opens after it or
// for the same trade again; a price that merely starts like the last one is a new trade.
TEST_F(HistoryTest, OneEntryPerRefreshHoweverOftenTheMenuOpens)
{
    const auto entry = [this](const char *trade) { return trade + QStringLiteral(" (") + controller().state().m_stocksUpdate_DateTimeString + u')'; };
    const auto refreshLater = [this](const char *trade) { // a minute later: the refresh time text names the second
        servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QString::fromLatin1(trade));
        timers.setNow(timers.now().addSecs(61));
        controller().updateStockData();
    };
    const auto stored = [this] { return settings.value(QStringLiteral("Histories")).value_or(QVariant()).toMap().value("ACME").toStringList(); };
    setSymbols({QStringLiteral("ACME")});
    servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.25"));
    launch(); // setup builds the menu once
    const QString first = entry("150.25");
    for (int i = 0; i < 3; ++i)
        statusItem.open();
    EXPECT_EQ(stored(), QStringList({first}));
    refreshLater("151.00");
    refreshLater("150.2"); // the menu never opened for 151.00
    statusItem.open();
    const QString second = entry("150.2");
    refreshLater("150.2");
    statusItem.open();
    refreshLater("150.25");
    statusItem.open();
    EXPECT_EQ(stored(), QStringList({first, second, entry("150.25")}));
}

// "Cancel" keeps every entry (the menu-click test chooses OK); the question names what goes.
TEST_F(HistoryTest, ClearingAsksFirstAndCancelKeepsAll)
{
    setSymbols({QStringLiteral("ACME"), QStringLiteral("BETA")});
    servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.25"));
    servePage(QStringLiteral("BETA"), QStringLiteral("Beta Inc."), QStringLiteral("10.00"));
    launch();
    desktop.setAnswer(AlertButton::Alternate);
    for (const std::optional<QString> &toolTip : {std::optional(QStringLiteral("ACME")), std::optional<QString>()}) {
        const qsizetype linesBefore = desktop.lines().size();
        MenuItem clear = MenuItem::make(QStringLiteral("Clear"), QStringLiteral("selItemClearHistories:"));
        clear.toolTip = toolTip;
        controller().perform(clear);
        const QString question = toolTip ? QStringLiteral("the history for stock symbol \"ACME\"?") : QStringLiteral("the history of every symbol?");
        EXPECT_EQ(desktop.lines().mid(linesBefore),
                  QStringList("alert: Are you sure you want to clear " + question + " | This operation can not be undone. [OK] [Cancel]"));
        for (const char *symbol : {"ACME", "BETA"})
            EXPECT_EQ(controller().state().m_stockSymbolHistories.value(symbol).size(), 1) << symbol;
    }
}

// The history through the real tool against a local server: what one launch records, the next
// launch finds.
TEST(TickwellMenuHistoryTest, HistoryPersistsAcrossLaunches)
{
    test::LocalHttpServer server;
    ToolHome tool;
    PlistSettingsStore store = tool.settings();
    pointHostsAt(store, server.hostAndPort());
    store.setValue(QStringLiteral("IncludeHeadlinesInSubmenu"), false);
    store.setValue(QStringLiteral("StockSymbols"), SymbolList({QStringLiteral("ACME")}));
    store.setValue(QStringLiteral("CompanyShares"), QVariantMap{{QStringLiteral("ACME"), QStringLiteral("0")}});
    const auto runAt = [&](const QString &lastTrade) {
        server.serve(QStringLiteral("/q?s=ACME"), QuotePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), lastTrade, QStringLiteral("149.00")));
        EXPECT_EQ(tool.runMenu({}).exitCode, 0);
        return tool.settings().value(QStringLiteral("Histories")).value_or(QVariant()).toMap().value(QStringLiteral("ACME")).toStringList();
    };
    const QStringList first = runAt(QStringLiteral("150.25"));
    ASSERT_EQ(first.size(), 1);
    EXPECT_TRUE(first[0].startsWith(QStringLiteral("150.25 ("))) << "no shares form for 0 shares";
    tool.settings().setValue(QStringLiteral("CompanyShares"), QVariantMap{{QStringLiteral("ACME"), QStringLiteral("10")}});
    const QStringList second = runAt(QStringLiteral("151.00"));
    ASSERT_EQ(second.size(), 2);
    EXPECT_EQ(second[0], first[0]);
    EXPECT_TRUE(second[1].startsWith(QStringLiteral("151.00, [10 shares: $1,510.00] (")));
}

} // namespace
} // namespace tickwell::testing
