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

TEST(PageCutting, FirstBeginNearerBeginAndSafeFormats)
{
    const SearchableText page(QStringLiteral("<b>one <B>two</b> <b>three"));
    EXPECT_EQ(CutBetween(page, 0, u"<b>", u"</b>"), QStringLiteral("one <B>two")) << "only the first begin counts";
    EXPECT_EQ(CutBetween(page, 5, u"<b>", u"</b>"), QStringLiteral("two"));
    EXPECT_EQ(CutBetween(page, 0, u"", u"</b>"), std::nullopt);
    EXPECT_EQ(CutBetween(SearchableText(QStringLiteral("Open:<td>")), 0, u"Open:", u"<"), QString()) << "empty, not absent";

    const SearchableText spans(QStringLiteral("<i>anchor</i><span class=\"neg\">1</span><span class=\"pos\">2</span>"));
    EXPECT_EQ(CutBetweenNearer(spans, 0, u"<span class=\"pos\">", u"<span class=\"neg\">", u"</span>"), QStringLiteral("1"));
    EXPECT_EQ(CutBetweenNearer(spans, 30, u"<span class=\"pos\">", u"<span class=\"neg\">", u"</span>"), QStringLiteral("2"));
    EXPECT_EQ(CutBetweenNearer(spans, 0, u"<x>", u"<y>", u"</span>"), std::nullopt);

    // Markers inside page values are never filled.
    EXPECT_EQ(FillFormat(u"%@ [%@] : %@", {u"100% %@ %1", u"A", u"1"}), QStringLiteral("100% %@ %1 [A] : 1"));
    EXPECT_EQ(FillFormat(u"%@ and %@", {u"one"}), QStringLiteral("one and %@"));
    EXPECT_EQ(WithSymbol(u"<span id=\"yfs_l10_%@\">", QStringLiteral("%@x")), QStringLiteral("<span id=\"yfs_l10_%@x\">"));
}

// Any fragment up to the size limit flattens (bench/bench_extraction.cpp times the same shapes):
// hostile nesting keeps its text, and beyond the budget of formatting tags the rest is text.
TEST(PageCutting, FlattenFragmentTakesHostileMarkupUpToItsSize)
{
    const auto filled = [](const QString &unit) {
        const QString ends = QStringLiteral("<p>before</p>") + QStringLiteral("deep");
        return QStringLiteral("<p>before</p>") + unit.repeated((kLongestFlattenedFragment - ends.size()) / unit.size()) + QStringLiteral("deep");
    };
    const QString shapes[] = {
        QStringLiteral("<p><b id=1><i id=2><u id=3>x"), // paragraphs reopening ever more formatting elements
        QStringLiteral("<div>"), QStringLiteral("<span></x>"), QStringLiteral("<ul><li>"), QStringLiteral("<table><td>"),
        QStringLiteral("<b><div></b>"), QStringLiteral("<svg><g>"), QStringLiteral("<q a b c d e f>"),
    };
    for (const QString &shape : shapes) {
        const QString html = filled(shape);
        ASSERT_LE(html.size(), kLongestFlattenedFragment);
        const std::optional<QString> text = FlattenFragment(html);
        ASSERT_TRUE(text) << shape.toStdString();
        EXPECT_TRUE(text->startsWith(QStringLiteral("before\n")) && text->trimmed().endsWith(QStringLiteral("deep"))) << shape.toStdString();
    }
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
