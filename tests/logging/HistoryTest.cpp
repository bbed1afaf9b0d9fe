#include "LoggingFixture.h"
#include "support/ToolHome.h"

#include "logging/QuoteHistory.h"
#include "support/LocalHttpServer.h"

namespace tickwell::testing {
namespace {

class HistoryTest : public LoggingFixture {
protected:
    void SetUp() override
    {
        LoggingFixture::SetUp();
        setSymbols({QStringLiteral("ACME")});
        setShares({});
        servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.25"));
    }

    // A refresh a minute later (the refresh time text names the second) with the given price.
    void refreshLater(const QString &lastTrade)
    {
        servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), lastTrade);
        timers.setNow(timers.now().addSecs(61));
        controller().updateStockData();
    }
    QStringList history() { return controller().state().m_stockSymbolHistories.value(QStringLiteral("ACME")); }
    QString entry(const QString &trade) { return trade + QStringLiteral(" (") + controller().state().m_stocksUpdate_DateTimeString + QLatin1Char(')'); }
};

// However often the menu opens, a refresh adds one entry; a refresh after which the menu never
// opens adds none.
TEST_F(HistoryTest, OneEntryPerRefreshHoweverOftenTheMenuOpens)
{
    launch(); // setup builds the menu once
    const QString first = entry(QStringLiteral("150.25"));
    for (int i = 0; i < 3; ++i)
        statusItem.open();
    EXPECT_EQ(history(), QStringList({first}));
    // A crash must not lose a run's history: it reaches the settings when it changes.
    const auto stored = [this] { return settings.value(QStringLiteral("Histories")).value_or(QVariant()).toMap().value(QStringLiteral("ACME")).toList(); };
    EXPECT_EQ(stored().size(), 1);

    refreshLater(QStringLiteral("151.00"));
    refreshLater(QStringLiteral("152.00")); // the menu never opened for 151.00
    statusItem.open();
    const QString second = entry(QStringLiteral("152.00"));
    refreshLater(QStringLiteral("152.00")); // the same trade again
    statusItem.open();
    EXPECT_EQ(history(), QStringList({first, second}));
    EXPECT_EQ(stored().size(), 2);
}

// The last entry already records the trade when it begins with it, followed by the separator of
// either entry form: a longer price that merely starts the same is a new trade. The shares form
// needs a count above 0; it shows the shares as stored and the value in currency.
TEST_F(HistoryTest, EntryFormsAndWhatRecordsATrade)
{
    const std::tuple<QString, QString, bool> cases[] = {
        {QStringLiteral("150.25 (December 5, 2026)"), QStringLiteral("150.25"), true},
        {QStringLiteral("150.25, [10 shares: $1,502.50] (x)"), QStringLiteral("150.25"), true},
        {QStringLiteral("150.25 (x)"), QStringLiteral("150.2"), false},
        {QStringLiteral("150.2 (x)"), QStringLiteral("150.25"), false},
    };
    for (const auto &[last, trade, recorded] : cases)
        EXPECT_EQ(HistoryEntryRecordsTrade(last, trade), recorded) << qPrintable(last) << " / " << qPrintable(trade);
    const std::pair<std::optional<QVariant>, QString> forms[] = {
        {std::nullopt, QStringLiteral("150.25 (T)")},
        {QVariant(QStringLiteral(" 100")), QStringLiteral("150.25, [ 100 shares: $15,025.00] (T)")},
        {QVariant(QStringLiteral("0")), QStringLiteral("150.25 (T)")},
        {QVariant(QStringLiteral("many")), QStringLiteral("150.25 (T)")},
    };
    for (const auto &[shares, expected] : forms)
        EXPECT_EQ(HistoryEntryText(QStringLiteral("150.25"), shares, QStringLiteral("T")), expected);
}

TEST_F(HistoryTest, ClearingOneOrAllAsksFirst)
{
    setSymbols({QStringLiteral("ACME"), QStringLiteral("BETA")});
    servePage(QStringLiteral("BETA"), QStringLiteral("Beta Inc."), QStringLiteral("10.00"));
    const std::tuple<std::optional<QString>, AlertButton, QStringList> cases[] = { // the symbols whose entries remain
        {QStringLiteral("ACME"), AlertButton::Default, {QStringLiteral("BETA")}},
        {QStringLiteral("ACME"), AlertButton::Alternate, {QStringLiteral("ACME"), QStringLiteral("BETA")}},
        {std::nullopt, AlertButton::Default, {}},
        {std::nullopt, AlertButton::Alternate, {QStringLiteral("ACME"), QStringLiteral("BETA")}},
    };
    for (const auto &[toolTip, answer, remaining] : cases) {
        settings.remove(QStringLiteral("Histories"));
        relaunch();
        desktop.setAnswer(answer);
        const qsizetype linesBefore = desktop.lines().size();
        MenuItem clear = MenuItem::make(QStringLiteral("Clear"), QStringLiteral("selItemClearHistories:"));
        clear.toolTip = toolTip;
        controller().perform(clear);
        const QString question = toolTip ? QStringLiteral("Are you sure you want to clear the history for stock symbol \"ACME\"?")
                                         : QStringLiteral("Are you sure you want to clear the history of every symbol?");
        EXPECT_EQ(desktop.lines().mid(linesBefore),
                  QStringList({QStringLiteral("alert: ") + question + QStringLiteral(" | This operation can not be undone. [OK] [Cancel]")}));
        QStringList withEntries;
        const auto &histories = controller().state().m_stockSymbolHistories;
        for (auto it = histories.constBegin(); it != histories.constEnd(); ++it)
            if (!it->isEmpty())
                withEntries.append(it.key());
        EXPECT_EQ(withEntries, remaining) << qPrintable(question);
        EXPECT_EQ(settings.value(QStringLiteral("Histories"))->toMap().keys(), histories.keys()) << "stored at once";
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
    store.setValue(QStringLiteral("CompanyShares"), QVariantMap{{QStringLiteral("ACME"), QStringLiteral("10")}});
    const auto runAt = [&](const QString &lastTrade) {
        server.serve(QStringLiteral("/q?s=ACME"), QuotePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), lastTrade, QStringLiteral("149.00")));
        const auto result = tool.runMenu({});
        EXPECT_EQ(result.exitCode, 0) << result.err.constData();
        const auto histories = tool.settings().value(QStringLiteral("Histories"));
        return histories ? histories->toMap().value(QStringLiteral("ACME")).toStringList() : QStringList();
    };

    const QStringList first = runAt(QStringLiteral("150.25"));
    ASSERT_EQ(first.size(), 1);
    const QStringList second = runAt(QStringLiteral("151.00"));
    ASSERT_EQ(second.size(), 2);
    EXPECT_EQ(second[0], first[0]);
    EXPECT_TRUE(second[1].startsWith(QStringLiteral("151.00, [10 shares: $1,510.00] (")));
}

} // namespace
} // namespace tickwell::testing
