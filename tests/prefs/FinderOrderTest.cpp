#include "prefs/FinderOrder.h"

#include <gtest/gtest.h>

namespace tickwell {
namespace {

// Numbers by value, case ignored (equal texts keep their order), placeholders first.
TEST(FinderOrderTest, SortsLikeTheFileManager)
{
    const std::pair<QStringList, QStringList> cases[] = {
        {{"ibm", "IBM", "Ibm", "AAPL", "3M"}, {"3M", "AAPL", "ibm", "IBM", "Ibm"}},
        {{"X100000000000000000000", "X99999999999999999999"}, {"X99999999999999999999", "X100000000000000000000"}},
        {{"A1B10", "A1B9", "A10B1"}, {"A1B9", "A1B10", "A10B1"}},
        {{"????", "MSFT", "????"}, {"????", "????", "MSFT"}},
    };
    for (auto [strings, expected] : cases) {
        SortCFMutableArrayOfCFStringsLikeTheFinder(strings);
        EXPECT_EQ(strings, expected);
    }
}

TEST(FinderOrderTest, ComparesAsTheOptionsSay)
{
    const struct {
        QString a;
        QString b;
        int sign;
    } cases[] = {
        {"brk.b", "BRK.B", 0},
        {QString::fromUtf8("\xEF\xBC\xA1\xEF\xBC\xA2"), "ab", 0},                  // fullwidth AB
        {QString::fromUtf8("caf\xC3\xA9"), QString::fromUtf8("cafe\xCC\x81"), 0}, // composed and decomposed
        {"cafe", QString::fromUtf8("caf\xC3\xA9"), -1},
        {"", "A", -1},
    };
    const auto sign = [](int value) { return (value > 0) - (value < 0); };
    for (const auto &c : cases) {
        EXPECT_EQ(sign(CompareLikeTheFinder(c.a, c.b)), c.sign) << c.a.toStdString() << " " << c.b.toStdString();
        EXPECT_EQ(sign(CompareLikeTheFinder(c.b, c.a)), -c.sign) << c.a.toStdString() << " " << c.b.toStdString();
    }
}

} // namespace
} // namespace tickwell
