#include "platform/PlistSettingsStore.h"

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

    ToolResult run(const QString &arguments) const { return RunDefaults(arguments.split(u'|'), m_home.path(), noBus()); }
    QString settingsPath() const { return m_home.filePath(QStringLiteral("com.brantlow.Tickwell.plist")); }
    // A bus address that leads nowhere: the tool must still work, in-process only.
    QString noBus() const { return QStringLiteral("unix:path=") + m_home.filePath(QStringLiteral("no-bus")); }

    QTemporaryDir m_home;
};

// Arguments are separated by '|' so that values may hold spaces.
TEST_F(TickwellDefaults, WritesReadsAndDeletesEachType)
{
    const struct {
        const char *value;
        const char *printed;
        const char *type;
        QVariant stored;
    } cases[] = {
        { "-string|say \"hi\" \\", "\"say \\\"hi\\\" \\\\\"", "string", QStringLiteral("say \"hi\" \\") },
        { "-string|-int", "-int", "string", QStringLiteral("-int") },
        { "15", "15", "string", QStringLiteral("15") },
        { "-bool|FALSE", "0", "boolean", false },
        { "-int|-42", "-42", "integer", qlonglong(-42) },
        { "-float|15", "15", "float", 15.0 },
        { "-data|0FBD7a", "<0fbd7a>", "data", QByteArray::fromHex("0fbd7a") },
        { "-array|ACME|b c", "(\n    ACME,\n    \"b c\"\n)", "array", QVariantList { QStringLiteral("ACME"), QStringLiteral("b c") } },
        { "-dict-int|ACME|1|BETA|0", "{\n    ACME = 1;\n    BETA = 0;\n}", "dictionary",
            QVariantMap { { QStringLiteral("ACME"), qlonglong(1) }, { QStringLiteral("BETA"), qlonglong(0) } } },
    };
    for (const auto &c : cases) {
        const ToolResult written = run(QStringLiteral("write|Key|") + QString::fromUtf8(c.value));
        ASSERT_EQ(written.exitCode, 0) << c.value << written.err.toStdString();
        EXPECT_EQ(run(QStringLiteral("read|Key")).out.toStdString(), std::string(c.printed) + "\n") << c.value;
        EXPECT_EQ(run(QStringLiteral("read-type|Key")).out.toStdString(), std::string("Type is ") + c.type + "\n") << c.value;
        EXPECT_TRUE(SameTypedValue(PlistSettingsStore(settingsPath()).value(QStringLiteral("Key")), c.stored)) << c.value;
    }
    EXPECT_EQ(run(QStringLiteral("delete|Key")).exitCode, 0);
    EXPECT_EQ(run(QStringLiteral("read|Key")).exitCode, 1);
    EXPECT_EQ(run(QStringLiteral("delete|Key")).exitCode, 1);
    ASSERT_EQ(run(QStringLiteral("write|LogToConsole|-bool|no")).exitCode, 0);
    EXPECT_EQ(run(QStringLiteral("read")).out.toStdString(), "{\n    LogToConsole = 0;\n}\n");
}

TEST_F(TickwellDefaults, RefusesBadUsageWithoutTouchingTheFile)
{
    const char *cases[] = { "", "frobnicate", "read|a|b", "write|Key", "write|Key|a|b", "write|Key|-string",
        "write|Key|-bool|maybe", "write|Key|-int|1.5", "write|Key|-int|99999999999999999999", "write|Key|-float|fast",
        "write|Key|-data|abc", "write|Key|-data|zz", "write|Key|-dict|lonely", "delete" };
    for (const char *arguments : cases) {
        const ToolResult result = arguments[0] ? run(QString::fromUtf8(arguments)) : RunDefaults({}, m_home.path(), noBus());
        EXPECT_EQ(result.exitCode, 2) << arguments;
        EXPECT_TRUE(result.err.contains(QStringLiteral("usage:"))) << arguments;
    }
    EXPECT_FALSE(QFileInfo::exists(settingsPath()));

    // A file where the settings folder should be: the failed save is reported, not hidden.
    ASSERT_TRUE(WriteWholeFile(m_home.filePath(QStringLiteral("blocked")), "x"));
    const ToolResult blocked = RunDefaults({ QStringLiteral("write"), QStringLiteral("Key"), QStringLiteral("value") },
        m_home.filePath(QStringLiteral("blocked")), noBus());
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_TRUE(blocked.err.contains(QStringLiteral("could not save"))) << blocked.err.toStdString();
}

} // namespace
} // namespace tickwell::testing
