#include "SectionFixture.h"

#include "sources/OtherIndicesSection.h"
#include "sources/SourceActions.h"

namespace tickwell::testing {
namespace {

class OtherIndicesSection : public SectionFixture {
protected:
    // The anchor names the other-indices host of the settings.
    QString anchor() const
    {
        return QStringLiteral("<a href=\"http://indices.test:8080/chart/?s=NYBOT_DX\">US Dollar</a>");
    }
    void build(const QString &page)
    {
        storePage(QStringLiteral("http://indices.test:8080/"), page);
        menu.clear();
        auto ctx = context();
        addOtherMarketIndices(ctx);
    }
};

TEST_F(OtherIndicesSection, RisingDollarIndex)
{
    build(QStringLiteral("<dd class=\"down\">1</dd><dl><dt>") + anchor()
          + QStringLiteral("</dt><dd class=\"up\">80.52</dd><dd class=\"up\">+0.12 +0.15%</dd></dl>"));
    ASSERT_EQ(menu.size(), 1u);
    const MenuItem &line = menu[0];
    EXPECT_EQ(line.title, QStringLiteral("U.S. Dollar Index: 80.52"));
    EXPECT_EQ(*line.styledTitle, (std::vector<StyledRun>{{QStringLiteral("U.S. Dollar Index: 80.52"), 14.0, std::nullopt},
                                                         {QStringLiteral(" (+0.12, +0.15%)"), 14.0, QColor(Qt::green)}}));
    EXPECT_EQ(line.image, QStringLiteral("menuitem_up_g.tif"));
    EXPECT_EQ(line.action, QStringLiteral("selItemOtherMarketIndices:"));
    EXPECT_FALSE(line.toolTip);

    selItemOtherMarketIndices(line, hosts, desktop);
    EXPECT_EQ(desktop.lines(), QStringList{QStringLiteral("open: http://indices.test:8080/")});
}

TEST_F(OtherIndicesSection, FallingCellsAreFound)
{
    build(anchor() + QStringLiteral("<dd class=\"down\">79.90</dd><dd class=\"down\">-0.62 -0.77%</dd>"));
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].title, QStringLiteral("U.S. Dollar Index: 79.90"));
    EXPECT_EQ(menu[0].image, QStringLiteral("menuitem_down_r.tif"));
    EXPECT_EQ(menu[0].styledTitle->back(), (StyledRun{QStringLiteral(" (-0.62, -0.77%)"), 14.0, QColor(Qt::red)}));
}

TEST_F(OtherIndicesSection, AFallingIndexIgnoresARisingQuoteFurtherDown)
{
    build(anchor() + QStringLiteral("<dd class=\"down\">79.90</dd><dd class=\"down\">-0.62 -0.77%</dd>"
                                    "<dt>Gold</dt><dd class=\"up\">1291.40</dd><dd class=\"up\">+12.30 +0.96%</dd>"));
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(plainText(*menu[0].styledTitle), QStringLiteral("U.S. Dollar Index: 79.90 (-0.62, -0.77%)"));
}

TEST_F(OtherIndicesSection, ChangeCellMustSplitIntoExactlyTwoParts)
{
    build(anchor() + QStringLiteral("<dd class=\"up\">80.52</dd><dd class=\"up\">+0.12 +0.15% today</dd>"));
    EXPECT_TRUE(menu.empty());
    build(anchor() + QStringLiteral("<dd class=\"up\">80.52</dd><dd class=\"up\">+0.12</dd>"));
    EXPECT_TRUE(menu.empty());
    build(anchor() + QStringLiteral("<dd class=\"up\">80.52</dd>"));
    EXPECT_TRUE(menu.empty());
}

TEST_F(OtherIndicesSection, UnsignedChangeIsUnchanged)
{
    build(anchor() + QStringLiteral("<dd class=\"up\">80.52</dd><dd class=\"up\">0.00 0.00%</dd>"));
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].image, QStringLiteral("menuitem_spacer.tif"));
    EXPECT_EQ(menu[0].styledTitle->size(), 1u);
}

TEST_F(OtherIndicesSection, AnchorOfAnotherHostOrEmptyValueGivesNoLine)
{
    build(QStringLiteral("<a href=\"http://quotes.ino.com/chart/?s=NYBOT_DX\">US Dollar</a>"
                         "<dd class=\"up\">80.52</dd><dd class=\"up\">+0.12 +0.15%</dd>"));
    EXPECT_TRUE(menu.empty());
    build(anchor() + QStringLiteral("<dd class=\"up\"></dd><dd class=\"up\">+0.12 +0.15%</dd>"));
    EXPECT_TRUE(menu.empty());
}

} // namespace
} // namespace tickwell::testing
