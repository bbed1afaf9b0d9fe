// Headline saving through the headless tool: tickwell-menu chooses "Save All Headlines..." against
// tickwell-feed, waits for the batch to end, and the documents land in the XDG download folder.
#include "MenuToolFixture.h"
#include "platform/FileComment.h"

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

} // namespace
} // namespace tickwell::testing
