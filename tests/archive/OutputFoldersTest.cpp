#include "ArchiveFixture.h"

#include "archive/FolderReference.h"
#include "archive/OutputFolders.h"

namespace tickwell::testing {
namespace {

class OutputFoldersTest : public ArchiveFixture {
protected:
    QString folder(const QString &relative) const { return QDir(homePath()).filePath(relative); }
    QString make(const QString &relative) const { return QDir().mkpath(folder(relative)) ? folder(relative) : QString(); }
    // Stores the folder as the chooser would, after a cancelled choice.
    void choose(const QString &path)
    {
        ASSERT_EQ(HandleChooseDirectory(settings, kOutputDirectoryKey, [] { return std::optional<QString>(); }), std::nullopt);
        ASSERT_EQ(HandleChooseDirectory(settings, kOutputDirectoryKey, [&] { return std::optional(path); }), path);
    }
};

// The stored folder is found again where the system can: renamed in place, moved nearby.
TEST_F(OutputFoldersTest, TheChosenFolderIsFoundAfterARenameOrAMove)
{
    choose(make(QStringLiteral("Work/News/Headlines")));
    ASSERT_TRUE(QDir().rename(folder(QStringLiteral("Work/News/Headlines")), folder(QStringLiteral("Work/News/Renamed"))));
    EXPECT_EQ(GetOutputDirectory(settings), folder(QStringLiteral("Work/News/Renamed")));

    make(QStringLiteral("Work/Archive"));
    ASSERT_TRUE(QDir().rename(folder(QStringLiteral("Work/News/Renamed")), folder(QStringLiteral("Work/Archive/Headlines"))));
    EXPECT_EQ(GetOutputDirectory(settings), folder(QStringLiteral("Work/Archive/Headlines")));

    // Its parent renamed as well: the old parent is gone, the search starts further up.
    ASSERT_TRUE(QDir().rename(folder(QStringLiteral("Work")), folder(QStringLiteral("Job"))));
    EXPECT_EQ(GetOutputDirectory(settings), folder(QStringLiteral("Job/Archive/Headlines")));
}

// A folder that took over the inode number of the deleted one elsewhere is not it.
TEST_F(OutputFoldersTest, AnUnrelatedFolderIsNeverTakenForTheGoneOne)
{
    choose(make(QStringLiteral("Work/News/Headlines")));
    ASSERT_TRUE(QDir(folder(QStringLiteral("Work/News/Headlines"))).removeRecursively());
    // Make folders until one reuses the inode number (file systems hand freed ones out again).
    for (int i = 0; i < 200; ++i)
        make(QStringLiteral("Work/Other%1").arg(i));
    EXPECT_FALSE(GetOutputDirectory(settings).value_or(QString()).startsWith(folder(QStringLiteral("Work/Other"))));
}

TEST_F(OutputFoldersTest, AFolderGoneForGoodOrUnreadableFallsBackToDownloads)
{
    const QString chosen = make(QStringLiteral("Gone"));
    choose(chosen);
    ASSERT_TRUE(QDir(chosen).removeRecursively());
    EXPECT_EQ(GetOutputDirectory(settings), folder(QStringLiteral("Downloads")));
    EXPECT_TRUE(settings.value(kOutputDirectoryKey)); // the stored bytes are left alone
    make(QStringLiteral("Gone"));
    EXPECT_EQ(GetOutputDirectory(settings), chosen);

    // Stored values that are no folder reference are ignored.
    for (const QVariant &value : {QVariant(folder(QStringLiteral("Downloads"))), QVariant(QByteArray("TWFR\x09")), QVariant(qlonglong(7))}) {
        settings.setValue(kOutputDirectoryKey, value);
        EXPECT_EQ(GetOutputDirectory(settings), folder(QStringLiteral("Downloads"))) << value.toString().toStdString();
    }
    const QByteArray bytes = FolderReference::forFolder(make(QStringLiteral("Real")))->toBytes();
    for (qsizetype length = 0; length < bytes.size(); ++length)
        EXPECT_FALSE(FolderReference::fromBytes(bytes.left(length))) << length;
    EXPECT_TRUE(FolderReference::fromBytes(bytes));
}

} // namespace
} // namespace tickwell::testing
