// The edges of the headline and stock-data groups of a quote line's submenu (their layout is in the golden menu).
#include "SectionFixture.h"

#include "sources/ClassicDetailsCut.h"
#include "sources/ClassicHeadlinesCut.h"
#include "sources/HeadlinesGroup.h"
#include "sources/StockDataGroup.h"

namespace tickwell::testing {
namespace {

class SubmenuGroups : public SectionFixture {
protected:
    // The headline group for ACME from a page whose headline block holds the given items.
    Menu headlines(const QString &blockItems)
    {
        const QString page = QStringLiteral("<div><a href=\"/q/h?s=ACME\">Filter Headlines</a></div><ul>") + blockItems
                             + QStringLiteral("</ul><a href=\"/q/h?s=ACME\">More Headlines</a> <a href=\"http://after.test/\">x</a>");
        state.m_headlines.insert(QStringLiteral("ACME"), {});
        Menu submenu;
        auto ctx = context();
        AddHeadlinesGroup(ctx, submenu, CutHeadlines(SearchableText(page)), QStringLiteral("ACME"), QStringLiteral("Acme Corp."));
        return submenu;
    }
    static QStringList stockData(const QString &page, const QString &symbol = QStringLiteral("ACME"))
    {
        Menu submenu;
        AddStockDataGroup(submenu, CutQuoteDetails(SearchableText(page), symbol));
        return titles(submenu).mid(1);
    }
    static QString row(const QString &label, const QString &cell) { return "<tr><th scope=\"row\">" + label + "</th><td class=\"yfnc_tabledata1\">" + cell + "</td></tr>\n"; }
};

TEST_F(SubmenuGroups, HeadlinesAreAbsoluteHttpLinksWithTheirSourceLines)
{
    // 254 ASCII bytes and a two-byte letter: the kept 255 bytes end inside the letter, so no UTF-8.
    const QString longAddress = QStringLiteral("http://news.test/") + QString(237, u'a') + QStringLiteral("é");
    const Menu submenu = headlines(QStringLiteral("<a href=\"") + longAddress + QStringLiteral("\">Long</a><li><a href=\"http://news.test/1\">\n First &amp; best\t</a> "
                                                  "<cite>Reuters <SPAN>(Fri 4:05PM)</span></cite></li>"
                                                  "<li><a href=\"/local/2\">Local</a></li><a href=\"https://news.test/s\">Secure</a>"
                                                  "<a href=\"HTTP://news.test/u\">Upper</a><a href=\"javascript:void(0)\">Script</a>"
                                                  "<li><a href=\"http://news.test/3\">Third</a></li>"));
    EXPECT_EQ(titles(submenu), (QStringList{QStringLiteral("---"), QStringLiteral("Headlines for Acme Corp."), QStringLiteral("First & best"),
                                            QStringLiteral("Reuters  (Fri 4:05PM) "), QStringLiteral("Third")}));
    EXPECT_EQ(state.m_headlines.value(QStringLiteral("ACME")), (QList<HeadlineRecord>{{QStringLiteral("http://news.test/1"), QStringLiteral("First & best"),
                                                 QStringLiteral("\"First & best\" Reuters  (Fri 4:05PM) ")},
                                                {QStringLiteral("http://news.test/3"), QStringLiteral("Third"), std::nullopt}}));

    // A cached title wins over the link text; the same address twice finds the title the first
    // remembered, and the first source.
    state.m_urlTitles.insert(QStringLiteral("http://news.test/cached"), QStringLiteral("Title seen first"));
    EXPECT_EQ(titles(headlines(QStringLiteral("<a href=\"http://news.test/new\">New</a><cite>First</cite><a href=\"http://news.test/new\">"
                                              "Two</a><cite>Second</cite><a href=\"http://news.test/cached\">Title now</a>"))).mid(2),
              (QStringList{QStringLiteral("New"), QStringLiteral("First"), QStringLiteral("New"), QStringLiteral("First"), QStringLiteral("Title seen first")}));
}

// Labels, markers and the cell class are found in any case. Each label is searched from the last
// one found: missing labels are skipped, a label standing before the last one found is not found,
// and a label without its own cell takes the next one.
TEST_F(SubmenuGroups, StockDataCursorMovesForwardThroughTheLabels)
{
    const QString table = row("Last Trade:", "<big><b><span id=\"yfs_l10_acme\">150.25</span></b></big>")
                          + row("Bid:", "<span id=\"yfs_b00_acme\">12.30</span><small> x 100</small>")
                          + row("Avg Vol <span class=\"small\">(3m)</span>:", "2,345,678") + row("Div &amp; Yield:", "2.00 (1.30%)");
    const QString g00 = QStringLiteral("<span id=\"yfs_g00_acme\">148.10</span>");
    const struct { QString page; QStringList fields; } cases[] = {
        {table, {"Last Trade: 150.25", "Bid: 12.30", "Avg Vol (3m): 2,345,678", "Div & Yield: 2.00 (1.30%)"}},
        {row("Open:", "149.50") + row("Prev Close:", "149.00"), {"Prev Close: 149.00"}},
        {"<th>Prev Close:</th><td>N/A</td>" + row("Open:", "149.50"), {"Prev Close: 149.50", "Open: 149.50"}},
        // Range values are the first after the label, wherever they stand, and need both ends.
        {row("Day's Range:", g00) + "<span id=\"yfs_h00_acme\">151.00</span>", {"Day's Range: 148.10 - 151.00"}},
        {row("Day's Range:", g00 + " - N/A") + row("52wk Range:", "<span>120.00</span> - <span><b>160</b>.00</span>"),
         {"52wk Range: 120.00 - 160.00"}},
        // A bid span without its end runs to the end of its cell.
        {row("Bid:", "<span id=\"yfs_b00_acme\">12.30<small> x 100</small>"), {"Bid: 12.30<small> x 100</small>"}},
        {row("Bid:", "<span id=\"yfs_b00_acme\"></span>"), {"Bid: "}},
        {QString(), {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(stockData(c.page), c.fields) << c.page.toStdString();
    EXPECT_EQ(stockData(table.toUpper().replace("YFNC_TABLEDATA1", "yfnc_TableData1"), QStringLiteral("acme")), cases[0].fields);
}

} // namespace
} // namespace tickwell::testing
