#include "ExtractionCases.h"

#include "text/StringExtensions.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace tickwell;

namespace {

struct TextCase {
    const char *name;
    QString input;
    QString expected;
};

void PrintTo(const TextCase &c, std::ostream *out) { *out << c.name; }

std::string Name(const testing::TestParamInfo<TextCase> &param) { return param.param.name; }

} // namespace

// --- extractBetweenPattern -------------------------------------------------------------------

class ExtractBetweenPatternTest : public testing::TestWithParam<ExtractionCase> {};

TEST_P(ExtractBetweenPatternTest, CutsBetweenFirstBeginAndNextEnd)
{
    const ExtractionCase &c = GetParam();
    EXPECT_EQ(extractBetweenPattern(c.text, c.begin, c.end), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExtractBetweenPatternTest, testing::ValuesIn(ExtractionCases()),
                         ExtractionCaseName);

TEST(IndexOfIgnoringAsciiCase, HonoursStartAndBounds)
{
    const QString text = QStringLiteral("abcABCabc");
    EXPECT_EQ(indexOfIgnoringAsciiCase(text, u"ABC"), 0);
    EXPECT_EQ(indexOfIgnoringAsciiCase(text, u"abc", 1), 3);
    EXPECT_EQ(indexOfIgnoringAsciiCase(text, u"abc", 6), 6);
    EXPECT_EQ(indexOfIgnoringAsciiCase(text, u"abc", 7), -1);
    EXPECT_EQ(indexOfIgnoringAsciiCase(text, u"abc", 100), -1);
    EXPECT_EQ(indexOfIgnoringAsciiCase(text, u"bca", -5), 1);
    EXPECT_EQ(indexOfIgnoringAsciiCase(text, u""), -1);
    EXPECT_EQ(indexOfIgnoringAsciiCase(u"", u"a"), -1);
    // Punctuation next to the letter ranges must not fold: '@' and '[' sit beside 'A' and 'Z'.
    EXPECT_EQ(indexOfIgnoringAsciiCase(u"`{", u"@["), -1);
}

// --- stringByDecodingHTMLEntities ------------------------------------------------------------

class DecodeEntitiesTest : public testing::TestWithParam<TextCase> {};

TEST_P(DecodeEntitiesTest, DecodesInOnePass)
{
    EXPECT_EQ(stringByDecodingHTMLEntities(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeEntitiesTest,
    testing::Values(
        TextCase{"amp", "Fish &amp; Chips", "Fish & Chips"},
        TextCase{"one_pass_only", "&amp;lt;", "&lt;"},
        TextCase{"numeric_output_not_redecoded", "&#38;lt;", "&lt;"},
        TextCase{"upper_case_name", "&LT;", "<"},
        TextCase{"mixed_case_name", "&AmP;&Quot;", "&\""},
        TextCase{"all_six", "&amp;&apos;&nbsp;&quot;&lt;&gt;", "&' \"<>"},
        TextCase{"nbsp_is_plain_space", "a&nbsp;b", "a b"},
        TextCase{"numeric_forms", "&#65;&#x42;&#X43", "ABC"},
        TextCase{"leading_zeros", "&#0065;&#x0044;", "AD"},
        TextCase{"adjacent_without_semicolons", "&#x41&#x42", "AB"},
        TextCase{"only_one_semicolon_consumed", "&#65;;", "A;"},
        TextCase{"plus_sign", "&#+66;", "B"},
        TextCase{"minus_sign_wraps_to_16_bits", "&#-1;", QString(QChar(0xFFFF))},
        TextCase{"em_dash", "&#x2014;", QString(QChar(0x2014))},
        TextCase{"above_ffff_keeps_low_bits", "&#x1F600;", QString(QChar(0xF600))},
        TextCase{"decimal_above_ffff", "&#65601;", "A"},
        TextCase{"huge_decimal_does_not_overflow", "&#100000000000000000065;", "A"},
        TextCase{"huge_hex_does_not_overflow", "&#x10000000041;", "A"},
        TextCase{"hex_without_digits", "&#xyz;", "&#xyz;"},
        TextCase{"hex_marker_kept_as_written", "&#Xq;", "&#Xq;"},
        TextCase{"hex_marker_alone", "&#x;", "&#x;"},
        TextCase{"no_number", "&#;", "&#;"},
        TextCase{"sign_without_digits", "&#-;", "&#-;"},
        TextCase{"space_is_not_skipped", "&# 65", "&# 65"},
        TextCase{"unreadable_stops_at_tab", "&#abc\tdef", "&#abc\tdef"},
        TextCase{"unreadable_then_entity", "&#zz;&amp;", "&#zz;&"},
        TextCase{"unknown_named_entity", "&copy; 2", "&copy; 2"},
        TextCase{"name_without_semicolon", "&ampx", "&ampx"},
        TextCase{"bare_ampersand", "AT&T", "AT&T"},
        TextCase{"double_ampersand", "&&amp;", "&&"},
        TextCase{"ampersand_at_end", "a&", "a&"},
        TextCase{"hash_at_end", "a&#", "a&#"},
        TextCase{"entity_at_end_cut_short", "x&am", "x&am"},
        TextCase{"non_ascii_fold_does_not_match", "&apo\u017F;", "&apo\u017F;"},
        TextCase{"non_ascii_text_copied", "\u00E9&amp;\U0001F600", "\u00E9&\U0001F600"}),
    Name);

TEST(DecodeEntities, ReturnsTheSameStringWhenThereIsNoAmpersand)
{
    const QString text = QStringLiteral("no entities here; #65 x41").repeated(3);
    const QString decoded = stringByDecodingHTMLEntities(text);
    EXPECT_TRUE(decoded.isSharedWith(text));
    EXPECT_EQ(decoded.constData(), text.constData());

    const QString empty;
    EXPECT_TRUE(stringByDecodingHTMLEntities(empty).isEmpty());
}

// --- removeExtraWhiteSpace / cleanForFilename ------------------------------------------------

class RemoveExtraWhiteSpaceTest : public testing::TestWithParam<TextCase> {};

TEST_P(RemoveExtraWhiteSpaceTest, JoinsWordsWithSingleSpaces)
{
    EXPECT_EQ(removeExtraWhiteSpace(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, RemoveExtraWhiteSpaceTest,
                         testing::Values(TextCase{"tabs_and_line_feeds", "  Acme\tCorp.\n\n Reports ",
                                                  "Acme Corp. Reports"},
                                         TextCase{"carriage_return_kept", "a\rb", "a\rb"},
                                         TextCase{"crlf_keeps_the_cr", "a\r\nb", "a\r b"},
                                         TextCase{"no_break_space_kept", "a\u00A0b  c", "a\u00A0b c"},
                                         TextCase{"only_white_space", " \t\n ", ""},
                                         TextCase{"empty", "", ""},
                                         TextCase{"single_word", "word", "word"}),
                         Name);

class CleanForFilenameTest : public testing::TestWithParam<TextCase> {};

TEST_P(CleanForFilenameTest, ReplacesSlashAndColon)
{
    EXPECT_EQ(cleanForFilename(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, CleanForFilenameTest,
                         testing::Values(TextCase{"headline", "Q3: Sales/Profits", "Q3- Sales-Profits"},
                                         TextCase{"only_separators", "//::", "----"},
                                         TextCase{"backslash_and_dots_kept", "..\\a.b", "..\\a.b"},
                                         TextCase{"empty", "", ""}),
                         Name);

// --- flattenHTML -----------------------------------------------------------------------------

class FlattenHTMLTest : public testing::TestWithParam<TextCase> {};

TEST_P(FlattenHTMLTest, GivesPlainTextInDocumentOrder)
{
    EXPECT_EQ(flattenHTML(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FlattenHTMLTest,
    testing::Values(
        TextCase{"bold_word", "<b>Bold</b>", "Bold"},
        TextCase{"span_in_range", "<span>12.34</span>", "12.34"},
        TextCase{"paragraphs_end_lines", "<p>One</p><p>Two</p>", "One\nTwo\n"},
        TextCase{"text_before_block_ends_its_line", "a<div>b</div>c", "a\nb\nc"},
        TextCase{"line_break", "a<br>b<br/>", "a\nb\n"},
        TextCase{"headings_and_lists", "<h1>T</h1><ul><li>one</li><li>two</li></ul>", "T\none\ntwo\n"},
        TextCase{"table_rows_end_lines", "<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>",
                 "a\tb\nc\n"},
        TextCase{"entities_resolved", "x &amp; y &lt;z&gt; &copy; &#8212;", "x & y <z> \u00A9 \u2014"},
        TextCase{"script_and_style_dropped", "<script>var a = '<b>x</b>';</script>Hi<style>p{}</style>!", "Hi!"},
        TextCase{"head_dropped", "<html><head><title>T</title></head><body>B</body></html>", "B"},
        TextCase{"comments_dropped", "a<!-- b -->c", "ac"},
        TextCase{"unclosed_markup", "<b><i>bold</b> after", "bold after"},
        TextCase{"stray_end_tags", "</p></div>x", "x"},
        TextCase{"non_ascii", "<p>Caf\u00E9 \u2013 5\u20AC \U0001F600</p>", "Caf\u00E9 \u2013 5\u20AC \U0001F600\n"},
        // A metals row cut from its table: cells lose their tags, the line feeds stay.
        TextCase{"row_fields_keep_line_feeds", ",\n<td>12/05</td>,\n<td>1,234.50</td>,\n<td> +5.20 </td>",
                 ",\n12/05,\n1,234.50,\n +5.20 "},
        TextCase{"empty_returned_as_is", "", ""},
        TextCase{"short_mac_roman_text_is_parsed", "<b>", ""},
        TextCase{"short_entity_like_text", "a&b", "a&b"},
        TextCase{"short_text_beyond_mac_roman_returned_as_is", "\u4E2D<p", "\u4E2D<p"},
        TextCase{"longer_text_beyond_mac_roman_is_parsed", "\u4E2D<b>", "\u4E2D"},
        TextCase{"nul_character", QString("a") + QChar(0) + "b", "ab"}),
    Name);

TEST(FlattenHTML, SurvivesHostileNesting)
{
    // Deeper than a recursive walk of the tree could go on the call stack.
    const int depth = 200000;
    const QString html = QStringLiteral("<div><p>").repeated(500) + QStringLiteral("<span>").repeated(depth)
        + QStringLiteral("deep");
    const QString text = flattenHTML(html);
    EXPECT_TRUE(text.contains(QStringLiteral("deep")));
    EXPECT_FALSE(text.contains(u'<'));
}

TEST(FlattenHTML, LargePageKeepsAllText)
{
    QString html = QStringLiteral("<html><body><table>");
    for (int row = 0; row < 2000; ++row)
        html += QStringLiteral("<tr><td>r%1</td><td>&amp;</td></tr>").arg(row);
    html += QStringLiteral("</table></body></html>");
    const QStringList lines = flattenHTML(html).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2000);
    EXPECT_EQ(lines.front(), QStringLiteral("r0\t&"));
    EXPECT_EQ(lines.back(), QStringLiteral("r1999\t&"));
}
