#include "text/StringExtensions.h"

#include <gtest/gtest.h>

using namespace tickwell;

namespace {

struct TextCase {
    QString input;
    QString expected;
};

} // namespace

TEST(DecodeEntities, DecodesInOnePass)
{
    const TextCase cases[] = {
        {"&amp;lt;", "&lt;"},
        {"&#38;lt;", "&lt;"}, // numeric output is not decoded again
        {"&LT;&AmP;&Quot;", "<&\""},
        {"&amp;&apos;&nbsp;&quot;&lt;&gt;", "&' \"<>"},
        {"&#65;&#x42;&#X43", "ABC"},
        {"&#0065;&#x0044;&#x41&#x42", "ADAB"},
        {"&#65;;", "A;"},
        {"&#+66;", "B"},
        {"&#-1;", QString(QChar(0xFFFF))},     // wraps to 16 bits
        {"&#x1F600;", QString(QChar(0xF600))}, // keeps the low bits
        {"&#100000000000000000065;", "A"},    // no overflow
        {"&#x10000000041;", "A"},
        {"&#xyz;&#Xq;&#x;&#;&#-;", "&#xyz;&#Xq;&#x;&#;&#-;"},
        {"&# 65", "&# 65"},
        {"&#zz;&amp;", "&#zz;&"},
        {"&copy; 2 &ampx", "&copy; 2 &ampx"},
        {"AT&T &&amp;", "AT&T &&"},
        {"a&", "a&"},
        {"a&#", "a&#"},
        {"x&am", "x&am"},
        {"&apo\u017F;", "&apo\u017F;"}, // no Unicode case folding
        {"\u00E9&amp;\U0001F600", "\u00E9&\U0001F600"},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(stringByDecodingHTMLEntities(c.input), c.expected) << c.input.toStdString();
}

TEST(TextCleanUps, CollapseWhiteSpaceAndMakeFileSafe)
{
    const TextCase spaces[] = {
        {"  Acme\tCorp.\n\n Reports ", "Acme Corp. Reports"},
        {"a\r\nb", "a\r b"}, // carriage returns are no separators
        {"a\u00A0b  c", "a\u00A0b c"},
        {" \t\n ", ""},
    };
    for (const auto &c : spaces)
        EXPECT_EQ(removeExtraWhiteSpace(c.input), c.expected) << c.input.toStdString();
    EXPECT_EQ(cleanForFilename(QStringLiteral("Q3: Sales/Profits ..\\a")), QStringLiteral("Q3- Sales-Profits ..\\a"));
}

TEST(FlattenHTML, GivesPlainTextInDocumentOrder)
{
    const TextCase cases[] = {
        {"<p>One</p><p>Two</p>", "One\nTwo\n"},
        {"a<div>b</div>c", "a\nb\nc"},
        {"a<br>b<br/>", "a\nb\n"},
        {"<h1>T</h1><ul><li>one</li><li>two</li></ul>", "T\none\ntwo\n"},
        {"<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>", "a\tb\nc\n"},
        {"x &amp; y &lt;z&gt; &copy; &#8212;", "x & y <z> \u00A9 \u2014"},
        {"<script>var a = '<b>x</b>';</script>Hi<style>p{}</style>!", "Hi!"},
        {"<html><head><title>T</title></head><body>B</body></html>", "B"},
        {"a<!-- b -->c", "ac"},
        {"<b><i>bold</b> after", "bold after"},
        {"</p></div>x", "x"},
        {"<p>Caf\u00E9 \u2013 5\u20AC \U0001F600</p>", "Caf\u00E9 \u2013 5\u20AC \U0001F600\n"},
        // A metals row cut from its table: cells lose their tags, the line feeds stay.
        {",\n<td>12/05</td>,\n<td>1,234.50</td>,\n<td> +5.20 </td>", ",\n12/05,\n1,234.50,\n +5.20 "},
        {"", ""},
        // Texts under four characters are parsed only when Mac OS Roman can hold them.
        {"<b>", ""},
        {"a&b", "a&b"},
        {"\u4E2D<p", "\u4E2D<p"},
        {"\u4E2D<b>", "\u4E2D"},
        {QString("a") + QChar(0) + "b", "ab"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(flattenHTML(c.input), c.expected) << c.input.toStdString();
}

TEST(FlattenHTML, SurvivesHostileNesting)
{
    // Deeper than a recursive walk of the tree could go on the call stack.
    const QString html = QStringLiteral("<div><p>").repeated(500) + QStringLiteral("<span>").repeated(200000)
                         + QStringLiteral("deep");
    const QString text = flattenHTML(html);
    EXPECT_TRUE(text.contains(QStringLiteral("deep")));
    EXPECT_FALSE(text.contains(u'<'));
}
