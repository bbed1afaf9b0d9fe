#include "prefs/FinderOrder.h"

#include "QtPrinting.h"

#include <gtest/gtest.h>

namespace tickwell {
namespace {

struct SortCase {
    const char *name;
    QStringList input;
    QStringList expected;
};

void PrintTo(const SortCase &c, std::ostream *out) { *out << c.name; }

class FinderSortTest : public ::testing::TestWithParam<SortCase> {};

TEST_P(FinderSortTest, SortsLikeTheFileManager)
{
    QStringList strings = GetParam().input;
    SortCFMutableArrayOfCFStringsLikeTheFinder(strings);
    EXPECT_EQ(strings, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, FinderSortTest,
    ::testing::Values(
        SortCase{"NumbersByValueCaseIgnored", {"X10", "X9", "x1"}, {"x1", "X9", "X10"}},
        SortCase{"TwoBeforeTen", {"A10", "A2", "A1"}, {"A1", "A2", "A10"}},
        SortCase{"CaseDoesNotGroup", {"b", "A", "a", "B"}, {"A", "a", "b", "B"}},
        SortCase{"DigitsBeforeLetters", {"IBM", "GE", "AAPL", "3M"}, {"3M", "AAPL", "GE", "IBM"}},
        // Longer than any machine integer: still by value.
        SortCase{"HugeNumbers", {"X100000000000000000000", "X99999999999999999999"}, {"X99999999999999999999", "X100000000000000000000"}},
        SortCase{"SeveralNumberRuns", {"A1B10", "A1B9", "A10B1"}, {"A1B9", "A1B10", "A10B1"}},
        SortCase{"PlaceholderRows", {"????", "MSFT", "????"}, {"????", "????", "MSFT"}},
        SortCase{"Empty", {}, {}}),
    [](const auto &test) { return std::string(test.param.name); });

TEST(FinderSortTest, EqualTextsKeepTheirOrder)
{
    QStringList strings = {"ibm", "IBM", "Ibm", "AAPL"};
    SortCFMutableArrayOfCFStringsLikeTheFinder(strings);
    EXPECT_EQ(strings, (QStringList{"AAPL", "ibm", "IBM", "Ibm"}));
}

struct CompareCase {
    const char *name;
    QString a;
    QString b;
    int sign; // -1, 0, 1
};

void PrintTo(const CompareCase &c, std::ostream *out) { *out << c.name; }

class FinderCompareTest : public ::testing::TestWithParam<CompareCase> {};

int sign(int value)
{
    return (value > 0) - (value < 0);
}

TEST_P(FinderCompareTest, ComparesAsTheOptionsSay)
{
    const auto &c = GetParam();
    EXPECT_EQ(sign(CompareLikeTheFinder(c.a, c.b)), c.sign);
    EXPECT_EQ(sign(CompareLikeTheFinder(c.b, c.a)), -c.sign);
}

INSTANTIATE_TEST_SUITE_P(
    Options, FinderCompareTest,
    ::testing::Values(
        CompareCase{"CaseIgnored", "brk.b", "BRK.B", 0},
        CompareCase{"WidthIgnored", QString::fromUtf8("\xEF\xBC\xA1\xEF\xBC\xA2"), "ab", 0}, // fullwidth AB
        CompareCase{"ComposedEqualsDecomposed", QString::fromUtf8("caf\xC3\xA9"), QString::fromUtf8("cafe\xCC\x81"), 0},
        CompareCase{"DiacriticsCount", "cafe", QString::fromUtf8("caf\xC3\xA9"), -1},
        CompareCase{"PunctuationCounts", "BRKB", "BRK.B", 1},
        CompareCase{"SpaceCounts", "AB", "A B", 1},
        CompareCase{"NumbersByValue", "A2", "A10", -1},
        CompareCase{"PrefixFirst", "A", "AB", -1},
        CompareCase{"EmptyFirst", "", "A", -1}),
    [](const auto &test) { return std::string(test.param.name); });

} // namespace
} // namespace tickwell
