#include "SectionFixture.h"

#include "sources/MarketIndicesSection.h"
#include "sources/SourceActions.h"

namespace tickwell::testing {
namespace {

QString indexRow(const QString &path, const QString &name, const QString &kind, const QString &last, const QString &change,
                 const QString &percent)
{
    return QStringLiteral("<tr><td><a href=\"/data/markets/%1\" class=\"wsod_symbol\">%2</a></td>"
                          "<td><span class=\"%3Last\">%4</span></td><td><span class=\"%3Change\">%5</span></td>"
                          "<td><span class=\"%3ChangePct\">%6</span></td></tr>\n")
        .arg(path, name, kind, last, change, percent);
}

class MarketIndicesSection : public SectionFixture {
protected:
    void storeMarkets(const QString &rows)
    {
        storePage(QStringLiteral("http://markets.test/data/markets/"), QStringLiteral("<table>") + rows + QStringLiteral("</table>"));
    }
    void build()
    {
        menu.clear();
        auto ctx = context();
        addMarketIndices(ctx);
    }
    QString dowRow() const
    {
        return indexRow(QStringLiteral("dow"), QStringLiteral("Dow"), QStringLiteral("pos"), QStringLiteral("16,437.05"),
                        QStringLiteral("+88.23"), QStringLiteral("+0.54%"));
    }
    QString nasdaqRow() const
    {
        return indexRow(QStringLiteral("nasdaq"), QStringLiteral("Nasdaq"), QStringLiteral("neg"), QStringLiteral("4,234.08"),
                        QStringLiteral("-12.30"), QStringLiteral("-0.29%"));
    }
    QString sandpRow() const
    {
        return indexRow(QStringLiteral("sandp"), QStringLiteral("S&amp;P"), QStringLiteral("pos"), QStringLiteral("1,872.34"),
                        QStringLiteral("0.00"), QStringLiteral("0.00%"));
    }
};

TEST_F(MarketIndicesSection, EachIndexShowsItsOwnDirection)
{
    setSwitch("IncludeIndicesChartsInSubmenu", false);
    storeMarkets(dowRow() + nasdaqRow() + sandpRow());
    build();
    ASSERT_EQ(titles(), (QStringList{QStringLiteral("Dow: 16,437.05"), QStringLiteral("Nasdaq: 4,234.08"),
                                     QStringLiteral("S&P: 1,872.34")}));

    const MenuItem &dow = menu[0];
    EXPECT_EQ(dow.image, QStringLiteral("menuitem_up_g.tif"));
    EXPECT_EQ(dow.action, QStringLiteral("selItemMarketIndices:"));
    EXPECT_FALSE(dow.toolTip);
    ASSERT_TRUE(dow.styledTitle);
    EXPECT_EQ(*dow.styledTitle, (std::vector<StyledRun>{{QStringLiteral("Dow: 16,437.05"), 14.0, std::nullopt},
                                                        {QStringLiteral(" (+88.23, +0.54%)"), 14.0, QColor(Qt::green)}}));

    const MenuItem &nasdaq = menu[1];
    EXPECT_EQ(nasdaq.image, QStringLiteral("menuitem_down_r.tif"));
    EXPECT_EQ(nasdaq.styledTitle->back(), (StyledRun{QStringLiteral(" (-12.30, -0.29%)"), 14.0, QColor(Qt::red)}));

    const MenuItem &sandp = menu[2];
    EXPECT_EQ(sandp.image, QStringLiteral("menuitem_spacer.tif"));
    EXPECT_EQ(*sandp.styledTitle, (std::vector<StyledRun>{{QStringLiteral("S&P: 1,872.34"), 14.0, std::nullopt}}))
        << "a change without a sign gets no suffix";
    for (const auto &item : menu)
        EXPECT_FALSE(item.submenu) << "index charts are off";
}

TEST_F(MarketIndicesSection, AFallingIndexKeepsItsOwnValueWhenARisingOneFollows)
{
    storeMarkets(indexRow(QStringLiteral("dow"), QStringLiteral("Dow"), QStringLiteral("neg"), QStringLiteral("16,100.00"),
                          QStringLiteral("-20.00"), QStringLiteral("-0.12%"))
                 + nasdaqRow().replace(QStringLiteral("neg"), QStringLiteral("pos")));
    build();
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[0].title, QStringLiteral("Dow: 16,100.00"));
    EXPECT_EQ(menu[1].title, QStringLiteral("Nasdaq: 4,234.08"));
}

TEST_F(MarketIndicesSection, AnchorsAndPatternsMatchIgnoringCase)
{
    storeMarkets(dowRow().toUpper().replace(QStringLiteral("POSLAST"), QStringLiteral("negLast")));
    build();
    EXPECT_EQ(titles(), QStringList{QStringLiteral("Dow: 16,437.05")});
}

TEST_F(MarketIndicesSection, MissingAnchorOrValueSkipsOnlyThatIndex)
{
    QString nasdaqWithoutChange = nasdaqRow();
    nasdaqWithoutChange.replace(QStringLiteral("negChange\">-12.30"), QStringLiteral("x\">-12.30"));
    storeMarkets(nasdaqWithoutChange + sandpRow());
    build();
    // Without its own change cell the Nasdaq takes the next one after its anchor, the S&P's.
    EXPECT_EQ(titles(), (QStringList{QStringLiteral("Nasdaq: 4,234.08"), QStringLiteral("S&P: 1,872.34")}));

    storeMarkets(nasdaqRow() + sandpRow());
    build();
    EXPECT_EQ(titles(), (QStringList{QStringLiteral("Nasdaq: 4,234.08"), QStringLiteral("S&P: 1,872.34")}));

    storeMarkets(QStringLiteral("<a href=\"/data/markets/dow\" class=\"wsod_symbol\">Dow</a><span class=\"posLast\">1</span>"));
    build();
    EXPECT_TRUE(menu.empty()) << "the Dow lacks its change and percent";
}

TEST_F(MarketIndicesSection, ChartSubmenuOpensTheIndexQuotePage)
{
    storeMarkets(dowRow() + nasdaqRow());
    state.m_urlContents.storeImage(QStringLiteral("http://charts.test/t?s=%5EDJI"), solidImage(Qt::gray));
    build();
    ASSERT_EQ(menu.size(), 2u);
    ASSERT_TRUE(menu[0].submenu);
    ASSERT_EQ(menu[0].submenu->size(), 1u);
    const MenuItem &chart = menu[0].submenu->front();
    EXPECT_TRUE(chart.title.isEmpty());
    EXPECT_EQ(chart.action, QStringLiteral("selItemIndicesiChart:"));
    EXPECT_EQ(chart.image, QStringLiteral("http://charts.test/t?s=%5EDJI"));
    EXPECT_EQ(chart.toolTip, QStringLiteral("http://quotes.test/q?s=%5EDJI"));
    EXPECT_FALSE(menu[1].submenu) << "no chart image stored for the Nasdaq";

    selItemIndicesiChart(chart, hosts, desktop);
    selItemMarketIndices(menu[1], hosts, desktop);
    EXPECT_EQ(desktop.lines(), (QStringList{QStringLiteral("open: http://quotes.test/q?s=%5EDJI"),
                                            QStringLiteral("open: http://markets.test/data/markets/")}));
}

TEST_F(MarketIndicesSection, NoPageNoLines)
{
    build();
    EXPECT_TRUE(menu.empty());
}

} // namespace
} // namespace tickwell::testing
