#include "TickerFixture.h"

#include "logging/LoggingFixture.h"
#include "support/ToolHome.h"
#include "support/LocalHttpServer.h"

#include <QJsonArray>

namespace tickwell::testing {
namespace {

// The ticker through the real tool, its HTTP loader and a local server; the rate is in seconds.
TEST(TickwellMenuTickerTest, StepsCycleThroughTheWatchList)
{
    test::LocalHttpServer server;
    ToolHome tool;
    PlistSettingsStore store = tool.settings();
    pointHostsAt(store, server.hostAndPort());
    store.setValue(QStringLiteral("IncludeHeadlinesInSubmenu"), false);
    store.setValue(QStringLiteral("TitleTicker"), true);
    store.setValue(QStringLiteral("TitleTickerRate"), QStringLiteral("3"));
    store.setValue(QStringLiteral("StockSymbols"), SymbolList({QStringLiteral("ACME"), QStringLiteral("ZZZZ")}));
    server.serve(QStringLiteral("/q?s=ACME"), QuotePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.00"), QStringLiteral("149.00")));
    server.serve(QStringLiteral("/json/bzx/book/ACME"), OrderBook(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("0148.2500")),
                 "application/json");
    server.serve(QStringLiteral("/json/bzx/book/ZZZZ"), R"({"success":false,"data":{"company":"Unknown symbol","trades":[]}})", "application/json");

    // The launch's step comes before the first menu build (no previous close yet): the steps begin with ZZZZ.
    const auto result = tool.runMenu({QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("--ticker-steps"), QStringLiteral("2")});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    const QJsonArray steps = result.json().value(QStringLiteral("tickerSteps")).toArray();
    ASSERT_EQ(steps.size(), 2) << result.out.constData();
    EXPECT_EQ(steps[0].toObject().value(QStringLiteral("title")).toString(), QStringLiteral(" "));
    EXPECT_EQ(steps[1].toObject().value(QStringLiteral("title")).toString(), QStringLiteral("ACME:148.25 (0.75,0.503%)"));
    EXPECT_NEAR(steps[1].toObject().value(QStringLiteral("nextFireIn")).toDouble(), 3.0, 0.5);
}

} // namespace
} // namespace tickwell::testing
