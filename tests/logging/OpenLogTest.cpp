#include "LoggingFixture.h"

namespace tickwell::testing {
namespace {

class OpenLogTest : public LoggingFixture {
protected:
    void openLog(const QString &symbol)
    {
        MenuItem item = MenuItem::make(QStringLiteral("Open Log"), QStringLiteral("selItemOpenConsoleLog:"));
        item.toolTip = symbol;
        controller().perform(item);
    }
};

// No file: the alert names the file and offers the preferences; the folder is made on the way.
TEST_F(OpenLogTest, MissingLogExplainsAndOffersThePreferences)
{
    settings.setValue(QStringLiteral("LogToConsole"), false);
    launch();
    for (const AlertButton answer : {AlertButton::Default, AlertButton::Other}) {
        desktop.setAnswer(answer);
        openLog(QStringLiteral("ACME"));
    }
    const QString alert = QStringLiteral("alert: There is no log file Tickwell_ACME.log. | Turn logging on in Preferences. [OK] [Preferences...]");
    EXPECT_EQ(desktop.lines(), QStringList({alert, alert, QStringLiteral("preferences: shown")}));
    EXPECT_TRUE(QFileInfo(logFolder()).isDir());
}

// The log of a symbol holding a slash is found under its escaped name, inside the log folder; a
// viewer that fails is reported.
TEST_F(OpenLogTest, SymbolWithASlashOpensItsOwnLog)
{
    setSymbols({QStringLiteral("../A/B")});
    launch();
    openLog(QStringLiteral("../A/B"));
    EXPECT_EQ(desktop.lines(), QStringList({QStringLiteral("open: ") + logFolder() + QStringLiteral("/Tickwell_..%2FA%2FB.log")}));
    desktop.setFilesOpen(false);
    openLog(QStringLiteral("../A/B"));
    EXPECT_EQ(desktop.alerts(), QStringList({QStringLiteral("No application could open the log file Tickwell_..%2FA%2FB.log.")}));
}

} // namespace
} // namespace tickwell::testing
