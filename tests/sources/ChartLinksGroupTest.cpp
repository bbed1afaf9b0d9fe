#include "SectionFixture.h"

#include "sources/ChartLinksGroup.h"
#include "sources/SourceActions.h"
#include "sources/SourceAddresses.h"

namespace tickwell::testing {
namespace {

class ChartLinksGroup : public SectionFixture {};

TEST_F(ChartLinksGroup, ImageItemOpensTheChartPageNotTheImage)
{
    const QString imageAddress = QStringLiteral("http://charts.test/t?s=ACME");
    state.m_urlContents.storeImage(imageAddress, solidImage(Qt::gray));
    Menu submenu;
    auto ctx = context();
    AddChartImageGroup(ctx, submenu, QStringLiteral("ACME"));
    ASSERT_EQ(submenu.size(), 2u);
    EXPECT_TRUE(submenu[0].separator);
    const MenuItem &chart = submenu[1];
    EXPECT_TRUE(chart.title.isEmpty());
    EXPECT_EQ(chart.action, QStringLiteral("selItemiChart:"));
    EXPECT_EQ(chart.image, imageAddress);
    EXPECT_EQ(chart.imageData.pixelColor(0, 0), QColor(Qt::gray));
    EXPECT_EQ(chart.toolTip, QStringLiteral("http://quotes.test/echarts?s=ACME"));

    selItemiChart(chart, hosts, desktop);
    EXPECT_EQ(desktop.lines(), QStringList{QStringLiteral("open: http://quotes.test/echarts?s=ACME")});
}

TEST_F(ChartLinksGroup, BothGroupsWithoutImageGiveTwoSeparatorsThenTheLinks)
{
    Menu submenu;
    auto ctx = context();
    AddChartImageGroup(ctx, submenu, QStringLiteral("ACME"));
    AddInteractiveChartGroup(hosts, submenu, QStringLiteral("ACME"));
    ASSERT_EQ(submenu.size(), 10u);
    EXPECT_TRUE(submenu[0].separator);
    EXPECT_TRUE(submenu[1].separator);

    const QStringList ranges{QStringLiteral("1d"), QStringLiteral("5d"), QStringLiteral("3m"), QStringLiteral("6m"),
                             QStringLiteral("1y"), QStringLiteral("2y"), QStringLiteral("5y"), QStringLiteral("my")};
    for (int i = 0; i < 8; ++i) {
        const MenuItem &link = submenu[static_cast<std::size_t>(i + 2)];
        EXPECT_EQ(link.action, QStringLiteral("selItemInteractiveiChart:"));
        EXPECT_EQ(link.toolTip, InteractiveChartAddress(hosts, QStringLiteral("ACME"), ranges[i]));
    }
    EXPECT_EQ(submenu[4].title, QStringLiteral("3 Month Share Price Chart"));
    EXPECT_EQ(submenu[4].toolTip, QStringLiteral("http://quotes.test/echarts?s=ACME+Interactive#symbol=ACME;range=3m"));
    EXPECT_EQ(submenu[9].title, QStringLiteral("Max Share Price Chart"));

    selItemInteractiveiChart(submenu[4], hosts, desktop);
    EXPECT_EQ(desktop.lines(), QStringList{QStringLiteral("open: http://quotes.test/echarts?s=ACME+Interactive#symbol=ACME;range=3m")});
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
