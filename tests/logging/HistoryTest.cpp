#include "LoggingFixture.h"

#include "logging/QuoteHistory.h"
#include "platform/OldStylePlist.h"

namespace tickwell::testing {
namespace {

class HistoryTest : public LoggingFixture {
protected:
    void SetUp() override
    {
        LoggingFixture::SetUp();
        setSymbols({QStringLiteral("ACME")});
        setShares({});
    }

    // A refresh at a later moment (the refresh time text names the second) with the given price.
    void refreshLater(const QString &lastTrade, double seconds = 61)
    {
        servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), lastTrade);
        timers.setNow(timers.now().addMSecs(static_cast<qint64>(seconds * 1000)));
        controller().updateStockData();
    }

    const MenuItem *quoteLine(const QString &symbol)
    {
        for (const auto &item : controller().menu())
            if (item.title.contains(QStringLiteral("[") + symbol + QStringLiteral("]")))
                return &item;
        return nullptr;
    }

    // The symbol's submenu after its "Open Log" item (the groups in between are off): the
    // history group, separators as "---".
    QStringList historyItems(const QString &symbol)
    {
        const MenuItem *line = quoteLine(symbol);
        if (!line || !line->submenu)
            return {QStringLiteral("<no line>")};
        QStringList titles;
        for (const auto &item : *line->submenu)
            titles.append(item.separator ? QStringLiteral("---") : item.title);
        return titles.mid(titles.indexOf(QStringLiteral("Open Log")) + 1);
    }

    QStringList history(const QString &symbol = QStringLiteral("ACME")) { return controller().state().m_stockSymbolHistories.value(symbol); }
    QString refreshTime() { return controller().state().m_stocksUpdate_DateTimeString; }

    MenuItem clearItem(std::optional<QString> symbol)
    {
        MenuItem item = MenuItem::make(QStringLiteral("Clear"), QStringLiteral("selItemClearHistories:"));
        item.toolTip = std::move(symbol);
        return item;
    }
};

// However often the menu opens, a refresh adds one entry; a refresh after which the menu never
// opens adds none.
TEST_F(HistoryTest, OneEntryPerRefreshHoweverOftenTheMenuOpens)
{
    servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.25"));
    launch(); // setup builds the menu once
    const QString first = QStringLiteral("150.25 (") + refreshTime() + QStringLiteral(")");
    for (int i = 0; i < 3; ++i)
        statusItem.open();
    EXPECT_EQ(history(), QStringList({first}));

    refreshLater(QStringLiteral("151.00"));
    refreshLater(QStringLiteral("152.00")); // the menu never opened for 151.00
    statusItem.open();
    statusItem.open();
    const QString second = QStringLiteral("152.00 (") + refreshTime() + QStringLiteral(")");
    EXPECT_EQ(history(), QStringList({first, second}));
    EXPECT_EQ(historyItems(QStringLiteral("ACME")),
              QStringList({QStringLiteral("---"), first, second, QStringLiteral("Clear \"ACME\"'s History")}));
}

// The last entry already records the trade when it begins with it, followed by the separator of
// either entry form: a longer price that merely starts the same is a new trade.
TEST_F(HistoryTest, LastEntryThatRecordsTheTradeGetsNoFollower)
{
    struct Case {
        const char *name;
        QString lastEntry;
        QString trade;
        bool recorded;
    };
    const Case cases[] = {
        {"same trade", QStringLiteral("150.25 (December 5, 2026)"), QStringLiteral("150.25"), true},
        {"same trade with shares", QStringLiteral("150.25, [10 shares: $1,502.50] (x)"), QStringLiteral("150.25"), true},
        {"changed trade", QStringLiteral("150.25 (x)"), QStringLiteral("151.00"), false},
        {"trade that is a prefix of the last one", QStringLiteral("150.25 (x)"), QStringLiteral("150.2"), false},
        {"longer trade", QStringLiteral("150.2 (x)"), QStringLiteral("150.25"), false},
        {"entry that is the trade alone", QStringLiteral("150.25"), QStringLiteral("150.25"), true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(HistoryEntryRecordsTrade(c.lastEntry, c.trade), c.recorded) << c.name;

    servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.25"));
    launch();
    refreshLater(QStringLiteral("150.25"));
    statusItem.open();
    EXPECT_EQ(history().size(), 1); // unchanged trade after a new refresh
    refreshLater(QStringLiteral("150.2"));
    statusItem.open();
    EXPECT_EQ(history().size(), 2);
}

// The shares form needs a count above 0; it shows the shares as stored and the value in currency.
TEST_F(HistoryTest, EntryFormsFollowTheShares)
{
    struct Case {
        const char *name;
        std::optional<QVariant> shares;
        QString expected;
    };
    const Case cases[] = {
        {"no entry", std::nullopt, QStringLiteral("150.25 (T)")},
        {"text", QVariant(QStringLiteral("100")), QStringLiteral("150.25, [100 shares: $15,025.00] (T)")},
        {"text with blanks", QVariant(QStringLiteral(" 100")), QStringLiteral("150.25, [ 100 shares: $15,025.00] (T)")},
        {"number", QVariant(qlonglong(3)), QStringLiteral("150.25, [3 shares: $450.75] (T)")},
        {"empty text", QVariant(QString()), QStringLiteral("150.25 (T)")},
        {"zero", QVariant(QStringLiteral("0")), QStringLiteral("150.25 (T)")},
        {"negative", QVariant(QStringLiteral("-5")), QStringLiteral("150.25 (T)")},
        {"not a number", QVariant(QStringLiteral("many")), QStringLiteral("150.25 (T)")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(HistoryEntryText(QStringLiteral("150.25"), c.shares, QStringLiteral("T")), c.expected) << c.name;

    setShares({{QStringLiteral("ACME"), QStringLiteral("100")}});
    servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.25"));
    launch();
    EXPECT_EQ(history(), QStringList({QStringLiteral("150.25, [100 shares: $15,025.00] (") + refreshTime() + QStringLiteral(")")}));
}

// With the history group off, nothing is recorded or shown, but every shown symbol has a list,
// also one whose line is not built.
TEST_F(HistoryTest, HistoryOffRecordsNothingButCreatesTheLists)
{
    settings.setValue(QStringLiteral("IncludeStockHistoryInSubmenu"), false);
    setSymbols({QStringLiteral("ACME"), QStringLiteral("NOPAGE")});
    servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.25"));
    launch();
    EXPECT_TRUE(controller().state().m_stockSymbolHistories.contains(QStringLiteral("ACME")));
    EXPECT_TRUE(controller().state().m_stockSymbolHistories.contains(QStringLiteral("NOPAGE")));
    EXPECT_TRUE(history().isEmpty());
    EXPECT_TRUE(historyItems(QStringLiteral("ACME")).isEmpty()); // not even the group's separator
}

// An empty list shows neither entries nor the clear item, only the group's separator.
TEST_F(HistoryTest, EmptyHistoryShowsNoClearItem)
{
    servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.25"));
    launch();
    controller().state().m_stockSymbolHistories[QStringLiteral("ACME")].clear();
    statusItem.open(); // no new refresh
    EXPECT_EQ(historyItems(QStringLiteral("ACME")), QStringList({QStringLiteral("---")}));
}

TEST_F(HistoryTest, ClearingOneOrAllAsksFirst)
{
    setSymbols({QStringLiteral("ACME"), QStringLiteral("BETA")});
    servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.25"));
    servePage(QStringLiteral("BETA"), QStringLiteral("Beta Inc."), QStringLiteral("10.00"));
    struct Case {
        const char *name;
        std::optional<QString> toolTip;
        AlertButton answer;
        QStringList remaining; // symbols with entries afterwards
        QStringList listed;    // symbols that still have a list
        QString alert;
    };
    const QString one = QStringLiteral("Are you sure you want to clear the history for stock symbol \"ACME\"?");
    const QString all = QStringLiteral("Are you sure you want to clear the history of every symbol?");
    const QStringList both = {QStringLiteral("ACME"), QStringLiteral("BETA")};
    const Case cases[] = {
        {"one, OK", QStringLiteral("ACME"), AlertButton::Default, {QStringLiteral("BETA")}, both, one},
        {"one, Cancel", QStringLiteral("ACME"), AlertButton::Alternate, both, both, one},
        {"all, OK", std::nullopt, AlertButton::Default, {}, {}, all},
        {"all, Cancel", std::nullopt, AlertButton::Alternate, both, both, all},
        {"unknown symbol asks about all", QStringLiteral("GONE"), AlertButton::Default, {}, {}, all},
    };
    for (const Case &c : cases) {
        settings.remove(QStringLiteral("Histories"));
        relaunch();
        desktop.setAnswer(c.answer);
        const qsizetype alertsBefore = desktop.lines().size();
        controller().perform(clearItem(c.toolTip));
        ASSERT_EQ(desktop.lines().size(), alertsBefore + 1) << c.name;
        EXPECT_EQ(desktop.lines().last(),
                  QStringLiteral("alert: ") + c.alert + QStringLiteral(" | This operation can not be undone. [OK] [Cancel]"))
            << c.name;

        const auto &histories = controller().state().m_stockSymbolHistories;
        QStringList remaining;
        for (auto it = histories.constBegin(); it != histories.constEnd(); ++it)
            if (!it->isEmpty())
                remaining.append(it.key());
        EXPECT_EQ(remaining, c.remaining) << c.name;
        EXPECT_EQ(histories.keys(), c.listed) << c.name;
        // What was cleared is stored at once.
        EXPECT_EQ(settings.value(QStringLiteral("Histories"))->toMap().keys(), c.listed) << c.name;
    }
}

TEST_F(HistoryTest, LogHistoriesWritesThePropertyListText)
{
    setSymbols({QStringLiteral("ACME"), QStringLiteral("BETA")});
    settings.setValue(QStringLiteral("Histories"), QVariantMap{{QStringLiteral("ACME"), QVariantList{QStringLiteral("1.00 (a)")}},
                                                               {QStringLiteral("BETA"), QVariantList{}}});
    launch();
    controller().perform(MenuItem::make(QStringLiteral("Log Histories"), QStringLiteral("selItemLogHistories:")));
    ASSERT_EQ(desktop.systemLogLines().size(), 1);
    const QString text = desktop.systemLogLines().front();
    EXPECT_EQ(text, OldStylePlistText(HistoriesValue(controller().state().m_stockSymbolHistories), OldStylePlistLayout::Indented));
    EXPECT_TRUE(text.contains(QStringLiteral("\"1.00 (a)\""))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("BETA"))) << qPrintable(text);
}

// Entries reach the settings when they are recorded, so a run that ends without Quit keeps them.
TEST_F(HistoryTest, HistoriesSurviveARunThatNeverQuits)
{
    servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.25"));
    launch();
    const QStringList recorded = history();
    ASSERT_EQ(recorded.size(), 1);
    EXPECT_EQ(settings.value(QStringLiteral("Histories"))->toMap().value(QStringLiteral("ACME")).toStringList(), recorded);

    relaunch(); // no termination in between
    EXPECT_EQ(history().first(), recorded.first());
}

TEST_F(HistoryTest, NothingIsStoredWhileThereIsNothingToKeep)
{
    settings.remove(QStringLiteral("StockSymbols"));
    launch();
    statusItem.open();
    EXPECT_FALSE(settings.value(QStringLiteral("Histories")).has_value());
    EXPECT_FALSE(StoreChangedHistories(settings, {}));
    EXPECT_TRUE(StoreChangedHistories(settings, {{QStringLiteral("ACME"), {}}}));
    EXPECT_FALSE(StoreChangedHistories(settings, {{QStringLiteral("ACME"), {}}}));
}

} // namespace
} // namespace tickwell::testing
