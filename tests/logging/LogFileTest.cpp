#include "LoggingFixture.h"

#include "logging/CLog.h"
#include "logging/LogFolder.h"

namespace tickwell::testing {
namespace {

class LogFileTest : public LoggingFixture {};

// Start lines end with a line feed, entries with a carriage return, stop lines with a line feed;
// every logging period adds its own start and stop line.
TEST_F(LogFileTest, TwoLoggingPeriodsGiveTheExactBytes)
{
    setSymbols({QStringLiteral("ACME")});
    setShares({{QStringLiteral("ACME"), QStringLiteral("100")}});
    servePage(QStringLiteral("ACME"), QStringLiteral("Acme Corp. "), QStringLiteral("150.25"));

    const QDateTime t0 = timers.now();
    launch(); // the first monitor pass runs before the first refresh: nothing to write yet
    timers.advance(600);
    const QDateTime firstEntry = timers.now();
    timers.advance(60);
    const QDateTime restart = timers.now();
    notifications.postPreferencesChanged(); // setup: stop, start, and a pass with no values seen
    timers.advance(5);
    const QDateTime quit = timers.now();
    controller().applicationWillTerminate();

    const auto entry = [](const QDateTime &at) {
        return "[" + DefaultDateDescription(at).toUtf8() + "] Acme Corp.  [ACME] : 150.25 (100 shares: 15,025)\r";
    };
    const QByteArray expected = startLine(t0) + entry(firstEntry) + stopLine(restart) + startLine(restart) + entry(restart) + stopLine(quit);
    EXPECT_EQ(logBytes(QStringLiteral("Tickwell_ACME.log")), expected);
    EXPECT_TRUE(expected.startsWith("[2026-12-05 15:00:00 -0500] Starting logging\n"));
}

TEST_F(LogFileTest, LoggingOffOpensNoFilesAndTerminationClosesNothing)
{
    setSymbols({QStringLiteral("ACME")});
    settings.setValue(QStringLiteral("LogToConsole"), false);
    launch();
    controller().applicationWillTerminate();
    EXPECT_TRUE(filesInDataHome().isEmpty());
}

// Every symbol of the watch list, shown or not, gets its file; a symbol listed twice gets one
// writer and one start line.
TEST_F(LogFileTest, EverySymbolGetsOneFileShownOrNot)
{
    setSymbols({QStringLiteral("ACME"), QStringLiteral("HIDE"), QStringLiteral("ACME")});
    settings.setValue(QStringLiteral("ShowSettings"), QVariantMap{{QStringLiteral("ACME"), 1}, {QStringLiteral("HIDE"), 0}});
    const QDateTime t0 = timers.now();
    launch();
    controller().applicationWillTerminate();
    EXPECT_EQ(logBytes(QStringLiteral("Tickwell_ACME.log")), startLine(t0) + stopLine(t0));
    EXPECT_EQ(logBytes(QStringLiteral("Tickwell_HIDE.log")), startLine(t0) + stopLine(t0));
}

// A writer whose symbol left the watch list while logging ran is closed too: its file gets
// its stop line.
TEST_F(LogFileTest, WritersOfRemovedSymbolsAreClosed)
{
    setSymbols({QStringLiteral("ACME"), QStringLiteral("GONE")});
    const QDateTime t0 = timers.now();
    startLogging(controller().preferences(), t0);
    setSymbols({QStringLiteral("ACME")});
    timers.advance(30);
    stopLogging(timers.now());
    EXPECT_EQ(logBytes(QStringLiteral("Tickwell_GONE.log")), startLine(t0) + stopLine(timers.now()));
    EXPECT_EQ(gLoggers.size(), 0u);
}

// The log file name holds the symbol as typed: ordinary symbols keep their names, and nothing a
// symbol holds leads out of the log folder.
TEST_F(LogFileTest, SymbolsNameFilesInsideTheLogFolderOnly)
{
    struct Case {
        QString symbol;
        QString fileName;
    };
    const Case cases[] = {
        {QStringLiteral("ACME"), QStringLiteral("Tickwell_ACME.log")},
        {QStringLiteral("acme"), QStringLiteral("Tickwell_acme.log")},
        {QStringLiteral("BRK.A"), QStringLiteral("Tickwell_BRK.A.log")},
        {QStringLiteral("^DJI"), QStringLiteral("Tickwell_^DJI.log")},
        {QStringLiteral("RDS-B"), QStringLiteral("Tickwell_RDS-B.log")},
        {QStringLiteral("N\u00c9E"), QStringLiteral("Tickwell_N\u00c9E.log")},
        {QStringLiteral(".."), QStringLiteral("Tickwell_...log")},
        {QStringLiteral("A/B"), QStringLiteral("Tickwell_A%2FB.log")},
        {QStringLiteral("../../outside"), QStringLiteral("Tickwell_..%2F..%2Foutside.log")},
        {QStringLiteral("/etc/passwd"), QStringLiteral("Tickwell_%2Fetc%2Fpasswd.log")},
        {QStringLiteral("A%2FB"), QStringLiteral("Tickwell_A%252FB.log")},
        {QStringLiteral("NUL") + QChar(0) + QStringLiteral("X"), QStringLiteral("Tickwell_NUL%00X.log")},
    };
    QStringList symbols;
    for (const Case &c : cases) {
        EXPECT_EQ(QString::fromUtf8(LogFileName(c.symbol)), c.fileName);
        symbols.append(c.symbol);
    }
    setSymbols(symbols);
    startLogging(controller().preferences(), timers.now());
    stopLogging(timers.now());

    QStringList expected;
    for (const Case &c : cases)
        expected.append(QStringLiteral("Brantlow Software/Tickwell/") + c.fileName);
    expected.sort();
    EXPECT_EQ(filesInDataHome(), expected); // nothing anywhere else below the data home
    EXPECT_FALSE(QFile::exists(dataHome() + QStringLiteral("/outside.log")));
}

// A path that does not fit in 255 bytes would be cut into the name of some other file; such a
// writer opens nothing.
TEST_F(LogFileTest, PathTooLongForTheTextOpensNothing)
{
    const QString longSymbol(300, QLatin1Char('X'));
    setSymbols({longSymbol, QStringLiteral("ACME")});
    startLogging(controller().preferences(), timers.now());
    ASSERT_NE(LoggerForSymbol(longSymbol), nullptr); // a writer that writes nothing
    EXPECT_FALSE(LoggerForSymbol(longSymbol)->isOpen());
    LogEntry(LoggerForSymbol(longSymbol), QStringLiteral("entry"));
    stopLogging(timers.now());
    EXPECT_EQ(filesInDataHome(), QStringList({QStringLiteral("Brantlow Software/Tickwell/Tickwell_ACME.log")}));
}

TEST_F(LogFileTest, UnopenableFileGivesAWriterThatWritesNothing)
{
    ASSERT_TRUE(QDir().mkpath(logFolder() + QStringLiteral("/Tickwell_ACME.log"))); // a folder in the way
    setSymbols({QStringLiteral("ACME")});
    startLogging(controller().preferences(), timers.now());
    CLog *writer = LoggerForSymbol(QStringLiteral("ACME"));
    ASSERT_NE(writer, nullptr);
    EXPECT_FALSE(writer->isOpen());
    EXPECT_NE(writer->Write_Entry(CString256("x\r")), 0);
    stopLogging(timers.now());
}

TEST_F(LogFileTest, NoLogFolderMeansNoWriters)
{
    // The data home is a file, so no folder can be made below it.
    const QString blocked = dataHome() + QStringLiteral("/blocked");
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    qputenv("XDG_DATA_HOME", blocked.toUtf8());
    setSymbols({QStringLiteral("ACME")});
    startLogging(controller().preferences(), timers.now());
    EXPECT_EQ(LoggerForSymbol(QStringLiteral("ACME")), nullptr);
    EXPECT_FALSE(GetOurApplicationSupportFolder().has_value());
}

// Entries are cut to 255 bytes at a character boundary and end with a carriage return only when
// the cut text leaves room for it.
TEST_F(LogFileTest, EntriesAreCutAtACharacterBoundary)
{
    struct Case {
        const char *name;
        QString text;
        QByteArray written;
    };
    const QString e = QStringLiteral("\u00e9");     // 2 bytes
    const QString euro = QStringLiteral("\u20ac");  // 3 bytes
    const QString clef = QStringLiteral("\U0001D11E"); // 4 bytes
    const Case cases[] = {
        {"short", QStringLiteral("abc"), "abc\r"},
        {"254 bytes", QString(254, u'a'), QByteArray(254, 'a') + "\r"},
        {"255 bytes", QString(255, u'a'), QByteArray(255, 'a')},
        {"300 bytes", QString(300, u'a'), QByteArray(255, 'a')},
        {"two-byte character across the cut", QString(254, u'a') + e, QByteArray(254, 'a') + "\r"},
        {"two-byte character ending at the cut", QString(253, u'a') + e + QStringLiteral("z"), QByteArray(253, 'a') + e.toUtf8()},
        {"three-byte character across the cut", QString(253, u'a') + euro, QByteArray(253, 'a') + "\r"},
        {"four-byte character across the cut", QString(252, u'a') + clef, QByteArray(252, 'a') + "\r"},
        {"four-byte characters only", QString(clef).repeated(70), clef.repeated(63).toUtf8() + "\r"},
    };
    setSymbols({QStringLiteral("ACME")});
    for (const Case &c : cases) {
        QFile::remove(logFolder() + QStringLiteral("/Tickwell_ACME.log"));
        startLogging(controller().preferences(), timers.now());
        LogEntry(LoggerForSymbol(QStringLiteral("ACME")), c.text);
        stopLogging(timers.now());
        const QByteArray bytes = logBytes(QStringLiteral("Tickwell_ACME.log"));
        const qsizetype lineSize = startLine(timers.now()).size(); // the stop line has the same size
        const QByteArray entry = bytes.mid(lineSize, bytes.size() - 2 * lineSize);
        EXPECT_EQ(entry, c.written) << c.name;
        EXPECT_TRUE(QString::fromUtf8(entry).toUtf8() == entry) << c.name << ": not valid UTF-8";
    }
}

TEST_F(LogFileTest, LogEntryWithoutWriterOrTextDoesNothing)
{
    setSymbols({QStringLiteral("ACME")});
    const QDateTime t0 = timers.now();
    startLogging(controller().preferences(), t0);
    LogEntry(nullptr, QStringLiteral("lost"));
    LogEntry(LoggerForSymbol(QStringLiteral("ACME")), std::nullopt);
    stopLogging(t0);
    EXPECT_EQ(logBytes(QStringLiteral("Tickwell_ACME.log")), startLine(t0) + stopLine(t0));
}

} // namespace
} // namespace tickwell::testing
