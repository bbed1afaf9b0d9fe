#include "LoggingFixture.h"

#include "logging/ConsoleLog.h"

namespace tickwell::testing {
namespace {

class OpenLogTest : public LoggingFixture {
protected:
    MenuItem openLogItem(const QString &symbol)
    {
        MenuItem item = MenuItem::make(QStringLiteral("Open Log"), QStringLiteral("selItemOpenConsoleLog:"));
        item.toolTip = symbol;
        return item;
    }
};

TEST_F(OpenLogTest, ExistingLogOpensInTheDefaultViewer)
{
    setSymbols({QStringLiteral("ACME")});
    launch();
    controller().perform(openLogItem(QStringLiteral("ACME")));
    EXPECT_EQ(desktop.lines(), QStringList({QStringLiteral("open: ") + logFolder() + QStringLiteral("/Tickwell_ACME.log")}));
}

// No file: the alert names the file and offers the preferences; the folder is made on the way.
TEST_F(OpenLogTest, MissingLogExplainsAndOffersThePreferences)
{
    settings.setValue(QStringLiteral("LogToConsole"), false);
    launch();
    for (const AlertButton answer : {AlertButton::Default, AlertButton::Other}) {
        desktop.setAnswer(answer);
        controller().perform(openLogItem(QStringLiteral("ACME")));
    }
    const QString alert = QStringLiteral("alert: There is no log file Tickwell_ACME.log. | Turn logging on in Preferences. [OK] [Preferences...]");
    EXPECT_EQ(desktop.lines(), QStringList({alert, alert, QStringLiteral("preferences: shown")}));
    EXPECT_EQ(desktop.preferencesShown(), 1);
    EXPECT_TRUE(QFileInfo(logFolder()).isDir());
}

// The log of a symbol holding a slash is found under its escaped name, inside the log folder.
TEST_F(OpenLogTest, SymbolWithASlashOpensItsOwnLog)
{
    setSymbols({QStringLiteral("../A/B")});
    launch();
    controller().perform(openLogItem(QStringLiteral("../A/B")));
    EXPECT_EQ(desktop.lines(), QStringList({QStringLiteral("open: ") + logFolder() + QStringLiteral("/Tickwell_..%2FA%2FB.log")}));
}

TEST_F(OpenLogTest, ViewerThatCannotOpenTheFileIsReported)
{
    setSymbols({QStringLiteral("ACME")});
    launch();
    desktop.setFilesOpen(false);
    controller().perform(openLogItem(QStringLiteral("ACME")));
    ASSERT_EQ(desktop.alerts().size(), 1);
    EXPECT_EQ(desktop.alerts().front(), QStringLiteral("No application could open the log file Tickwell_ACME.log."));
}

TEST_F(OpenLogTest, ItemWithoutSymbolDoesNothing)
{
    launch();
    MenuItem item = openLogItem(QString());
    item.toolTip.reset();
    controller().perform(item);
    controller().perform(openLogItem(QString()));
    EXPECT_TRUE(desktop.lines().isEmpty());
}

} // namespace
} // namespace tickwell::testing
