#include "platform/PlistXml.h"

#include "PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QPoint>
#include <QTimeZone>

#include <limits>

namespace tickwell::testing {
namespace {

std::optional<QVariant> RoundTrip(const QVariant &value)
{
    const auto read = ReadPlistXml(WritePlistXml({ { QStringLiteral("k"), value } }));
    return read ? std::optional(read->value(QStringLiteral("k"))) : std::nullopt;
}

TEST(PlistXml, ReadsEveryElementAsItsExactType)
{
    const struct {
        const char *xml;
        QVariant value;
    } cases[] = {
        // A number where a boolean is expected stays a number; a whole real stays real.
        { "<integer> 1 </integer>", qlonglong(1) },
        { "<integer>-9223372036854775808</integer>", std::numeric_limits<qlonglong>::min() },
        { "<integer>18446744073709551615</integer>", std::numeric_limits<qulonglong>::max() },
        { "<real>15</real>", 15.0 },
        { "<string>15</string>", QStringLiteral("15") },
        { "<string>  a &amp; b <![CDATA[<x>]]>&#13;</string>", QStringLiteral("  a & b <x>\r") },
        { "<data>\n\tD716\n\teg==\n</data>", QByteArray::fromHex("0fbd7a7a") },
        { "<date>2026-12-05T14:30:00Z</date>", QDateTime(QDate(2026, 12, 5), QTime(14, 30), QTimeZone::utc()) },
        { "<array><true/><dict><key>x</key><string/></dict></array>",
            QVariantList { true, QVariantMap { { QStringLiteral("x"), QString() } } } },
    };
    for (const auto &c : cases) {
        const auto map = ReadPlistXml(Plist(QByteArray("<key>k</key>") + c.xml));
        ASSERT_TRUE(map.has_value()) << c.xml;
        EXPECT_TRUE(SameTypedValue(map->value(QStringLiteral("k")), c.value)) << c.xml;
    }
}

TEST(PlistXml, RoundTripsValuesAsTheTypeTheyReadBackAs)
{
    const QString awkward = QStringLiteral(" <a href=\"x\">&amp;</a> ]]> \t\r\n\r Zürich \U0001F4C8 ");
    const QVariant odd = QVariant::fromValue(QPoint(1, 2));
    const struct {
        QVariant in;
        std::optional<QVariant> out; // nothing: the value has no property-list form
    } cases[] = {
        { std::numeric_limits<qlonglong>::max(), std::numeric_limits<qlonglong>::max() },
        { 5e-324, 5e-324 },
        { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN() },
        { awkward, awkward },
        { QVariantMap { { awkward, QByteArray("\x00\xff", 2) } }, QVariantMap { { awkward, QByteArray("\x00\xff", 2) } } },
        { int(5), qlonglong(5) },
        { QStringList { QStringLiteral("a") }, QVariantList { QStringLiteral("a") } },
        { QVariantHash { { QStringLiteral("k"), 0.5f } }, QVariantMap { { QStringLiteral("k"), 0.5 } } },
        { QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5, 678), QTimeZone(3600)), QDateTime(QDate(2026, 1, 2), QTime(2, 4, 5), QTimeZone::utc()) },
        // XML 1.0 cannot carry these characters at all; replacing them keeps the file readable.
        { QStringLiteral("a\x01" "b") + QChar(0xFFFE) + QChar(0xD800), QStringLiteral("a\uFFFDb\uFFFD\uFFFD") },
        { QVariantList { odd }, std::nullopt },
        { QDateTime(), std::nullopt },
    };
    for (const auto &c : cases) {
        const auto converted = ToPlistValue(c.in);
        ASSERT_EQ(converted.has_value(), c.out.has_value()) << c.in.typeName();
        if (c.out) {
            EXPECT_TRUE(SameTypedValue(RoundTrip(*converted), *c.out)) << c.in.typeName();
        }
    }
}

TEST(PlistXml, NestingLimitIsTheSameForWritingAndReading)
{
    // The root dictionary is the first level, the outermost array the second, the leaf the last.
    QVariant deepestAccepted = QStringLiteral("leaf");
    for (int depth = 0; depth < kPlistMaxDepth - 2; ++depth)
        deepestAccepted = QVariantList { deepestAccepted };
    EXPECT_TRUE(RoundTrip(deepestAccepted).has_value());
    EXPECT_FALSE(ToPlistValue(QVariantList { deepestAccepted }).has_value());
    EXPECT_FALSE(RoundTrip(QVariantList { deepestAccepted }).has_value());
}

TEST(PlistXml, RefusesMalformedAndHostileDocuments)
{
    QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [\n<!ENTITY l0 \"lol\">\n";
    for (int i = 1; i <= 9; ++i)
        laughs += "<!ENTITY l" + QByteArray::number(i) + " \"" + ("&l" + QByteArray::number(i - 1) + ";").repeated(10) + "\">\n";
    laughs += "]>\n<plist version=\"1.0\"><dict><key>k</key><string>&l9;</string></dict></plist>";
    const QByteArray cases[] = {
        "",
        "StockSymbols = (ACME);",
        Plist("<key>k</key><string>abc").left(80),
        "<plist version=\"1.0\"><array/></plist>",
        Plist("") + "<plist/>",
        Plist("<key>k</key>"),
        Plist("stray<key>k</key><true/>"),
        Plist("<key>k</key><uid>1</uid>"),
        Plist("<key>k</key><string>a<b/>c</string>"),
        Plist("<key>k</key><integer>1.5</integer>"),
        Plist("<key>k</key><integer>99999999999999999999</integer>"),
        Plist("<key>k</key><real>fifteen</real>"),
        Plist("<key>k</key><data>!!!!</data>"),
        Plist("<key>k</key><date>yesterday</date>"),
        Plist("<key>k</key><string>&nbsp;</string>"),
        "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>\n"
        "<plist version=\"1.0\"><dict><key>k</key><string>&x;</string></dict></plist>",
        laughs,
        Plist("<key>k</key>" + QByteArray("<array>").repeated(100000) + QByteArray("</array>").repeated(100000)),
    };
    for (const QByteArray &xml : cases) {
        QElapsedTimer timer;
        timer.start();
        QString error;
        EXPECT_FALSE(ReadPlistXml(xml, &error).has_value()) << xml.left(200).constData();
        EXPECT_FALSE(error.isEmpty()) << xml.left(200).constData();
        EXPECT_LT(timer.elapsed(), 5000) << xml.left(200).constData();
    }
}

} // namespace
} // namespace tickwell::testing
