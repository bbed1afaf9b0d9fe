#include "LoggingFixture.h"

#include "logging/CLog.h"
#include "logging/LogFolder.h"
#include "logging/StockMonitor.h"

namespace tickwell::testing {
namespace {

using LogFileTest = LoggingFixture;

// Start lines end with a line feed, entries with a carriage return, stop lines with a line feed;
// every logging period adds its own start and stop line.
TEST_F(LogFileTest, TwoLoggingPeriodsGiveTheExactBytes)
{
    setSymbols({QStringLiteral("ACME")});
    setShares({{QStringLiteral("ACME"), QStringLiteral("100")}});
    servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp. "), QStringLiteral("150.25"));

    const QDateTime t0 = timers.now(), restart = t0.addSecs(660);
    launch(); // the first monitor pass runs before the first refresh: nothing to write yet
    timers.advance(660);
    notifications.postPreferencesChanged(); // setup: stop, start, and a pass with no values seen
    timers.advance(5);
    controller().applicationWillTerminate();
    const auto entry = [](const QDateTime &at) {
        return "[" + DefaultDateDescription(at).toUtf8() + "] Acme Corp.  [ACME] : 150.25 (100 shares: 15,025)\r";
    };
    const QByteArray expected = startLine(t0) + entry(t0.addSecs(600)) + stopLine(restart) + startLine(restart) + entry(restart) + stopLine(timers.now());
    EXPECT_EQ(logBytes(QStringLiteral("Tickwell_ACME.log")), expected);
    EXPECT_TRUE(expected.startsWith("[2026-12-05 15:00:00 -0500] Starting logging\n"));
}

// Nothing a symbol holds leads out of the log folder, and a path too long for the 255-byte
// text opens nothing rather than some other, cut-off file. stopLogging closes every writer, also
// those whose symbols left the watch list while logging ran; a symbol listed twice gets one writer.
TEST_F(LogFileTest, SymbolsNameFilesInsideTheLogFolderOnly)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral(".."), QStringLiteral("Tickwell_...log")},
        {QStringLiteral("../../outside"), QStringLiteral("Tickwell_..%2F..%2Foutside.log")},
        {QStringLiteral("A%2FB"), QStringLiteral("Tickwell_A%252FB.log")},
        {QStringLiteral("NUL") + QChar(0) + QStringLiteral("X"), QStringLiteral("Tickwell_NUL%00X.log")},
        {QStringLiteral("ACME"), QStringLiteral("Tickwell_ACME.log")},
    };
    const QString longSymbol(300, QLatin1Char('X'));
    QStringList symbols = {longSymbol, QStringLiteral("ACME")};
    QStringList expected;
    for (const auto &[symbol, fileName] : cases) {
        EXPECT_EQ(QString::fromUtf8(LogFileName(symbol)), fileName);
        symbols.append(symbol);
        expected.append(fileName);
    }
    setSymbols(symbols);
    const QDateTime t0 = timers.now();
    startLogging(controller().preferences(), t0);
    ASSERT_NE(LoggerForSymbol(longSymbol), nullptr);
    EXPECT_FALSE(LoggerForSymbol(longSymbol)->isOpen());
    LogEntry(LoggerForSymbol(longSymbol), QStringLiteral("entry"));
    setSymbols({QStringLiteral("ACME")});
    timers.advance(30);
    stopLogging(timers.now());
    EXPECT_EQ(gLoggers.size(), 0u);
    expected.sort();
    EXPECT_EQ(QDir(logFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name), expected);
    for (const QString &fileName : expected)
        EXPECT_EQ(logBytes(fileName), startLine(t0) + stopLine(timers.now())) << fileName.toStdString();
    EXPECT_EQ(QDir(dataHome()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{QStringLiteral("Brantlow Software")});
}

// Entries are cut to 255 bytes at a character boundary and end with a carriage return only when
// the cut text leaves room for it.
TEST_F(LogFileTest, EntriesAreCutAtACharacterBoundary)
{
    const QString e = QStringLiteral("\u00e9"), euro = QStringLiteral("\u20ac"), clef = QStringLiteral("\U0001D11E"); // 2, 3, 4 bytes
    const std::pair<QString, QByteArray> cases[] = {
        {QString(254, u'a'), QByteArray(254, 'a') + "\r"},
        {QString(255, u'a'), QByteArray(255, 'a')},
        {QString(254, u'a') + e, QByteArray(254, 'a') + "\r"},
        {QString(253, u'a') + e + QStringLiteral("z"), QByteArray(253, 'a') + e.toUtf8()},
        {QString(253, u'a') + euro, QByteArray(253, 'a') + "\r"},
        {clef.repeated(70), clef.repeated(63).toUtf8() + "\r"},
    };
    setSymbols({QStringLiteral("ACME")});
    for (const auto &[text, written] : cases) {
        QFile::remove(logFolder() + QStringLiteral("/Tickwell_ACME.log"));
        startLogging(controller().preferences(), timers.now());
        LogEntry(LoggerForSymbol(QStringLiteral("ACME")), text);
        stopLogging(timers.now());
        const QByteArray bytes = logBytes(QStringLiteral("Tickwell_ACME.log"));
        const qsizetype lineSize = startLine(timers.now()).size(); // the stop line has the same size
        EXPECT_EQ(bytes.mid(lineSize, bytes.size() - 2 * lineSize), written) << text.size() << " units";
    }
}

// The log of a symbol holding a slash is found under its escaped name, inside the log folder. No
// file: the alert names the file and offers the preferences; the folder is made on the way.
TEST_F(LogFileTest, OpenLogFindsTheEscapedFileOrExplains)
{
    setSymbols({QStringLiteral("../A/B")});
    settings.setValue(QStringLiteral("LogToConsoleRate"), QStringLiteral("0")); // must not make a spinning monitor
    launch();
    EXPECT_EQ(timers.pendingTimers().front().interval, 600.0);
    const auto openLog = [this](const char *symbol) {
        MenuItem item = MenuItem::make(QStringLiteral("Open Log"), QStringLiteral("selItemOpenConsoleLog:"));
        item.toolTip = QString::fromLatin1(symbol);
        controller().perform(item);
    };
    openLog("../A/B");
    EXPECT_EQ(desktop.lines(), QStringList({QStringLiteral("open: ") + logFolder() + QStringLiteral("/Tickwell_..%2FA%2FB.log")}));

    settings.setValue(QStringLiteral("LogToConsole"), false);
    relaunch();
    QDir(logFolder()).removeRecursively();
    for (const AlertButton answer : {AlertButton::Default, AlertButton::Other}) {
        desktop.setAnswer(answer);
        openLog("ACME");
    }
    const QString alert = QStringLiteral("alert: There is no log file Tickwell_ACME.log. | Turn logging on in Preferences. [OK] [Preferences...]");
    EXPECT_EQ(desktop.lines().mid(1), QStringList({alert, alert, QStringLiteral("preferences: shown")}));
    EXPECT_TRUE(QFileInfo(logFolder()).isDir());
}

} // namespace
} // namespace tickwell::testing
