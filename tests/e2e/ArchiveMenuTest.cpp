// Headline saving through the headless tool: tickwell-menu chooses "Save All Headlines..." against
// tickwell-feed, waits for the batch to end, and the documents land in the XDG download folder.
#include "MenuToolFixture.h"
#include "platform/session/FileComment.h"

namespace tickwell::testing {
namespace {

using ArchiveMenuTest = MenuToolFixture;

TEST_F(ArchiveMenuTest, SaveAllHeadlinesThenAgainSkipsWhatIsSaved)
{
    writeSettings(QStringLiteral("<key>StockSymbols</key><array><string>ACME</string></array>\n"
                                 "<key>IncludeHeadlinesInSubmenu</key><true/>\n"));
    const auto run = [&](const QStringList &choices) { return QString::fromUtf8(runMenu(QStringList{"--page-timeout", "20"} + choices).value_or(QByteArray())); };
    ASSERT_TRUE(QDir(downloads()).removeRecursively()); // a fresh account: made by the first save
    const QString first = run({"--select", "Save All Headlines...", "--select", "Go to Headlines folder..."});
    if (first.contains(QStringLiteral("did not finish loading")) || first.contains(QStringLiteral("did not answer")))
        GTEST_SKIP() << "the web engine cannot run here";

    // The feed lists three articles with absolute links (one of them without link text).
    const QStringList files = QDir(downloads()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    ASSERT_EQ(files.size(), 3) << first.toStdString();
    for (const QString &name : files)
        EXPECT_TRUE(name.startsWith(QStringLiteral("[ACME] ")) && name.endsWith(QStringLiteral(".webarchive"))
                    && FileComment(QDir(downloads()).filePath(name)).value_or(QString()).startsWith(u'"')) << name.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("\nprogress: Done\n")) && first.contains(QStringLiteral("\nopen: ") + downloads() + u'\n'));

    const QString second = run({"--select", "Save All Headlines..."});
    EXPECT_EQ(QDir(downloads()).entryList(QDir::Files | QDir::Hidden, QDir::Name), files);
    EXPECT_EQ(second.count(QStringLiteral("progress: This file already exists: [ACME] ")), 3) << second.toStdString();
}

} // namespace
} // namespace tickwell::testing
