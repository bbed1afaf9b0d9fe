// Headline saving through the headless tool: tickwell-menu chooses "Save All Headlines..." against
// tickwell-feed, waits for the batch to end, and the documents land in the XDG download folder.
#include "MenuToolFixture.h"
#include "platform/FileComment.h"
#include "support/ProcessTable.h"

#include <QElapsedTimer>
#include <QThread>

#include <csignal>

namespace tickwell::testing {
namespace {

using ArchiveMenuTest = MenuToolFixture;

TEST_F(ArchiveMenuTest, SaveAllHeadlinesThenAgainSkipsWhatIsSaved)
{
    writeSettings(QStringLiteral("<key>StockSymbols</key><array><string>ACME</string></array>\n"
                                 "<key>IncludeHeadlinesInSubmenu</key><true/>\n"));
    const auto run = [&](const QStringList &choices) {
        QStringList arguments{QStringLiteral("--page-timeout"), QStringLiteral("20")};
        for (const QString &choice : choices)
            arguments << QStringLiteral("--select") << choice;
        return QString::fromUtf8(runMenu(arguments).value_or(QByteArray()));
    };
    ASSERT_TRUE(QDir(downloads()).removeRecursively()); // a fresh account: made by the first save
    const QString first = run({QStringLiteral("Save All Headlines..."), QStringLiteral("Go to Headlines folder...")});
    if (first.contains(QStringLiteral("did not finish loading")) || first.contains(QStringLiteral("did not answer")))
        GTEST_SKIP() << "the web engine cannot run here";

    // The feed lists three articles with absolute links (one of them without link text).
    const QStringList files = QDir(downloads()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    ASSERT_EQ(files.size(), 3) << first.toStdString();
    for (const QString &name : files) {
        EXPECT_TRUE(name.startsWith(QStringLiteral("[ACME] ")) && name.endsWith(QStringLiteral(".webarchive"))) << name.toStdString();
        EXPECT_TRUE(FileComment(QDir(downloads()).filePath(name)).value_or(QString()).startsWith(u'"')) << name.toStdString();
    }
    EXPECT_TRUE(first.contains(QStringLiteral("\nprogress: Done\n")));
    EXPECT_TRUE(first.contains(QStringLiteral("\nopen: ") + downloads() + u'\n')) << "the folder that was used";

    const QString second = run({QStringLiteral("Save All Headlines...")});
    EXPECT_EQ(QDir(downloads()).entryList(QDir::Files | QDir::Hidden, QDir::Name), files);
    EXPECT_EQ(second.count(QStringLiteral("progress: This file already exists: [ACME] ")), 3) << second.toStdString();
}

// A file where the download folder should be: every document is named as failed, the batch does
// not end in "Done", and "Go to Headlines folder..." explains instead of doing nothing.
TEST_F(ArchiveMenuTest, ADownloadFolderThatCannotBeMadeIsReported)
{
    writeSettings(QStringLiteral("<key>StockSymbols</key><array><string>ACME</string></array>\n"));
    ASSERT_TRUE(QDir(downloads()).removeRecursively());
    QFile blocker(downloads());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString out = QString::fromUtf8(runMenu({QStringLiteral("--select"), QStringLiteral("Save All Headlines..."), QStringLiteral("--select"),
                                                   QStringLiteral("Go to Headlines folder...")})
                                              .value_or(QByteArray()));
    const QString reason = QStringLiteral(" (cannot create %1 (a file of that name is in the way))").arg(downloads());
    EXPECT_EQ(out.count(QStringLiteral("progress: There was an error saving file: [ACME] ")), 3) << out.toStdString();
    EXPECT_EQ(out.count(reason + u'\n'), 6) << "three status lines and three log lines";
    EXPECT_TRUE(out.contains(QStringLiteral("\nprogress: Done: 3 of 3 documents could not be saved\n")));
    EXPECT_FALSE(out.contains(QStringLiteral("\nprogress: Done\n")));
    EXPECT_TRUE(out.contains(QStringLiteral("\nalert: The Headlines folder cannot be used. | Tickwell cannot create ")));
    EXPECT_FALSE(out.contains(QStringLiteral("\nopen: ")));
}

// The web engine's process killed with SIGKILL in the middle of the third document of a batch:
// that document fails with the error text, every later one is saved by a new helper, the tool
// keeps running to the end and nothing half-written is left in the folder. Every request to the
// feed takes 700 ms, so the kill lands inside the third page's load.
TEST_F(ArchiveMenuTest, KillingTheWebEngineCostsTheDocumentInProgressOnly)
{
    FeedProcess slowFeed({QStringLiteral("--seed"), QStringLiteral("11"), QStringLiteral("--latency-ms"), QStringLiteral("700")});
    ASSERT_FALSE(slowFeed.host().isEmpty());
    writeSettings(QStringLiteral("<key>StockSymbols</key><array><string>ACME</string><string>BETA</string></array>\n"
                                 "<key>SetFilenameToHeadlineArticleName</key><true/>\n"), slowFeed.host());
    QProcess menu;
    menu.setProcessEnvironment(menuEnvironment());
    menu.start(ToolDir() + QStringLiteral("/tickwell-menu"),
               {QStringLiteral("--page-timeout"), QStringLiteral("20"), QStringLiteral("--select"), QStringLiteral("Save All Headlines...")});
    ASSERT_TRUE(menu.waitForStarted());

    // Each document begins with the status line "SYMBOL : headline".
    static const QRegularExpression documentStart(QStringLiteral("^progress: [A-Z]+ : "), QRegularExpression::MultilineOption);
    QByteArray output;
    qint64 killed = 0;
    QElapsedTimer sinceThird;
    QElapsedTimer overall;
    overall.start();
    while (menu.state() != QProcess::NotRunning && overall.elapsed() < 100000) {
        menu.waitForReadyRead(50);
        output += menu.readAllStandardOutput();
        if (!sinceThird.isValid() && QString::fromUtf8(output).count(documentStart) >= 3)
            sinceThird.start();
        // Its title lookup takes 700 ms, the page itself as long again: 1.1 s is inside the load.
        if (!killed && sinceThird.isValid() && sinceThird.elapsed() >= 1100) {
            killed = test::ChildProcessId(menu.processId(), QStringLiteral("tickwell-archiver"));
            ASSERT_GT(killed, 0) << "no helper to kill";
            ::kill(static_cast<pid_t>(killed), SIGKILL);
        }
    }
    output += menu.readAllStandardOutput();
    ASSERT_EQ(menu.state(), QProcess::NotRunning) << "tickwell-menu did not finish";
    EXPECT_EQ(menu.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(menu.exitCode(), 0);

    const QString text = QString::fromUtf8(output);
    const QStringList starts = text.split(u'\n').filter(documentStart);
    ASSERT_EQ(starts.size(), 6) << text.toStdString(); // three headlines for each symbol
    const QString third = starts[2].mid(starts[2].indexOf(QStringLiteral(" : ")) + 3);
    const QString symbol = starts[2].mid(10, starts[2].indexOf(u' ', 10) - 10);
    const QString thirdFile = QStringLiteral("[%1] %2.webarchive").arg(symbol, third);
    EXPECT_TRUE(text.contains(QStringLiteral("progress: There was an error saving file: %1 (the web engine stopped unexpectedly)\n").arg(thirdFile)))
        << text.toStdString();
    const QStringList files = QDir(downloads()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    EXPECT_EQ(files.size(), 5) << files.join(u'|').toStdString();
    EXPECT_FALSE(files.contains(thirdFile));
    for (const QString &name : files)
        EXPECT_TRUE(name.endsWith(QStringLiteral(".webarchive")) && !name.startsWith(u'.')) << name.toStdString();
}

} // namespace
} // namespace tickwell::testing
