#include "platform/PlistSettingsStore.h"
#include "platform/PlistXml.h"

#include "PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

namespace tickwell::testing {
namespace {

class TickwellDefaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFileInfo::exists(ToolPath(QStringLiteral("tickwell-defaults")))) << "build tickwell-defaults first";
        ASSERT_TRUE(m_home.isValid());
    }

    ToolResult run(const QStringList &arguments) const { return RunDefaults(arguments, m_home.path(), noBus()); }
    QString settingsPath() const { return m_home.filePath(QStringLiteral("com.brantlow.Tickwell.plist")); }
    // A bus address that leads nowhere: the tool must still work, in-process only.
    QString noBus() const { return QStringLiteral("unix:path=") + m_home.filePath(QStringLiteral("no-bus")); }

    QTemporaryDir m_home;
};

TEST_F(TickwellDefaults, WritesReadsAndDeletesEachType)
{
    const struct {
        QStringList value;
        const char *printed;
        const char *type;
        QVariant stored;
    } cases[] = {
        { { QStringLiteral("-string"), QStringLiteral("hello world") }, "\"hello world\"", "string", QStringLiteral("hello world") },
        { { QStringLiteral("-string"), QStringLiteral("-int") }, "-int", "string", QStringLiteral("-int") },
        { { QStringLiteral("15") }, "15", "string", QStringLiteral("15") },
        { { QStringLiteral("-bool"), QStringLiteral("yes") }, "1", "boolean", true },
        { { QStringLiteral("-bool"), QStringLiteral("FALSE") }, "0", "boolean", false },
        { { QStringLiteral("-bool"), QStringLiteral("1") }, "1", "boolean", true },
        { { QStringLiteral("-int"), QStringLiteral("-42") }, "-42", "integer", qlonglong(-42) },
        { { QStringLiteral("-int"), QStringLiteral("0") }, "0", "integer", qlonglong(0) },
        { { QStringLiteral("-float"), QStringLiteral("1.5") }, "1.5", "float", 1.5 },
        { { QStringLiteral("-float"), QStringLiteral("15") }, "15", "float", 15.0 },
        { { QStringLiteral("-data"), QStringLiteral("0FBD7a") }, "<0fbd7a>", "data", QByteArray::fromHex("0fbd7a") },
        { { QStringLiteral("-array"), QStringLiteral("ACME"), QStringLiteral("b c") }, "(\n    ACME,\n    \"b c\"\n)", "array",
            QVariantList { QStringLiteral("ACME"), QStringLiteral("b c") } },
        { { QStringLiteral("-array") }, "()", "array", QVariantList {} },
        { { QStringLiteral("-dict"), QStringLiteral("ACME"), QStringLiteral("10") }, "{\n    ACME = 10;\n}", "dictionary",
            QVariantMap { { QStringLiteral("ACME"), QStringLiteral("10") } } },
        { { QStringLiteral("-dict-int"), QStringLiteral("ACME"), QStringLiteral("1"), QStringLiteral("BETA"), QStringLiteral("0") },
            "{\n    ACME = 1;\n    BETA = 0;\n}", "dictionary",
            QVariantMap { { QStringLiteral("ACME"), qlonglong(1) }, { QStringLiteral("BETA"), qlonglong(0) } } },
    };
    for (const auto &c : cases) {
        const std::string what = c.value.join(u' ').toStdString();
        const ToolResult written = run(QStringList { QStringLiteral("write"), QStringLiteral("Key") } + c.value);
        ASSERT_EQ(written.exitCode, 0) << what << written.err.toStdString();
        EXPECT_TRUE(written.err.isEmpty()) << what << written.err.toStdString();
        const ToolResult read = run({ QStringLiteral("read"), QStringLiteral("Key") });
        EXPECT_EQ(read.exitCode, 0) << what;
        EXPECT_EQ(read.out.toStdString(), std::string(c.printed) + "\n") << what;
        EXPECT_EQ(run({ QStringLiteral("read-type"), QStringLiteral("Key") }).out.toStdString(),
            std::string("Type is ") + c.type + "\n")
            << what;
        const QVariant stored = PlistSettingsStore(settingsPath()).value(QStringLiteral("Key")).value_or(QVariant());
        EXPECT_TRUE(SameTypedValue(stored, c.stored)) << what;
    }
    EXPECT_EQ(run({ QStringLiteral("delete"), QStringLiteral("Key") }).exitCode, 0);
    EXPECT_EQ(run({ QStringLiteral("read"), QStringLiteral("Key") }).exitCode, 1);
    EXPECT_EQ(run({ QStringLiteral("delete"), QStringLiteral("Key") }).exitCode, 1);
    EXPECT_EQ(run({ QStringLiteral("read-type"), QStringLiteral("Key") }).exitCode, 1);
}

TEST_F(TickwellDefaults, ReadsTheWholeDomainAndKeepsOtherKeys)
{
    ASSERT_EQ(run({ QStringLiteral("read") }).out.toStdString(), "{}\n");
    ASSERT_EQ(run({ QStringLiteral("write"), QStringLiteral("StockSymbols"), QStringLiteral("-array"), QStringLiteral("ACME") }).exitCode, 0);
    ASSERT_EQ(run({ QStringLiteral("write"), QStringLiteral("LogToConsole"), QStringLiteral("-bool"), QStringLiteral("no") }).exitCode, 0);
    const ToolResult read = run({ QStringLiteral("read") });
    EXPECT_EQ(read.exitCode, 0);
    EXPECT_EQ(read.out.toStdString(), "{\n    LogToConsole = 0;\n    StockSymbols = (\n        ACME\n    );\n}\n");
}

TEST_F(TickwellDefaults, RefusesBadUsageWithoutTouchingTheFile)
{
    const QStringList cases[] = {
        {},
        { QStringLiteral("frobnicate") },
        { QStringLiteral("read"), QStringLiteral("a"), QStringLiteral("b") },
        { QStringLiteral("write"), QStringLiteral("Key") },
        { QStringLiteral("write"), QStringLiteral("Key"), QStringLiteral("a"), QStringLiteral("b") },
        { QStringLiteral("write"), QStringLiteral("Key"), QStringLiteral("-string") },
        { QStringLiteral("write"), QStringLiteral("Key"), QStringLiteral("-string"), QStringLiteral("a"), QStringLiteral("b") },
        { QStringLiteral("write"), QStringLiteral("Key"), QStringLiteral("-bool"), QStringLiteral("maybe") },
        { QStringLiteral("write"), QStringLiteral("Key"), QStringLiteral("-int"), QStringLiteral("1.5") },
        { QStringLiteral("write"), QStringLiteral("Key"), QStringLiteral("-int"), QStringLiteral("99999999999999999999") },
        { QStringLiteral("write"), QStringLiteral("Key"), QStringLiteral("-float"), QStringLiteral("fast") },
        { QStringLiteral("write"), QStringLiteral("Key"), QStringLiteral("-data"), QStringLiteral("abc") },
        { QStringLiteral("write"), QStringLiteral("Key"), QStringLiteral("-data"), QStringLiteral("zz") },
        { QStringLiteral("write"), QStringLiteral("Key"), QStringLiteral("-dict"), QStringLiteral("lonely") },
        { QStringLiteral("delete") },
    };
    for (const QStringList &arguments : cases) {
        const ToolResult result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(result.err.contains(QStringLiteral("usage:"))) << arguments.join(u' ').toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(settingsPath()));
}

TEST_F(TickwellDefaults, TwoProcessesWritingAtOnceLoseNoKey)
{
    constexpr int kKeysPerWriter = 50;
    const QString loop = QStringLiteral("for i in $(seq 1 %1); do \"$0\" write \"$1$i\" -int \"$i\" || exit 1; done").arg(kKeysPerWriter);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path());
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), noBus());
    QProcess first;
    QProcess second;
    for (QProcess *writer : { &first, &second }) {
        writer->setProcessEnvironment(environment);
        writer->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    first.start(QStringLiteral("/bin/sh"), { QStringLiteral("-c"), loop, ToolPath(QStringLiteral("tickwell-defaults")), QStringLiteral("First") });
    second.start(QStringLiteral("/bin/sh"), { QStringLiteral("-c"), loop, ToolPath(QStringLiteral("tickwell-defaults")), QStringLiteral("Second") });
    ASSERT_TRUE(first.waitForFinished(60000));
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_EQ(second.exitCode(), 0);

    const QVariantMap values = PlistSettingsStore(settingsPath()).values();
    EXPECT_EQ(values.size(), 2 * kKeysPerWriter);
    for (int i = 1; i <= kKeysPerWriter; ++i) {
        EXPECT_TRUE(SameTypedValue(values.value(QStringLiteral("First%1").arg(i)), qlonglong(i)));
        EXPECT_TRUE(SameTypedValue(values.value(QStringLiteral("Second%1").arg(i)), qlonglong(i)));
    }
}

TEST_F(TickwellDefaults, ReportsAWriteThatCouldNotBeSaved)
{
    // A file where the settings folder should be.
    ASSERT_TRUE(WriteWholeFile(m_home.filePath(QStringLiteral("blocked")), "x"));
    const ToolResult result = RunDefaults({ QStringLiteral("write"), QStringLiteral("Key"), QStringLiteral("value") },
        m_home.filePath(QStringLiteral("blocked")), noBus());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("could not save"))) << result.err.toStdString();
}

} // namespace
} // namespace tickwell::testing
