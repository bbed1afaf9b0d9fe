#include "platform/OldStylePlist.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QTimeZone>

#include <limits>

namespace tickwell::testing {
namespace {

TEST(OldStylePlistText, WritesEachTypeOnOneLine)
{
    const struct {
        QVariant value;
        const char *text;
    } cases[] = {
        { QStringLiteral("ACME"), "ACME" },
        { QStringLiteral("BRK.B"), "BRK.B" },
        { QStringLiteral("a_$+/:.-9"), "a_$+/:.-9" },
        { QString(), "\"\"" },
        { QStringLiteral("two words"), "\"two words\"" },
        { QStringLiteral("12:30 PM +1.5%"), "\"12:30 PM +1.5%\"" },
        { QStringLiteral("say \"hi\" \\ bye"), "\"say \\\"hi\\\" \\\\ bye\"" },
        { QStringLiteral("line\nfeed\ttab\rreturn"), "\"line\\nfeed\\ttab\\rreturn\"" },
        { QStringLiteral("bell\a"), "\"bell\\U0007\"" },
        { QStringLiteral("Zürich"), "\"Zürich\"" },
        { true, "1" },
        { false, "0" },
        { qlonglong(-42), "-42" },
        { std::numeric_limits<qlonglong>::min(), "-9223372036854775808" },
        { 1.5, "1.5" },
        { 2.0, "2" },
        { 0.1, "0.1" },
        { QByteArray::fromHex("0fbd7a"), "<0fbd7a>" },
        { QByteArray(), "<>" },
        { QDateTime(QDate(2026, 12, 5), QTime(14, 30), QTimeZone::utc()), "\"2026-12-05 14:30:00 +0000\"" },
        { QVariantList {}, "()" },
        { QVariantList { QStringLiteral("a"), QStringLiteral("b c") }, "( a, \"b c\" )" },
        { QVariantMap {}, "{}" },
        { QVariantMap { { QStringLiteral("key"), QStringLiteral("value") } }, "{ key = value; }" },
        { QVariantMap { { QStringLiteral("ACME"), QVariantList { QStringLiteral("12:30 10.5"), QStringLiteral("13:30 10.7") } },
              { QStringLiteral("odd key"), QVariantMap { { QStringLiteral("n"), qlonglong(1) } } } },
            "{ ACME = ( \"12:30 10.5\", \"13:30 10.7\" ); \"odd key\" = { n = 1; }; }" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(OldStylePlistText(c.value).toStdString(), c.text);
}

TEST(OldStylePlistText, IndentsNestedValuesWhenAsked)
{
    const QVariantMap value { { QStringLiteral("StockSymbols"), QVariantList { QStringLiteral("ACME"), QStringLiteral("BETA") } },
        { QStringLiteral("ShowSettings"), QVariantMap { { QStringLiteral("ACME"), qlonglong(1) } } },
        { QStringLiteral("Empty"), QVariantList {} } };
    EXPECT_EQ(OldStylePlistText(value, OldStylePlistLayout::Indented).toStdString(),
        "{\n"
        "    Empty = ();\n"
        "    ShowSettings = {\n"
        "        ACME = 1;\n"
        "    };\n"
        "    StockSymbols = (\n"
        "        ACME,\n"
        "        BETA\n"
        "    );\n"
        "}");
}

} // namespace
} // namespace tickwell::testing
