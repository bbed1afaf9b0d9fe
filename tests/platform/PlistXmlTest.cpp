#include "platform/settings/PlistXml.h"

#include "PlatformTestSupport.h"

#include <QDateTime>
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

std::optional<QVariant> RoundTrip(const QVariant &value)
{
    const auto xml = WritePlistXml({ { QStringLiteral("k"), value } });
    return xml ? ValueOfK(*xml) : std::nullopt;
}

TEST(PlistXml, ReadsEveryElementAsItsExactType)
{
    const struct {
        const char *xml;
        QVariant value;
    } cases[] = {
        { "<integer> 1 </integer>", qlonglong(1) },
        { "<integer>18446744073709551615</integer>", std::numeric_limits<qulonglong>::max() },
        { "<string>  a &amp; b <![CDATA[<x>]]>&#13;</string>", QStringLiteral("  a & b <x>\r") },
        { "<data>\n\tD716\n\teg==\n</data>", QByteArray::fromHex("0fbd7a7a") },
        { "<date>2026-12-05T14:30:00Z</date>", QDateTime(QDate(2026, 12, 5), QTime(14, 30), QTimeZone::utc()) },
        { "<array><true/><dict><key>x</key><string/></dict></array>",
            QVariantList { true, QVariantMap { { QStringLiteral("x"), QString() } } } },
    };
    for (const auto &c : cases)
        EXPECT_TRUE(SameTypedValue(ValueOfK(Plist(QByteArray("<key>k</key>") + c.xml)), c.value)) << c.xml;
}

TEST(PlistXml, RoundTripsValuesAsTheTypeTheyReadBackAs)
{
    const QString awkward = QStringLiteral(" <a href=\"x\">&amp;</a> ]]> \t\r\n\r Zürich \U0001F4C8 ");
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
        { QVariantList { QVariant::fromValue(QPoint(1, 2)) }, std::nullopt },
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
