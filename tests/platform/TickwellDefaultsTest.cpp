#include "platform/settings/PlistSettingsStore.h"

#include "PlatformTestSupport.h"

#include <QFileInfo>
#include <QTemporaryDir>

namespace tickwell::testing {
namespace {

class TickwellDefaults : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QFileInfo::exists(ToolPath(QStringLiteral("tickwell-defaults")))) << "build tickwell-defaults first"; }

    // Arguments are separated by '|' so that values may hold spaces; the bus address leads nowhere.
    ToolResult run(const QString &arguments, const QString &home = {}) const
    {
        return RunDefaults(arguments.isEmpty() ? QStringList() : arguments.split(u'|'), home.isEmpty() ? m_home.path() : home,
            QStringLiteral("unix:path=") + m_home.filePath(QStringLiteral("no-bus")));
    }
    QString settingsPath() const { return m_home.filePath(QStringLiteral("com.brantlow.Tickwell.plist")); }

    QTemporaryDir m_home;
};

TEST_F(TickwellDefaults, WritesReadsAndDeletesEachType)
{
    const struct {
        const char *value, *printed, *type;
        QVariant stored;
    } cases[] = {
        { "-string|say \"hi\" \\", "\"say \\\"hi\\\" \\\\\"", "string", QStringLiteral("say \"hi\" \\") },
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
}

// "PriceAlerts" holds a dictionary per symbol: -dict-entry sets or removes one, keeping the rest.
TEST_F(TickwellDefaults, WritesOneNestedDictionaryEntryAtATime)
{
    ASSERT_EQ(run(QStringLiteral("write|PriceAlerts|-dict-entry|ACME|Above|150|Below|120,5")).exitCode, 0);
    ASSERT_EQ(run(QStringLiteral("write|PriceAlerts|-dict-entry|BETA|DayChangePercent|5")).exitCode, 0);
    EXPECT_EQ(run(QStringLiteral("read|PriceAlerts")).out.toStdString(),
              "{\n    ACME = {\n        Above = 150;\n        Below = \"120,5\";\n    };\n    BETA = {\n        DayChangePercent = 5;\n    };\n}\n");
    ASSERT_EQ(run(QStringLiteral("write|PriceAlerts|-dict-entry|ACME")).exitCode, 0);
    const QVariantMap beta{{QStringLiteral("BETA"), QVariantMap{{QStringLiteral("DayChangePercent"), QStringLiteral("5")}}}};
    EXPECT_TRUE(SameTypedValue(PlistSettingsStore(settingsPath()).value(QStringLiteral("PriceAlerts")), beta));

    // Into something that is not a dictionary, or with a key left without value: refused.
    ASSERT_EQ(run(QStringLiteral("write|Text|plain")).exitCode, 0);
    for (const char *arguments : {"write|Text|-dict-entry|ACME|Above|1", "write|PriceAlerts|-dict-entry|BETA|Above", "write|PriceAlerts|-dict-entry"})
        EXPECT_EQ(run(QString::fromUtf8(arguments)).exitCode, 2) << arguments;
    EXPECT_TRUE(SameTypedValue(PlistSettingsStore(settingsPath()).value(QStringLiteral("PriceAlerts")), beta));
}

TEST_F(TickwellDefaults, RefusesBadUsageWithoutTouchingTheFile)
{
    for (const char *arguments : { "", "frobnicate", "write|Key", "write|Key|a|b", "write|Key|-bool|maybe", "write|Key|-int|1.5",
             "write|Key|-int|99999999999999999999", "write|Key|-data|abc", "write|Key|-dict|lonely" }) {
        const ToolResult result = run(QString::fromUtf8(arguments));
        EXPECT_EQ(result.exitCode, 2) << arguments;
        EXPECT_TRUE(result.err.contains(QStringLiteral("usage:"))) << arguments;
    }
    EXPECT_FALSE(QFileInfo::exists(settingsPath()));

    // A file where the settings folder should be: the failed save is reported, not hidden.
    ASSERT_TRUE(WriteWholeFile(m_home.filePath(QStringLiteral("blocked")), "x"));
    const ToolResult blocked = run(QStringLiteral("write|Key|value"), m_home.filePath(QStringLiteral("blocked")));
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_TRUE(blocked.err.contains(QStringLiteral("could not save"))) << blocked.err.toStdString();
}

} // namespace
} // namespace tickwell::testing
