#include "SectionFixture.h"

#include "sources/StockDataGroup.h"

namespace tickwell::testing {
namespace {

QString row(const QString &label, const QString &cell)
{
    return QStringLiteral("<tr><th scope=\"row\">") + label + QStringLiteral("</th><td class=\"yfnc_tabledata1\">") + cell
           + QStringLiteral("</td></tr>\n");
}

// The fifteen fields in page order, as the quote page writes them for ACME.
QString fullTable()
{
    return row(QStringLiteral("Last Trade:"), QStringLiteral("<big><b><span id=\"yfs_l10_acme\">150.25</span></b></big>"))
           + row(QStringLiteral("Trade Time:"), QStringLiteral("<span id=\"yfs_t10_acme\">4:00PM EDT</span>"))
           + row(QStringLiteral("Prev Close:"), QStringLiteral("149.00"))
           + row(QStringLiteral("Open:"), QStringLiteral("149.50"))
           + row(QStringLiteral("Bid:"), QStringLiteral("<span id=\"yfs_b00_acme\">12.30</span><small> x 100</small>"))
           + row(QStringLiteral("Ask:"), QStringLiteral("N/A"))
           + row(QStringLiteral("1y Target Est:"), QStringLiteral("165.00"))
           + row(QStringLiteral("Day's Range:"), QStringLiteral("<span><span id=\"yfs_g00_acme\">148.10</span></span> - "
                                                                "<span><span id=\"yfs_h00_acme\">151.00</span></span>"))
           + row(QStringLiteral("52wk Range:"), QStringLiteral("<span><b>120.00</b></span> - <span>160.00</span>"))
           + row(QStringLiteral("Volume:"), QStringLiteral("<span id=\"yfs_v00_acme\">1,234,567</span>"))
           + row(QStringLiteral("Avg Vol <span class=\"small\">(3m)</span>:"), QStringLiteral("2,345,678"))
           + row(QStringLiteral("Market Cap:"), QStringLiteral("<span id=\"yfs_j10_acme\">12.3B</span>"))
           + row(QStringLiteral("P/E <span class=\"small\">(ttm)</span>:"), QStringLiteral("18.50"))
           + row(QStringLiteral("EPS <span class=\"small\">(ttm)</span>:"), QStringLiteral("8.12"))
           + row(QStringLiteral("Div &amp; Yield:"), QStringLiteral("2.00 (1.30%)"));
}

class StockDataGroup : public SectionFixture {
protected:
    QStringList build(const QString &page, const QString &symbol = QStringLiteral("ACME"))
    {
        Menu submenu;
        AddStockDataGroup(submenu, SearchableText(page), symbol);
        EXPECT_FALSE(submenu.empty());
        EXPECT_TRUE(submenu.front().separator) << "the group opens with a separator";
        for (std::size_t i = 1; i < submenu.size(); ++i) {
            EXPECT_TRUE(submenu[i].action.isEmpty());
            EXPECT_FALSE(submenu[i].enabled()) << "quote fields are information only";
        }
        return titles(submenu).mid(1);
    }
};

TEST_F(StockDataGroup, AllFifteenFieldsInTableOrder)
{
    EXPECT_EQ(build(fullTable()),
              (QStringList{QStringLiteral("Last Trade: 150.25"), QStringLiteral("Trade Time: 4:00PM EDT"),
                           QStringLiteral("Prev Close: 149.00"), QStringLiteral("Open: 149.50"), QStringLiteral("Bid: 12.30"),
                           QStringLiteral("Ask: N/A"), QStringLiteral("1y Target Est: 165.00"),
                           QStringLiteral("Day's Range: 148.10 - 151.00"), QStringLiteral("52wk Range: 120.00 - 160.00"),
                           QStringLiteral("Volume: 1,234,567"), QStringLiteral("Avg Vol (3m): 2,345,678"),
                           QStringLiteral("Market Cap: 12.3B"), QStringLiteral("P/E (ttm): 18.50"),
                           QStringLiteral("EPS (ttm): 8.12"), QStringLiteral("Div & Yield: 2.00 (1.30%)")}));
}

TEST_F(StockDataGroup, LabelsAndIdentifiersMatchIgnoringCase)
{
    const QStringList upper = build(fullTable().toUpper().replace(QStringLiteral("YFNC_TABLEDATA1"), QStringLiteral("yfnc_TableData1")),
                                    QStringLiteral("acme"));
    EXPECT_EQ(upper.size(), 15);
    EXPECT_EQ(upper.first(), QStringLiteral("Last Trade: 150.25"));
}

// Each label is searched from the last one found: missing labels are skipped, a label standing
// before the last one found is not found, and a label without its own cell takes the next one.
TEST_F(StockDataGroup, CursorMovesForwardThroughTheLabels)
{
    const struct { QString page; QStringList fields; } cases[] = {
        {row(QStringLiteral("Last Trade:"), QStringLiteral("<span id=\"yfs_l10_acme\">150.25</span>"))
             + row(QStringLiteral("Prev Close:"), QStringLiteral("149.00")),
         {QStringLiteral("Last Trade: 150.25"), QStringLiteral("Prev Close: 149.00")}},
        {row(QStringLiteral("Open:"), QStringLiteral("149.50")) + row(QStringLiteral("Prev Close:"), QStringLiteral("149.00")),
         {QStringLiteral("Prev Close: 149.00")}},
        {QStringLiteral("<th>Prev Close:</th><td>N/A</td>") + row(QStringLiteral("Open:"), QStringLiteral("149.50")),
         {QStringLiteral("Prev Close: 149.50"), QStringLiteral("Open: 149.50")}},
        // Range values are the first after the label, wherever they stand, and need both ends.
        {row(QStringLiteral("Day's Range:"), QStringLiteral("<span id=\"yfs_g00_acme\">148.10</span>"))
             + QStringLiteral("<span id=\"yfs_h00_acme\">151.00</span>"),
         {QStringLiteral("Day's Range: 148.10 - 151.00")}},
        {row(QStringLiteral("Day's Range:"), QStringLiteral("<span id=\"yfs_g00_acme\">148.10</span> - N/A"))
             + row(QStringLiteral("52wk Range:"), QStringLiteral("<span>120.00</span> - <span><b>160</b>.00</span>")),
         {QStringLiteral("52wk Range: 120.00 - 160.00")}},
        {QString(), {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(build(c.page), c.fields) << c.page.toStdString();
}

TEST_F(StockDataGroup, BidIsTheSpanInsideTheCellOrTheCell)
{
    const struct { QString cell; QString title; } cases[] = {
        {QStringLiteral("<SPAN ID=\"YFS_B00_ACME\">12.30</SPAN><small> x 100</small>"), QStringLiteral("Bid: 12.30")},
        {QStringLiteral("<span id=\"yfs_b00_beta\">1</span>"), QStringLiteral("Bid: <span id=\"yfs_b00_beta\">1</span>")},
        // A span never closed runs to the end of its cell.
        {QStringLiteral("<span id=\"yfs_b00_acme\">12.30<small> x 100</small>"), QStringLiteral("Bid: 12.30<small> x 100</small>")},
        {QStringLiteral("<span id=\"yfs_b00_acme\"></span>"), QStringLiteral("Bid: ")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(build(row(QStringLiteral("Bid:"), c.cell)), QStringList{c.title});
}

} // namespace
} // namespace tickwell::testing
