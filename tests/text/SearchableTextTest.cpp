#include "text/SearchableText.h"
#include "text/StringExtensions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace tickwell;

TEST(SearchableText, CutsBetweenFirstBeginAndNextEndLikeTheFreeFunction)
{
    const struct { QString text, begin, end; std::optional<QString> expected; } cases[] = {
        {"x<B>42</b>y", "<b>", "</b>", "42"}, {"Open:<td>", "Open:", "<", ""}, {"B..A...", "A", "B", std::nullopt},
        {"A1 A2 B", "A", "B", "1 A2 "}, {"abc", "", "c", std::nullopt}, {"aa", "a", "a", ""}, {"aaab!", "aab", "!", ""},
        {"a", "a", "a", std::nullopt}, // the end may not overlap the begin
        {"<span id=\"yfs_l10_msft\">28.50</span>", "<span id=\"yfs_l10_MSFT\">", "</span>", "28.50"},
        {"1 \u212A 2", "k", "2", std::nullopt},        // the Kelvin sign is no k
        {"<\u017Fpan>9<", "<span>", "<", std::nullopt}, // nor the long s an s
        {"Prev Close:</th><td>\r\n12.5\r\n</td>", "prev close:</TH><td>", "</td>", "\r\n12.5\r\n"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(SearchableText(c.text).extractBetweenPattern(c.begin, c.end), c.expected) << c.text.toStdString();
        EXPECT_EQ(extractBetweenPattern(c.text, c.begin, c.end), c.expected) << c.text.toStdString();
    }
    EXPECT_EQ(SearchableText().indexOf(u"a"), -1);

    // Matchers with skip tables misbehave on long needles and on characters sharing a low byte.
    QString page = QStringLiteral("<td class=\"yfnc_tabledata1\">").repeated(2000);
    page += QChar(0x013C) + QStringLiteral("<TD CLASS=\"YFNC_TABLEDATA1\"><big><b>42</b>") + QChar(0x0100);
    EXPECT_EQ(SearchableText(page).extractBetweenPattern(u"<td class=\"yfnc_tabledata1\"><BIG><b>", u"</b>"), QStringLiteral("42"));
    const QString longPattern = QStringLiteral("x").repeated(300) + QStringLiteral("Y");
    const QString longPage = QStringLiteral("X").repeated(1000) + QStringLiteral("y");
    EXPECT_EQ(SearchableText(longPage).indexOf(longPattern), 700);
    EXPECT_EQ(indexOfIgnoringAsciiCase(longPage, longPattern), 700);
}

namespace {

// A deliberately plain reference: fold both sides completely, then search position by position.
qsizetype ReferenceIndexOf(QStringView text, QStringView pattern, qsizetype from)
{
    auto fold = [](QStringView s) {
        std::u16string folded;
        for (QChar c : s)
            folded.push_back(foldAsciiCase(c.unicode()));
        return folded;
    };
    const size_t at = fold(text).find(fold(pattern), static_cast<size_t>(std::max<qsizetype>(from, 0)));
    return pattern.isEmpty() || at == std::u16string::npos ? -1 : static_cast<qsizetype>(at);
}

// Letters of both cases, markup, characters next to the ASCII letter ranges and non-ASCII letters
// that Unicode would fold to ASCII (Kelvin sign, long s): a mistaken fold shows up as a difference.
const char16_t kAlphabet[] = u"aAbBkKsSzZ@[`{<>/\"=\u00E9\u00C9\u212A\u017F\xD83D\xDE00 ";

QString RandomText(std::mt19937 &random, int maxLength)
{
    QString text;
    for (int i = std::uniform_int_distribution<int>(0, maxLength)(random); i > 0; --i)
        text.append(QChar(kAlphabet[random() % (std::size(kAlphabet) - 1)]));
    return text;
}

// Mostly pieces of the text itself with their ASCII case flipped at random, so that matches occur.
QString RandomPattern(std::mt19937 &random, const QString &text)
{
    if (text.isEmpty() || random() % 4 == 0)
        return RandomText(random, 3);
    QString pattern = text.mid(random() % text.size(), random() % 5);
    for (QChar &c : pattern)
        c = random() % 4 == 0 && c.unicode() < 128 ? (c.isUpper() ? c.toLower() : c.toUpper()) : c;
    return pattern;
}

} // namespace

TEST(SearchableText, RandomizedAgreementWithFreeFunctionAndReference)
{
    std::mt19937 random(20261205);
    for (int round = 0; round < 20000; ++round) {
        const QString text = RandomText(random, 40);
        const QString begin = RandomPattern(random, text);
        const QString end = RandomPattern(random, text);
        const SearchableText page(text);
        SCOPED_TRACE(text.toStdString() + " | " + begin.toStdString() + " | " + end.toStdString());
        const qsizetype start = std::uniform_int_distribution<qsizetype>(-2, text.size() + 2)(random);
        const qsizetype expected = ReferenceIndexOf(text, begin, start);
        ASSERT_EQ(page.indexOf(begin, start), expected);
        ASSERT_EQ(indexOfIgnoringAsciiCase(text, begin, start), expected);
        ASSERT_EQ(page.extractBetweenPattern(begin, end), extractBetweenPattern(text, begin, end));
    }
}

using TextCase = std::pair<QString, QString>;

TEST(DecodeEntities, DecodesInOnePass)
{
    const TextCase cases[] = {
        {"&amp;lt;", "&lt;"},
        {"&#38;lt;", "&lt;"}, // numeric output is not decoded again
        {"&LT;&AmP;&Quot;&apos;&nbsp;&gt;", "<&\"' >"},
        {"&#65;&#x42;&#X43;&#0065;&#x41&#x42", "ABCAAB"},
        {"&#-1;", QString(QChar(0xFFFF))},     // wraps to 16 bits
        {"&#x1F600;", QString(QChar(0xF600))}, // keeps the low bits
        {"&#100000000000000000065;&#x10000000041;", "AA"}, // no overflow
        {"&#xyz;&#Xq;&#x;&#;&#-;&# 65", "&#xyz;&#Xq;&#x;&#;&#-;&# 65"},
        {"&copy; 2 &ampx AT&T &&amp;", "&copy; 2 &ampx AT&T &&"},
        {"a&", "a&"},
        {"a&#", "a&#"},
        {"x&am", "x&am"},
        {"&apo\u017F;", "&apo\u017F;"}, // no Unicode case folding
        {"\u00E9&amp;\U0001F600", "\u00E9&\U0001F600"},
    };
    for (const auto &[input, expected] : cases)
        EXPECT_EQ(stringByDecodingHTMLEntities(input), expected) << input.toStdString();
    EXPECT_EQ(removeExtraWhiteSpace(QStringLiteral("  Acme\tCorp.\n\n a\r\nb\u00A0c ")), QStringLiteral("Acme Corp. a\r b\u00A0c"));
}

TEST(FlattenHTML, GivesPlainTextInDocumentOrder)
{
    const TextCase cases[] = {
        {"<p>One</p><p>Two</p>", "One\nTwo\n"},
        {"a<div>b</div>c<br>d<br/>", "a\nb\nc\nd\n"},
        {"<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>", "a\tb\nc\n"},
        {"x &amp; y &lt;z&gt; &copy; &#8212;", "x & y <z> \u00A9 \u2014"},
        {"<script>var a = '<b>x</b>';</script>Hi<style>p{}</style>!<!-- b -->", "Hi!"},
        {"<html><head><title>T</title></head><body><b><i>bold</b> after</body></html>", "bold after"},
        {"<p>Caf\u00E9 \u2013 5\u20AC \U0001F600</p>", "Caf\u00E9 \u2013 5\u20AC \U0001F600\n"},
        // A metals row cut from its table: cells lose their tags, the line feeds stay.
        {",\n<td>12/05</td>,\n<td>1,234.50</td>,\n<td> +5.20 </td>", ",\n12/05,\n1,234.50,\n +5.20 "},
        // Texts under four characters are parsed only when Mac OS Roman can hold them.
        {"<b>", ""},
        {"a&b", "a&b"},
        {"\u4E2D<p", "\u4E2D<p"},
        {"\u4E2D<b>", "\u4E2D"},
        {QString("a") + QChar(0) + "b", "ab"},
    };
    for (const auto &[input, expected] : cases)
        EXPECT_EQ(flattenHTML(input), expected) << input.toStdString();
}
