#include "LoggingFixture.h"

#include "logging/QuoteHistory.h"

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
    // The ACME submenu from the history group's separator on.
    QStringList historyItems()
    {
        for (const auto &line : controller().menu()) {
            if (!line.title.contains(QStringLiteral("[ACME]")) || !line.submenu)
                continue;
            QStringList titles;
            for (const auto &item : *line.submenu)
                titles.append(item.separator ? QStringLiteral("---") : item.title);
            return titles.mid(titles.indexOf(QStringLiteral("Open Log")) + 1);
        }
        return {};
    }
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

    refreshLater(QStringLiteral("151.00"));
    refreshLater(QStringLiteral("152.00")); // the menu never opened for 151.00
    statusItem.open();
    const QString second = entry(QStringLiteral("152.00"));
    refreshLater(QStringLiteral("152.00")); // the same trade again
    statusItem.open();
    EXPECT_EQ(history(), QStringList({first, second}));
    EXPECT_EQ(historyItems(), QStringList({QStringLiteral("---"), first, second, QStringLiteral("Clear \"ACME\"'s History")}));
}

// The last entry already records the trade when it begins with it, followed by the separator of
// either entry form: a longer price that merely starts the same is a new trade.
TEST_F(HistoryTest, LastEntryThatRecordsTheTradeGetsNoFollower)
{
    const std::tuple<QString, QString, bool> cases[] = {
        {QStringLiteral("150.25 (December 5, 2026)"), QStringLiteral("150.25"), true},
        {QStringLiteral("150.25, [10 shares: $1,502.50] (x)"), QStringLiteral("150.25"), true},
        {QStringLiteral("150.25"), QStringLiteral("150.25"), true},
        {QStringLiteral("150.25 (x)"), QStringLiteral("151.00"), false},
        {QStringLiteral("150.25 (x)"), QStringLiteral("150.2"), false},
        {QStringLiteral("150.2 (x)"), QStringLiteral("150.25"), false},
    };
    for (const auto &[last, trade, recorded] : cases)
        EXPECT_EQ(HistoryEntryRecordsTrade(last, trade), recorded) << qPrintable(last) << " / " << qPrintable(trade);
}

// The shares form needs a count above 0; it shows the shares as stored and the value in currency.
TEST_F(HistoryTest, EntryFormsWithAndWithoutShares)
{
    const std::pair<std::optional<QVariant>, QString> cases[] = {
        {std::nullopt, QStringLiteral("150.25 (T)")},
        {QVariant(QStringLiteral(" 100")), QStringLiteral("150.25, [ 100 shares: $15,025.00] (T)")},
        {QVariant(qlonglong(3)), QStringLiteral("150.25, [3 shares: $450.75] (T)")},
        {QVariant(QString()), QStringLiteral("150.25 (T)")},
        {QVariant(QStringLiteral("0")), QStringLiteral("150.25 (T)")},
        {QVariant(QStringLiteral("-5")), QStringLiteral("150.25 (T)")},
        {QVariant(QStringLiteral("many")), QStringLiteral("150.25 (T)")},
    };
    for (const auto &[shares, expected] : cases)
        EXPECT_EQ(HistoryEntryText(QStringLiteral("150.25"), shares, QStringLiteral("T")), expected);
}

TEST_F(HistoryTest, ClearingOneOrAllAsksFirst)
{
    setSymbols({QStringLiteral("ACME"), QStringLiteral("BETA")});
    servePage(QStringLiteral("BETA"), QStringLiteral("Beta Inc."), QStringLiteral("10.00"));
    struct Case {
        std::optional<QString> toolTip;
        AlertButton answer;
        QVariantMap entryCounts; // in memory and, as lists, stored at once
    };
    const QVariantMap untouched = {{QStringLiteral("ACME"), 1}, {QStringLiteral("BETA"), 1}};
    const Case cases[] = {
        {QStringLiteral("ACME"), AlertButton::Default, {{QStringLiteral("ACME"), 0}, {QStringLiteral("BETA"), 1}}},
        {QStringLiteral("ACME"), AlertButton::Alternate, untouched},
        {std::nullopt, AlertButton::Default, {}},
        {std::nullopt, AlertButton::Alternate, untouched},
        {QStringLiteral("GONE"), AlertButton::Default, {}}, // an unknown symbol asks about all
    };
    for (const Case &c : cases) {
        settings.remove(QStringLiteral("Histories"));
        relaunch();
        desktop.setAnswer(c.answer);
        const qsizetype linesBefore = desktop.lines().size();
        MenuItem clear = MenuItem::make(QStringLiteral("Clear"), QStringLiteral("selItemClearHistories:"));
        clear.toolTip = c.toolTip;
        controller().perform(clear);
        const QString question = c.toolTip == QStringLiteral("ACME")
                                     ? QStringLiteral("Are you sure you want to clear the history for stock symbol \"ACME\"?")
                                     : QStringLiteral("Are you sure you want to clear the history of every symbol?");
        EXPECT_EQ(desktop.lines().mid(linesBefore),
                  QStringList({QStringLiteral("alert: ") + question + QStringLiteral(" | This operation can not be undone. [OK] [Cancel]")}));
        QVariantMap counts;
        const auto &histories = controller().state().m_stockSymbolHistories;
        for (auto it = histories.constBegin(); it != histories.constEnd(); ++it)
            counts.insert(it.key(), int(it->size()));
        EXPECT_EQ(counts, c.entryCounts) << qPrintable(question);
        EXPECT_EQ(settings.value(QStringLiteral("Histories"))->toMap().keys(), c.entryCounts.keys());
    }
}

// Entries reach the settings when they are recorded, so a run that ends without Quit keeps them;
// nothing is written while nothing changed.
TEST_F(HistoryTest, HistoriesAreStoredWhenTheyChange)
{
    launch();
    const QStringList recorded = history();
    ASSERT_EQ(recorded.size(), 1);
    EXPECT_EQ(settings.value(QStringLiteral("Histories"))->toMap().value(QStringLiteral("ACME")).toStringList(), recorded);
    relaunch(); // no termination in between
    EXPECT_EQ(history(), recorded);

    MemorySettingsStore store;
    EXPECT_FALSE(StoreChangedHistories(store, {}));
    EXPECT_FALSE(store.value(QStringLiteral("Histories")).has_value());
    EXPECT_TRUE(StoreChangedHistories(store, {{QStringLiteral("ACME"), {}}}));
    EXPECT_FALSE(StoreChangedHistories(store, {{QStringLiteral("ACME"), {}}}));
}

} // namespace
} // namespace tickwell::testing
