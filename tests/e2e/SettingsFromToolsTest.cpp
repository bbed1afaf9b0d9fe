// Settings as users write them with tickwell-defaults or by hand, read by the real menu.
#include "MenuToolFixture.h"

namespace tickwell::testing {
namespace {

using SettingsFromTools = MenuToolFixture;

// "-dict ACME 1" stores the text "1", "-dict-int" the integer; a hand-written <true/> or <real>
// does as well. Each keeps the symbol in the menu while "OnlyShowFlagged" is on (the default);
// a real share count of a round million reads as a million shares.
TEST_F(SettingsFromTools, ShowSettingsAndSharesInEveryType)
{
    // defaultsWrite: the arguments after "write ShowSettings", or empty when written by hand.
    const struct { const char *name; QStringList defaultsWrite; QString byHand; } cases[] = {
        {"-dict", {"-dict", "ACME", "1", "BETA", "0"}, {}},
        {"-dict-int", {"-dict-int", "ACME", "1", "BETA", "0"}, {}},
        {"boolean", {}, "<key>ShowSettings</key><dict><key>ACME</key><true/><key>BETA</key><false/></dict>\n"},
        {"real", {}, "<key>ShowSettings</key><dict><key>ACME</key><real>1.0</real><key>BETA</key><real>0.0</real></dict>\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeSettings(QStringLiteral("<key>StockSymbols</key><array><string>ACME</string><string>BETA</string></array>\n"
                                     "<key>CompanyShares</key><dict><key>ACME</key><real>1000000.0</real></dict>\n") + c.byHand);
        ASSERT_TRUE(c.defaultsWrite.isEmpty()
                    || runTool(QStringLiteral("tickwell-defaults"), QStringList{QStringLiteral("write"), QStringLiteral("ShowSettings")} + c.defaultsWrite));
        const QString menu = QString::fromUtf8(runMenu({}).value_or(QByteArray()));
        EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(\[ACME\] (?:\([^)]*\) )?: [\d.,]+.* \(1,000,000 shares: \$[\d,]+\.\d\d\))")).match(menu).hasMatch() && !menu.contains(QStringLiteral("[BETA]"))) << menu.toStdString();
    }
}

} // namespace
} // namespace tickwell::testing
