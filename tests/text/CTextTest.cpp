#include "support/ReferenceLinkExtraction.h"
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

TEST(ClassicExtractHrefs, GivesAddressesThenLinkTexts)
{
    using Strings = std::vector<std::string>;
    const struct { std::string fragment; Strings addresses, linkTexts; } cases[] = {
        {R"(<li><a href="n1.html">One</a></li><li><A HREF="n2.html">Two</A></li>)", {"n1.html", "n2.html"}, {"One", "Two"}},
        {R"(<a href="u" target="_blank">T</a>)", {"u"}, {}}, // a further attribute leaves no "<a >" tag
        {R"(<img src="p.gif"><a href="u">T</a>)", {"u", "p.gif"}, {"T"}}, // row order, not page order
        {R"(<a href="">E</a><a href='s'>S</a><a href=bare>B</a>)", {"", "s", "bare"}, {"E", "S"}}, {R"(<td background="bg.gif">cell</td>)", {"bg.gif"}, {}},
        // Option values are listed in the table but switched off: a form's choices are no links.
        {R"(<select><option value="v1">One</option><option value='v2'>Two</option></select><a href="n.html">N</a>)", {"n.html"}, {"N"}},
        {R"(<a href="m"><b>Bold</b> &amp; more</a>)", {"m"}, {"<b>Bold</b> &amp; more"}},
        {R"(HRHREF="x"EF="y")", {"x", "y"}, {}}, // a cut that joins the pattern's halves yields that one too
        // An unterminated quoted target stops row 1; the bare-value rows then cut it up to ">".
        {R"(<img src="p.gif"><a href="open>T</a>)", {"p.gif", "\"open"}, {}},
        {"<a href=\"http://h/\xC3\xA9\">\xC3\xA9t\xC3\xA9</a>", {"http://h/\xC3\xA9"}, {"\xC3\xA9t\xC3\xA9"}},
        {"<a href=\"" + std::string(300, 'a') + "\">" + std::string(400, 't') + "</a>",
         {std::string(255, 'a')}, {std::string(255, 't')}},
    };
    for (const auto &c : cases) {
        const CText fragment(c.fragment);
        CList<CString256> addresses, linkTexts;
        fragment.classic_extract_hrefs(addresses, linkTexts);
        EXPECT_EQ(strings(addresses), c.addresses) << c.fragment;
        EXPECT_EQ(strings(linkTexts), c.linkTexts) << c.fragment;
        EXPECT_EQ(fragment.str(), c.fragment);
    }
}

TEST(ClassicExtractHrefs, AgreesWithCuttingFromTheStartEveryTime)
{
    const std::vector<std::string> pieces = {"<a ", "<A ", "href=", "HREF=", "HR", "EF=", "src=", "SRC", "=", "background=", "\"", "'", " ",
                                             ">", "</a>", "</A>", "<a >", "x", "y.gif", "option value=", "\xC3\xA9", "<", "/", "a", "Hr", "ef"};
    std::mt19937 random(20240315);
    for (int round = 0; round < 4000; ++round) {
        std::string fragment;
        for (auto i = random() % 61; i > 0; --i)
            fragment += pieces[random() % pieces.size()];
        CList<CString256> fastAddresses, fastTexts, slowAddresses, slowTexts;
        CText(fragment).classic_extract_hrefs(fastAddresses, fastTexts);
        testing::ReferenceExtractHrefs(CText(fragment), slowAddresses, slowTexts);
        ASSERT_EQ(strings(fastAddresses), strings(slowAddresses)) << fragment;
        ASSERT_EQ(strings(fastTexts), strings(slowTexts)) << fragment;
    }
}

TEST(CText, SearchFoldsAsciiOnlyAndCutsClamp)
{
    const CText text("ab\xC3\xA9 HREF=\"x\" href=");
    EXPECT_EQ(text.STRSTR(6, "HREF="), 14u);
    // Bytes outside ASCII compare exactly, punctuation next to the letters is not folded.
    EXPECT_FALSE(text.STRSTR(0, "\xC3\x89") || text.STRSTR(text.size() + 5, "a") || CText("[").STRSTR(0, "{"));
    const CText digits("0123456789");
    EXPECT_EQ(digits.extract_between(7, 100).str(), "789");
    EXPECT_TRUE(digits.extract_between(6, 5).empty() && digits.extract_between(10, 12).empty());

    CText out("stale"), tagged("keep <B>bold</b> tail <b>two</b>"), endBeforeBegin("</b> x <b>");
    // With an offset the span removed is the one the value was cut from.
    ASSERT_TRUE(tagged.extract_and_remove_between_patterns_nocase(8, "<b>", "</b>", out));
    EXPECT_EQ(out.str() + "|" + tagged.str(), "two|keep <B>bold</b> tail ");
    EXPECT_FALSE(endBeforeBegin.extract_and_remove_between_patterns_nocase(0, "<b>", "</b>", out));
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(endBeforeBegin.remove_between_patterns_inclusive_nocase("x", "<B>"));
    EXPECT_EQ(endBeforeBegin.str(), "</b> ");
}

} // namespace
} // namespace tickwell
