// The property-list reader and writer: exact types, values at their limits, and what is refused
// (malformed or hostile files when read, values without a form that reads back when written).
#include "platform/settings/PlistXml.h"

#include "PlatformTestSupport.h"

#include <QElapsedTimer>
#include <QPoint>
#include <QTimeZone>

#include <limits>

namespace tickwell::testing {
namespace {

std::optional<QVariant> ValueOfK(const QByteArray &xml)
{
    const auto read = ReadPlistXml(xml);
    return read ? std::optional(read->value(QStringLiteral("k"))) : std::nullopt;
}

// Read, write, read: the two reads agree and a second write gives the same bytes.
::testing::AssertionResult ReadsBackIdentically(const QByteArray &xml)
{
    QString error;
    const auto first = ReadPlistXml(xml, &error);
    const auto written = first ? WritePlistXml(*first, &error) : std::nullopt;
    const auto second = written ? ReadPlistXml(*written, &error) : std::nullopt;
    if (!second)
        return ::testing::AssertionFailure() << "not read or not written: " << qPrintable(error);
    if (!StrictlyEqual(*first, *second) || WritePlistXml(*second) != written)
        return ::testing::AssertionFailure() << "read back differently:\n" << written->constData();
    return ::testing::AssertionSuccess();
}

TEST(PlistXml, ReadsEveryValueAsItsExactTypeAndWritesItSoItReadsBackTheSame)
{
    const struct {
        QByteArray xml;
        QVariant value; // invalid: only read back after writing
    } cases[] = {
        { "<integer> 1 </integer>", qlonglong(1) },
        { "<integer>18446744073709551615</integer>", std::numeric_limits<qulonglong>::max() },
        { "<integer>-0x8000000000000000</integer>", {} },
        { "<integer>+0XFFFFFFFFFFFFFFFF</integer>", {} },
        { "<string>  a &amp; b <![CDATA[<x>]]>&#13;</string>", QStringLiteral("  a & b <x>\r") },
        { "<string>&#9;&#10;&#13;\r\n&#x10FFFF;]]&gt;\t </string>", {} },
        { "<string>\xef\xbf\xbd\xf4\x8f\xbf\xbf</string>", {} }, // U+FFFD and U+10FFFF as UTF-8
        { "<string/>", {} },
        { "<data>\n\tD716\n\teg==\n</data>", QByteArray::fromHex("0fbd7a7a") },
        { "<data>QQ</data>", {} },
        { "<data/>", {} },
        { "<date>2026-12-05T14:30:00Z</date>", QDateTime(QDate(2026, 12, 5), QTime(14, 30), QTimeZone::utc()) },
        // Years 10000 and -1 once converted to UTC.
        { "<date>9999-12-31T23:59:59-23:59</date>", {} },
        { "<date>0001-01-01T00:00:00+23:59</date>", {} },
        { "<date>2026-12-05T14:30:00.999Z</date>", {} },
        { "<date>2026-12-05</date>", {} },
        { "<date>2026-12-05T24:00:00</date>", {} },
        { "<real>-0.0e5</real>", {} },
        { "<real>4.9406564584124654e-324</real>", {} },
        { "<real>1.7976931348623157e308</real>", {} },
        { "<real>-Infinity</real>", {} },
        { "<real>NaN</real>", {} },
        { "<real>1,000.5</real>", {} },
        { "<array><true/><dict><key>x</key><string/></dict></array>",
            QVariantList { true, QVariantMap { { QStringLiteral("x"), QString() } } } },
        { "<array>" + QByteArray("<array>").repeated(kPlistMaxDepth - 3) + "<true/>" + QByteArray("</array>").repeated(kPlistMaxDepth - 2), {} },
    };
    for (const auto &c : cases) {
        const QByteArray xml = Plist("<key>k</key>" + c.xml);
        if (c.value.isValid()) {
            EXPECT_TRUE(SameTypedValue(ValueOfK(xml), c.value)) << c.xml.constData();
        }
        EXPECT_TRUE(ReadsBackIdentically(xml)) << c.xml.left(80).constData();
    }
    EXPECT_TRUE(ReadsBackIdentically(Plist("<key>&#13;&#x1F4C8;</key><string>x</string><key></key><dict/>")));
    EXPECT_TRUE(ReadsBackIdentically("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><plist><dict><key>\xe9</key><false/></dict></plist>"));
}

// What is set is converted to the type it reads back as; what has no such form is refused when
// it is set, never found out by the next start.
TEST(PlistXml, ValuesAreSetAsTheTypeTheyReadBackAsOrRefused)
{
    const QString awkward = QStringLiteral(" <a href=\"x\">&amp;</a> ]]> \t\r\n\r Zürich \U0001F4C8 ");
    // The root dictionary is the first level, the outermost array the second, the leaf the last.
    QVariant deepest = QStringLiteral("leaf");
    for (int depth = 0; depth < kPlistMaxDepth - 2; ++depth)
        deepest = QVariantList { deepest };
    const struct {
        QVariant in;
        std::optional<QVariant> out; // nothing: the value has no property-list form
    } cases[] = {
        { std::numeric_limits<qlonglong>::max(), std::numeric_limits<qlonglong>::max() },
        { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN() },
        { QVariantMap { { awkward, QByteArray("\x00\xff", 2) } }, QVariantMap { { awkward, QByteArray("\x00\xff", 2) } } },
        { int(5), qlonglong(5) },
        { QVariantHash { { QStringLiteral("k"), 0.5f } }, QVariantMap { { QStringLiteral("k"), 0.5 } } },
        { QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5, 678), QTimeZone(3600)), QDateTime(QDate(2026, 1, 2), QTime(2, 4, 5), QTimeZone::utc()) },
        // XML 1.0 cannot carry these characters at all; replacing them keeps the file readable.
        { QStringLiteral("a\x01" "b") + QChar(0xFFFE) + QChar(0xD800), QStringLiteral("a\uFFFDb\uFFFD\uFFFD") },
        { deepest, deepest },
        { QVariantList { deepest }, std::nullopt },
        { QVariantList { QVariant::fromValue(QPoint(1, 2)) }, std::nullopt },
        { QDateTime(QDate(10001, 1, 1), QTime(0, 0), QTimeZone::utc()), std::nullopt },
        { QDateTime(QDate(-2, 1, 1), QTime(0, 0), QTimeZone::utc()), std::nullopt },
    };
    for (const auto &c : cases) {
        const auto converted = ToPlistValue(c.in);
        ASSERT_EQ(converted.has_value(), c.out.has_value()) << c.in.typeName();
        const auto written = WritePlistXml({ { QStringLiteral("k"), converted.value_or(c.in) } });
        const auto readBack = written ? ValueOfK(*written) : std::nullopt;
        if (c.out) {
            EXPECT_TRUE(SameTypedValue(readBack, *c.out)) << c.in.typeName();
        } else {
            EXPECT_FALSE(readBack.has_value()) << c.in.typeName();
        }
    }
    // Characters XML cannot carry, reaching the writer without ToPlistValue.
    EXPECT_FALSE(WritePlistXml({ { QStringLiteral("k"), QString(QChar(1)) } }).has_value());
}

TEST(PlistXml, RefusesMalformedAndHostileDocuments)
{
    QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [\n<!ENTITY l0 \"lol\">\n";
    for (int i = 1; i <= 9; ++i)
        laughs += "<!ENTITY l" + QByteArray::number(i) + " \"" + ("&l" + QByteArray::number(i - 1) + ";").repeated(10) + "\">\n";
    laughs += "]>\n<plist version=\"1.0\"><dict><key>k</key><string>&l9;</string></dict></plist>";
    const QByteArray cases[] = {
        "",
        Plist("<key>k</key><string>abc").left(80),
        "<plist version=\"1.0\"><array/></plist>",
        Plist("<key>k</key>"),
        Plist("stray<key>k</key><true/>"),
        Plist("<key>k</key><uid>1</uid>"),
        Plist("<key>k</key><string>a<b/>c</string>"),
        Plist("<key>k</key><integer>99999999999999999999</integer>"),
        "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>\n"
        "<plist version=\"1.0\"><dict><key>k</key><string>&x;</string></dict></plist>",
        laughs,
        Plist("<key>k</key>" + QByteArray("<array>").repeated(100000) + QByteArray("</array>").repeated(100000)),
    };
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray &xml : cases) {
        QString error;
        EXPECT_FALSE(ReadPlistXml(xml, &error).has_value() || error.isEmpty()) << xml.left(200).constData();
    }
    EXPECT_LT(timer.elapsed(), 5000);
}

} // namespace
} // namespace tickwell::testing
