#include "LoggingFixture.h"

#include "logging/StockMonitor.h"

namespace tickwell::testing {
namespace {

class MonitorTest : public LoggingFixture {
protected:
    // The entries of the symbol's file: its lines ending in a carriage return.
    QList<QByteArray> entries(const QString &symbol) const
    {
        QList<QByteArray> out;
        const QByteArray bytes = logBytes(QStringLiteral("Tickwell_") + symbol + QStringLiteral(".log"));
        qsizetype from = 0;
        for (qsizetype at = 0; at < bytes.size(); ++at) {
            if (bytes[at] == '\n') {
                from = at + 1;
            } else if (bytes[at] == '\r') {
                out.append(bytes.mid(from, at - from));
                from = at + 1;
            }
        }
        return out;
    }
};

// One refresh seen by three monitor passes: one line when only changes are logged, three otherwise.
TEST_F(MonitorTest, OnlyChangedQuotesAreLoggedWhenAsked)
{
    for (const bool onlyIfChanged : {true, false}) {
        settings.setValue(QStringLiteral("LogToConsoleOnlyIfStockChanges"), onlyIfChanged);
        setSymbols({QStringLiteral("ACME")});
        setShares({});
        servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.25"));
        relaunch();
        const qsizetype before = entries(QStringLiteral("ACME")).size();
        for (int pass = 0; pass < 3; ++pass)
            controller().stocksMonitorTimerAction();
        EXPECT_EQ(entries(QStringLiteral("ACME")).size() - before, onlyIfChanged ? 1 : 3) << onlyIfChanged;
    }
}

TEST_F(MonitorTest, ChangedQuoteAfterARefreshIsLoggedAgain)
{
    setSymbols({QStringLiteral("ACME")});
    setShares({});
    servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.25"));
    launch();
    controller().stocksMonitorTimerAction();
    controller().stocksMonitorTimerAction();
    servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("151.00"));
    controller().updateStockData();
    controller().stocksMonitorTimerAction();
    const auto lines = entries(QStringLiteral("ACME"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith("Acme Corp. [ACME] : 150.25"));
    EXPECT_TRUE(lines[1].endsWith("Acme Corp. [ACME] : 151.00"));
}

// The shares form is chosen by the presence of an entry, even an empty or zero one; the
// holding's value is in decimal style.
TEST_F(MonitorTest, EntryFormsFollowTheSharesEntry)
{
    const QDateTime at = ControllerFixture::startTime();
    struct Case {
        const char *name;
        std::optional<QVariant> shares;
        QString expected;
    };
    const QString head = QStringLiteral("[2026-12-05 15:00:00 -0500] Acme Corp. [ACME] : 150.25");
    const Case cases[] = {
        {"no entry", std::nullopt, head},
        {"text", QVariant(QStringLiteral("100")), head + QStringLiteral(" (100 shares: 15,025)")},
        {"number", QVariant(qlonglong(1200)), head + QStringLiteral(" (1,200 shares: 180,300)")},
        {"empty text", QVariant(QString()), head + QStringLiteral(" (0 shares: 0)")},
        {"zero", QVariant(QStringLiteral("0")), head + QStringLiteral(" (0 shares: 0)")},
        {"fraction", QVariant(QStringLiteral("2.5")), head + QStringLiteral(" (2 shares: 375.625)")},
        {"thousands separator", QVariant(QStringLiteral("1,000")), head + QStringLiteral(" (1 shares: 150.25)")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(LogEntryText(at, QStringLiteral("Acme Corp."), QStringLiteral("ACME"), QStringLiteral("150.25"), c.shares), c.expected)
            << c.name;
}

// Without "CompanyShares" nothing is written, but the value counts as seen.
TEST_F(MonitorTest, MissingSharesSettingWritesNothingButRemembersTheValue)
{
    setSymbols({QStringLiteral("ACME")});
    servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.25"));
    launch();
    controller().stocksMonitorTimerAction();
    EXPECT_TRUE(entries(QStringLiteral("ACME")).isEmpty());
    ASSERT_TRUE(controller().state().m_lastStockValues.has_value());
    EXPECT_EQ(controller().state().m_lastStockValues->value(QStringLiteral("ACME")), QStringLiteral("150.25"));
    setShares({});
    controller().stocksMonitorTimerAction();
    EXPECT_TRUE(entries(QStringLiteral("ACME")).isEmpty()); // the same value: still nothing
}

// Hidden symbols, symbols without a page or a last trade, and symbols without a writer are
// passed over; a page without a company name still gives a line.
TEST_F(MonitorTest, SymbolsThatCannotBeLoggedArePassedOver)
{
    setSymbols({QStringLiteral("HIDE"), QStringLiteral("NOPAGE"), QStringLiteral("NOTRADE"), QStringLiteral("NONAME"), QStringLiteral("ACME")});
    settings.setValue(QStringLiteral("ShowSettings"),
                      QVariantMap{{QStringLiteral("HIDE"), 0}, {QStringLiteral("NOPAGE"), 1}, {QStringLiteral("NOTRADE"), 1},
                                  {QStringLiteral("NONAME"), 1}, {QStringLiteral("ACME"), 1}});
    setShares({});
    servePage(QStringLiteral("HIDE"), QStringLiteral("Hidden"), QStringLiteral("1.00"));
    servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.25"));
    loader.serve(QStringLiteral("http://quotes.test/q?s=NOTRADE"), "<html>Summary for No Trade- </html>");
    loader.serve(QStringLiteral("http://quotes.test/q?s=NONAME"),
                 "<th>Last Trade:</th><td class=\"yfnc_tabledata1\"><big><b><span id=\"yfs_l10_noname\">2.50</span>");
    settings.setValue(QStringLiteral("OnlyShowFlagged"), true);
    launch();
    // NOPAGE is fetched by nobody; ACME loses its writer.
    gLoggers.insert(CString256("ACME")).reset();
    controller().stocksMonitorTimerAction();
    EXPECT_TRUE(entries(QStringLiteral("HIDE")).isEmpty());
    EXPECT_TRUE(entries(QStringLiteral("NOPAGE")).isEmpty());
    EXPECT_TRUE(entries(QStringLiteral("NOTRADE")).isEmpty());
    EXPECT_TRUE(entries(QStringLiteral("ACME")).isEmpty());
    const auto noName = entries(QStringLiteral("NONAME"));
    ASSERT_EQ(noName.size(), 1);
    EXPECT_TRUE(noName[0].endsWith("] NONAME [NONAME] : 2.50")) << noName[0].constData();
    EXPECT_FALSE(controller().state().m_lastStockValues->contains(QStringLiteral("HIDE")));
}

// Each setup starts with no values seen: the first pass after it logs every symbol again.
TEST_F(MonitorTest, SetupForgetsTheValuesSeen)
{
    setSymbols({QStringLiteral("ACME")});
    setShares({});
    servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.25"));
    launch();
    controller().stocksMonitorTimerAction();
    notifications.postPreferencesChanged();
    EXPECT_EQ(entries(QStringLiteral("ACME")).size(), 2);
}

TEST_F(MonitorTest, MonitorRunsAtItsRateAndOnlyWithLoggingOn)
{
    settings.setValue(QStringLiteral("LogToConsoleRate"), QStringLiteral("3"));
    launch();
    const auto pending = timers.pendingTimers();
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_EQ(pending.front().interval, 180.0);

    settings.setValue(QStringLiteral("LogToConsoleRate"), QStringLiteral("0")); // no spinning timer
    notifications.postPreferencesChanged();
    EXPECT_EQ(timers.pendingTimers().front().interval, 600.0);

    settings.setValue(QStringLiteral("LogToConsole"), false);
    notifications.postPreferencesChanged();
    EXPECT_EQ(timers.pendingTimers().size(), 1u);
    EXPECT_FALSE(controller().state().m_lastStockValues.has_value());
}

} // namespace
} // namespace tickwell::testing
