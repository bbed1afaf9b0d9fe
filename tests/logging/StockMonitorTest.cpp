// The quote monitor through its timer: which passes write a line, for which symbols, in which form.
#include "LoggingFixture.h"

namespace tickwell::testing {
namespace {

class StockMonitorTest : public LoggingFixture {
protected:
    // The log entries written for the symbol so far.
    QStringList entries(const QString &symbol) const
    {
        QStringList found;
        for (const QByteArray &line : logBytes(QStringLiteral("Tickwell_%1.log").arg(symbol)).split('\r'))
            if (line.contains("] : ")) {
                const QString entry = QString::fromUtf8(line.mid(line.lastIndexOf('\n') + 1));
                found.append(entry.mid(entry.indexOf(QStringLiteral(" ["), 1) + 1)); // from the symbol on
            }
        return found;
    }
    void passes(int count) { timers.advance(600.0 * count); } // "LogToConsoleRate" 10 minutes
    void refreshWithPrice(const QString &symbol, const QString &price)
    {
        servePage(symbol, QStringLiteral("Acme Corp. "), price);
        controller().perform(MenuItem::make(QStringLiteral("Update Now"), QStringLiteral("selItemUpdateNow:")));
    }
};

// Three passes over one refresh, then a new price and two more passes: with the switch on (also
// when absent) only changes are written, with it off every pass writes.
TEST_F(StockMonitorTest, OnlyIfChangedOverSeveralPasses)
{
    const QString old = QStringLiteral("[ACME] : 150.25 (10 shares: 1,502.5)"), now = QStringLiteral("[ACME] : 151.00 (10 shares: 1,510)");
    const std::pair<std::optional<bool>, QStringList> cases[] = {{std::nullopt, {old, now}}, {true, {old, now}}, {false, {old, old, old, now, now}}};
    for (const auto &[onlyIfChanged, expected] : cases) {
        SCOPED_TRACE(onlyIfChanged ? (*onlyIfChanged ? "on" : "off") : "absent");
        QDir(logFolder()).removeRecursively();
        settings.remove(QStringLiteral("LogToConsoleOnlyIfStockChanges"));
        if (onlyIfChanged)
            settings.setValue(QStringLiteral("LogToConsoleOnlyIfStockChanges"), *onlyIfChanged);
        setSymbols({QStringLiteral("ACME")});
        setShares({{QStringLiteral("ACME"), QStringLiteral("10")}});
        servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp. "), QStringLiteral("150.25"));
        relaunch();
        passes(3);
        refreshWithPrice(QStringLiteral("ACME"), QStringLiteral("151.00"));
        passes(2);
        EXPECT_EQ(entries(QStringLiteral("ACME")), expected);
    }
}

// Hidden symbols (also those without a flag) are passed over while "OnlyShowFlagged" is on. A
// symbol without a shares entry gets the short form, an empty entry counts as one of 0 shares;
// without any "CompanyShares" nothing is written, but the value counts as seen.
TEST_F(StockMonitorTest, HiddenSymbolsAndSymbolsWithoutShares)
{
    const QStringList symbols{"SHOWN", "HIDDEN", "ABSENT", "EMPTY"};
    setSymbols(symbols);
    settings.setValue(QStringLiteral("ShowSettings"), QVariantMap{{"SHOWN", 1LL}, {"HIDDEN", 0LL}, {"EMPTY", 1LL}});
    setShares({{QStringLiteral("SHOWN"), QStringLiteral("2")}, {QStringLiteral("EMPTY"), QString()}});
    for (const QString &symbol : symbols)
        servePage(symbol, QStringLiteral("Co "), QStringLiteral("5.00"));
    for (const bool onlyShowFlagged : {true, false}) {
        SCOPED_TRACE(onlyShowFlagged ? "only flagged" : "all");
        QDir(logFolder()).removeRecursively();
        settings.setValue(QStringLiteral("OnlyShowFlagged"), onlyShowFlagged);
        relaunch();
        passes(1);
        EXPECT_EQ(entries(QStringLiteral("SHOWN")), QStringList{QStringLiteral("[SHOWN] : 5.00 (2 shares: 10)")});
        EXPECT_EQ(entries(QStringLiteral("EMPTY")), QStringList{QStringLiteral("[EMPTY] : 5.00 (0 shares: 0)")});
        const QStringList hidden = onlyShowFlagged ? QStringList() : QStringList{QStringLiteral("[HIDDEN] : 5.00")};
        EXPECT_EQ(entries(QStringLiteral("HIDDEN")), hidden);
        EXPECT_EQ(entries(QStringLiteral("ABSENT")).size(), hidden.size()) << "no flag is not shown";
    }

    // No "CompanyShares" at all: nothing written, yet the value is seen and not written later.
    settings.remove(QStringLiteral("CompanyShares"));
    QDir(logFolder()).removeRecursively();
    relaunch();
    passes(1);
    EXPECT_TRUE(entries(QStringLiteral("SHOWN")).isEmpty());
    setShares({{QStringLiteral("SHOWN"), QStringLiteral("2")}});
    passes(1);
    EXPECT_TRUE(entries(QStringLiteral("SHOWN")).isEmpty());
    refreshWithPrice(QStringLiteral("SHOWN"), QStringLiteral("6.00"));
    passes(1);
    EXPECT_EQ(entries(QStringLiteral("SHOWN")), QStringList{QStringLiteral("[SHOWN] : 6.00 (2 shares: 12)")});
}

} // namespace
} // namespace tickwell::testing
