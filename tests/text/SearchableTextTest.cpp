#include "text/SearchableText.h"
#include "text/StringExtensions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace tickwell;

// The searchable page text and the free extraction must agree with each other and with these.
TEST(SearchableText, CutsBetweenFirstBeginAndNextEndLikeTheFreeFunction)
{
    using S = QString;
    const struct { S text, begin, end; std::optional<S> expected; } cases[] = {
        {S("x<B>42</b>y"), S("<b>"), S("</b>"), S("42")},
        {S("Open:<td>"), S("Open:"), S("<"), S("")},
        {S("B..A..."), S("A"), S("B"), std::nullopt},
        {S("A1 A2 B"), S("A"), S("B"), S("1 A2 ")},
        {S("A1 B"), S("A"), S("Q"), std::nullopt},
        {S("abc"), S(""), S("c"), std::nullopt},
        {S("abc"), S("a"), S(""), std::nullopt},
        {S(""), S("a"), S("b"), std::nullopt},
        {S("aa"), S("a"), S("a"), S("")},
        {S("a"), S("a"), S("a"), std::nullopt}, // the end may not overlap the begin
        {S("ab"), S("abc"), S("c"), std::nullopt},
        {S("aaab!"), S("aab"), S("!"), S("")},
        {S("<span id=\"yfs_l10_msft\">28.50</span>"), S("<span id=\"yfs_l10_MSFT\">"), S("</span>"), S("28.50")},
        {S("pre &amp; post"), S("pre"), S("post"), S(" &amp; ")},
        {S("<\u00C9>1</\u00C9>"), S("<\u00E9>"), S("<"), std::nullopt},
        {S("1 \u212A 2"), S("k"), S("2"), std::nullopt},        // the Kelvin sign is no k
        {S("<\u017Fpan>9<"), S("<span>"), S("<"), std::nullopt}, // nor the long s an s
        {S("a\U0001F600b"), S("a"), S("b"), S("\U0001F600")},
        {S("Prev Close:</th><td>\r\n12.5\r\n</td>"), S("prev close:</TH><td>"), S("</td>"), S("\r\n12.5\r\n")},
    };
    for (const auto &c : cases) {
        const SearchableText page(c.text);
        EXPECT_EQ(page.extractBetweenPattern(c.begin, c.end), c.expected) << c.text.toStdString();
        EXPECT_EQ(extractBetweenPattern(c.text, c.begin, c.end), c.expected) << c.text.toStdString();
    }
    EXPECT_EQ(SearchableText().indexOf(u"a"), -1);
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
    for (QChar &c : pattern) {
        if (random() % 4 == 0 && c.unicode() < 128)
            c = c.isUpper() ? c.toLower() : c.toUpper();
    }
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
        SCOPED_TRACE(testing::Message() << "text=" << text.toStdString() << " begin=" << begin.toStdString()
                                        << " end=" << end.toStdString());
        const qsizetype start = std::uniform_int_distribution<qsizetype>(-2, text.size() + 2)(random);
        const qsizetype expected = ReferenceIndexOf(text, begin, start);
        ASSERT_EQ(page.indexOf(begin, start), expected);
        ASSERT_EQ(indexOfIgnoringAsciiCase(text, begin, start), expected);
        ASSERT_EQ(page.extractBetweenPattern(begin, end), extractBetweenPattern(text, begin, end));
    }
}

TEST(SearchableText, LongPatternsAndPagesAgree)
{
    // Matchers with skip tables misbehave on long needles and on characters sharing a low byte.
    QString page = QStringLiteral("<td class=\"yfnc_tabledata1\">").repeated(2000);
    page += QChar(0x013C) + QStringLiteral("<TD CLASS=\"YFNC_TABLEDATA1\"><big><b>42</b>") + QChar(0x0100);
    EXPECT_EQ(SearchableText(page).extractBetweenPattern(u"<td class=\"yfnc_tabledata1\"><BIG><b>", u"</b>"),
              QStringLiteral("42"));
    const QString longPattern = QStringLiteral("x").repeated(300) + QStringLiteral("Y");
    const SearchableText longPage(QStringLiteral("X").repeated(1000) + QStringLiteral("y"));
    EXPECT_EQ(longPage.indexOf(longPattern), 700);
    EXPECT_EQ(indexOfIgnoringAsciiCase(longPage.text(), longPattern), 700);
}
