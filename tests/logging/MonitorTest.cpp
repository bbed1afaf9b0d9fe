#include "LoggingFixture.h"

#include "logging/StockMonitor.h"

namespace tickwell::testing {
namespace {

class MonitorTest : public LoggingFixture {};

// One refresh seen by three monitor passes: one entry when only changes are logged, three otherwise.
TEST_F(MonitorTest, OnlyChangedQuotesAreLoggedWhenAsked)
{
    setSymbols({QStringLiteral("ACME")});
    setShares({});
    servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.25"));
    for (const bool onlyIfChanged : {true, false}) {
        settings.setValue(QStringLiteral("LogToConsoleOnlyIfStockChanges"), onlyIfChanged);
        relaunch();
        const qsizetype before = logBytes(QStringLiteral("Tickwell_ACME.log")).count('\r');
        for (int pass = 0; pass < 3; ++pass)
            controller().stocksMonitorTimerAction();
        EXPECT_EQ(logBytes(QStringLiteral("Tickwell_ACME.log")).count('\r') - before, onlyIfChanged ? 1 : 3) << onlyIfChanged;
    }
}

// The shares form is chosen by the presence of an entry, even an empty or zero one; the
// holding's value is in decimal style.
TEST_F(MonitorTest, EntryFormsWithAndWithoutShares)
{
    const QString head = QStringLiteral("[2026-12-05 15:00:00 -0500] Acme Corp. [ACME] : 150.25");
    const std::pair<std::optional<QVariant>, QString> cases[] = {
        {std::nullopt, head},
        {QVariant(QStringLiteral("100")), head + QStringLiteral(" (100 shares: 15,025)")},
        {QVariant(qlonglong(1200)), head + QStringLiteral(" (1,200 shares: 180,300)")},
        {QVariant(QString()), head + QStringLiteral(" (0 shares: 0)")},
        {QVariant(QStringLiteral("2.5")), head + QStringLiteral(" (2 shares: 375.625)")},
        {QVariant(QStringLiteral("1,000")), head + QStringLiteral(" (1 shares: 150.25)")},
    };
    for (const auto &[shares, expected] : cases)
        EXPECT_EQ(LogEntryText(startTime(), QStringLiteral("Acme Corp."), QStringLiteral("ACME"), QStringLiteral("150.25"), shares), expected);
}

// "LogToConsoleRate" is in minutes; a rate that reads as 0 must not make a spinning timer.
TEST_F(MonitorTest, MonitorRunsAtItsRateInMinutes)
{
    for (const auto &[rate, interval] : {std::pair{"3", 180.0}, std::pair{"0", 600.0}}) {
        settings.setValue(QStringLiteral("LogToConsoleRate"), QString::fromLatin1(rate));
        relaunch();
        EXPECT_EQ(timers.pendingTimers().front().interval, interval) << rate;
    }
}

} // namespace
} // namespace tickwell::testing
