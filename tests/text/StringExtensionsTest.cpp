#include "text/StringExtensions.h"

#include <gtest/gtest.h>

#include <utility>

using namespace tickwell;

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
