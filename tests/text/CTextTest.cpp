#include "text/CDelimiters.h"
#include "text/CText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tickwell {
namespace {

std::vector<std::string> strings(const CList<CString256> &list)
{
    std::vector<std::string> out;
    for (const auto &entry : list)
        out.push_back(entry.str());
    return out;
}

struct HrefCase {
    const char *name;
    std::string fragment;
    std::vector<std::string> addresses;
    std::vector<std::string> linkTexts;
};

void PrintTo(const HrefCase &c, std::ostream *os)
{
    *os << c.name;
}

class ClassicExtractHrefs : public testing::TestWithParam<HrefCase> {};

TEST_P(ClassicExtractHrefs, GivesAddressesThenLinkTexts)
{
    const auto &c = GetParam();
    const CText fragment(c.fragment);
    CList<CString256> addresses;
    CList<CString256> linkTexts;
    fragment.classic_extract_hrefs(addresses, linkTexts);
    EXPECT_EQ(strings(addresses), c.addresses);
    EXPECT_EQ(strings(linkTexts), c.linkTexts);
    EXPECT_EQ(fragment.str(), c.fragment) << "the receiver is left unchanged";
}

INSTANTIATE_TEST_SUITE_P(
    Fragments, ClassicExtractHrefs,
    testing::Values(
        HrefCase{"TwoListLinks", R"(<li><a href="n1.html">One</a></li><li><a href="n2.html">Two</a></li>)",
                 {"n1.html", "n2.html"}, {"One", "Two"}},
        HrefCase{"UpperCaseTags", R"(<A HREF="x">X</A>)", {"x"}, {"X"}},
        HrefCase{"FurtherAttributeLeavesNoText", R"(<a href="u" target="_blank">T</a>)", {"u"}, {}},
        HrefCase{"RowOneBeforeRowTwo", R"(<img src="p.gif"><a href="u">T</a>)", {"u", "p.gif"}, {"T"}},
        HrefCase{"OptionValuesAreOff", R"(<option value="v">)", {}, {}},
        HrefCase{"EmptyTarget", R"(<a href="">E</a>)", {""}, {"E"}},
        HrefCase{"SingleQuotes", R"(<a href='s'>S</a><img src='i.png'>)", {"s", "i.png"}, {"S"}},
        // The ">" that ends a bare value goes with it, so the link keeps no "<a >" tag.
        HrefCase{"UnquotedUpToBracket", R"(<a href=bare>B</a>)", {"bare"}, {}},
        HrefCase{"UnquotedSourceUpToSpace", R"(<img src=pic.gif alt="x">)", {"pic.gif"}, {}},
        HrefCase{"Background", R"(<td background="bg.gif">cell</td>)", {"bg.gif"}, {}},
        HrefCase{"MarkupInsideLinkTextStays", R"(<a href="m"><b>Bold</b> &amp; more</a>)", {"m"},
                 {"<b>Bold</b> &amp; more"}},
        // A cut that joins the pattern's two halves yields the joined occurrence too, as a
        // search from the start after every cut would.
        HrefCase{"CutJoinsAPattern", R"(HRHREF="x"EF="y")", {"x", "y"}, {}},
        // An unterminated quoted target stops row 1; the bare-value rows then cut it up to ">".
        HrefCase{"UnterminatedValueFallsToLaterRows", R"(<img src="p.gif"><a href="open>T</a>)", {"p.gif", "\"open"},
                 {}},
        HrefCase{"NonAsciiBytesKept", "<a href=\"http://h/\xC3\xA9\">\xC3\xA9t\xC3\xA9</a>", {"http://h/\xC3\xA9"},
                 {"\xC3\xA9t\xC3\xA9"}},
        HrefCase{"Empty", "", {}, {}}),
    [](const auto &paramInfo) { return std::string(paramInfo.param.name); });

TEST(ClassicExtractHrefs, KeepsOnlyTheFirst255BytesOfEachEntry)
{
    const std::string longAddress(300, 'a');
    const std::string longText(400, 't');
    const CText fragment("<a href=\"" + longAddress + "\">" + longText + "</a>");
    CList<CString256> addresses;
    CList<CString256> linkTexts;
    fragment.classic_extract_hrefs(addresses, linkTexts);
    ASSERT_EQ(addresses.size(), 1u);
    EXPECT_EQ(addresses[0].str(), longAddress.substr(0, 255));
    ASSERT_EQ(linkTexts.size(), 1u);
    EXPECT_EQ(linkTexts[0].str(), longText.substr(0, 255));
}

TEST(ClassicExtractHrefs, AppendsToListsThatAlreadyHoldEntries)
{
    CList<CString256> addresses;
    CList<CString256> linkTexts;
    addresses.append("before");
    CText(R"(<a href="a">A</a>)").classic_extract_hrefs(addresses, linkTexts);
    EXPECT_EQ(strings(addresses), (std::vector<std::string>{"before", "a"}));
}

// The reference: every cut searched from the start of the shrinking copy with the public
// operations. The fast extraction must agree with it on any input.
void referenceExtract(const CText &fragment, CList<CString256> &addresses, CList<CString256> &linkTexts)
{
    CText work = fragment;
    CText value;
    for (const auto &row : CDelimiters()) {
        if (!row.enabled)
            continue;
        while (work.extract_and_remove_between_patterns_nocase(0, row.begin.view(), row.end.view(), value))
            addresses.append(CString256(value.view()));
    }
    while (work.extract_and_remove_between_patterns_nocase(0, "<a >", "</a>", value))
        linkTexts.append(CString256(value.view()));
}

TEST(ClassicExtractHrefs, AgreesWithCuttingFromTheStartEveryTime)
{
    const std::vector<std::string> pieces = {
        "<a ", "<A ", "href=", "HREF=", "HR", "EF=", "src=", "SRC", "=", "background=", "\"", "'", " ", ">",
        "</a>", "</A>", "<a >", "x", "y.gif", "option value=", "\xC3\xA9", "<", "/", "a", "Hr", "ef",
    };
    std::mt19937 random(20240315);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 60);
    for (int round = 0; round < 4000; ++round) {
        std::string fragment;
        for (int i = length(random); i > 0; --i)
            fragment += pieces[pick(random)];
        CList<CString256> fastAddresses, fastTexts, slowAddresses, slowTexts;
        CText(fragment).classic_extract_hrefs(fastAddresses, fastTexts);
        referenceExtract(CText(fragment), slowAddresses, slowTexts);
        ASSERT_EQ(strings(fastAddresses), strings(slowAddresses)) << fragment;
        ASSERT_EQ(strings(fastTexts), strings(slowTexts)) << fragment;
    }
}

TEST(CText, StrstrIgnoresTheCaseOfAsciiLettersOnly)
{
    const CText text("ab\xC3\xA9 HREF=\"x\" href=");
    EXPECT_EQ(text.STRSTR(0, "href="), 5u);
    EXPECT_EQ(text.STRSTR(6, "HREF="), 14u);
    EXPECT_EQ(text.STRSTR(0, "AB"), 0u);
    EXPECT_EQ(text.STRSTR(0, "\xC3\xA9"), 2u);
    EXPECT_FALSE(text.STRSTR(0, "\xC3\x89")) << "bytes outside ASCII compare exactly";
    EXPECT_FALSE(text.STRSTR(0, ""));
    EXPECT_FALSE(text.STRSTR(text.size() + 5, "a"));
    EXPECT_FALSE(CText().STRSTR(0, "a"));
    EXPECT_FALSE(CText("[").STRSTR(0, "{")) << "no folding of punctuation next to the letters";
}

TEST(CText, ExtractBetweenIncludesBothEndsAndClamps)
{
    const CText text("0123456789");
    EXPECT_EQ(text.extract_between(2, 4).str(), "234");
    EXPECT_EQ(text.extract_between(7, 100).str(), "789");
    EXPECT_EQ(text.extract_between(5, 5).str(), "5");
    EXPECT_TRUE(text.extract_between(6, 5).empty());
    EXPECT_TRUE(text.extract_between(10, 12).empty());
    EXPECT_TRUE(CText().extract_between(0, 0).empty());
}

TEST(CText, ExtractAndRemoveCutsTheValueAndTheSpan)
{
    CText text("keep <B>bold</b> tail <b>two</b>");
    CText out("stale");
    ASSERT_TRUE(text.extract_and_remove_between_patterns_nocase(0, "<b>", "</b>", out));
    EXPECT_EQ(out.str(), "bold");
    EXPECT_EQ(text.str(), "keep  tail <b>two</b>");

    ASSERT_TRUE(text.extract_and_remove_between_patterns_nocase(0, "<b>", "</b>", out));
    EXPECT_EQ(out.str(), "two");
    EXPECT_EQ(text.str(), "keep  tail ");

    out = CText("stale");
    EXPECT_FALSE(text.extract_and_remove_between_patterns_nocase(0, "<b>", "</b>", out));
    EXPECT_TRUE(out.empty()) << "out is emptied also when nothing is cut";
    EXPECT_EQ(text.str(), "keep  tail ");
}

TEST(CText, ExtractAndRemoveEdgeCases)
{
    CText adjacent("a<>b");
    CText out;
    ASSERT_TRUE(adjacent.extract_and_remove_between_patterns_nocase(0, "<", ">", out));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(adjacent.str(), "ab");

    CText endBeforeBegin("</b> x <b>");
    EXPECT_FALSE(endBeforeBegin.extract_and_remove_between_patterns_nocase(0, "<b>", "</b>", out));
    EXPECT_EQ(endBeforeBegin.str(), "</b> x <b>");

    // With an offset the span removed is the one the value was cut from.
    CText offset("<b>1</b><b>2</b>");
    ASSERT_TRUE(offset.extract_and_remove_between_patterns_nocase(4, "<b>", "</b>", out));
    EXPECT_EQ(out.str(), "2");
    EXPECT_EQ(offset.str(), "<b>1</b>");
}

TEST(CText, RemoveBetweenPatternsInclusive)
{
    CText text("x[a]y[b]");
    EXPECT_TRUE(text.remove_between_patterns_inclusive_nocase("[", "]"));
    EXPECT_EQ(text.str(), "xy[b]");
    EXPECT_FALSE(text.remove_between_patterns_inclusive_nocase("(", ")"));
    EXPECT_EQ(text.str(), "xy[b]");
}

TEST(CString256, KeepsTheFirst255Bytes)
{
    CString256 text(std::string(254, 'a') + "\xC3\xA9");
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(text.view().back(), '\xC3') << "a multi-byte character may be cut in two";

    CString256 grown("abc");
    grown.append(std::string(300, 'z'));
    EXPECT_EQ(grown.size(), 255u);
    EXPECT_EQ(grown.view().substr(0, 4), "abcz");
    grown += "more";
    EXPECT_EQ(grown.size(), 255u);

    CString256 exact(std::string(255, 'e'));
    EXPECT_EQ(exact.size(), 255u);
    EXPECT_EQ(std::string(exact.c_str()), std::string(255, 'e'));
    EXPECT_EQ(CString256(static_cast<const char *>(nullptr)).size(), 0u);
}

TEST(CDelimiters, HoldsTheFifteenRowsInOrder)
{
    const CDelimiters table;
    const std::vector<std::tuple<std::string, std::string, bool>> expected = {
        {"HREF=\"", "\"", true},        {"SRC=\"", "\"", true},        {"HREF='", "'", true},
        {"SRC='", "'", true},           {"SRC=", " ", true},           {"background=\"", "\"", true},
        {"background='", "'", true},    {"option value=\"", "\"", false}, {"option value='", "'", false},
        {"HREF=", ">", true},           {"SRC=", ">", true},           {"background=", ">", true},
        {"HREF=", " ", true},           {"SRC=", " ", true},           {"background=", " ", true},
    };
    ASSERT_EQ(table.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(table[i].begin.str(), std::get<0>(expected[i])) << "row " << i + 1;
        EXPECT_EQ(table[i].end.str(), std::get<1>(expected[i])) << "row " << i + 1;
        EXPECT_EQ(table[i].enabled, std::get<2>(expected[i])) << "row " << i + 1;
    }
}

} // namespace
} // namespace tickwell
