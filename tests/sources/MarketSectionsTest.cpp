#include "SectionFixture.h"

#include "sources/MarketIndicesSection.h"
#include "sources/OtherIndicesSection.h"
#include "sources/PreciousMetalsSection.h"
#include "sources/SourceActions.h"

namespace tickwell::testing {
namespace {

QString indexRow(const char *path, const char *name, const char *kind, const char *last, const char *change, const char *percent)
{
    return QString::asprintf("<tr><td><a href=\"/data/markets/%s\" class=\"wsod_symbol\">%s</a></td><td><span class=\"%sLast\">%s</span></td>"
                             "<td><span class=\"%sChange\">%s</span></td><td><span class=\"%sChangePct\">%s</span></td></tr>\n",
                             path, name, kind, last, kind, change, kind, percent);
}
const QString dowRow = indexRow("dow", "Dow", "pos", "16,437.05", "+88.23", "+0.54%");
const QString nasdaqRow = indexRow("nasdaq", "Nasdaq", "neg", "4,234.08", "-12.30", "-0.29%");
const QString sandpRow = indexRow("sandp", "S&amp;P", "pos", "1,872.34", "0.00", "0.00%");

// A metals table row: every cell on a line of its own, ending in CR LF.
QString metalRow(const QString &name, const QStringList &cells)
{
    QString row = QStringLiteral("<tr>\r\n<td class=\"name\"><a href=\"/charts/x.html\">") + name + QStringLiteral("</a></td>\r\n");
    for (const auto &cell : cells)
        row += QStringLiteral("<td>") + cell + QStringLiteral("</td>\r\n");
    return row + QStringLiteral("</tr>\r\n");
}
QStringList cells(const QString &bid, const QString &change, const QString &percent) { return {"03/14/2014", "16:59", bid, "1,292.40", change, percent, "1,279.10", "1,293.00"}; }
const QStringList gold = cells("1,291.40", "+12.30", "+0.96%");

class MarketSections : public SectionFixture {
protected:
    // The section's lines from one stored page, as "styled title | image".
    QStringList build(void (*section)(SectionContext &), const QString &address, const QString &page)
    {
        state.m_urlContents.storePage(address, page.toUtf8());
        menu.clear();
        auto ctx = context();
        section(ctx);
        QStringList lines;
        for (const auto &item : menu)
            lines.append(plainText(*item.styledTitle) + QStringLiteral(" | ") + item.image);
        return lines;
    }
    QStringList indices(const QString &rows) { return build(addMarketIndices, "http://markets.test/data/markets/", "<table>" + rows + "</table>"); }
    QStringList metals(const QString &rows) { return build(addPreciousMetals, "http://metals.test/market/", "<table>\r\n" + rows + "</table>\r\n"); }
    QStringList dollar(const QString &page) { return build(addOtherMarketIndices, "http://indices.test:8080/", page); }
};

// Each index shows its own direction; only an index with a stored chart image gets a submenu. The
// falling last is found ignoring case and is not taken from the next index.
TEST_F(MarketSections, IndicesDirectionsChartsAndFallingLasts)
{
    state.m_urlContents.storeImage(QStringLiteral("http://charts.test/t?s=%5EDJI"), solidImage(Qt::gray));
    EXPECT_EQ(indices(dowRow + nasdaqRow + sandpRow), (QStringList{"Dow: 16,437.05 (+88.23, +0.54%) | menuitem_up_g.tif",
                                                                   "Nasdaq: 4,234.08 (-12.30, -0.29%) | menuitem_down_r.tif",
                                                                   "S&P: 1,872.34 | menuitem_spacer.tif"}));
    EXPECT_TRUE(menu[0].submenu && !menu[1].submenu);
    EXPECT_EQ(indices(dowRow.toUpper().replace("POSLAST", "negLast")).value(0), "Dow: 16,437.05 (+88.23, +0.54%) | menuitem_up_g.tif");
    EXPECT_EQ(indices(indexRow("dow", "Dow", "neg", "16,100.00", "-20.00", "-0.12%") + QString(nasdaqRow).replace("neg", "pos")),
              (QStringList{"Dow: 16,100.00 (-20.00, -0.12%) | menuitem_down_r.tif", "Nasdaq: 4,234.08 (-12.30, -0.29%) | menuitem_down_r.tif"}));
    // Without its own change cell the Nasdaq takes the next one after its anchor, the S&P's.
    EXPECT_EQ(indices(QString(nasdaqRow).replace("negChange\">", "x\">") + sandpRow).size(), 2);
    EXPECT_TRUE(indices("<a href=\"/data/markets/dow\" class=\"wsod_symbol\">Dow</a><span class=\"posLast\">1</span>").isEmpty()); // no change
}

TEST_F(MarketSections, DollarIndexLineFollowsItsCells)
{
    const QString anchor = QStringLiteral("<a href=\"http://indices.test:8080/chart/?s=NYBOT_DX\">US Dollar</a>");
    const struct { QString cells; QStringList lines; } cases[] = {
        {"<dd class=\"up\">80.52</dd><dd class=\"up\">+0.12 +0.15%</dd>", {"U.S. Dollar Index: 80.52 (+0.12, +0.15%) | menuitem_up_g.tif"}},
        // A falling index ignores a rising quote further down.
        {"<dd class=\"down\">79.90</dd><dd class=\"down\">-0.62 -0.77%</dd><dt>Gold</dt><dd class=\"up\">1291.40</dd><dd class=\"up\">+12.30 +0.96%</dd>",
         {"U.S. Dollar Index: 79.90 (-0.62, -0.77%) | menuitem_down_r.tif"}},
        {"<dd class=\"up\">80.52</dd><dd class=\"up\">0.00 0.00%</dd>", {"U.S. Dollar Index: 80.52 | menuitem_spacer.tif"}},
        // The change cell must split into exactly two parts, and the value may not be empty.
        {"<dd class=\"up\">80.52</dd><dd class=\"up\">+0.12 +0.15% today</dd>", {}},
        {"<dd class=\"up\">80.52</dd><dd class=\"up\">+0.12</dd>", {}},
        {"<dd class=\"up\"></dd><dd class=\"up\">+0.12 +0.15%</dd>", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(dollar("<dd class=\"down\">1</dd><dl><dt>" + anchor + c.cells), c.lines) << c.cells.toStdString();
    EXPECT_TRUE(dollar(QString(anchor).replace("indices.test:8080", "quotes.ino.com") + cases[0].cells).isEmpty()); // another host
}

TEST_F(MarketSections, OneLinePerMetalInMenuOrderWithTrimmedSuffix)
{
    EXPECT_EQ(metals(metalRow("Silver", cells("19.87", "-0.12", "-0.60%")) + metalRow("Platinum", cells(" 1,415.00 ", "\t-3.00 ", " -0.21%\t"))
                     + metalRow("Palladium", cells("771.00", "0.00", "0.00%")) + metalRow("Gold", gold)),
              (QStringList{"Gold: 1,291.40 (+12.30, +0.96%) | menuitem_up_g.tif", "Silver: 19.87 (-0.12, -0.60%) | menuitem_down_r.tif",
                           "Platinum:  1,415.00  (-3.00, -0.21%) | menuitem_down_r.tif", // the bid is not trimmed
                           "Palladium: 771.00 | menuitem_spacer.tif"}));
    menu[3].toolTip = QStringLiteral("palladium"); // names match exactly
    selItemPreciousMetalBid(menu[3], hosts, desktop);
    EXPECT_TRUE(desktop.lines().isEmpty());
}

TEST_F(MarketSections, MetalRowsTooShortTooLongOrWithoutCarriageReturnsGiveNoLine)
{
    // Fields: the rest of the name cell's line, one per cell, and what follows the last line end;
    // six are too few, the seventh may be empty.
    EXPECT_EQ(metals(metalRow("Gold", gold.mid(0, 4)) + metalRow("Silver", gold.mid(0, 5)) + metalRow("Platinum", gold.mid(0, 1))
                     + ">Palladium</a></td></tr>" + metalRow("Palladium", gold)),
              QStringList{QStringLiteral("Silver: 1,291.40 (+12.30, ) | menuitem_up_g.tif")}); // an empty first Palladium row counts
    EXPECT_EQ(metals(metalRow("Gold", gold) + metalRow("Silver", gold).replace("<td>16:59", QString(20000, u' ') + "<td>16:59")).size(), 1);
    EXPECT_TRUE(metals(metalRow("Gold", gold).remove(u'\r')).isEmpty());
}

} // namespace
} // namespace tickwell::testing
