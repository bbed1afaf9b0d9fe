#include "ExtractionCases.h"

#include "text/SearchableText.h"
#include "text/StringExtensions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace tickwell;

class SearchableTextExtractionTest : public testing::TestWithParam<ExtractionCase> {};

TEST_P(SearchableTextExtractionTest, AgreesWithTheFreeFunction)
{
    const ExtractionCase &c = GetParam();
    const SearchableText page(c.text);
    EXPECT_EQ(page.extractBetweenPattern(c.begin, c.end), c.expected);
    EXPECT_EQ(page.extractBetweenPattern(c.begin, c.end), extractBetweenPattern(c.text, c.begin, c.end));
}

INSTANTIATE_TEST_SUITE_P(Cases, SearchableTextExtractionTest, testing::ValuesIn(ExtractionCases()),
                         ExtractionCaseName);

TEST(SearchableText, KeepsTheOriginalTextAndCutsFromIt)
{
    const SearchableText page(QStringLiteral("<TITLE>Acme CORP</Title>"));
    EXPECT_EQ(page.text(), QStringLiteral("<TITLE>Acme CORP</Title>"));
    EXPECT_EQ(page.extractBetweenPattern(u"<title>", u"</title>"), QStringLiteral("Acme CORP"));
    EXPECT_EQ(page.indexOf(u"corp"), 12);
    EXPECT_EQ(page.indexOf(u"corp", 13), -1);
    EXPECT_EQ(page.indexOf(u"<", 1), 16);
    EXPECT_EQ(page.indexOf(u"<", -3), 0);
    EXPECT_EQ(page.indexOf(u"", 0), -1);
    EXPECT_EQ(page.indexOf(u"e", 1000), -1);
}

TEST(SearchableText, EmptyPageFindsNothing)
{
    const SearchableText empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.indexOf(u"a"), -1);
    EXPECT_EQ(empty.extractBetweenPattern(u"a", u"b"), std::nullopt);
}

namespace {

// A deliberately plain reference: fold both sides completely, then search position by position.
qsizetype ReferenceIndexOf(QStringView text, QStringView pattern, qsizetype from)
{
    if (pattern.isEmpty())
        return -1;
    auto fold = [](QStringView s) {
        std::u16string folded;
        for (QChar c : s)
            folded.push_back(foldAsciiCase(c.unicode()));
        return folded;
    };
    const std::u16string haystack = fold(text);
    const std::u16string needle = fold(pattern);
    const size_t at = haystack.find(needle, static_cast<size_t>(std::max<qsizetype>(from, 0)));
    return at == std::u16string::npos ? -1 : static_cast<qsizetype>(at);
}

// Letters of both cases, markup, characters near the ASCII letter ranges and non-ASCII letters
// that Unicode would fold to ASCII (Kelvin sign, long s): a mistaken fold shows up as a difference.
const char16_t kAlphabet[] = u"aAbBkKsSzZ@[`{<>/\"=\u00E9\u00C9\u212A\u017F\xD83D\xDE00 ";

QString RandomText(std::mt19937 &random, int maxLength)
{
    std::uniform_int_distribution<int> length(0, maxLength);
    std::uniform_int_distribution<size_t> pick(0, std::size(kAlphabet) - 2);
    QString text;
    for (int i = length(random); i > 0; --i)
        text.append(QChar(kAlphabet[pick(random)]));
    return text;
}

// Mostly pieces of the text itself with their ASCII case flipped at random, so that matches occur.
QString RandomPattern(std::mt19937 &random, const QString &text)
{
    std::uniform_int_distribution<int> coin(0, 3);
    if (text.isEmpty() || coin(random) == 0)
        return RandomText(random, 3);
    std::uniform_int_distribution<qsizetype> start(0, text.size() - 1);
    const qsizetype from = start(random);
    std::uniform_int_distribution<qsizetype> length(0, std::min<qsizetype>(4, text.size() - from));
    QString pattern = text.mid(from, length(random));
    for (QChar &c : pattern) {
        if (coin(random) == 0 && c.unicode() < 128)
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

        std::uniform_int_distribution<qsizetype> from(-2, text.size() + 2);
        const qsizetype start = from(random);
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
    const QString begin = QStringLiteral("<td class=\"yfnc_tabledata1\"><BIG><b>");
    const SearchableText text(page);
    EXPECT_EQ(text.extractBetweenPattern(begin, u"</b>"), QStringLiteral("42"));
    EXPECT_EQ(text.extractBetweenPattern(begin, u"</b>"), extractBetweenPattern(page, begin, u"</b>"));
    const QString longPattern = QStringLiteral("x").repeated(300) + QStringLiteral("Y");
    const SearchableText longPage(QStringLiteral("X").repeated(1000) + QStringLiteral("y"));
    EXPECT_EQ(longPage.indexOf(longPattern), 700);
    EXPECT_EQ(indexOfIgnoringAsciiCase(longPage.text(), longPattern), 700);
}
