#include "SectionFixture.h"

#include "sources/ChartLinksGroup.h"
#include "sources/SourceActions.h"

namespace tickwell::testing {
namespace {

class ChartLinksGroup : public SectionFixture {};

TEST_F(ChartLinksGroup, ImageItemAndLinksOpenTheChartPages)
{
    const QString imageAddress = QStringLiteral("http://charts.test/t?s=ACME");
    state.m_urlContents.storeImage(imageAddress, solidImage(Qt::gray));
    Menu submenu;
    auto ctx = context();
    AddChartImageGroup(ctx, submenu, QStringLiteral("ACME"));
    AddInteractiveChartGroup(hosts, submenu, QStringLiteral("ACME"));
    ASSERT_EQ(submenu.size(), 11u);
    EXPECT_EQ(submenu[1].image, imageAddress);
    EXPECT_EQ(submenu[1].imageData.pixelColor(0, 0), QColor(Qt::gray));
    EXPECT_EQ(submenu[5].title, QStringLiteral("3 Month Share Price Chart"));
    EXPECT_EQ(submenu[10].title, QStringLiteral("Max Share Price Chart"));

    selItemiChart(submenu[1], hosts, desktop); // the chart page, not the image
    selItemInteractiveiChart(submenu[5], hosts, desktop);
    EXPECT_EQ(desktop.lines(), (QStringList{QStringLiteral("open: http://quotes.test/echarts?s=ACME"),
                                            QStringLiteral("open: http://quotes.test/echarts?s=ACME+Interactive#symbol=ACME;range=3m")}));
}

TEST_F(ChartLinksGroup, ToolTipsThatAreNoAddressOpenNothing)
{
    Menu submenu;
    AddInteractiveChartGroup(hosts, submenu, QStringLiteral("AC ME"));
    selItemInteractiveiChart(submenu[1], hosts, desktop);
    selItemiChart(MenuItem::make(QString(), QStringLiteral("selItemiChart:")), hosts, desktop);
    EXPECT_TRUE(desktop.lines().isEmpty());
}

} // namespace
} // namespace tickwell::testing
