#include "SectionFixture.h"

#include "sources/ClassicDetailsCut.h"
#include "sources/StockDataGroup.h"

namespace tickwell::testing {
namespace {

QString row(const QString &label, const QString &cell)
{
    return QStringLiteral("<tr><th scope=\"row\">") + label + QStringLiteral("</th><td class=\"yfnc_tabledata1\">") + cell
           + QStringLiteral("</td></tr>\n");
}

class StockDataGroup : public SectionFixture {
protected:
    QStringList build(const QString &page, const QString &symbol = QStringLiteral("ACME"))
    {
        Menu submenu;
        AddStockDataGroup(submenu, CutQuoteDetails(SearchableText(page), symbol));
        return titles(submenu).mid(1);
    }
};

// The fifteen fields in table order are in the golden menu (tests/e2e/golden); labels, markers
// and the cell class are found in any case.
TEST_F(StockDataGroup, LabelsAndMarkersInAnyCase)
{
    const QString table = row("Last Trade:", "<big><b><span id=\"yfs_l10_acme\">150.25</span></b></big>")
                          + row("Bid:", "<span id=\"yfs_b00_acme\">12.30</span><small> x 100</small>")
                          + row("Avg Vol <span class=\"small\">(3m)</span>:", "2,345,678") + row("Div &amp; Yield:", "2.00 (1.30%)");
    const QStringList lines{"Last Trade: 150.25", "Bid: 12.30", "Avg Vol (3m): 2,345,678", "Div & Yield: 2.00 (1.30%)"};
    EXPECT_EQ(build(table), lines);
    EXPECT_EQ(build(table.toUpper().replace("YFNC_TABLEDATA1", "yfnc_TableData1"), QStringLiteral("acme")), lines);
}

// Each label is searched from the last one found: missing labels are skipped, a label standing
// before the last one found is not found, and a label without its own cell takes the next one.
TEST_F(StockDataGroup, CursorMovesForwardThroughTheLabels)
{
    const QString g00 = QStringLiteral("<span id=\"yfs_g00_acme\">148.10</span>");
    const struct { QString page; QStringList fields; } cases[] = {
        {row("Open:", "149.50") + row("Prev Close:", "149.00"), {"Prev Close: 149.00"}},
        {"<th>Prev Close:</th><td>N/A</td>" + row("Open:", "149.50"), {"Prev Close: 149.50", "Open: 149.50"}},
        // Range values are the first after the label, wherever they stand, and need both ends.
        {row("Day's Range:", g00) + "<span id=\"yfs_h00_acme\">151.00</span>", {"Day's Range: 148.10 - 151.00"}},
        {row("Day's Range:", g00 + " - N/A") + row("52wk Range:", "<span>120.00</span> - <span><b>160</b>.00</span>"),
         {"52wk Range: 120.00 - 160.00"}},
        {QString(), {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(build(c.page), c.fields) << c.page.toStdString();
}

TEST_F(StockDataGroup, BidSpanWithoutEndRunsToTheEndOfItsCell)
{
    EXPECT_EQ(build(row("Bid:", "<span id=\"yfs_b00_acme\">12.30<small> x 100</small>")), QStringList{"Bid: 12.30<small> x 100</small>"});
    EXPECT_EQ(build(row("Bid:", "<span id=\"yfs_b00_acme\"></span>")), QStringList{"Bid: "});
}

} // namespace
} // namespace tickwell::testing
