// The Qt-drawn menu of the tray icon: styled runs keep their colours and sizes, whatever else
// the line carries (shortcut, ampersand, submenu, highlight).
#include "platform/desktop/MenuRenderer.h"
#include "platform/desktop/StyledMenuStyle.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

namespace tickwell {
namespace {

const QColor kUp(0, 255, 0);

int countNear(const QImage &image, const QRect &area, const QColor &color)
{
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - color.red()) < 60 && std::abs(pixel.green() - color.green()) < 60
                && std::abs(pixel.blue() - color.blue()) < 60)
                ++count;
        }
    return count;
}

MenuItem styledLine(const QString &head, const QString &change)
{
    MenuItem item = MenuItem::make(head + change, QStringLiteral("selItemStockSymbol:"));
    item.styledTitle = std::vector<StyledRun>{{head, 14.0, std::nullopt}, {change, 14.0, kUp}};
    return item;
}

struct RenderCase {
    const char *name;
    MenuItem item;
};

class TrayMenuRenderingTest : public ::testing::Test {
protected:
    StyledMenuStyle style;
    MenuRenderer renderer{style};
    QMenu menu;
};

TEST_F(TrayMenuRenderingTest, ColouredSuffixesAreDrawnOnEveryKindOfLine)
{
    MenuItem withKey = styledLine(QStringLiteral("Acme Corp [ACME] 101.25 "), QStringLiteral("+1.25 (+1.25%)"));
    withKey.keyEquivalent = QStringLiteral("a");
    MenuItem withSubmenu = styledLine(QStringLiteral("Beta [BETA] 5.00 "), QStringLiteral("+0.10 (+2.04%)"));
    withSubmenu.submenu = Menu{MenuItem::make(QStringLiteral("Chart"), QStringLiteral("selItemiChart:"))};
    withSubmenu.image = QStringLiteral("menuitem_up_g.tif");
    const std::vector<RenderCase> cases{
        {"plain styled line", styledLine(QStringLiteral("Dow 38,500.12 "), QStringLiteral("+120.50 (+0.31%)"))},
        {"with a key equivalent", withKey},
        {"with an ampersand", styledLine(QStringLiteral("AT&T [T] 17.00 "), QStringLiteral("+0.20 (+1.19%)"))},
        {"with a submenu and image", withSubmenu},
    };
    for (const auto &testCase : cases) {
        renderer.render(menu, {MenuItem::make(QStringLiteral("Update Now"), QStringLiteral("selItemUpdateNow:")), testCase.item},
            [](const MenuItem &) {});
        menu.adjustSize();
        const QImage picture = menu.grab().toImage();
        const QRect line = menu.actionGeometry(menu.actions().at(1));
        EXPECT_GT(countNear(picture, line, kUp), 20) << testCase.name;
        EXPECT_EQ(countNear(picture, menu.actionGeometry(menu.actions().at(0)), kUp), 0) << testCase.name;
        // The 14-point runs make the line taller than a plain one and wide enough for all of them.
        EXPECT_GT(line.height(), menu.actionGeometry(menu.actions().at(0)).height()) << testCase.name;
        EXPECT_GT(countNear(picture, line.adjusted(line.width() / 2, 0, 0, 0), kUp), 0)
            << testCase.name << ": the suffix should reach into the right half";
    }
}

TEST_F(TrayMenuRenderingTest, ClicksReachTheHandlerAfterTheTriggerAsCopies)
{
    std::vector<QString> chosen;
    const auto handler = [&](const MenuItem &item) {
        chosen.push_back(item.title);
        // The action rebuilds the menu, deleting the QAction that was triggered.
        renderer.render(menu, {MenuItem::make(QStringLiteral("rebuilt"))}, [](const MenuItem &) {});
    };
    MenuItem parent = MenuItem::make(QStringLiteral("ACME"));
    parent.submenu = Menu{MenuItem::make(QStringLiteral("Chart"), QStringLiteral("selItemiChart:"))};
    renderer.render(menu, {MenuItem::make(QStringLiteral("Last Update: None")), parent}, handler);

    EXPECT_FALSE(menu.actions().at(0)->isEnabled());
    QMenu *submenu = menu.actions().at(1)->menu();
    ASSERT_NE(submenu, nullptr);
    submenu->actions().at(0)->trigger();
    EXPECT_TRUE(chosen.empty()) << "delivered while the menu was still being used";
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen, std::vector<QString>{QStringLiteral("Chart")});
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(menu.actions().at(0)->text(), QStringLiteral("rebuilt"));
}

TEST_F(TrayMenuRenderingTest, RebuildsDoNotPileUpSubmenus)
{
    // The menu is rebuilt at every opening; the submenus of earlier builds must go.
    MenuItem parent = MenuItem::make(QStringLiteral("ACME"));
    parent.submenu = Menu{MenuItem::make(QStringLiteral("Headlines")), MenuItem::make(QStringLiteral("Chart"), QStringLiteral("selItemiChart:"))};
    parent.submenu->front().submenu = Menu{MenuItem::make(QStringLiteral("News"), QStringLiteral("selectItemHeadline:"))};
    for (int opening = 0; opening < 5; ++opening) {
        renderer.render(menu, {parent, parent}, [](const MenuItem &) {});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_EQ(menu.findChildren<QMenu *>().size(), 4); // two lines, each with one nested submenu
    EXPECT_EQ(menu.actions().size(), 2);
}

} // namespace
} // namespace tickwell
