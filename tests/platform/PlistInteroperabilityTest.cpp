#include "platform/settings/PlistSettingsStore.h"

#include "PlatformTestSupport.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimeZone>

#include <limits>

namespace tickwell::testing {
namespace {

// Python checks our file with type names (True == 1 there), then replaces it with its own writing.
const char *const kPython = R"(
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

TEST(PlistInteroperability, EachSideReadsWhatTheOtherWritesWithTheSameTypes)
{
    if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    const QVariantMap values {
        { QStringLiteral("Bool"), true },
        { QStringLiteral("Int"), std::numeric_limits<qlonglong>::min() },
        { QStringLiteral("Whole"), 15.0 },
        { QStringLiteral("Text"), QStringLiteral("Zürich <&> \"q\"\n") },
        { QStringLiteral("Empty"), QString() },
        { QStringLiteral("Data"), QByteArray("\x00\xfe\xff", 3).repeated(30) },
        { QStringLiteral("Date"), QDateTime(QDate(2026, 12, 5), QTime(14, 30), QTimeZone::utc()) },
        { QStringLiteral("Nested"), QVariantMap { { QStringLiteral("l"), QVariantList { QVariantList {}, QVariantMap {},
            QVariantList { QStringLiteral("A"), qlonglong(1), false, 0.1 } } } } },
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("com.brantlow.Tickwell.plist"));
    {
        PlistSettingsStore store(path);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            store.setValue(it.key(), it.value());
        store.setValue(QStringLiteral("Date"), QDateTime(QDate(2026, 12, 5), QTime(14, 30, 0, 500), QTimeZone::utc()));
    }
    QProcess python;
    python.setProcessChannelMode(QProcess::ForwardedChannels);
    python.start(QStringLiteral("python3"), { QStringLiteral("-c"), QString::fromUtf8(kPython), path });
    ASSERT_TRUE(python.waitForFinished(30000));
    ASSERT_EQ(python.exitCode(), 0);
    EXPECT_TRUE(SameTypedValue(PlistSettingsStore(path).values(), values));
}

} // namespace
} // namespace tickwell::testing
