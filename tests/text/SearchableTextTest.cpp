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
        {"a", "a", "a", std::nullopt}, {"1 \u212A 2", "k", "2", std::nullopt}, {"<\u017Fpan>9<", "<span>", "<", std::nullopt},
        {"Prev Close:</th><td>\r\n12.5\r\n</td>", "prev close:</TH><td>", "</td>", "\r\n12.5\r\n"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(SearchableText(c.text).extractBetweenPattern(c.begin, c.end), c.expected) << c.text.toStdString();
        EXPECT_EQ(extractBetweenPattern(c.text, c.begin, c.end), c.expected) << c.text.toStdString();
    }
    // Matchers with skip tables misbehave on long needles and on characters sharing a low byte.
    QString page = QStringLiteral("<td class=\"yfnc_tabledata1\">").repeated(2000);
    page += QChar(0x013C) + QStringLiteral("<TD CLASS=\"YFNC_TABLEDATA1\"><big><b>42</b>") + QChar(0x0100);
    EXPECT_EQ(SearchableText(page).extractBetweenPattern(u"<td class=\"yfnc_tabledata1\"><BIG><b>", u"</b>"), QStringLiteral("42"));
    const QString longPattern = QStringLiteral("x").repeated(300) + QStringLiteral("Y");
    const QString longPage = QStringLiteral("X").repeated(1000) + QStringLiteral("y");
    EXPECT_EQ(SearchableText(longPage).indexOf(longPattern), 700);
    EXPECT_EQ(indexOfIgnoringAsciiCase(longPage, longPattern), 700);
}

TEST(SearchableText, RandomizedAgreementWithFreeFunctionAndReference)
{
    // Letters, markup, neighbours of the ASCII letter ranges and non-ASCII letters that Unicode
    // would fold to ASCII (Kelvin sign, long s): a mistaken fold shows up as a difference.
    const char16_t alphabet[] = u"aAbBkKsSzZ@[`{<>/\"=\u00E9\u00C9\u212A\u017F\xD83D\xDE00 ";
    std::mt19937 random(20261205);
    const auto randomText = [&](int maxLength) {
        QString text;
        for (int i = std::uniform_int_distribution<int>(0, maxLength)(random); i > 0; --i)
            text.append(QChar(alphabet[random() % (std::size(alphabet) - 1)]));
        return text;
    };
    // Mostly pieces of the text with their ASCII case flipped at random, so that matches occur.
    const auto randomPattern = [&](const QString &text) {
        if (text.isEmpty() || random() % 4 == 0)
            return randomText(3);
        QString pattern = text.mid(random() % text.size(), random() % 5);
        for (QChar &c : pattern)
            c = random() % 4 == 0 && c.unicode() < 128 ? (c.isUpper() ? c.toLower() : c.toUpper()) : c;
        return pattern;
    };
    const auto fold = [](QStringView s) {
        std::u16string folded;
        for (QChar c : s)
            folded.push_back(foldAsciiCase(c.unicode()));
        return folded;
    };
    for (int round = 0; round < 20000; ++round) {
        const QString text = randomText(40), begin = randomPattern(text), end = randomPattern(text);
        SCOPED_TRACE(text.toStdString() + " | " + begin.toStdString() + " | " + end.toStdString());
        const qsizetype start = std::uniform_int_distribution<qsizetype>(-2, text.size() + 2)(random);
        const size_t at = fold(text).find(fold(begin), static_cast<size_t>(std::max<qsizetype>(start, 0)));
        const qsizetype expected = begin.isEmpty() || at == std::u16string::npos ? -1 : static_cast<qsizetype>(at);
        const SearchableText page(text);
        ASSERT_EQ(page.indexOf(begin, start), expected);
        ASSERT_EQ(indexOfIgnoringAsciiCase(text, begin, start), expected);
        ASSERT_EQ(page.extractBetweenPattern(begin, end), extractBetweenPattern(text, begin, end));
    }
}

using TextCase = std::pair<QString, QString>;

TEST(DecodeEntities, DecodesInOnePass)
{
    const TextCase cases[] = {
        {"&amp;lt;", "&lt;"}, {"&#38;lt;", "&lt;"}, // decoded output is not decoded again
        {"&LT;&AmP;&Quot;&apos;&nbsp;&gt;", "<&\"' >"}, {"&#65;&#x42;&#X43;&#0065;&#x41&#x42", "ABCAAB"},
        // Only the low 16 bits are kept, so long digit runs cannot overflow.
        {"&#-1;", QString(QChar(0xFFFF))}, {"&#x1F600;", QString(QChar(0xF600))}, {"&#100000000000000000065;&#x10000000041;", "AA"},
        {"&#xyz;&#Xq;&#x;&#;&#-;&# 65", "&#xyz;&#Xq;&#x;&#;&#-;&# 65"},
        {"&copy; 2 &ampx AT&T &&amp;", "&copy; 2 &ampx AT&T &&"},
        {"a&", "a&"}, {"a&#", "a&#"}, {"x&am", "x&am"},
        {"&apo\u017F;", "&apo\u017F;"}, {"\u00E9&amp;\U0001F600", "\u00E9&\U0001F600"},
    };
    for (const auto &[input, expected] : cases)
        EXPECT_EQ(stringByDecodingHTMLEntities(input), expected) << input.toStdString();
    EXPECT_EQ(removeExtraWhiteSpace(QStringLiteral("  Acme\tCorp.\n\n a\r\nb\u00A0c ")), QStringLiteral("Acme Corp. a\r b\u00A0c"));
}

TEST(FlattenHTML, GivesPlainTextInDocumentOrder)
{
    const TextCase cases[] = {
        {"<p>One</p><p>Two</p>", "One\nTwo\n"}, {"a<div>b</div>c<br>d<br/>", "a\nb\nc\nd\n"},
        {"<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>", "a\tb\nc\n"},
        {"x &amp; y &lt;z&gt; &copy; &#8212;", "x & y <z> \u00A9 \u2014"},
        {"<script>var a = '<b>x</b>';</script>Hi<style>p{}</style>!<!-- b -->", "Hi!"},
        {"<html><head><title>T</title></head><body><b><i>bold</b> after</body></html>", "bold after"},
        {"<p>Caf\u00E9 \u2013 5\u20AC \U0001F600</p>", "Caf\u00E9 \u2013 5\u20AC \U0001F600\n"},
        // A metals row cut from its table: cells lose their tags, the line feeds stay.
        {",\n<td>12/05</td>,\n<td>1,234.50</td>,\n<td> +5.20 </td>", ",\n12/05,\n1,234.50,\n +5.20 "},
        // Texts under four characters are parsed only when Mac OS Roman can hold them.
        {"<b>", ""}, {"a&b", "a&b"}, {"\u4E2D<p", "\u4E2D<p"}, {"\u4E2D<b>", "\u4E2D"}, {QString("a") + QChar(0) + "b", "ab"},
    };
    for (const auto &[input, expected] : cases)
        EXPECT_EQ(flattenHTML(input), expected) << input.toStdString();
}
