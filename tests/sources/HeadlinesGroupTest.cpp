#include "SectionFixture.h"

#include "sources/HeadlinesGroup.h"
#include "sources/SourceActions.h"

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
        AddHeadlinesGroup(ctx, submenu, SearchableText(page), QStringLiteral("ACME"), QStringLiteral("Acme Corp."));
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
    EXPECT_TRUE(loader.requests().isEmpty()) << "links with text cost no lookups";
    selectItemHeadline(submenu[2], hosts, desktop);
    EXPECT_EQ(desktop.lines(), QStringList{QStringLiteral("open: http://news.test/1")});
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

TEST_F(HeadlinesGroup, LinkWithoutTextHasItsTitleLookedUpOnceOrDated)
{
    const QString address = QStringLiteral("http://news.test/lookup-once");
    loader.serve(address, "<html><head><title> Acme: a/b report </title></head></html>");
    const QString items = QStringLiteral("<a href=\"") + address + QStringLiteral("\" target=\"_blank\">Ignored</a>"
                                                                                  "<a href=\"http://news.test/missing\" class=\"x\">T</a>");
    const Menu submenu = build(items);
    ASSERT_EQ(submenu.size(), 4u);
    EXPECT_EQ(submenu[2].title, QStringLiteral("Acme- a-b report"));
    EXPECT_TRUE(submenu[3].title.startsWith(QStringLiteral("(No Title) 2026-12-05 15-00-00"))) << submenu[3].title.toStdString();
    build(items);
    EXPECT_EQ(loader.requests().size(), 2) << "titles are remembered";
}

} // namespace
} // namespace tickwell::testing
