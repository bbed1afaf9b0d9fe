#include "SectionFixture.h"

#include "sources/MarketIndicesSection.h"
#include "sources/SourceActions.h"

namespace tickwell::testing {
namespace {

QString indexRow(const char *path, const char *name, const char *kind, const char *last, const char *change, const char *percent)
{
    return QString::asprintf("<tr><td><a href=\"/data/markets/%s\" class=\"wsod_symbol\">%s</a></td>"
                             "<td><span class=\"%sLast\">%s</span></td><td><span class=\"%sChange\">%s</span></td>"
                             "<td><span class=\"%sChangePct\">%s</span></td></tr>\n",
                             path, name, kind, last, kind, change, kind, percent);
}

const QString dowRow = indexRow("dow", "Dow", "pos", "16,437.05", "+88.23", "+0.54%");
const QString nasdaqRow = indexRow("nasdaq", "Nasdaq", "neg", "4,234.08", "-12.30", "-0.29%");
const QString sandpRow = indexRow("sandp", "S&amp;P", "pos", "1,872.34", "0.00", "0.00%");

class MarketIndicesSection : public SectionFixture {
protected:
    QStringList build(const QString &rows)
    {
        storePage(QStringLiteral("http://markets.test/data/markets/"), QStringLiteral("<table>") + rows + QStringLiteral("</table>"));
        menu.clear();
        auto ctx = context();
        addMarketIndices(ctx);
        return titles();
    }
};

TEST_F(MarketIndicesSection, EachIndexShowsItsOwnDirection)
{
    setSwitch("IncludeIndicesChartsInSubmenu", false);
    ASSERT_EQ(build(dowRow + nasdaqRow + sandpRow),
              (QStringList{QStringLiteral("Dow: 16,437.05"), QStringLiteral("Nasdaq: 4,234.08"), QStringLiteral("S&P: 1,872.34")}));
    EXPECT_EQ(*menu[0].styledTitle, (std::vector<StyledRun>{{QStringLiteral("Dow: 16,437.05"), 14.0, std::nullopt},
                                                            {QStringLiteral(" (+88.23, +0.54%)"), 14.0, QColor(Qt::green)}}));
    EXPECT_EQ(menu[1].styledTitle->back(), (StyledRun{QStringLiteral(" (-12.30, -0.29%)"), 14.0, QColor(Qt::red)}));
    EXPECT_EQ(menu[2].styledTitle->size(), 1u) << "a change without a sign gets no suffix";
    const QStringList images{QStringLiteral("menuitem_up_g.tif"), QStringLiteral("menuitem_down_r.tif"),
                             QStringLiteral("menuitem_spacer.tif")};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(menu[i].image, images[static_cast<qsizetype>(i)]);
        EXPECT_FALSE(menu[i].submenu) << "index charts are off";
    }
}

TEST_F(MarketIndicesSection, FallingLastIsFoundIgnoringCaseAndNotTakenFromTheNextIndex)
{
    EXPECT_EQ(build(dowRow.toUpper().replace(QStringLiteral("POSLAST"), QStringLiteral("negLast"))),
              QStringList{QStringLiteral("Dow: 16,437.05")});
    EXPECT_EQ(build(indexRow("dow", "Dow", "neg", "16,100.00", "-20.00", "-0.12%") + QString(nasdaqRow).replace(QStringLiteral("neg"), QStringLiteral("pos"))),
              (QStringList{QStringLiteral("Dow: 16,100.00"), QStringLiteral("Nasdaq: 4,234.08")}));
}

TEST_F(MarketIndicesSection, MissingAnchorOrValueSkipsOnlyThatIndex)
{
    // Without its own change cell the Nasdaq takes the next one after its anchor, the S&P's.
    EXPECT_EQ(build(QString(nasdaqRow).replace(QStringLiteral("negChange\">"), QStringLiteral("x\">")) + sandpRow),
              (QStringList{QStringLiteral("Nasdaq: 4,234.08"), QStringLiteral("S&P: 1,872.34")}));
    EXPECT_TRUE(build(QStringLiteral("<a href=\"/data/markets/dow\" class=\"wsod_symbol\">Dow</a><span class=\"posLast\">1</span>"))
                    .isEmpty())
        << "the Dow lacks its change and percent";
}

TEST_F(MarketIndicesSection, ChartSubmenuOpensTheIndexQuotePage)
{
    state.m_urlContents.storeImage(QStringLiteral("http://charts.test/t?s=%5EDJI"), solidImage(Qt::gray));
    ASSERT_EQ(build(dowRow + nasdaqRow).size(), 2);
    ASSERT_TRUE(menu[0].submenu);
    EXPECT_EQ(menu[0].submenu->front().image, QStringLiteral("http://charts.test/t?s=%5EDJI"));
    EXPECT_FALSE(menu[1].submenu) << "no chart image stored for the Nasdaq";

    selItemIndicesiChart(menu[0].submenu->front(), hosts, desktop);
    selItemMarketIndices(menu[1], hosts, desktop);
    EXPECT_EQ(desktop.lines(), (QStringList{QStringLiteral("open: http://quotes.test/q?s=%5EDJI"),
                                            QStringLiteral("open: http://markets.test/data/markets/")}));
}

} // namespace
} // namespace tickwell::testing
