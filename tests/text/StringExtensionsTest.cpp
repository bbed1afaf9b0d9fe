#include "text/StringExtensions.h"
#include "text/MarkupNestingLimit.h"

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

TEST(FlattenHTML, MarkupOfOrdinaryPagesReachesTheParserUnchanged)
{
    const QByteArray cases[] = {
        // Long runs of elements whose end tags pages leave out.
        "<table>" + QByteArray("<tr><td>Gold<td>1,234.50<td>+0.5%").repeated(2000) + "</table>",
        "<ul>" + QByteArray("<li>item").repeated(2000) + "</ul><dl>" + QByteArray("<dt>a<dd>b").repeated(2000) + "</dl>",
        QByteArray("<p>para").repeated(2000) + QByteArray("<select>") + QByteArray("<option>o").repeated(2000),
        "<svg>" + QByteArray("<path d='M0 0'/>").repeated(2000) + "</svg>" + QByteArray("<br><img src=x>").repeated(2000),
        // Tags that are text: in scripts (with their escapes), comments, attributes and titles.
        "<script>if (a<b) x = '<div><div>';<!--<script>'</script>'--></script>" + QByteArray("<div>").repeated(100),
        "<!-- <div><div> --><title><div></title><a title='<div>'>x</a>" + QByteArray("<b>b</b>").repeated(2000),
        QByteArray("<div><span><b>x</b></span>").repeated(120) + QByteArray("</div>").repeated(120),
    };
    for (const QByteArray &markup : cases)
        EXPECT_EQ(LimitMarkupNesting(markup), markup) << markup.left(60).constData();
}

TEST(FlattenHTML, FlattensHostileNestingAMillionLevelsDeepAndKeepsTheText)
{
    constexpr int kLevels = 1000000;
    QString attributes = QStringLiteral("<b");
    for (int i = 0; i < 10000; ++i)
        attributes += QStringLiteral(" a%1").arg(i);
    // The shapes of the parser's slow paths, a tenth as deep: each costs the same per level.
    constexpr int kShapeLevels = kLevels / 10;
    const QString cases[] = {
        QStringLiteral("<span>").repeated(kLevels),
        QStringLiteral("<div>").repeated(kLevels),
        QStringLiteral("<span></x>").repeated(kShapeLevels), // end tags the parser ignores
        QStringLiteral("<ul><li>").repeated(kShapeLevels), // implied ends keep the stack from growing
        QStringLiteral("<table><td>").repeated(kShapeLevels),
        QStringLiteral("<b><div></b>").repeated(kShapeLevels), // the block stays open when <b> ends
        QStringLiteral("<svg><g>").repeated(kShapeLevels),
        QStringLiteral("<svg>") + QStringLiteral("<div/>").repeated(kShapeLevels), // leaves SVG for HTML
        QStringLiteral("<b id=x>").repeated(kShapeLevels), // formatting elements left open
        attributes + QStringLiteral(">"),
    };
    for (const QString &hostile : cases) {
        const QString text = flattenHTML(QStringLiteral("<p>before</p>") + hostile + QStringLiteral("deep"));
        EXPECT_TRUE(text.startsWith(QStringLiteral("before\n")) && text.trimmed().endsWith(QStringLiteral("deep"))) << hostile.left(40).toStdString();
    }
}
