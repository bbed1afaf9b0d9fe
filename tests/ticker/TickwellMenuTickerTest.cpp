#include "TickerFixture.h"

#include "logging/LoggingFixture.h"
#include "logging/TickwellMenuRun.h"
#include "support/LocalHttpServer.h"

namespace tickwell::testing {
namespace {

// The ticker through the real tool, its HTTP loader and a local server.
class TickwellMenuTickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (TickwellMenuRun::program().isEmpty())
            GTEST_SKIP() << "tickwell-menu is not built (TICKWELL_BIN_DIR)";
        PlistSettingsStore store = tool.settings();
        for (const char *key : {"QuotePageHost", "ChartImageHost", "LogoHost", "MetalsHost", "MarketsHost", "OtherIndicesHost", "OrderBookHost"})
            store.setValue(QString::fromLatin1(key), server.hostAndPort());
        store.setValue(QStringLiteral("IncludeHeadlinesInSubmenu"), false);
        store.setValue(QStringLiteral("LogToConsole"), false);
        store.setValue(QStringLiteral("TitleTicker"), true);
        store.setValue(QStringLiteral("StockSymbols"), SymbolList({QStringLiteral("ACME"), QStringLiteral("ZZZZ")}));
        server.serve(QStringLiteral("/q?s=ACME"), QuotePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("150.00"),
                                                            QStringLiteral("149.00")));
        server.serve(QStringLiteral("/json/bzx/book/ACME"), OrderBook(QStringLiteral("ACME"), QStringLiteral("Acme Corp."), QStringLiteral("0148.2500")),
                     "application/json");
        server.serve(QStringLiteral("/json/bzx/book/ZZZZ"),
                     "{\"success\":false,\"data\":{\"company\":\"Unknown symbol\",\"trades\":[]}}", "application/json");
    }

    test::LocalHttpServer server;
    TickwellMenuRun tool;
};

TEST_F(TickwellMenuTickerTest, StepsCycleThroughTheWatchList)
{
    // The step of the launch comes before the first menu build, so no previous close is known
    // then and ACME shows nothing; the steps asked for begin with ZZZZ.
    const auto result = tool.run({QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("--ticker-steps"), QStringLiteral("2")});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    const QJsonArray steps = result.json().value(QStringLiteral("tickerSteps")).toArray();
    ASSERT_EQ(steps.size(), 2) << result.out.constData();

    const QJsonObject unknown = steps[0].toObject();
    EXPECT_EQ(unknown.value(QStringLiteral("title")).toString(), QStringLiteral(" "));
    EXPECT_EQ(unknown.value(QStringLiteral("image")).toString(), QStringLiteral("Tickwell.tif"));
    EXPECT_FALSE(unknown.contains(QStringLiteral("styledTitle")));

    const QJsonObject acme = steps[1].toObject();
    EXPECT_EQ(acme.value(QStringLiteral("title")).toString(), QStringLiteral("ACME:148.25 (0.75,0.503%)"));
    EXPECT_EQ(acme.value(QStringLiteral("image")).toString(), QStringLiteral("menuitem_down_r.tif"));
    const QJsonArray runs = acme.value(QStringLiteral("styledTitle")).toArray();
    ASSERT_EQ(runs.size(), 2);
    EXPECT_TRUE(runs[0].toObject().value(QStringLiteral("color")).isNull());
    EXPECT_EQ(runs[1].toObject().value(QStringLiteral("color")).toString(), QStringLiteral("#ff0000"));
    EXPECT_EQ(runs[1].toObject().value(QStringLiteral("pointSize")).toDouble(), 14.0);
    for (const auto &step : steps)
        EXPECT_NEAR(step.toObject().value(QStringLiteral("nextFireIn")).toDouble(), 10.0, 0.5);
    EXPECT_EQ(server.requestCount(QStringLiteral("/json/bzx/book/ACME")), 2);
}

TEST_F(TickwellMenuTickerTest, CountdownShowsTheBell)
{
    PlistSettingsStore store = tool.settings();
    store.setValue(QStringLiteral("ShowOpeningBellTitle"), true);
    server.serve(QStringLiteral("/"), "<html><body><span class=\"bell\">U.S. Markets open in 42 mins</span></body></html>");
    const auto result = tool.run({QStringLiteral("--ticker-steps"), QStringLiteral("1")});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_TRUE(result.out.contains("Ticker step 1: image OpeningBell.tif, title \"42 mins\", next in ")) << result.out.constData();
    EXPECT_EQ(server.requestCount(QStringLiteral("/json/bzx/book/ACME")), 0);
}

TEST_F(TickwellMenuTickerTest, StepsWithoutTheTickerHaveNoNextStep)
{
    PlistSettingsStore store = tool.settings();
    store.setValue(QStringLiteral("TitleTicker"), false);
    const auto result = tool.run({QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("--ticker-steps"), QStringLiteral("1")});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    const QJsonArray steps = result.json().value(QStringLiteral("tickerSteps")).toArray();
    ASSERT_EQ(steps.size(), 1);
    EXPECT_TRUE(steps[0].toObject().value(QStringLiteral("nextFireIn")).isNull());

    EXPECT_EQ(tool.run({QStringLiteral("--ticker-steps"), QStringLiteral("many")}).exitCode, 2);
}

} // namespace
} // namespace tickwell::testing
