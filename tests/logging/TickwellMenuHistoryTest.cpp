#include "LoggingFixture.h"
#include "TickwellMenuRun.h"

#include "support/LocalHttpServer.h"

namespace tickwell::testing {
namespace {

// The history through the real tool against a local server: what one launch records, the next
// launch finds.
TEST(TickwellMenuHistoryTest, HistoryPersistsAcrossLaunches)
{
    if (TickwellMenuRun::program().isEmpty())
        GTEST_SKIP() << "tickwell-menu is not built (TICKWELL_BIN_DIR)";
    test::LocalHttpServer server;
    TickwellMenuRun tool;
    PlistSettingsStore store = tool.settings();
    for (const char *key : {"QuotePageHost", "ChartImageHost", "LogoHost"})
        store.setValue(QString::fromLatin1(key), server.hostAndPort());
    store.setValue(QStringLiteral("IncludeHeadlinesInSubmenu"), false);
    store.setValue(QStringLiteral("StockSymbols"), SymbolList({QStringLiteral("ACME")}));
    store.setValue(QStringLiteral("CompanyShares"), QVariantMap{{QStringLiteral("ACME"), QStringLiteral("10")}});
    const auto runAt = [&](const QString &lastTrade) {
        server.serve(QStringLiteral("/q?s=ACME"), QuotePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), lastTrade, QStringLiteral("149.00")));
        const auto result = tool.run({});
        EXPECT_EQ(result.exitCode, 0) << result.err.constData();
        const auto histories = tool.settings().value(QStringLiteral("Histories"));
        return histories ? histories->toMap().value(QStringLiteral("ACME")).toStringList() : QStringList();
    };

    const QStringList first = runAt(QStringLiteral("150.25"));
    ASSERT_EQ(first.size(), 1);
    EXPECT_TRUE(first[0].startsWith(QStringLiteral("150.25, [10 shares: $1,502.50] ("))) << qPrintable(first[0]);
    const QStringList second = runAt(QStringLiteral("151.00"));
    ASSERT_EQ(second.size(), 2);
    EXPECT_EQ(second[0], first[0]);
    EXPECT_TRUE(second[1].startsWith(QStringLiteral("151.00, [10 shares: $1,510.00] (")));
}

} // namespace
} // namespace tickwell::testing
