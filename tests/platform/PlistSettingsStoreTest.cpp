#include "platform/PlistSettingsStore.h"
#include "platform/PlistXml.h"

#include "PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QPoint>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTimeZone>

#include <latch>
#include <thread>

namespace tickwell::testing {
namespace {

// Collects Qt warnings, which is where the store reports trouble.
class WarningCollector {
public:
    WarningCollector() { s_messages.clear(); m_previous = qInstallMessageHandler(&WarningCollector::collect); }
    ~WarningCollector() { qInstallMessageHandler(m_previous); }
    WarningCollector(const WarningCollector &) = delete;
    WarningCollector &operator=(const WarningCollector &) = delete;

    int count(const QString &part) const
    {
        return int(std::count_if(s_messages.cbegin(), s_messages.cend(), [&](const QString &m) { return m.contains(part); }));
    }

private:
    static void collect(QtMsgType, const QMessageLogContext &, const QString &message) { s_messages.append(message); }

    static inline QStringList s_messages;
    QtMessageHandler m_previous = nullptr;
};

class PlistSettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path() const { return m_dir.filePath(QStringLiteral("config/com.brantlow.Tickwell.plist")); }
    QVariantMap fileContents() const { return ReadPlistXml(ReadWholeFile(path())).value_or(QVariantMap()); }
    void writeFile(const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(path()).absolutePath());
        ASSERT_TRUE(WriteWholeFile(path(), bytes));
    }

    QTemporaryDir m_dir;
};

const QVariantMap kEveryType {
    { QStringLiteral("OnlyShowFlagged"), false },
    { QStringLiteral("LogToConsole"), true },
    { QStringLiteral("Count"), qlonglong(-3) },
    { QStringLiteral("Ratio"), 0.75 },
    { QStringLiteral("StockDataUpdateRate"), QStringLiteral("15") },
    { QStringLiteral("UpColor"), QByteArray("\x01\x02\x00\xfe", 4) },
    { QStringLiteral("When"), QDateTime(QDate(2026, 12, 5), QTime(9, 30), QTimeZone::utc()) },
    { QStringLiteral("StockSymbols"), QVariantList { QStringLiteral("ACME"), QStringLiteral("BRK.B") } },
    { QStringLiteral("ShowSettings"), QVariantMap { { QStringLiteral("ACME"), qlonglong(1) }, { QStringLiteral("BRK.B"), qlonglong(0) } } },
};

TEST_F(PlistSettingsStoreTest, MissingFileIsAnEmptyStoreAndTheFolderIsMadeOnFirstWrite)
{
    PlistSettingsStore store(path());
    EXPECT_TRUE(store.values().isEmpty());
    store.synchronize();
    store.remove(QStringLiteral("Nothing"));
    EXPECT_FALSE(QFileInfo::exists(path()));

    store.setValue(QStringLiteral("LogToConsole"), false);
    EXPECT_TRUE(QFileInfo::exists(path()));
    EXPECT_FALSE(store.hasUnsavedChanges());
    EXPECT_FALSE(QFileInfo::exists(path() + QStringLiteral(".lock")));
}

TEST_F(PlistSettingsStoreTest, EveryTypeSurvivesARestartExactly)
{
    {
        PlistSettingsStore store(path());
        for (auto it = kEveryType.cbegin(); it != kEveryType.cend(); ++it)
            store.setValue(it.key(), it.value());
    }
    PlistSettingsStore reopened(path());
    EXPECT_TRUE(SameTypedValue(reopened.values(), kEveryType));
}

TEST_F(PlistSettingsStoreTest, ValuesReadBackAsWhatTheFileWillHold)
{
    PlistSettingsStore store(path());
    store.setValue(QStringLiteral("Count"), 5);
    store.setValue(QStringLiteral("StockSymbols"), QStringList { QStringLiteral("ACME") });
    EXPECT_EQ(store.value(QStringLiteral("Count"))->typeId(), QMetaType::LongLong);
    EXPECT_EQ(store.value(QStringLiteral("StockSymbols"))->typeId(), QMetaType::QVariantList);
    EXPECT_TRUE(SameTypedValue(store.values(), PlistSettingsStore(path()).values()));

    WarningCollector warnings;
    store.setValue(QStringLiteral("Count"), QVariant::fromValue(QPoint(1, 2)));
    EXPECT_TRUE(SameTypedValue(store.value(QStringLiteral("Count")), QVariant(qlonglong(5))));
    EXPECT_EQ(warnings.count(QStringLiteral("no property-list form")), 1);

    // A key XML cannot carry is stored readable rather than breaking the file.
    store.setValue(QStringLiteral("Bad\x01Key"), true);
    EXPECT_TRUE(SameTypedValue(fileContents().value(QStringLiteral("Bad\uFFFDKey")), QVariant(true)));

    store.setValue(QStringLiteral("Count"), QVariant());
    EXPECT_FALSE(store.value(QStringLiteral("Count")).has_value());
    EXPECT_FALSE(fileContents().contains(QStringLiteral("Count")));
}

TEST_F(PlistSettingsStoreTest, KeysWeDoNotKnowSurviveOurWrites)
{
    writeFile("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- written by hand -->\n"
              "<plist version=\"1.0\"><dict>\n"
              "<key>Foreign</key><dict><key>Nested</key><array><real>2.5</real><date>2001-01-01T00:00:00Z</date></array></dict>\n"
              "<key>ForeignNumber</key><integer>0</integer>\n"
              "<key>ForeignData</key><data>AAEC</data>\n"
              "</dict></plist>\n");
    const QVariantMap before = fileContents();
    PlistSettingsStore store(path());
    store.setValue(QStringLiteral("LogToConsole"), false);
    QVariantMap expected = before;
    expected.insert(QStringLiteral("LogToConsole"), false);
    EXPECT_TRUE(SameTypedValue(fileContents(), expected));
    EXPECT_EQ(fileContents().value(QStringLiteral("ForeignNumber")).typeId(), QMetaType::LongLong);
}

TEST_F(PlistSettingsStoreTest, AnotherProcessesWritesAppearAfterSynchronize)
{
    PlistSettingsStore reader(path());
    PlistSettingsStore writer(path());

    writer.setValue(QStringLiteral("TitleTicker"), true);
    EXPECT_FALSE(reader.value(QStringLiteral("TitleTicker")).has_value());
    reader.synchronize();
    EXPECT_TRUE(SameTypedValue(reader.value(QStringLiteral("TitleTicker")), QVariant(true)));

    writer.setValue(QStringLiteral("TitleTicker"), false);
    reader.synchronize();
    EXPECT_TRUE(SameTypedValue(reader.value(QStringLiteral("TitleTicker")), QVariant(false)));

    writer.remove(QStringLiteral("TitleTicker"));
    reader.synchronize();
    EXPECT_FALSE(reader.value(QStringLiteral("TitleTicker")).has_value());

    writer.setValue(QStringLiteral("A"), true);
    reader.synchronize();
    ASSERT_TRUE(QFile::remove(path()));
    reader.synchronize();
    EXPECT_TRUE(reader.values().isEmpty());
}

TEST_F(PlistSettingsStoreTest, InterleavedWritersLoseNoKey)
{
    PlistSettingsStore first(path());
    PlistSettingsStore second(path());
    // Neither synchronises: each write must still start from the file, not from a stale copy.
    first.setValue(QStringLiteral("StockSymbols"), QVariantList { QStringLiteral("ACME") });
    second.setValue(QStringLiteral("CompanyShares"), QVariantMap { { QStringLiteral("ACME"), QStringLiteral("10") } });
    first.setValue(QStringLiteral("ShowSettings"), QVariantMap { { QStringLiteral("ACME"), qlonglong(1) } });
    second.remove(QStringLiteral("Missing"));

    const QVariantMap file = fileContents();
    EXPECT_EQ(file.size(), 3);
    first.synchronize();
    second.synchronize();
    EXPECT_TRUE(SameTypedValue(first.values(), file));
    EXPECT_TRUE(SameTypedValue(second.values(), file));
}

TEST_F(PlistSettingsStoreTest, ConcurrentWritersInThreadsLoseNoKey)
{
    constexpr int kKeysPerWriter = 50;
    std::latch start(2);
    auto writeKeys = [&](const QString &prefix) {
        PlistSettingsStore store(path());
        start.arrive_and_wait();
        for (int i = 0; i < kKeysPerWriter; ++i)
            store.setValue(prefix + QString::number(i), qlonglong(i));
    };
    std::thread a(writeKeys, QStringLiteral("A"));
    std::thread b(writeKeys, QStringLiteral("B"));
    a.join();
    b.join();
    const QVariantMap file = fileContents();
    EXPECT_EQ(file.size(), 2 * kKeysPerWriter);
    EXPECT_TRUE(SameTypedValue(file.value(QStringLiteral("B49")), QVariant(qlonglong(49))));
}

TEST_F(PlistSettingsStoreTest, ALockLeftByACrashedWriterDoesNotBlock)
{
    QDir().mkpath(QFileInfo(path()).absolutePath());
    // The lock file of a process that no longer exists.
    ASSERT_TRUE(WriteWholeFile(path() + QStringLiteral(".lock"),
        "2147483646\ntickwell-defaults\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
    PlistSettingsStore store(path());
    store.setValue(QStringLiteral("A"), true);
    EXPECT_FALSE(store.hasUnsavedChanges());
    EXPECT_TRUE(SameTypedValue(fileContents().value(QStringLiteral("A")), QVariant(true)));
}

TEST_F(PlistSettingsStoreTest, CorruptFileIsSetAsideOnceAndNeverOverwritten)
{
    const QByteArray garbage = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>Stock";
    writeFile(garbage);
    WarningCollector warnings;
    PlistSettingsStore store(path());
    EXPECT_TRUE(store.values().isEmpty());
    EXPECT_EQ(ReadWholeFile(path() + QStringLiteral(".corrupt")), garbage);
    EXPECT_FALSE(QFileInfo::exists(path()));
    store.synchronize();
    store.synchronize();
    EXPECT_EQ(warnings.count(QStringLiteral(".corrupt")), 1);

    store.setValue(QStringLiteral("A"), true);
    EXPECT_TRUE(SameTypedValue(fileContents(), QVariantMap { { QStringLiteral("A"), true } }));

    // A second broken file goes beside the first instead of replacing it.
    const QByteArray otherGarbage = "not a property list";
    writeFile(otherGarbage);
    store.synchronize();
    EXPECT_TRUE(store.values().isEmpty());
    EXPECT_EQ(ReadWholeFile(path() + QStringLiteral(".corrupt")), garbage);
    EXPECT_EQ(ReadWholeFile(path() + QStringLiteral(".corrupt.1")), otherGarbage);
    EXPECT_EQ(warnings.count(QStringLiteral(".corrupt")), 2);

    // Found by a write as well, before anything is written.
    writeFile(garbage);
    store.setValue(QStringLiteral("B"), true);
    EXPECT_EQ(ReadWholeFile(path() + QStringLiteral(".corrupt.2")), garbage);
    EXPECT_TRUE(SameTypedValue(fileContents(), QVariantMap { { QStringLiteral("B"), true } }));
}

TEST_F(PlistSettingsStoreTest, AnEmptyFileIsAnEmptyStoreNotACorruptOne)
{
    writeFile("");
    PlistSettingsStore store(path());
    EXPECT_TRUE(store.values().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path() + QStringLiteral(".corrupt")));
}

TEST_F(PlistSettingsStoreTest, OversizedFileIsSetAsideWithoutReadingIt)
{
    writeFile(QByteArray());
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.resize(kPlistMaxFileSize + 1));
    }
    PlistSettingsStore store(path());
    EXPECT_TRUE(store.values().isEmpty());
    EXPECT_EQ(QFileInfo(path() + QStringLiteral(".corrupt")).size(), kPlistMaxFileSize + 1);
}

TEST_F(PlistSettingsStoreTest, ChangesThatCannotBeSavedStayPendingUntilTheyCan)
{
    // A file where the folder should be: nothing can be written, even by root.
    const QString blocked = m_dir.filePath(QStringLiteral("blocked"));
    ASSERT_TRUE(WriteWholeFile(blocked, "x"));
    const QString blockedPath = blocked + QStringLiteral("/com.brantlow.Tickwell.plist");
    WarningCollector warnings;
    PlistSettingsStore store(blockedPath);
    store.setValue(QStringLiteral("A"), true);
    store.setValue(QStringLiteral("B"), qlonglong(2));
    EXPECT_TRUE(store.hasUnsavedChanges());
    EXPECT_TRUE(SameTypedValue(store.value(QStringLiteral("A")), QVariant(true)));
    store.synchronize();
    EXPECT_TRUE(SameTypedValue(store.value(QStringLiteral("B")), QVariant(qlonglong(2))));
    EXPECT_EQ(warnings.count(QStringLiteral("cannot create")), 1);

    ASSERT_TRUE(QFile::remove(blocked));
    store.synchronize();
    EXPECT_FALSE(store.hasUnsavedChanges());
    EXPECT_TRUE(SameTypedValue(PlistSettingsStore(blockedPath).values(),
        QVariantMap { { QStringLiteral("A"), true }, { QStringLiteral("B"), qlonglong(2) } }));
}

TEST(PlistSettingsStorePath, FollowsXdgConfigHome)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/tickwell-config");
    EXPECT_EQ(PlistSettingsStore::defaultPath(), QStringLiteral("/tmp/tickwell-config/com.brantlow.Tickwell.plist"));
    // A relative value is ignored, as the XDG rules say.
    qputenv("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(PlistSettingsStore::defaultPath(), QDir::homePath() + QStringLiteral("/.config/com.brantlow.Tickwell.plist"));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(PlistSettingsStore::defaultPath(), QDir::homePath() + QStringLiteral("/.config/com.brantlow.Tickwell.plist"));
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}

} // namespace
} // namespace tickwell::testing
