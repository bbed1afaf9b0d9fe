#include "SectionFixture.h"

#include "sources/HeadlinesGroup.h"
#include "sources/SourceActions.h"

namespace tickwell::testing {
namespace {

class HeadlinesGroup : public SectionFixture {
protected:
    // Builds the group for ACME from a page whose headline block holds the given items.
    Menu build(const QString &blockItems, const std::optional<QString> &company = QStringLiteral("Acme Corp."))
    {
        const QString page = QStringLiteral("<div><a href=\"/q/h?s=ACME\">Filter Headlines</a></div><ul>") + blockItems
                             + QStringLiteral("</ul><a href=\"/q/h?s=ACME\">More Headlines</a> <a href=\"http://after.test/\">x</a>");
        state.m_headlines.insert(QStringLiteral("ACME"), {});
        Menu submenu;
        auto ctx = context();
        AddHeadlinesGroup(ctx, submenu, SearchableText(page), QStringLiteral("ACME"), company);
        return submenu;
    }
    QList<HeadlineRecord> records() const { return state.m_headlines.value(QStringLiteral("ACME")); }
};

TEST_F(HeadlinesGroup, AbsoluteLinksBecomeItemsAndRelativeOnesAreSkipped)
{
    const Menu submenu = build(QStringLiteral("<li><a href=\"http://news.test/1\">First &amp; best</a></li>"
                                              "<li><a href=\"/local/2\">Local</a></li>"
                                              "<li><a href=\"http://news.test/3\">Third</a></li>"));
    EXPECT_EQ(titles(submenu), (QStringList{QStringLiteral("---"), QStringLiteral("Headlines for Acme Corp."),
                                            QStringLiteral("First & best"), QStringLiteral("Third")}));
    EXPECT_FALSE(submenu[1].enabled()) << "the header is information only";

    const MenuItem &first = submenu[2];
    EXPECT_EQ(first.action, QStringLiteral("selectItemHeadline:"));
    EXPECT_EQ(first.toolTip, QStringLiteral("http://news.test/1"));
    ASSERT_TRUE(first.submenu);
    ASSERT_EQ(first.submenu->size(), 1u);
    EXPECT_EQ(first.submenu->front().title, QStringLiteral("Save"));
    EXPECT_EQ(first.submenu->front().action, QStringLiteral("selectPrintItemHeadline:"));
    EXPECT_EQ(first.submenu->front().toolTip, QStringLiteral("http://news.test/1"));

    EXPECT_EQ(records(), (QList<HeadlineRecord>{{QStringLiteral("http://news.test/1"), QStringLiteral("First & best"), std::nullopt},
                                                {QStringLiteral("http://news.test/3"), QStringLiteral("Third"), std::nullopt}}));
    EXPECT_EQ(state.m_urlTitles.value(QStringLiteral("http://news.test/3")), QStringLiteral("Third"));
    EXPECT_TRUE(loader.requests().isEmpty()) << "links with text cost no lookups";
}

TEST_F(HeadlinesGroup, OtherSchemesAndUpperCaseSchemesAreSkipped)
{
    const Menu submenu = build(QStringLiteral("<a href=\"https://news.test/s\">Secure</a><a href=\"HTTP://news.test/u\">Upper</a>"
                                              "<a href=\"javascript:void(0)\">Script</a><a href=\"http://news.test/ok\">Ok</a>"));
    EXPECT_EQ(titles(submenu).mid(2), QStringList{QStringLiteral("Ok")});
}

TEST_F(HeadlinesGroup, ACachedTitleWinsOverTheLinkText)
{
    state.m_urlTitles.insert(QStringLiteral("http://news.test/cached"), QStringLiteral("Title seen first"));
    const Menu submenu = build(QStringLiteral("<a href=\"http://news.test/cached\">Title now</a><a href=\"http://news.test/new\">New</a>"));
    EXPECT_EQ(titles(submenu).mid(2), (QStringList{QStringLiteral("Title seen first"), QStringLiteral("New")}));
}

TEST_F(HeadlinesGroup, SourceLineFollowsTheArticle)
{
    const Menu submenu = build(QStringLiteral("<li><a href=\"http://news.test/a\">Acme beats estimates</a> "
                                              "<cite>Reuters <SPAN>(Fri 4:05PM)</span></cite></li>"
                                              "<li><a href=\"http://news.test/b\">No source</a></li>"));
    ASSERT_EQ(titles(submenu).mid(2), (QStringList{QStringLiteral("Acme beats estimates"), QStringLiteral("Reuters  (Fri 4:05PM) "),
                                                   QStringLiteral("No source")}));
    const MenuItem &source = submenu[3];
    EXPECT_TRUE(source.action.isEmpty());
    ASSERT_TRUE(source.styledTitle);
    ASSERT_EQ(source.styledTitle->size(), 1u);
    EXPECT_EQ(source.styledTitle->front().pointSize, 12.0);
    EXPECT_EQ(source.styledTitle->front().text, QStringLiteral("Reuters  (Fri 4:05PM) "));
    EXPECT_FALSE(source.styledTitle->front().color);

    ASSERT_EQ(records().size(), 2);
    EXPECT_EQ(records()[0].timeString, QStringLiteral("\"Acme beats estimates\" Reuters  (Fri 4:05PM) "));
    EXPECT_FALSE(records()[1].timeString) << "the source line is looked for after the article's own address";
}

TEST_F(HeadlinesGroup, SameAddressTwiceGivesTwoItemsWithTheFirstSource)
{
    const Menu submenu = build(QStringLiteral("<a href=\"http://news.test/a\">One</a><cite>First</cite>"
                                              "<a href=\"http://news.test/a\">Two</a><cite>Second</cite>"));
    // The second one finds the title the first just remembered.
    EXPECT_EQ(titles(submenu).mid(2), (QStringList{QStringLiteral("One"), QStringLiteral("First"), QStringLiteral("One"),
                                                   QStringLiteral("First")}));
    EXPECT_EQ(records().size(), 2);
}

TEST_F(HeadlinesGroup, LinkTextIsDecodedAndItsWhiteSpaceCollapsed)
{
    const Menu submenu = build(QStringLiteral("<a href=\"http://news.test/w\">\n  Acme&#39;s\t plan &AMP; more \n</a>"));
    EXPECT_EQ(titles(submenu).mid(2), QStringList{QStringLiteral("Acme's plan & more")});
}

TEST_F(HeadlinesGroup, LinkWithoutTextHasItsTitleLookedUpOnce)
{
    const QString address = QStringLiteral("http://news.test/lookup-once");
    loader.serve(address, "<html><head><title> Acme: a/b report </title></head></html>");
    const QString items = QStringLiteral("<a href=\"") + address + QStringLiteral("\" target=\"_blank\">Ignored</a>");

    Menu submenu = build(items);
    EXPECT_EQ(titles(submenu).mid(2), QStringList{QStringLiteral("Acme- a-b report")});
    EXPECT_EQ(loader.requests(), QStringList{address});

    build(items);
    EXPECT_EQ(loader.requests().size(), 1) << "the title is remembered";
}

TEST_F(HeadlinesGroup, LinkWithoutTextAndWithoutPageGetsADatedFallbackTitle)
{
    const Menu submenu = build(QStringLiteral("<a href=\"http://news.test/missing-page\" class=\"x\">T</a>"));
    ASSERT_EQ(submenu.size(), 3u);
    EXPECT_TRUE(submenu[2].title.startsWith(QStringLiteral("(No Title) 2026-12-05 15-00-00"))) << submenu[2].title.toStdString();
}

TEST_F(HeadlinesGroup, AddressesThatAreNotUtf8AreSkipped)
{
    // 254 ASCII bytes and a two-byte letter: the kept 255 bytes end inside the letter.
    const QString longAddress = QStringLiteral("http://news.test/") + QString(237, u'a') + QStringLiteral("é");
    const Menu submenu = build(QStringLiteral("<a href=\"") + longAddress + QStringLiteral("\">Long</a>"
                                                                                           "<a href=\"http://news.test/é\">Accent</a>"));
    EXPECT_EQ(titles(submenu).mid(2), QStringList{QStringLiteral("Accent")}) << "the second address keeps the second text";
}

TEST_F(HeadlinesGroup, WithoutBlockOnlySeparatorAndHeader)
{
    state.m_headlines.insert(QStringLiteral("ACME"), {});
    Menu submenu;
    auto ctx = context();
    AddHeadlinesGroup(ctx, submenu, SearchableText(QStringLiteral("<a href=\"http://news.test/x\">X</a> More Headlines")),
                      QStringLiteral("ACME"), std::nullopt);
    EXPECT_EQ(titles(submenu), (QStringList{QStringLiteral("---"), QStringLiteral("Headlines for ACME")}));
    EXPECT_TRUE(records().isEmpty());
}

TEST_F(HeadlinesGroup, ChoosingAHeadlineOpensItsAddress)
{
    const Menu submenu = build(QStringLiteral("<a href=\"http://news.test/open\">Open me</a>"));
    selectItemHeadline(submenu[2], hosts, desktop);
    selectItemHeadline(MenuItem::make(QStringLiteral("no tool tip"), QStringLiteral("selectItemHeadline:")), hosts, desktop);
    EXPECT_EQ(desktop.lines(), QStringList{QStringLiteral("open: http://news.test/open")});
}

} // namespace
} // namespace tickwell::testing
