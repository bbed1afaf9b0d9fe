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

const QStringList gold = cells(QStringLiteral("1,291.40"), QStringLiteral("+12.30"), QStringLiteral("+0.96%"));

class PreciousMetalsSection : public SectionFixture {
protected:
    QStringList build(const QString &rows)
    {
        storePage(QStringLiteral("http://metals.test/market/"), QStringLiteral("<table>\r\n") + rows + QStringLiteral("</table>\r\n"));
        menu.clear();
        auto ctx = context();
        addPreciousMetals(ctx);
        QStringList lines;
        for (const auto &item : menu)
            lines.append(plainText(*item.styledTitle) + QStringLiteral(" | ") + item.image);
        return lines;
    }
};

TEST_F(PreciousMetalsSection, OneLinePerMetalInMenuOrderWithTrimmedSuffix)
{
    EXPECT_EQ(build(metalRow(QStringLiteral("Silver"), cells(QStringLiteral("19.87"), QStringLiteral("-0.12"), QStringLiteral("-0.60%")))
                    + metalRow(QStringLiteral("Platinum"), cells(QStringLiteral(" 1,415.00 "), QStringLiteral("\t-3.00 "), QStringLiteral(" -0.21%\t")))
                    + metalRow(QStringLiteral("Palladium"), cells(QStringLiteral("771.00"), QStringLiteral("0.00"), QStringLiteral("0.00%")))
                    + metalRow(QStringLiteral("Gold"), gold)),
              (QStringList{QStringLiteral("Gold: 1,291.40 (+12.30, +0.96%) | menuitem_up_g.tif"),
                           QStringLiteral("Silver: 19.87 (-0.12, -0.60%) | menuitem_down_r.tif"),
                           QStringLiteral("Platinum:  1,415.00  (-3.00, -0.21%) | menuitem_down_r.tif"), // the bid is not trimmed
                           QStringLiteral("Palladium: 771.00 | menuitem_spacer.tif")}));
    EXPECT_EQ(menu[0].styledTitle->back().color, QColor(Qt::green));
    selItemPreciousMetalBid(menu[3], hosts, desktop);
    EXPECT_EQ(desktop.lines(), QStringList{QStringLiteral("open: http://metals.test/charts/livepalladium.html")});
}

TEST_F(PreciousMetalsSection, RowsTooShortTooLongOrWithoutCarriageReturnsGiveNoLine)
{
    // Fields: the rest of the name cell's line, one per cell, and what follows the last line end.
    EXPECT_EQ(build(metalRow(QStringLiteral("Gold"), gold.mid(0, 4)) + metalRow(QStringLiteral("Silver"), gold.mid(0, 5))
                    + metalRow(QStringLiteral("Platinum"), gold.mid(0, 1)) + QStringLiteral(">Palladium</a></td></tr>")
                    + metalRow(QStringLiteral("Palladium"), gold)),
              QStringList{QStringLiteral("Silver: 1,291.40 (+12.30, ) | menuitem_up_g.tif")})
        << "six fields are too few, the seventh is there but empty; an empty first Palladium row is the one that counts";
    EXPECT_EQ(build(metalRow(QStringLiteral("Gold"), gold)
                    + metalRow(QStringLiteral("Silver"), gold).replace(QStringLiteral("<td>16:59"), QString(20000, u' ') + QStringLiteral("<td>16:59"))),
              QStringList{QStringLiteral("Gold: 1,291.40 (+12.30, +0.96%) | menuitem_up_g.tif")});
    EXPECT_TRUE(build(metalRow(QStringLiteral("Gold"), gold).remove(u'\r')).isEmpty());
}

} // namespace
} // namespace tickwell::testing
