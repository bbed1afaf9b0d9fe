#include "platform/PlistSettingsStore.h"

#include "PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimeZone>

#include <limits>

// Another property-list implementation must read what we write and we must read what it writes.
namespace tickwell::testing {
namespace {

// Both sides hold the same values; Python compares type names too, since True == 1 there.
const char *const kPythonValues = R"(
import plistlib, sys, datetime
expected = {
    "Bool": True, "Int": -2**63, "Real": 0.1, "Whole": 15.0, "Text": "Zürich <&> \"q\"\ttab\nline", "Empty": "",
    "Data": b"\x00\x01\xfe\xff" * 30, "Date": datetime.datetime(2026, 12, 5, 14, 30, 0),
    "Nested": {"list": [[], {}, ["ACME", 1, [2.5, False]]]},
}
def typed(v):
    if isinstance(v, dict):
        return {k: typed(x) for k, x in v.items()}
    if isinstance(v, list):
        return [typed(x) for x in v]
    return (type(v).__name__, v)
)";

const QVariantMap kValues {
    { QStringLiteral("Bool"), true },
    { QStringLiteral("Int"), std::numeric_limits<qlonglong>::min() },
    { QStringLiteral("Real"), 0.1 },
    { QStringLiteral("Whole"), 15.0 },
    { QStringLiteral("Text"), QStringLiteral("Zürich <&> \"q\"\ttab\nline") },
    { QStringLiteral("Empty"), QString() },
    { QStringLiteral("Data"), QByteArray("\x00\x01\xfe\xff", 4).repeated(30) },
    { QStringLiteral("Date"), QDateTime(QDate(2026, 12, 5), QTime(14, 30), QTimeZone::utc()) },
    { QStringLiteral("Nested"), QVariantMap { { QStringLiteral("list"), QVariantList { QVariantList {}, QVariantMap {},
        QVariantList { QStringLiteral("ACME"), qlonglong(1), QVariantList { 2.5, false } } } } } },
};

TEST(PlistInteroperability, EachSideReadsWhatTheOtherWritesWithTheSameTypes)
{
    if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("com.brantlow.Tickwell.plist"));
    {
        PlistSettingsStore store(path);
        for (auto it = kValues.cbegin(); it != kValues.cend(); ++it)
            store.setValue(it.key(), it.value());
        store.setValue(QStringLiteral("Date"), QDateTime(QDate(2026, 12, 5), QTime(14, 30, 0, 500), QTimeZone::utc()));
    }
    // Python checks our file, then replaces it with its own writing of the same values.
    QProcess python;
    python.setProcessChannelMode(QProcess::ForwardedChannels);
    python.start(QStringLiteral("python3"), { QStringLiteral("-c"), kPythonValues + QStringLiteral(R"(
value = plistlib.load(open(sys.argv[1], 'rb'))
if typed(value) != typed(expected):
    sys.exit(print(typed(value)) or 1)
plistlib.dump(expected, open(sys.argv[1], 'wb'))
)"), path });
    ASSERT_TRUE(python.waitForFinished(30000));
    ASSERT_EQ(python.exitCode(), 0);
    EXPECT_TRUE(SameTypedValue(PlistSettingsStore(path).values(), kValues));
}

} // namespace
} // namespace tickwell::testing
