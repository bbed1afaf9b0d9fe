// The settings file across stores, processes, threads and other programs: what one writes the
// next reads with its exact types, and no failure (a corrupt file, a full disk, a crashed writer)
// costs a setting.
#include "platform/settings/PlistSettingsStore.h"
#include "platform/settings/PlistXml.h"

#include "PlatformTestSupport.h"
#include "support/ToolHome.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTimeZone>

#include <csignal>
#include <latch>
#include <sys/resource.h>
#include <thread>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

class PlistSettingsStoreTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(u"config/com.brantlow.Tickwell.plist"_s); }
    QVariantMap fileContents() const { return ReadPlistXml(ReadWholeFile(path())).value_or(QVariantMap()); }
    void writeFile(const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(path()).absolutePath());
        ASSERT_TRUE(WriteWholeFile(path(), bytes));
    }

    QTemporaryDir m_dir;
};

// Keys we do not know and values at the edge of what the file holds survive our writes, so the
// next start keeps every setting; a value the file cannot hold is refused when set.
TEST_F(PlistSettingsStoreTest, WhatTheFileHeldSurvivesOurWrites)
{
    writeFile(Plist("<key>Foreign</key><dict><key>Nested</key><array><real>2.5</real></array></dict><key>ForeignData</key><data>AAEC</data>"
                    "<key>Late</key><date>9999-12-31T23:59:59-01:00</date><key>Early</key><date>0001-01-01T00:00:00+01:00</date>"
                    "<key>Zero</key><real>-0</real>"));
    QVariantMap expected = fileContents();
    ASSERT_EQ(expected.size(), 5);
    {
        PlistSettingsStore store(path());
        store.setValue(u"LogToConsole"_s, false);
        store.setValue(u"Far"_s, QDateTime(QDate(20000, 1, 1), QTime(0, 0), QTimeZone::utc()));
        EXPECT_FALSE(store.value(u"Far"_s).has_value());
        store.setValue(u"TitleTicker"_s, true);
    }
    expected.insert(u"LogToConsole"_s, false);
    expected.insert(u"TitleTicker"_s, true);
    EXPECT_TRUE(SameTypedValue(PlistSettingsStore(path()).values(), expected));
    EXPECT_EQ(QDir(QFileInfo(path()).absolutePath()).entryList({ u"*.corrupt*"_s }), QStringList());
}

TEST_F(PlistSettingsStoreTest, AnotherStoresWritesAppearAfterSynchronizeWithTheirExactTypes)
{
    const QVariantMap values {
        { u"StockDataUpdateRate"_s, u"15"_s },
        { u"UpColor"_s, QByteArray("\x01\x02\x00\xfe", 4) },
        { u"When"_s, QDateTime(QDate(2026, 12, 5), QTime(9, 30), QTimeZone::utc()) },
        { u"ShowSettings"_s, QVariantMap { { u"BRK.B"_s, QVariantList { false, qlonglong(-3), 0.75 } } } },
    };
    PlistSettingsStore reader(path());
    PlistSettingsStore writer(path()); // the folder does not exist yet
    writer.setValue(u"Gone"_s, true);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        writer.setValue(it.key(), it.value());
    writer.remove(u"Gone"_s);
    EXPECT_TRUE(reader.values().isEmpty());
    reader.synchronize();
    EXPECT_TRUE(SameTypedValue(reader.values(), values));
}

TEST_F(PlistSettingsStoreTest, ConcurrentWritersInThreadsLoseNoKey)
{
    // Each write must start from the file, not from a stale copy; one writer finds a crashed writer's lock.
    writeFile({});
    ASSERT_TRUE(WriteWholeFile(path() + u".lock"_s, "2147483646\ntickwell-defaults\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
    std::latch start(2);
    auto writeKeys = [&](const QString &prefix) {
        PlistSettingsStore store(path());
        start.arrive_and_wait();
        for (int i = 0; i < 50; ++i)
            store.setValue(prefix + QString::number(i), qlonglong(i));
    };
    std::thread a(writeKeys, u"A"_s), b(writeKeys, u"B"_s);
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
    store.setValue(u"A"_s, true);
    EXPECT_TRUE(SameTypedValue(fileContents(), QVariantMap { { u"A"_s, true } }));

    // A second broken file, found by a write, goes beside the first instead of replacing it.
    writeFile("not a property list");
    store.setValue(u"B"_s, true);
    EXPECT_EQ(ReadWholeFile(path() + u".corrupt"_s), garbage);
    EXPECT_EQ(ReadWholeFile(path() + u".corrupt.1"_s), "not a property list");
    EXPECT_TRUE(SameTypedValue(fileContents(), QVariantMap { { u"B"_s, true } }));

    // Oversized is set aside without being read.
    QFile file(path());
    ASSERT_TRUE(file.resize(kPlistMaxFileSize + 1));
    EXPECT_TRUE(PlistSettingsStore(path()).values().isEmpty());
    EXPECT_EQ(QFileInfo(path() + u".corrupt.2"_s).size(), kPlistMaxFileSize + 1);
}

// A write that fails (a file where the folder should be; the file size limit part-way, as a full
// disk would) leaves the old file whole and no temporary file behind; the change stays pending
// and is written once it can be.
TEST_F(PlistSettingsStoreTest, ChangesThatCannotBeSavedStayPendingAndLeaveTheOldFileWhole)
{
    const QString blocked = m_dir.filePath(u"blocked"_s);
    ASSERT_TRUE(WriteWholeFile(blocked, "x"));
    PlistSettingsStore blockedStore(blocked + u"/com.brantlow.Tickwell.plist"_s);
    blockedStore.setValue(u"A"_s, true);
    blockedStore.synchronize();
    EXPECT_TRUE(blockedStore.hasUnsavedChanges());
    ASSERT_TRUE(QFile::remove(blocked));
    blockedStore.synchronize();
    EXPECT_TRUE(SameTypedValue(PlistSettingsStore(blocked + u"/com.brantlow.Tickwell.plist"_s).values(), QVariantMap { { u"A"_s, true } }));

    writeFile(Plist("<key>StockSymbols</key><array><string>ACME</string></array>"));
    const QByteArray before = ReadWholeFile(path());
    PlistSettingsStore store(path());
    const QVariantMap histories{{u"ACME"_s, QVariantList(2000, u"150.25 (Saturday, December 5, 2026)"_s)}};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const rlimit small {static_cast<rlim_t>(before.size() + 4096), old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &small);
    store.setValue(u"Histories"_s, histories);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(ReadWholeFile(path()), before);
    EXPECT_TRUE(store.hasUnsavedChanges());
    QStringList left = QDir(QFileInfo(path()).absolutePath()).entryList(QDir::Files | QDir::Hidden);
    left.removeAll(u"com.brantlow.Tickwell.plist.lock"_s);
    EXPECT_EQ(left.join(u' ').toStdString(), "com.brantlow.Tickwell.plist") << "no temporary file left";
    store.synchronize();
    EXPECT_TRUE(SameTypedValue(fileContents().value(u"Histories"_s), histories));
}

// Python checks our file with type names (True == 1 there), then replaces it with its own writing.
TEST_F(PlistSettingsStoreTest, PythonAndWeReadWhatTheOtherWritesWithTheSameTypes)
{
    if (QStandardPaths::findExecutable(u"python3"_s).isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    const char *const python = R"(
import plistlib, sys, datetime
expected = {"Bool": True, "Int": -2**63, "Whole": 15.0, "Text": "Zürich <&> \"q\"\n", "Empty": "",
    "Data": b"\x00\xfe\xff" * 30, "Date": datetime.datetime(2026, 12, 5, 14, 30, 0), "Nested": {"l": [[], {}, ["A", 1, False, 0.1]]}}
def typed(v):
    if isinstance(v, dict): return {k: typed(x) for k, x in v.items()}
    if isinstance(v, list): return [typed(x) for x in v]
    return (type(v).__name__, v)
if typed(plistlib.load(open(sys.argv[1], 'rb'))) != typed(expected): sys.exit(1)
plistlib.dump(expected, open(sys.argv[1], 'wb'))
)";
    const QVariantMap values { { u"Bool"_s, true }, { u"Int"_s, std::numeric_limits<qlonglong>::min() }, { u"Whole"_s, 15.0 },
        { u"Text"_s, u"Zürich <&> \"q\"\n"_s }, { u"Empty"_s, QString() }, { u"Data"_s, QByteArray("\x00\xfe\xff", 3).repeated(30) },
        { u"Date"_s, QDateTime(QDate(2026, 12, 5), QTime(14, 30), QTimeZone::utc()) },
        { u"Nested"_s, QVariantMap { { u"l"_s, QVariantList { QVariantList {}, QVariantMap {}, QVariantList { u"A"_s, qlonglong(1), false, 0.1 } } } } } };
    {
        PlistSettingsStore store(path());
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            store.setValue(it.key(), it.value());
        store.setValue(u"Date"_s, QDateTime(QDate(2026, 12, 5), QTime(14, 30, 0, 500), QTimeZone::utc()));
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(u"python3"_s, { u"-c"_s, QString::fromUtf8(python), path() });
    ASSERT_TRUE(process.waitForFinished(30000));
    ASSERT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(SameTypedValue(PlistSettingsStore(path()).values(), values));
}

// tickwell-defaults, as users run it: each type written, printed and stored; "PriceAlerts" set
// one symbol at a time; bad usage and a failed save reported without touching the file.
class TickwellDefaults : public ::testing::Test {
protected:
    // Arguments are separated by '|' so that values may hold spaces; the bus address leads nowhere.
    ToolHome::Result run(const QString &arguments)
    {
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(home.path(u"no-bus"_s)));
        return home.run(u"tickwell-defaults"_s, arguments.isEmpty() ? QStringList() : arguments.split(u'|'));
    }
    std::optional<QVariant> stored(const QString &key) const { return home.settings().value(key); }

    ToolHome home;
};

TEST_F(TickwellDefaults, WritesReadsAndDeletesEachType)
{
    const struct {
        const char *value, *printed, *type;
        QVariant stored;
    } cases[] = {
        { "-string|say \"hi\" \\", "\"say \\\"hi\\\" \\\\\"", "string", u"say \"hi\" \\"_s },
        { "15", "15", "string", u"15"_s },
        { "-bool|FALSE", "0", "boolean", false },
        { "-int|-42", "-42", "integer", qlonglong(-42) },
        { "-float|15", "15", "float", 15.0 },
        { "-data|0FBD7a", "<0fbd7a>", "data", QByteArray::fromHex("0fbd7a") },
        { "-array|ACME|b c", "(\n    ACME,\n    \"b c\"\n)", "array", QVariantList { u"ACME"_s, u"b c"_s } },
        { "-dict-int|ACME|1|BETA|0", "{\n    ACME = 1;\n    BETA = 0;\n}", "dictionary",
            QVariantMap { { u"ACME"_s, qlonglong(1) }, { u"BETA"_s, qlonglong(0) } } },
    };
    for (const auto &c : cases) {
        const auto written = run(u"write|Key|"_s + QString::fromUtf8(c.value));
        ASSERT_EQ(written.exitCode, 0) << c.value << written.err.toStdString();
        EXPECT_EQ(run(u"read|Key"_s).out.toStdString(), std::string(c.printed) + "\n") << c.value;
        EXPECT_EQ(run(u"read-type|Key"_s).out.toStdString(), std::string("Type is ") + c.type + "\n") << c.value;
        EXPECT_TRUE(SameTypedValue(stored(u"Key"_s), c.stored)) << c.value;
    }
    EXPECT_EQ(run(u"delete|Key"_s).exitCode, 0);
    EXPECT_EQ(run(u"read|Key"_s).exitCode, 1);
    EXPECT_EQ(run(u"delete|Key"_s).exitCode, 1);
}

TEST_F(TickwellDefaults, WritesOneNestedDictionaryEntryAtATimeAndRefusesBadUsage)
{
    ASSERT_EQ(run(u"write|PriceAlerts|-dict-entry|ACME|Above|150|Below|120,5"_s).exitCode, 0);
    ASSERT_EQ(run(u"write|PriceAlerts|-dict-entry|BETA|DayChangePercent|5"_s).exitCode, 0);
    EXPECT_EQ(run(u"read|PriceAlerts"_s).out.toStdString(),
              "{\n    ACME = {\n        Above = 150;\n        Below = \"120,5\";\n    };\n    BETA = {\n        DayChangePercent = 5;\n    };\n}\n");
    ASSERT_EQ(run(u"write|PriceAlerts|-dict-entry|ACME"_s).exitCode, 0);
    ASSERT_EQ(run(u"write|Text|plain"_s).exitCode, 0);
    const QByteArray before = ReadWholeFile(home.path(u"config/com.brantlow.Tickwell.plist"_s));

    // Into something that is not a dictionary, a key left without value, unknown or bad usage.
    for (const char *arguments : { "write|Text|-dict-entry|ACME|Above|1", "write|PriceAlerts|-dict-entry|BETA|Above",
             "write|PriceAlerts|-dict-entry", "", "frobnicate", "write|Key", "write|Key|a|b", "write|Key|-bool|maybe",
             "write|Key|-int|1.5", "write|Key|-int|99999999999999999999", "write|Key|-data|abc", "write|Key|-dict|lonely" }) {
        const auto result = run(QString::fromUtf8(arguments));
        EXPECT_EQ(result.exitCode, 2) << arguments;
        EXPECT_TRUE(result.text().isEmpty() && result.err.contains("usage:")) << arguments;
    }
    EXPECT_EQ(ReadWholeFile(home.path(u"config/com.brantlow.Tickwell.plist"_s)), before);
    EXPECT_TRUE(SameTypedValue(stored(u"PriceAlerts"_s), QVariantMap{{u"BETA"_s, QVariantMap{{u"DayChangePercent"_s, u"5"_s}}}}));

    // A file where the settings folder should be: the failed save is reported, not hidden.
    ASSERT_TRUE(QDir(home.path(u"config"_s)).removeRecursively() && WriteWholeFile(home.path(u"config"_s), "x"));
    const auto blocked = run(u"write|Key|value"_s);
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_TRUE(blocked.err.contains("could not save")) << blocked.err.toStdString();
}

} // namespace
} // namespace tickwell::testing
