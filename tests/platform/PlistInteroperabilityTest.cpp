#include "platform/PlistSettingsStore.h"

#include "PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimeZone>

// Another property-list implementation must read what we write and we must read what it writes.
namespace tickwell::testing {
namespace {

struct PythonRun {
    int exitCode = -1;
    QString output;
};

PythonRun RunPython(const QString &python, const QString &script, const QString &plistPath)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(python, { QStringLiteral("-c"), script, plistPath });
    PythonRun run;
    if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.output = QString::fromUtf8(process.readAll());
    return run;
}

class PlistInteroperability : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (m_python.isEmpty())
            GTEST_SKIP() << "python3 is not installed";
        if (RunPython(m_python, QStringLiteral("import plistlib"), QString()).exitCode != 0)
            GTEST_SKIP() << "python3 has no plistlib";
        ASSERT_TRUE(m_dir.isValid());
    }

    QString path() const { return m_dir.filePath(QStringLiteral("com.brantlow.Tickwell.plist")); }

    QString m_python;
    QTemporaryDir m_dir;
};

TEST_F(PlistInteroperability, WeReadWhatPythonWrites)
{
    const QString script = QStringLiteral(R"(
import plistlib, sys, datetime
value = {
    "Bool": True, "False": False, "Int": -42, "Big": 2**63 - 1, "Real": 0.1, "Whole": 15.0,
    "Text": "Zürich <&> \"quoted\"\ttab\nline", "Empty": "", "Data": b"\x00\x01\xfe\xff" * 30,
    "Date": datetime.datetime(2026, 12, 5, 14, 30, 0),
    "StockSymbols": ["ACME", "BRK.B"], "ShowSettings": {"ACME": 1, "BRK.B": 0},
    "Nested": {"list": [[], {}, [1, [2.5]]]},
}
with open(sys.argv[1], "wb") as f:
    plistlib.dump(value, f, fmt=plistlib.FMT_XML)
)");
    const PythonRun run = RunPython(m_python, script, path());
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();

    PlistSettingsStore store(path());
    const QVariantMap expected {
        { QStringLiteral("Bool"), true },
        { QStringLiteral("False"), false },
        { QStringLiteral("Int"), qlonglong(-42) },
        { QStringLiteral("Big"), std::numeric_limits<qlonglong>::max() },
        { QStringLiteral("Real"), 0.1 },
        { QStringLiteral("Whole"), 15.0 },
        { QStringLiteral("Text"), QStringLiteral("Zürich <&> \"quoted\"\ttab\nline") },
        { QStringLiteral("Empty"), QString() },
        { QStringLiteral("Data"), QByteArray("\x00\x01\xfe\xff", 4).repeated(30) },
        { QStringLiteral("Date"), QDateTime(QDate(2026, 12, 5), QTime(14, 30), QTimeZone::utc()) },
        { QStringLiteral("StockSymbols"), QVariantList { QStringLiteral("ACME"), QStringLiteral("BRK.B") } },
        { QStringLiteral("ShowSettings"), QVariantMap { { QStringLiteral("ACME"), qlonglong(1) }, { QStringLiteral("BRK.B"), qlonglong(0) } } },
        { QStringLiteral("Nested"), QVariantMap { { QStringLiteral("list"),
            QVariantList { QVariantList {}, QVariantMap {}, QVariantList { qlonglong(1), QVariantList { 2.5 } } } } } },
    };
    EXPECT_TRUE(SameTypedValue(store.values(), expected));
}

TEST_F(PlistInteroperability, PythonReadsWhatWeWriteWithTheSameTypes)
{
    {
        PlistSettingsStore store(path());
        store.setValue(QStringLiteral("Bool"), true);
        store.setValue(QStringLiteral("Number"), qlonglong(0));
        store.setValue(QStringLiteral("Min"), std::numeric_limits<qlonglong>::min());
        store.setValue(QStringLiteral("Real"), 2.0);
        store.setValue(QStringLiteral("Text"), QStringLiteral("15 <&> Zürich"));
        store.setValue(QStringLiteral("Data"), QByteArray("\x00\xff", 2).repeated(50));
        store.setValue(QStringLiteral("Date"), QDateTime(QDate(2026, 12, 5), QTime(9, 30, 15, 500), QTimeZone::utc()));
        store.setValue(QStringLiteral("Array"), QVariantList { QStringLiteral("A"), qlonglong(1), QVariantList {} });
        store.setValue(QStringLiteral("Dict"), QVariantMap { { QStringLiteral("k"), false }, { QStringLiteral("e"), QVariantMap {} } });
    }
    const QString script = QStringLiteral(R"(
import plistlib, sys, datetime
with open(sys.argv[1], "rb") as f:
    value = plistlib.load(f)
expected = {
    "Bool": True, "Number": 0, "Min": -2**63, "Real": 2.0, "Text": "15 <&> Zürich",
    "Data": b"\x00\xff" * 50, "Date": datetime.datetime(2026, 12, 5, 9, 30, 15),
    "Array": ["A", 1, []], "Dict": {"k": False, "e": {}},
}
def typed(v):
    if isinstance(v, dict):
        return {k: typed(x) for k, x in v.items()}
    if isinstance(v, list):
        return [typed(x) for x in v]
    return (type(v).__name__, v)
if typed(value) != typed(expected):
    print(typed(value))
    sys.exit(1)
)");
    const PythonRun run = RunPython(m_python, script, path());
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
}

} // namespace
} // namespace tickwell::testing
