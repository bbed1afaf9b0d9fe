#include "PrefFixture.h"

#include <QScreen>

namespace tickwell::testing {
namespace {

// Not a check: writes the picture of the window for the README when TICKWELL_SCREENSHOT names
// a file. Run it on a real display, for instance:
//   TICKWELL_SCREENSHOT=docs/preferences.png QT_QPA_PLATFORM=xcb xvfb-run -a build/bin/prefs_tests --gtest_filter='*Screenshot*'
class PreferencesScreenshot : public PrefFixture {};

TEST_F(PreferencesScreenshot, WritesThePictureWhenAsked)
{
    const QString target = qEnvironmentVariable("TICKWELL_SCREENSHOT");
    if (target.isEmpty())
        GTEST_SKIP() << "TICKWELL_SCREENSHOT not set";

    settings.setValue("QuotePageHost", QStringLiteral("127.0.0.1:9"));
    settings.setValue("StockSymbols", QVariantList{QStringLiteral("IBM"), QStringLiteral("AAPL"), QStringLiteral("X10"),
                                                   QStringLiteral("x1"), QStringLiteral("X9"), QStringLiteral("brk.b")});
    settings.setValue("CompanyShares", QVariantMap{{"AAPL", "120"}, {"IBM", "35"}});
    settings.setValue("ShowSettings", QVariantMap{{"AAPL", 1LL}, {"IBM", 1LL}, {"brk.b", 1LL}, {"x1", 0LL}, {"X9", 1LL}, {"X10", 0LL}});
    settings.setValue("PriceAlerts", QVariantMap{{"AAPL", QVariantMap{{"Above", "200"}, {"Below", "150"}}}, {"IBM", QVariantMap{{"DayChangePercent", "5"}}}});
    const std::pair<const char *, const char *> companies[] = {
        {"AAPL", "Apple Inc. "}, {"IBM", "International Business Machines "}, {"brk.b", "Berkshire Hathaway Inc. "},
        {"X9", "Example Nine Holdings "}, {"x1", "Example One Corp. "}, {"X10", "Example Ten Ltd. "}};
    for (const auto &[symbol, name] : companies)
        loader.serve(QStringLiteral("http://127.0.0.1:9/q?s=") + QLatin1String(symbol), QByteArray("<title>Summary for ") + name + "- Quotes</title>");

    pref().showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    window().stockSymbolTable->selectRow(1);
    QTest::qWait(300);
    const QPixmap shot = window().screen()->grabWindow(window().winId());
    ASSERT_TRUE(shot.save(target));
}

} // namespace
} // namespace tickwell::testing
