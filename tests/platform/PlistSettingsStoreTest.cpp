#include "platform/settings/PlistSettingsStore.h"
#include "platform/settings/PlistXml.h"

#include "PlatformTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTimeZone>


#include <csignal>
#include <latch>
#include <sys/resource.h>
#include <thread>

namespace tickwell::testing {
namespace {

class PlistSettingsStoreTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("config/com.brantlow.Tickwell.plist")); }
    QVariantMap fileContents() const { return ReadPlistXml(ReadWholeFile(path())).value_or(QVariantMap()); }
    void writeFile(const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(path()).absolutePath());
        ASSERT_TRUE(WriteWholeFile(path(), bytes));
    }

    QTemporaryDir m_dir;
};

TEST_F(PlistSettingsStoreTest, KeysWeDoNotKnowSurviveOurWrites)
{
    writeFile(Plist("<key>Foreign</key><dict><key>Nested</key><array><real>2.5</real></array></dict><key>ForeignData</key><data>AAEC</data>"));
    QVariantMap expected = fileContents();
    ASSERT_EQ(expected.size(), 2);
    PlistSettingsStore(path()).setValue(QStringLiteral("LogToConsole"), false);
    expected.insert(QStringLiteral("LogToConsole"), false);
    EXPECT_TRUE(SameTypedValue(fileContents(), expected));
}

TEST_F(PlistSettingsStoreTest, AnotherStoresWritesAppearAfterSynchronizeWithTheirExactTypes)
{
    const QVariantMap values {
        { QStringLiteral("StockDataUpdateRate"), QStringLiteral("15") },
        { QStringLiteral("UpColor"), QByteArray("\x01\x02\x00\xfe", 4) },
        { QStringLiteral("When"), QDateTime(QDate(2026, 12, 5), QTime(9, 30), QTimeZone::utc()) },
        { QStringLiteral("ShowSettings"), QVariantMap { { QStringLiteral("BRK.B"), QVariantList { false, qlonglong(-3), 0.75 } } } },
    };
    PlistSettingsStore reader(path());
    PlistSettingsStore writer(path()); // the folder does not exist yet
    writer.setValue(QStringLiteral("Gone"), true);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        writer.setValue(it.key(), it.value());
    writer.remove(QStringLiteral("Gone"));
    EXPECT_TRUE(reader.values().isEmpty());
    reader.synchronize();
    EXPECT_TRUE(SameTypedValue(reader.values(), values));
}

TEST_F(PlistSettingsStoreTest, ConcurrentWritersInThreadsLoseNoKey)
{
    // Each write must start from the file, not from a stale copy; one writer finds a crashed writer's lock.
    QDir().mkpath(QFileInfo(path()).absolutePath());
    ASSERT_TRUE(WriteWholeFile(path() + QStringLiteral(".lock"),
        "2147483646\ntickwell-defaults\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
    std::latch start(2);
    auto writeKeys = [&](const QString &prefix) {
        PlistSettingsStore store(path());
        start.arrive_and_wait();
        for (int i = 0; i < 50; ++i)
            store.setValue(prefix + QString::number(i), qlonglong(i));
    };
    std::thread a(writeKeys, QStringLiteral("A")), b(writeKeys, QStringLiteral("B"));
    a.join();
    b.join();
    EXPECT_EQ(fileContents().size(), 100);
}

TEST_F(PlistSettingsStoreTest, CorruptFileIsSetAsideAndNeverOverwritten)
{
    const QByteArray garbage = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>Stock";
    writeFile(garbage);
    PlistSettingsStore store(path());
    EXPECT_TRUE(store.values().isEmpty());
    store.setValue(QStringLiteral("A"), true);
    EXPECT_TRUE(SameTypedValue(fileContents(), QVariantMap { { QStringLiteral("A"), true } }));

    // A second broken file, found by a write, goes beside the first instead of replacing it.
    writeFile("not a property list");
    store.setValue(QStringLiteral("B"), true);
    EXPECT_EQ(ReadWholeFile(path() + QStringLiteral(".corrupt")), garbage);
    EXPECT_EQ(ReadWholeFile(path() + QStringLiteral(".corrupt.1")), "not a property list");
    EXPECT_TRUE(SameTypedValue(fileContents(), QVariantMap { { QStringLiteral("B"), true } }));

    // Oversized is set aside without being read.
    QFile file(path());
    ASSERT_TRUE(file.resize(kPlistMaxFileSize + 1));
    EXPECT_TRUE(PlistSettingsStore(path()).values().isEmpty());
    EXPECT_EQ(QFileInfo(path() + QStringLiteral(".corrupt.2")).size(), kPlistMaxFileSize + 1);
}

TEST_F(PlistSettingsStoreTest, ChangesThatCannotBeSavedStayPendingUntilTheyCan)
{
    // A file where the folder should be: nothing can be written, even by root.
    const QString blocked = m_dir.filePath(QStringLiteral("blocked"));
    ASSERT_TRUE(WriteWholeFile(blocked, "x"));
    PlistSettingsStore store(blocked + QStringLiteral("/com.brantlow.Tickwell.plist"));
    store.setValue(QStringLiteral("A"), true);
    store.synchronize();
    EXPECT_TRUE(store.hasUnsavedChanges());
    ASSERT_TRUE(QFile::remove(blocked));
    store.synchronize();
    EXPECT_TRUE(SameTypedValue(PlistSettingsStore(blocked + QStringLiteral("/com.brantlow.Tickwell.plist")).values(),
        QVariantMap { { QStringLiteral("A"), true } }));
}

// A write that fails part-way (here the file size limit, as a full disk would) leaves the old
// file whole and no temporary file behind; the change is written once it can be.
TEST_F(PlistSettingsStoreTest, AWriteCutShortLeavesTheOldFileWhole)
{
    writeFile(Plist("<key>StockSymbols</key><array><string>ACME</string></array>"));
    const QByteArray before = ReadWholeFile(path());
    PlistSettingsStore store(path());
    const QVariantMap histories{{QStringLiteral("ACME"), QVariantList(2000, QStringLiteral("150.25 (Saturday, December 5, 2026)"))}};

    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const rlimit small {static_cast<rlim_t>(before.size() + 4096), old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &small);
    store.setValue(QStringLiteral("Histories"), histories);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(ReadWholeFile(path()), before);
    EXPECT_TRUE(store.hasUnsavedChanges());
    QStringList left = QDir(QFileInfo(path()).absolutePath()).entryList(QDir::Files | QDir::Hidden);
    left.removeAll(QStringLiteral("com.brantlow.Tickwell.plist.lock"));
    EXPECT_EQ(left.join(u' ').toStdString(), "com.brantlow.Tickwell.plist") << "no temporary file left";
    store.synchronize();
    EXPECT_TRUE(SameTypedValue(fileContents().value(QStringLiteral("Histories")), histories));
}

} // namespace
} // namespace tickwell::testing
