#include "archive/FolderReference.h"
#include "archive/OutputFolders.h"
#include "platform/MemorySettingsStore.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tickwell::testing {
namespace {

class OutputFoldersTest : public ::testing::Test {
protected:
    OutputFoldersTest()
    {
        m_savedDownloadDir = qgetenv("XDG_DOWNLOAD_DIR");
        QDir().mkpath(downloads());
        qputenv("XDG_DOWNLOAD_DIR", downloads().toLocal8Bit());
    }
    ~OutputFoldersTest() override { qputenv("XDG_DOWNLOAD_DIR", m_savedDownloadDir); }

    QString downloads() const { return m_home.filePath(QStringLiteral("Downloads")); }
    QString folder(const QString &relative) const { return m_home.filePath(relative); }
    QString make(const QString &relative) const
    {
        QDir().mkpath(folder(relative));
        return folder(relative);
    }
    std::optional<QString> chooser(const QString &path) const { return path; }

    MemorySettingsStore store;

private:
    QTemporaryDir m_home;
    QByteArray m_savedDownloadDir;
};

TEST_F(OutputFoldersTest, WithoutAChoiceDocumentsGoToTheDownloadFolder)
{
    EXPECT_EQ(GetOutputDirectory(store), downloads());
    EXPECT_EQ(OutputDirectoryDisplayPath(store), downloads());
}

TEST_F(OutputFoldersTest, AChosenFolderIsStoredAsBytesAndUsed)
{
    const QString chosen = make(QStringLiteral("News/Headlines"));
    EXPECT_EQ(HandleChooseDirectory(store, kOutputDirectoryKey, [&] { return chooser(chosen); }), chosen);
    const auto stored = store.value(kOutputDirectoryKey);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->typeId(), QMetaType::QByteArray);
    EXPECT_EQ(GetOutputDirectory(store), chosen);
    EXPECT_EQ(OutputDirectoryDisplayPath(store), chosen);
    EXPECT_TRUE(QDir(chosen).isEmpty()) << "choosing makes nothing inside the folder";
}

TEST_F(OutputFoldersTest, CancellingTheChooserKeepsTheOldChoice)
{
    const QString chosen = make(QStringLiteral("Kept"));
    ASSERT_TRUE(StoreDirectory(store, kOutputDirectoryKey, chosen));
    EXPECT_EQ(HandleChooseDirectory(store, kOutputDirectoryKey, [] { return std::optional<QString>(); }), std::nullopt);
    EXPECT_EQ(GetOutputDirectory(store), chosen);
}

TEST_F(OutputFoldersTest, ClearingFallsBackToDownloadsAtOnce)
{
    ASSERT_TRUE(StoreDirectory(store, kOutputDirectoryKey, make(QStringLiteral("Chosen"))));
    ClearOutputDirectory(store);
    EXPECT_FALSE(store.value(kOutputDirectoryKey));
    EXPECT_EQ(OutputDirectoryDisplayPath(store), downloads());
}

// The stored folder is found again where the system can: renamed in place, moved nearby.
TEST_F(OutputFoldersTest, TheChosenFolderIsFoundAfterARenameOrAMove)
{
    const QString chosen = make(QStringLiteral("Work/News/Headlines"));
    ASSERT_TRUE(StoreDirectory(store, kOutputDirectoryKey, chosen));

    ASSERT_TRUE(QDir().rename(chosen, folder(QStringLiteral("Work/News/Renamed"))));
    EXPECT_EQ(GetOutputDirectory(store), folder(QStringLiteral("Work/News/Renamed")));

    make(QStringLiteral("Work/Archive"));
    ASSERT_TRUE(QDir().rename(folder(QStringLiteral("Work/News/Renamed")), folder(QStringLiteral("Work/Archive/Headlines"))));
    EXPECT_EQ(GetOutputDirectory(store), folder(QStringLiteral("Work/Archive/Headlines")));

    // Its parent renamed as well: the old parent is gone, the search starts further up.
    ASSERT_TRUE(QDir().rename(folder(QStringLiteral("Work")), folder(QStringLiteral("Job"))));
    EXPECT_EQ(GetOutputDirectory(store), folder(QStringLiteral("Job/Archive/Headlines")));
}

// A folder that took over the inode number of the deleted one elsewhere is not it.
TEST_F(OutputFoldersTest, AnUnrelatedFolderIsNeverTakenForTheGoneOne)
{
    const QString chosen = make(QStringLiteral("Work/News/Headlines"));
    ASSERT_TRUE(StoreDirectory(store, kOutputDirectoryKey, chosen));
    ASSERT_TRUE(QDir(chosen).removeRecursively());
    // Make folders until one reuses the inode number (file systems hand freed ones out again).
    for (int i = 0; i < 200; ++i)
        make(QStringLiteral("Work/Other%1").arg(i));
    const QString found = GetOutputDirectory(store).value_or(QString());
    EXPECT_FALSE(found.startsWith(folder(QStringLiteral("Work/Other")))) << qPrintable(found);
}

TEST_F(OutputFoldersTest, AFolderGoneForGoodFallsBackToDownloads)
{
    const QString chosen = make(QStringLiteral("Gone"));
    ASSERT_TRUE(StoreDirectory(store, kOutputDirectoryKey, chosen));
    ASSERT_TRUE(QDir(chosen).removeRecursively());
    EXPECT_EQ(GetDirectory(store, kOutputDirectoryKey), std::nullopt);
    EXPECT_EQ(GetOutputDirectory(store), downloads());
    // The stored bytes are left alone.
    EXPECT_TRUE(store.value(kOutputDirectoryKey));
}

TEST_F(OutputFoldersTest, AFolderRecreatedAtTheOldPlaceIsUsed)
{
    const QString chosen = make(QStringLiteral("Again"));
    ASSERT_TRUE(StoreDirectory(store, kOutputDirectoryKey, chosen));
    ASSERT_TRUE(QDir(chosen).removeRecursively());
    make(QStringLiteral("Again"));
    EXPECT_EQ(GetOutputDirectory(store), chosen);
}

TEST_F(OutputFoldersTest, StoredValuesThatAreNoReferenceAreIgnored)
{
    const QVariant values[] = {
        QVariant(folder(QStringLiteral("Downloads"))), // a text, not data
        QVariant(QByteArray()),
        QVariant(QByteArray("garbage bytes")),
        QVariant(QByteArray("TWFR\x09")),               // a later version
        QVariant(qlonglong(7)),
    };
    for (const QVariant &value : values) {
        store.setValue(kOutputDirectoryKey, value);
        EXPECT_EQ(GetDirectory(store, kOutputDirectoryKey), std::nullopt) << value.toString().toStdString();
        EXPECT_EQ(GetOutputDirectory(store), downloads());
    }
    // Truncated bytes of a real reference.
    const auto reference = FolderReference::forFolder(make(QStringLiteral("Real")));
    ASSERT_TRUE(reference);
    const QByteArray bytes = reference->toBytes();
    for (qsizetype length = 0; length < bytes.size(); ++length)
        EXPECT_FALSE(FolderReference::fromBytes(bytes.left(length))) << length;
    EXPECT_TRUE(FolderReference::fromBytes(bytes));
}

TEST_F(OutputFoldersTest, OnlyFoldersCanBeChosen)
{
    QFile file(folder(QStringLiteral("file.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(StoreDirectory(store, kOutputDirectoryKey, file.fileName()));
    EXPECT_FALSE(StoreDirectory(store, kOutputDirectoryKey, folder(QStringLiteral("missing"))));
    EXPECT_FALSE(store.value(kOutputDirectoryKey));
}

TEST_F(OutputFoldersTest, TheDownloadFolderFollowsTheEnvironmentAndMustExist)
{
    qputenv("XDG_DOWNLOAD_DIR", folder(QStringLiteral("NotThere")).toLocal8Bit());
    EXPECT_EQ(GetInternetDownloadFolder(), std::nullopt);
    EXPECT_EQ(GetOutputDirectory(store), std::nullopt);
    EXPECT_EQ(OutputDirectoryDisplayPath(store), QString());

    const QString other = make(QStringLiteral("Elsewhere"));
    qputenv("XDG_DOWNLOAD_DIR", other.toLocal8Bit());
    EXPECT_EQ(GetOutputDirectory(store), other);
}

} // namespace
} // namespace tickwell::testing
