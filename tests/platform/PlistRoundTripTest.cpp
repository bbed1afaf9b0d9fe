// Whatever the reader takes, the writer writes so that it reads back the same; what has no such
// form is refused when it is set, never found out by the next start.

#include "platform/settings/PlistSettingsStore.h"
#include "platform/settings/PlistXml.h"

#include "PlatformTestSupport.h"

#include <QDir>
#include <QPoint>
#include <QTemporaryDir>
#include <QTimeZone>

#include <limits>

namespace tickwell::testing {
namespace {

// Read, write, read: the two reads agree and a second write gives the same bytes.
::testing::AssertionResult ReadsBackIdentically(const QByteArray &xml)
{
    QString error;
    const auto first = ReadPlistXml(xml, &error);
    if (!first)
        return ::testing::AssertionFailure() << "not read: " << qPrintable(error);
    const auto written = WritePlistXml(*first, &error);
    if (!written)
        return ::testing::AssertionFailure() << "not written: " << qPrintable(error);
    const auto second = ReadPlistXml(*written, &error);
    if (!second)
        return ::testing::AssertionFailure() << "own writing not read: " << qPrintable(error) << "\n" << written->constData();
    if (!StrictlyEqual(*first, *second))
        return ::testing::AssertionFailure() << "read back differently:\n" << written->constData();
    if (WritePlistXml(*second) != written)
        return ::testing::AssertionFailure() << "second writing differs";
    return ::testing::AssertionSuccess();
}

TEST(PlistRoundTrip, EveryValueTheReaderTakesReadsBackAfterWriting)
{
    const QByteArray values[] = {
        // Years 10000 and -1 once converted to UTC.
        "<date>9999-12-31T23:59:59-01:00</date>",
        "<date>0001-01-01T00:00:00+01:00</date>",
        "<date>9999-12-31T23:59:59-23:59</date>",
        "<date>0001-01-01T00:00:00+23:59</date>",
        "<date>2026-12-05T14:30:00.999Z</date>",
        "<date>2026-12-05</date>",
        "<date>2026-12-05T24:00:00</date>",
        "<real>-0</real>",
        "<real>-0.0e5</real>",
        "<real>4.9406564584124654e-324</real>",
        "<real>1.7976931348623157e308</real>",
        "<real>-Infinity</real>",
        "<real>NaN</real>",
        "<real>1,000.5</real>",
        "<integer>-0x8000000000000000</integer>",
        "<integer>+0XFFFFFFFFFFFFFFFF</integer>",
        "<string>&#9;&#10;&#13;\r\n&#x10FFFF;]]&gt;\t </string>",
        "<string>\xef\xbf\xbd\xf4\x8f\xbf\xbf</string>", // U+FFFD and U+10FFFF as UTF-8
        "<string/>",
        "<data>QQ</data>",
        "<data/>",
        "<array>" + QByteArray("<array>").repeated(kPlistMaxDepth - 3) + "<true/>" + QByteArray("</array>").repeated(kPlistMaxDepth - 2),
    };
    for (const QByteArray &value : values)
        EXPECT_TRUE(ReadsBackIdentically(Plist("<key>k</key>" + value))) << value.left(80).constData();
    EXPECT_TRUE(ReadsBackIdentically(Plist("<key>&#13;&#x1F4C8;</key><string>x</string><key></key><dict/>")));
    EXPECT_TRUE(ReadsBackIdentically("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><plist><dict><key>\xe9</key><false/></dict></plist>"));
}

TEST(PlistRoundTrip, ValuesWithoutAFormThatReadsBackAreRefusedWhenWritten)
{
    const QDateTime tooLate(QDate(10001, 1, 1), QTime(0, 0), QTimeZone::utc());
    const QDateTime tooEarly(QDate(-2, 1, 1), QTime(0, 0), QTimeZone::utc());
    for (const QDateTime &date : { tooLate, tooEarly }) {
        EXPECT_FALSE(ToPlistValue(date).has_value()) << qPrintable(date.toString());
        EXPECT_FALSE(WritePlistXml({ { QStringLiteral("k"), date } }).has_value());
    }
    // Characters XML cannot carry, reaching the writer without ToPlistValue.
    EXPECT_FALSE(WritePlistXml({ { QStringLiteral("k"), QString(QChar(1)) } }).has_value());
    EXPECT_FALSE(WritePlistXml({ { QStringLiteral("k"), QVariant::fromValue(QPoint(1, 2)) } }).has_value());
}

TEST(PlistRoundTrip, AStoreThatReadEdgeValuesWritesThemSoTheNextStartKeepsEverySetting)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("com.brantlow.Tickwell.plist"));
    ASSERT_TRUE(WriteWholeFile(path, Plist("<key>Late</key><date>9999-12-31T23:59:59-01:00</date>"
                                           "<key>Early</key><date>0001-01-01T00:00:00+01:00</date>"
                                           "<key>Zero</key><real>-0</real><key>StockSymbols</key><array><string>ACME</string></array>")));
    const QVariantMap before = PlistSettingsStore(path).values();
    ASSERT_EQ(before.size(), 4);
    {
        PlistSettingsStore store(path);
        store.setValue(QStringLiteral("LogToConsole"), false);
        // A date the file cannot hold is refused now, and the store goes on writing.
        store.setValue(QStringLiteral("Far"), QDateTime(QDate(20000, 1, 1), QTime(0, 0), QTimeZone::utc()));
        EXPECT_FALSE(store.value(QStringLiteral("Far")).has_value());
        store.setValue(QStringLiteral("TitleTicker"), true);
    }
    QVariantMap expected = before;
    expected.insert(QStringLiteral("LogToConsole"), false);
    expected.insert(QStringLiteral("TitleTicker"), true);
    EXPECT_TRUE(SameTypedValue(PlistSettingsStore(path).values(), expected));
    EXPECT_EQ(QDir(dir.path()).entryList({ QStringLiteral("*.corrupt*") }), QStringList());
}

} // namespace
} // namespace tickwell::testing
