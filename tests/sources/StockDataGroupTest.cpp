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

// The fifteen fields in page order as the quote page writes them for ACME, and their lines.
const char *const kFields[][3] = {
    {"Last Trade:", "<big><b><span id=\"yfs_l10_acme\">150.25</span></b></big>", "Last Trade: 150.25"},
    {"Trade Time:", "<span id=\"yfs_t10_acme\">4:00PM EDT</span>", "Trade Time: 4:00PM EDT"},
    {"Prev Close:", "149.00", "Prev Close: 149.00"}, {"Open:", "149.50", "Open: 149.50"},
    {"Bid:", "<span id=\"yfs_b00_acme\">12.30</span><small> x 100</small>", "Bid: 12.30"},
    {"Ask:", "N/A", "Ask: N/A"}, {"1y Target Est:", "165.00", "1y Target Est: 165.00"},
    {"Day's Range:", "<span><span id=\"yfs_g00_acme\">148.10</span></span> - <span><span id=\"yfs_h00_acme\">151.00</span></span>",
     "Day's Range: 148.10 - 151.00"},
    {"52wk Range:", "<span><b>120.00</b></span> - <span>160.00</span>", "52wk Range: 120.00 - 160.00"},
    {"Volume:", "<span id=\"yfs_v00_acme\">1,234,567</span>", "Volume: 1,234,567"},
    {"Avg Vol <span class=\"small\">(3m)</span>:", "2,345,678", "Avg Vol (3m): 2,345,678"},
    {"Market Cap:", "<span id=\"yfs_j10_acme\">12.3B</span>", "Market Cap: 12.3B"},
    {"P/E <span class=\"small\">(ttm)</span>:", "18.50", "P/E (ttm): 18.50"}, {"EPS <span class=\"small\">(ttm)</span>:", "8.12", "EPS (ttm): 8.12"},
    {"Div &amp; Yield:", "2.00 (1.30%)", "Div & Yield: 2.00 (1.30%)"},
};

class StockDataGroup : public SectionFixture {
protected:
    QStringList build(const QString &page, const QString &symbol = QStringLiteral("ACME"))
    {
        Menu submenu;
        AddStockDataGroup(submenu, CutQuoteDetails(SearchableText(page), symbol));
        return titles(submenu).mid(1);
    }
};

TEST_F(StockDataGroup, AllFifteenFieldsInTableOrderIgnoringCase)
{
    QString table;
    QStringList lines;
    for (const auto &field : kFields) {
        table += row(field[0], field[1]);
        lines.append(field[2]);
    }
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
