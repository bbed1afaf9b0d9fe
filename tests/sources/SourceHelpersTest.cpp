#include "SectionFixture.h"

#include "sources/PageCutting.h"
#include "text/NumberReading.h"

#include <limits>

namespace tickwell::testing {
namespace {

TEST(NumberReading, TakesTheLongestLeadingNumberWithoutOverflow)
{
    const std::pair<QString, double> decimals[]{
        {QStringLiteral("  \t\n12.5abc"), 12.5}, {QStringLiteral("1,234.50"), 1.0}, {QStringLiteral("-.5"), -0.5},
        {QStringLiteral("1E-2x"), 0.01}, {QStringLiteral("1e+"), 1.0}, {QStringLiteral("N/A"), 0.0}, {QStringLiteral("١٢"), 0.0},
        {QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("1"), 0.0},
        {QStringLiteral("1e400"), std::numeric_limits<double>::infinity()},
    };
    for (const auto &[text, expected] : decimals)
        EXPECT_EQ(ReadDecimalNumber(text), expected) << text.toStdString();
    EXPECT_EQ(ReadWholeNumber(QStringLiteral("+12.9 shares")), 12);
    EXPECT_EQ(ReadWholeNumber(QStringLiteral("-99999999999")), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ReadWholeNumber(QStringLiteral("99999999999")), std::numeric_limits<std::int32_t>::max());
}

TEST(PageCutting, EmptyBeginsAndValuesAndSafeFormats)
{
    // An empty begin finds nothing, an empty value is not an absent one (the nearer of two begins
    // is MarketSectionsTest's); markers inside page values are never filled.
    EXPECT_EQ(CutBetween(SearchableText(QStringLiteral("<b>one</b>")), 0, u"", u"</b>"), std::nullopt);
    EXPECT_EQ(CutBetween(SearchableText(QStringLiteral("Open:<td>")), 0, u"Open:", u"<"), QString());
    EXPECT_EQ(FillFormat(u"%@ [%@] : %@", {u"100% %@ %1", u"A", u"1"}), QStringLiteral("100% %@ %1 [A] : 1"));
    EXPECT_EQ(FillFormat(u"%@ and %@", {u"one"}), QStringLiteral("one and %@"));
    EXPECT_EQ(WithSymbol(u"<span id=\"yfs_l10_%@\">", QStringLiteral("%@x")), QStringLiteral("<span id=\"yfs_l10_%@x\">"));
}

// Fragments over the size limit are not parsed (bench/bench_extraction.cpp times hostile shapes
// up to it), and beyond the budget of formatting tags the rest is text.
TEST(PageCutting, FlattenFragmentKeepsToItsSizeAndTagBudget)
{
    EXPECT_EQ(FlattenFragment(QString(kLongestFlattenedFragment + 1, u'x')), std::nullopt);
    // The budget: sixteen formatting start tags (in any case, with attributes) are markup; from
    // the seventeenth on the fragment is text. Other tags do not count.
    const QString sixteen = QStringLiteral("<B class=x>b</b><span>s</span>").repeated(kMostFormattingStartTags);
    EXPECT_EQ(FlattenFragment(sixteen + QStringLiteral("<p>end")), QStringLiteral("bs").repeated(kMostFormattingStartTags) + QStringLiteral("\nend\n"));
    EXPECT_EQ(FlattenFragment(sixteen + QStringLiteral("<a\nhref=x>link</a><p>end")),
              QStringLiteral("bs").repeated(kMostFormattingStartTags) + QStringLiteral("<a\nhref=x>link</a><p>end"));
    EXPECT_EQ(FlattenFragment(sixteen + QStringLiteral("<abbr>x</abbr><bdi>y")), QStringLiteral("bs").repeated(kMostFormattingStartTags) + QStringLiteral("xy"));
}

} // namespace
} // namespace tickwell::testing
