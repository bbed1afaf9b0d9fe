#include "SectionFixture.h"

#include "sources/PreciousMetalsSection.h"
#include "sources/SourceActions.h"

namespace tickwell::testing {
namespace {

// A table row as the metals page writes it: every cell on a line of its own, ending in CR LF.
QString metalRow(const QString &name, const QStringList &cells)
{
    QString row = QStringLiteral("<tr>\r\n<td class=\"name\"><a href=\"/charts/x.html\">") + name + QStringLiteral("</a></td>\r\n");
    for (const auto &cell : cells)
        row += QStringLiteral("<td>") + cell + QStringLiteral("</td>\r\n");
    return row + QStringLiteral("</tr>\r\n");
}

QStringList cells(const QString &bid, const QString &change, const QString &percent)
{
    return {QStringLiteral("03/14/2014"), QStringLiteral("16:59"), bid, QStringLiteral("1,292.40"), change, percent,
            QStringLiteral("1,279.10"), QStringLiteral("1,293.00")};
}

class PreciousMetalsSection : public SectionFixture {
protected:
    void build(const QString &rows)
    {
        storePage(QStringLiteral("http://metals.test/market/"), QStringLiteral("<table>\r\n") + rows + QStringLiteral("</table>\r\n"));
        menu.clear();
        auto ctx = context();
        addPreciousMetals(ctx);
    }
};

TEST_F(PreciousMetalsSection, OneLinePerMetalInMenuOrder)
{
    build(metalRow(QStringLiteral("Silver"), cells(QStringLiteral("19.87"), QStringLiteral("-0.12"), QStringLiteral("-0.60%")))
          + metalRow(QStringLiteral("Gold"), cells(QStringLiteral("1,291.40"), QStringLiteral("+12.30"), QStringLiteral("+0.96%"))));
    ASSERT_EQ(titles(), (QStringList{QStringLiteral("Gold: 1,291.40"), QStringLiteral("Silver: 19.87")}));

    const MenuItem &gold = menu[0];
    EXPECT_EQ(gold.action, QStringLiteral("selItemPreciousMetalBid:"));
    EXPECT_EQ(gold.toolTip, QStringLiteral("Gold"));
    EXPECT_EQ(gold.image, QStringLiteral("menuitem_up_g.tif"));
    EXPECT_EQ(gold.styledTitle->back(), (StyledRun{QStringLiteral(" (+12.30, +0.96%)"), 14.0, QColor(Qt::green)}));
    EXPECT_EQ(menu[1].image, QStringLiteral("menuitem_down_r.tif"));
    EXPECT_EQ(menu[1].styledTitle->back(), (StyledRun{QStringLiteral(" (-0.12, -0.60%)"), 14.0, QColor(Qt::red)}));
}

TEST_F(PreciousMetalsSection, SuffixValuesAreTrimmedButTheBidIsNot)
{
    build(metalRow(QStringLiteral("Platinum"), cells(QStringLiteral(" 1,415.00 "), QStringLiteral("\t-3.00 "), QStringLiteral(" -0.21%\t"))));
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].title, QStringLiteral("Platinum:  1,415.00 "));
    EXPECT_EQ(menu[0].image, QStringLiteral("menuitem_down_r.tif"));
    EXPECT_EQ(menu[0].styledTitle->back().text, QStringLiteral(" (-3.00, -0.21%)"));
}

TEST_F(PreciousMetalsSection, UnsignedChangeGivesNoSuffix)
{
    build(metalRow(QStringLiteral("Palladium"), cells(QStringLiteral("771.00"), QStringLiteral("0.00"), QStringLiteral("0.00%"))));
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].image, QStringLiteral("menuitem_spacer.tif"));
    EXPECT_EQ(menu[0].styledTitle->size(), 1u);
}

TEST_F(PreciousMetalsSection, RowsWithTooFewFieldsGiveNoLine)
{
    // Fields: the rest of the name cell's line, one per cell, and what follows the last line end.
    const QStringList full = cells(QStringLiteral("1,291.40"), QStringLiteral("+12.30"), QStringLiteral("+0.96%"));
    build(metalRow(QStringLiteral("Gold"), full.mid(0, 4)) + metalRow(QStringLiteral("Silver"), full.mid(0, 5))
          + metalRow(QStringLiteral("Platinum"), full.mid(0, 1)) + QStringLiteral(">Palladium</a></td></tr>")
          + metalRow(QStringLiteral("Palladium"), full));
    EXPECT_EQ(titles(), QStringList{QStringLiteral("Silver: 1,291.40")})
        << "six fields are too few; an empty first Palladium row is the only one that counts";
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].styledTitle->back().text, QStringLiteral(" (+12.30, )")) << "the seventh field is there, empty";
}

TEST_F(PreciousMetalsSection, RowsLongerThanAnyRealOneAreNotRead)
{
    const QStringList full = cells(QStringLiteral("1,291.40"), QStringLiteral("+12.30"), QStringLiteral("+0.96%"));
    build(metalRow(QStringLiteral("Gold"), full) + metalRow(QStringLiteral("Silver"), full).replace(
                                                       QStringLiteral("<td>16:59"), QString(20000, u' ') + QStringLiteral("<td>16:59")));
    EXPECT_EQ(titles(), QStringList{QStringLiteral("Gold: 1,291.40")});
}

TEST_F(PreciousMetalsSection, RowsWithoutCarriageReturnsHaveNoFields)
{
    QString row = metalRow(QStringLiteral("Gold"), cells(QStringLiteral("1,291.40"), QStringLiteral("+12.30"), QStringLiteral("+0.96%")));
    row.remove(u'\r');
    build(row);
    EXPECT_TRUE(menu.empty());
}

TEST_F(PreciousMetalsSection, ChoosingAMetalOpensItsChartPage)
{
    for (const char *metal : {"Palladium", "Gold", "gold", "Copper"}) {
        MenuItem line = MenuItem::make(QStringLiteral("x"), QStringLiteral("selItemPreciousMetalBid:"));
        line.toolTip = QString::fromLatin1(metal);
        selItemPreciousMetalBid(line, hosts, desktop);
    }
    selItemPreciousMetalBid(MenuItem::make(QStringLiteral("x")), hosts, desktop);
    EXPECT_EQ(desktop.lines(), (QStringList{QStringLiteral("open: http://metals.test/charts/livepalladium.html"),
                                            QStringLiteral("open: http://metals.test/charts/livegoldnewyork.html")}));
}

TEST_F(PreciousMetalsSection, NoPageNoLines)
{
    auto ctx = context();
    addPreciousMetals(ctx);
    EXPECT_TRUE(menu.empty());
}

} // namespace
} // namespace tickwell::testing
