#include "SectionFixture.h"

#include "text/NumberReading.h"
#include "sources/PageCutting.h"

#include <limits>

namespace tickwell::testing {
namespace {

TEST(NumberReading, TakesTheLongestLeadingNumber)
{
    const std::pair<QString, double> decimals[]{
        {QStringLiteral("  \t\n12.5abc"), 12.5}, {QStringLiteral("1,234.50"), 1.0}, {QStringLiteral("-.5"), -0.5},
        {QStringLiteral("5."), 5.0},   {QStringLiteral("1E-2x"), 0.01},  {QStringLiteral("1e+"), 1.0},
        {QStringLiteral("2.5e1.5"), 25.0}, {QStringLiteral("1e-400"), 0.0}, {QStringLiteral("N/A"), 0.0},
        {QStringLiteral("."), 0.0},    {QStringLiteral("١٢"), 0.0}, // digits of other scripts are not read
        {QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("1"), 0.0},
        {QStringLiteral("1e400"), std::numeric_limits<double>::infinity()},
    };
    for (const auto &[text, expected] : decimals)
        EXPECT_EQ(ReadDecimalNumber(text), expected) << text.toStdString();
    const std::pair<QString, std::int32_t> wholes[]{
        {QStringLiteral("100.9"), 100}, {QStringLiteral("+12 shares"), 12}, {QStringLiteral("1,000"), 1},
        {QStringLiteral(""), 0},        {QStringLiteral("-99999999999"), std::numeric_limits<std::int32_t>::min()},
        {QStringLiteral("99999999999"), std::numeric_limits<std::int32_t>::max()},
    };
    for (const auto &[text, expected] : wholes)
        EXPECT_EQ(ReadWholeNumber(text), expected) << text.toStdString();
}

TEST(PageCutting, OnlyTheFirstBeginCounts)
{
    const SearchableText page(QStringLiteral("<b>one <B>two</b> <b>three"));
    EXPECT_EQ(CutBetween(page, 0, u"<b>", u"</b>"), QStringLiteral("one <B>two"));
    EXPECT_EQ(CutBetween(page, 5, u"<b>", u"</b>"), QStringLiteral("two"));
    EXPECT_EQ(CutBetween(page, 14, u"<b>", u"</b>"), std::nullopt) << "a begin without end after it gives nothing";
    EXPECT_EQ(CutBetween(page, 0, u"", u"</b>"), std::nullopt);
    EXPECT_EQ(CutBetween(page, 0, u"<b>", u""), std::nullopt);
    EXPECT_EQ(CutBetween(SearchableText(QStringLiteral("Open:<td>")), 0, u"Open:", u"<"), QString()) << "empty, not absent";
}

TEST(PageCutting, NearerBeginWins)
{
    const SearchableText page(QStringLiteral("<i>anchor</i><span class=\"neg\">1</span><span class=\"pos\">2</span>"));
    EXPECT_EQ(CutBetweenNearer(page, 0, u"<span class=\"pos\">", u"<span class=\"neg\">", u"</span>"), QStringLiteral("1"));
    EXPECT_EQ(CutBetweenNearer(page, 30, u"<span class=\"pos\">", u"<span class=\"neg\">", u"</span>"), QStringLiteral("2"));
    EXPECT_EQ(CutBetweenNearer(page, 0, u"<x>", u"<y>", u"</span>"), std::nullopt);
}

TEST(PageCutting, FormatsNeverFillMarkersInsideValues)
{
    EXPECT_EQ(FillFormat(u"%@ [%@] : %@", {u"100% %@ %1", u"A", u"1"}), QStringLiteral("100% %@ %1 [A] : 1"));
    EXPECT_EQ(FillFormat(u"(%@, %@%@) ", {u"1.25", u"0.839", u"%"}), QStringLiteral("(1.25, 0.839%) "));
    EXPECT_EQ(FillFormat(u"%@ and %@", {u"one"}), QStringLiteral("one and %@"));
    EXPECT_EQ(WithSymbol(u"<span id=\"yfs_l10_%@\">", QStringLiteral("%@x")), QStringLiteral("<span id=\"yfs_l10_%@x\">"));
}

TEST(PageCutting, ReplaceIgnoresAsciiCaseOnly)
{
    EXPECT_EQ(ReplaceIgnoringAsciiCase(QStringLiteral("a<SPAN>b</span>c<span>"), u"<span>", u" "), QStringLiteral("a b</span>c "));
    EXPECT_EQ(ReplaceIgnoringAsciiCase(QStringLiteral("<ſpan>"), u"<span>", u" "), QStringLiteral("<ſpan>"));
    EXPECT_EQ(ReplaceIgnoringAsciiCase(QStringLiteral("none"), u"<span>", u" "), QStringLiteral("none"));
}

} // namespace
} // namespace tickwell::testing
