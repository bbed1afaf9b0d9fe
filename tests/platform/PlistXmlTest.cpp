#include "platform/PlistXml.h"

#include "PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QPoint>
#include <QTimeZone>

#include <cmath>
#include <limits>

namespace tickwell::testing {
namespace {

QByteArray Plist(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\"><dict>"
        + body + "</dict></plist>\n";
}

QVariant ReadOne(const QByteArray &valueXml)
{
    const auto map = ReadPlistXml(Plist("<key>k</key>" + valueXml));
    if (!map)
        return QVariant();
    return map->value(QStringLiteral("k"));
}

QVariantMap RoundTrip(const QVariantMap &values)
{
    QString error;
    const auto read = ReadPlistXml(WritePlistXml(values), &error);
    EXPECT_TRUE(read.has_value()) << error.toStdString();
    return read.value_or(QVariantMap());
}

TEST(PlistXml, ReadsEveryElementAsItsExactType)
{
    const struct {
        const char *xml;
        QMetaType::Type type;
        QVariant value;
    } cases[] = {
        { "<true/>", QMetaType::Bool, true },
        { "<false/>", QMetaType::Bool, false },
        // A number where a boolean is expected stays a number.
        { "<integer>0</integer>", QMetaType::LongLong, qlonglong(0) },
        { "<integer>1</integer>", QMetaType::LongLong, qlonglong(1) },
        { "<integer> -42 </integer>", QMetaType::LongLong, qlonglong(-42) },
        { "<integer>0x1F</integer>", QMetaType::LongLong, qlonglong(31) },
        { "<integer>017</integer>", QMetaType::LongLong, qlonglong(17) },
        { "<integer>-9223372036854775808</integer>", QMetaType::LongLong, std::numeric_limits<qlonglong>::min() },
        { "<integer>18446744073709551615</integer>", QMetaType::ULongLong, std::numeric_limits<qulonglong>::max() },
        // A whole number written as real stays real.
        { "<real>15</real>", QMetaType::Double, 15.0 },
        { "<real>-0.25</real>", QMetaType::Double, -0.25 },
        { "<real>1e+100</real>", QMetaType::Double, 1e100 },
        { "<real>-infinity</real>", QMetaType::Double, -std::numeric_limits<double>::infinity() },
        { "<string>15</string>", QMetaType::QString, QStringLiteral("15") },
        { "<string/>", QMetaType::QString, QString() },
        { "<string>  a &amp; b &lt;c&gt; </string>", QMetaType::QString, QStringLiteral("  a & b <c> ") },
        { "<string><![CDATA[<x>]]></string>", QMetaType::QString, QStringLiteral("<x>") },
        { "<string>line&#13;feed</string>", QMetaType::QString, QStringLiteral("line\rfeed") },
        { "<data>\n\tD716\n\teg==\n</data>", QMetaType::QByteArray, QByteArray::fromHex("0fbd7a7a") },
        { "<data></data>", QMetaType::QByteArray, QByteArray() },
        { "<date>2026-12-05T14:30:00Z</date>", QMetaType::QDateTime,
            QDateTime(QDate(2026, 12, 5), QTime(14, 30), QTimeZone::utc()) },
        { "<array><integer>1</integer><string>a</string></array>", QMetaType::QVariantList,
            QVariantList { qlonglong(1), QStringLiteral("a") } },
        { "<dict><key>x</key><false/></dict>", QMetaType::QVariantMap, QVariantMap { { QStringLiteral("x"), false } } },
    };
    for (const auto &c : cases) {
        const QVariant value = ReadOne(c.xml);
        EXPECT_EQ(value.typeId(), c.type) << c.xml;
        EXPECT_TRUE(SameTypedValue(value, c.value)) << c.xml;
    }
}

TEST(PlistXml, RoundTripsEveryTypeAndAwkwardText)
{
    const QVariantMap values {
        { QStringLiteral("true"), true },
        { QStringLiteral("false"), false },
        { QStringLiteral("zero"), qlonglong(0) },
        { QStringLiteral("min"), std::numeric_limits<qlonglong>::min() },
        { QStringLiteral("max"), std::numeric_limits<qlonglong>::max() },
        { QStringLiteral("umax"), std::numeric_limits<qulonglong>::max() },
        { QStringLiteral("real"), 0.1 },
        { QStringLiteral("tiny"), 5e-324 },
        { QStringLiteral("infinite"), std::numeric_limits<double>::infinity() },
        { QStringLiteral("empty"), QString() },
        { QStringLiteral("text"), QStringLiteral(" <a href=\"x\">&amp;</a> ]]> \t\n\r\n\r end ") },
        { QStringLiteral("unicode"), QStringLiteral("Zürich €100 \U0001F4C8") },
        { QStringLiteral("data"), QByteArray("\x00\xff\x10 binary", 10) },
        { QStringLiteral("no data"), QByteArray() },
        { QStringLiteral("date"), QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59), QTimeZone::utc()) },
        { QStringLiteral("list"), QVariantList { QVariantList {}, QVariantMap {}, QStringLiteral("x") } },
        { QStringLiteral("map"), QVariantMap { { QStringLiteral("key with = and ;\r"), qlonglong(7) } } },
        { QStringLiteral("\t\"odd\" <key> \r"), true },
    };
    const QVariantMap read = RoundTrip(values);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        EXPECT_TRUE(SameTypedValue(read.value(it.key()), it.value())) << it.key().toStdString();
    EXPECT_EQ(read.keys(), values.keys());

    const double nan = RoundTrip({ { QStringLiteral("nan"), std::numeric_limits<double>::quiet_NaN() } })
                           .value(QStringLiteral("nan"))
                           .toDouble();
    EXPECT_TRUE(std::isnan(nan));
}

TEST(PlistXml, WritesTheStandardHeader)
{
    const QByteArray xml = WritePlistXml({ { QStringLiteral("a"), true } });
    EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                               "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                               "<plist version=\"1.0\">"))
        << xml.constData();
}

TEST(PlistXml, ConvertsValuesToTheTypeTheyReadBackAs)
{
    const QDateTime withMilliseconds(QDate(2026, 1, 2), QTime(3, 4, 5, 678), QTimeZone(3600));
    const struct {
        QVariant in;
        QVariant out;
    } cases[] = {
        { int(5), qlonglong(5) },
        { uint(7), qlonglong(7) },
        { qulonglong(9), qlonglong(9) },
        { float(0.5f), 0.5 },
        { QStringList { QStringLiteral("a") }, QVariantList { QStringLiteral("a") } },
        { QVariantHash { { QStringLiteral("k"), 1 } }, QVariantMap { { QStringLiteral("k"), qlonglong(1) } } },
        { withMilliseconds, QDateTime(QDate(2026, 1, 2), QTime(2, 4, 5), QTimeZone::utc()) },
        // XML 1.0 cannot carry these characters at all; replacing them keeps the file readable.
        { QStringLiteral("a\x01" "b\x0b" "c") + QChar(0xFFFE) + QChar(0xD800), QStringLiteral("a\uFFFDb\uFFFDc\uFFFD\uFFFD") },
    };
    for (const auto &c : cases) {
        const auto converted = ToPlistValue(c.in);
        ASSERT_TRUE(converted.has_value()) << c.in.typeName();
        EXPECT_TRUE(SameTypedValue(*converted, c.out)) << c.in.typeName();
        EXPECT_TRUE(SameTypedValue(RoundTrip({ { QStringLiteral("k"), *converted } }).value(QStringLiteral("k")), c.out));
    }
    EXPECT_FALSE(ToPlistValue(QVariant::fromValue(QPoint(1, 2))).has_value());
    EXPECT_FALSE(ToPlistValue(QVariantList { QVariant::fromValue(QPoint(1, 2)) }).has_value());
    EXPECT_FALSE(ToPlistValue(QDateTime()).has_value());
}

QVariant Nested(int depth)
{
    QVariant value = QStringLiteral("leaf");
    for (int i = 0; i < depth; ++i)
        value = QVariantList { value };
    return value;
}

TEST(PlistXml, NestingLimitIsTheSameForWritingAndReading)
{
    // The root dictionary is the first level, the outermost array the second, the leaf the last.
    const int deepestAccepted = kPlistMaxDepth - 2;
    ASSERT_TRUE(ToPlistValue(Nested(deepestAccepted)).has_value());
    EXPECT_FALSE(ToPlistValue(Nested(deepestAccepted + 1)).has_value());
    EXPECT_TRUE(ReadPlistXml(WritePlistXml({ { QStringLiteral("k"), Nested(deepestAccepted) } })).has_value());
    EXPECT_FALSE(ReadPlistXml(WritePlistXml({ { QStringLiteral("k"), Nested(deepestAccepted + 1) } })).has_value());
}

TEST(PlistXml, RefusesMalformedAndHostileDocuments)
{
    const QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [\n<!ENTITY l0 \"lol\">\n"
                              "<!ENTITY l1 \"&l0;&l0;&l0;&l0;&l0;&l0;&l0;&l0;&l0;&l0;\">\n"
                              "<!ENTITY l2 \"&l1;&l1;&l1;&l1;&l1;&l1;&l1;&l1;&l1;&l1;\">\n"
                              "<!ENTITY l3 \"&l2;&l2;&l2;&l2;&l2;&l2;&l2;&l2;&l2;&l2;\">\n"
                              "<!ENTITY l4 \"&l3;&l3;&l3;&l3;&l3;&l3;&l3;&l3;&l3;&l3;\">\n"
                              "<!ENTITY l5 \"&l4;&l4;&l4;&l4;&l4;&l4;&l4;&l4;&l4;&l4;\">\n"
                              "<!ENTITY l6 \"&l5;&l5;&l5;&l5;&l5;&l5;&l5;&l5;&l5;&l5;\">\n"
                              "<!ENTITY l7 \"&l6;&l6;&l6;&l6;&l6;&l6;&l6;&l6;&l6;&l6;\">\n"
                              "<!ENTITY l8 \"&l7;&l7;&l7;&l7;&l7;&l7;&l7;&l7;&l7;&l7;\">\n"
                              "<!ENTITY l9 \"&l8;&l8;&l8;&l8;&l8;&l8;&l8;&l8;&l8;&l8;\">\n"
                              "]>\n<plist version=\"1.0\"><dict><key>k</key><string>&l9;</string></dict></plist>";
    const QByteArray externalEntity = "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>\n"
                                      "<plist version=\"1.0\"><dict><key>k</key><string>&x;</string></dict></plist>";
    const QByteArray deep = Plist("<key>k</key>" + QByteArray("<array>").repeated(100000)
        + QByteArray("</array>").repeated(100000));
    const struct {
        const char *what;
        QByteArray xml;
    } cases[] = {
        { "empty", "" },
        { "not XML", "StockSymbols = (ACME);" },
        { "truncated", Plist("<key>k</key><string>abc").left(120) },
        { "root is an array", "<plist version=\"1.0\"><array/></plist>" },
        { "root is not plist", "<dict><key>k</key><true/></dict>" },
        { "empty plist", "<plist version=\"1.0\"/>" },
        { "two roots", Plist("") + "<plist/>" },
        { "key without value", Plist("<key>k</key>") },
        { "value without key", Plist("<string>v</string>") },
        { "text in dictionary", Plist("stray<key>k</key><true/>") },
        { "unknown element", Plist("<key>k</key><uid>1</uid>") },
        { "element inside string", Plist("<key>k</key><string>a<b/>c</string>") },
        { "content in true", Plist("<key>k</key><true>no</true>") },
        { "integer with fraction", Plist("<key>k</key><integer>1.5</integer>") },
        { "integer too large", Plist("<key>k</key><integer>99999999999999999999</integer>") },
        { "integer too small", Plist("<key>k</key><integer>-9223372036854775809</integer>") },
        { "empty integer", Plist("<key>k</key><integer/>") },
        { "real of letters", Plist("<key>k</key><real>fifteen</real>") },
        { "invalid base64", Plist("<key>k</key><data>!!!!</data>") },
        { "bad date", Plist("<key>k</key><date>yesterday</date>") },
        { "undeclared entity", Plist("<key>k</key><string>&nbsp;</string>") },
        { "external entity", externalEntity },
        { "billion laughs", laughs },
        { "deep nesting", deep },
    };
    for (const auto &c : cases) {
        QElapsedTimer timer;
        timer.start();
        QString error;
        const auto result = ReadPlistXml(c.xml, &error);
        EXPECT_FALSE(result.has_value()) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
        EXPECT_LT(timer.elapsed(), 5000) << c.what;
    }
}

TEST(PlistXml, ReadsLargeDocuments)
{
    QVariantList symbols;
    for (int i = 0; i < 200000; ++i)
        symbols.append(QStringLiteral("SYM%1").arg(i));
    const QVariantMap values { { QStringLiteral("StockSymbols"), symbols } };
    EXPECT_TRUE(SameTypedValue(RoundTrip(values), values));
}

} // namespace
} // namespace tickwell::testing
