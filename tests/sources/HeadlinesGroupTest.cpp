#include "SectionFixture.h"

#include "sources/ClassicHeadlinesCut.h"
#include "sources/HeadlinesGroup.h"
#include "sources/SourceActions.h"
#include "text/UrlTitleCache.h"

namespace tickwell::testing {
namespace {

class HeadlinesGroup : public SectionFixture {
protected:
    // The group for ACME from a page whose headline block holds the given items.
    Menu build(const QString &blockItems)
    {
        const QString page = QStringLiteral("<div><a href=\"/q/h?s=ACME\">Filter Headlines</a></div><ul>") + blockItems
                             + QStringLiteral("</ul><a href=\"/q/h?s=ACME\">More Headlines</a> <a href=\"http://after.test/\">x</a>");
        state.m_headlines.insert(QStringLiteral("ACME"), {});
        Menu submenu;
        auto ctx = context();
        AddHeadlinesGroup(ctx, submenu, CutHeadlines(SearchableText(page)), QStringLiteral("ACME"), QStringLiteral("Acme Corp."));
        return submenu;
    }
};

TEST_F(HeadlinesGroup, AbsoluteHttpLinksWithTheirSourceLines)
{
    // 254 ASCII bytes and a two-byte letter: the kept 255 bytes end inside the letter, so no UTF-8.
    const QString longAddress = QStringLiteral("http://news.test/") + QString(237, u'a') + QStringLiteral("é");
    const Menu submenu = build(QStringLiteral("<a href=\"") + longAddress + QStringLiteral("\">Long</a><li><a href=\"http://news.test/1\">\n First &amp; best\t</a> "
                                              "<cite>Reuters <SPAN>(Fri 4:05PM)</span></cite></li>"
                                              "<li><a href=\"/local/2\">Local</a></li><a href=\"https://news.test/s\">Secure</a>"
                                              "<a href=\"HTTP://news.test/u\">Upper</a><a href=\"javascript:void(0)\">Script</a>"
                                              "<li><a href=\"http://news.test/3\">Third</a></li>"));
    EXPECT_EQ(titles(submenu), (QStringList{QStringLiteral("---"), QStringLiteral("Headlines for Acme Corp."), QStringLiteral("First & best"),
                                            QStringLiteral("Reuters  (Fri 4:05PM) "), QStringLiteral("Third")}));
    EXPECT_EQ(*submenu[3].styledTitle, (std::vector<StyledRun>{{QStringLiteral("Reuters  (Fri 4:05PM) "), 12.0, std::nullopt}}));
    EXPECT_EQ(state.m_headlines.value(QStringLiteral("ACME")), (QList<HeadlineRecord>{{QStringLiteral("http://news.test/1"), QStringLiteral("First & best"),
                                                 QStringLiteral("\"First & best\" Reuters  (Fri 4:05PM) ")},
                                                {QStringLiteral("http://news.test/3"), QStringLiteral("Third"), std::nullopt}}));
}

TEST_F(HeadlinesGroup, ACachedTitleWinsOverTheLinkText)
{
    state.m_urlTitles.insert(QStringLiteral("http://news.test/cached"), QStringLiteral("Title seen first"));
    // The same address twice: the second finds the title the first remembered, and the first source.
    const Menu submenu = build(QStringLiteral("<a href=\"http://news.test/new\">New</a><cite>First</cite><a href=\"http://news.test/new\">"
                                              "Two</a><cite>Second</cite><a href=\"http://news.test/cached\">Title now</a>"));
    EXPECT_EQ(titles(submenu).mid(2), (QStringList{QStringLiteral("New"), QStringLiteral("First"), QStringLiteral("New"),
                                                   QStringLiteral("First"), QStringLiteral("Title seen first")}));
}

// The build never looks a title up: a link without text shows the title the refresh found for it,
// and is left out while there is none.
TEST_F(HeadlinesGroup, LinkWithoutTextShowsTheTitleTheRefreshFoundOrNothing)
{
    const QString looked = QStringLiteral("http://news.test/looked-up-by-refresh");
    // Link texts pair with addresses by position in their own list: the one with text comes first.
    const QString items = QStringLiteral("<a href=\"http://news.test/with-text\">Text</a><a href=\"") + looked
                          + QStringLiteral("\" target=\"_blank\">Ignored</a><a href=\"http://news.test/not-yet\" class=\"x\">T</a>");
    const QString page = QStringLiteral("Filter Headlines") + items + QStringLiteral("More Headlines");
    EXPECT_EQ(HeadlineAddressesWithoutTitle(CutHeadlines(SearchableText(page)), state.m_urlTitles),
              (std::vector<QString>{looked, QStringLiteral("http://news.test/not-yet")}));
    UrlTitleCache::shared().store(looked, QStringLiteral("Acme- a-b report"));
    EXPECT_EQ(titles(build(items)).mid(2), (QStringList{QStringLiteral("Text"), QStringLiteral("Acme- a-b report")}));
    // Remembered in m_urlTitles by the build: no lookup is wanted for it any more.
    EXPECT_EQ(HeadlineAddressesWithoutTitle(CutHeadlines(SearchableText(page)), state.m_urlTitles),
              (std::vector<QString>{QStringLiteral("http://news.test/not-yet")}));
}

} // namespace
} // namespace tickwell::testing
