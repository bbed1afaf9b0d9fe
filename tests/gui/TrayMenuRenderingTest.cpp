// The Qt-drawn menu of the tray icon: opened by a click on the icon, drawn with the coloured
// changes, rebuilt at every opening, also from inside its own action.
#include "platform/desktop/MenuRenderer.h"
#include "platform/desktop/QtTrayStatusItem.h"
#include "platform/desktop/StyledMenuStyle.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QSystemTrayIcon>

namespace tickwell {
namespace {

using namespace Qt::StringLiterals;

TEST(TrayMenuRenderingTest, ClicksArriveAfterTheTriggerAndRebuildsLeaveNoSubmenusBehind)
{
    StyledMenuStyle style;
    MenuRenderer renderer{style};
    QMenu menu;
    std::vector<QString> chosen;
    const auto handler = [&](const MenuItem &item) {
        chosen.push_back(item.title);
        // The action rebuilds the menu, deleting the QAction that was triggered.
        renderer.render(menu, {MenuItem::make(u"rebuilt"_s)}, [](const MenuItem &) {});
    };
    MenuItem parent = MenuItem::make(u"ACME"_s);
    parent.submenu = Menu{MenuItem::make(u"Headlines"_s), MenuItem::make(u"Chart"_s, u"selItemiChart:"_s)};
    parent.submenu->front().submenu = Menu{MenuItem::make(u"News"_s, u"selectItemHeadline:"_s)};
    for (int opening = 0; opening < 5; ++opening) {
        renderer.render(menu, {MenuItem::make(u"Last Update: None"_s), parent, parent}, handler);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_EQ(menu.findChildren<QMenu *>().size(), 4); // two lines, each with one nested submenu
    EXPECT_FALSE(menu.actions().at(0)->isEnabled());

    menu.actions().at(1)->menu()->actions().at(1)->trigger();
    EXPECT_TRUE(chosen.empty()) << "delivered while the menu was still being used";
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen, std::vector<QString>{u"Chart"_s});
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(menu.actions().at(0)->text(), u"rebuilt"_s);
}

TEST(TrayMenuRenderingTest, SeparatorsStandAsTheModelHasThem)
{
    StyledMenuStyle style;
    MenuRenderer renderer{style};
    QMenu menu;
    MenuItem line = MenuItem::make(u"ACME"_s);
    // An empty section, and a chart group without its image, give two separators in a row.
    line.submenu = Menu{MenuItem::make(u"Open Log"_s), MenuItem::makeSeparator(), MenuItem::makeSeparator(), MenuItem::make(u"1 Day"_s)};
    renderer.render(menu, {MenuItem::make(u"Update Now"_s), MenuItem::makeSeparator(), line, MenuItem::makeSeparator(), MenuItem::makeSeparator(),
        MenuItem::make(u"Quit"_s)}, [](const MenuItem &) {});
    menu.popup(QPoint(0, 0));
    QMenu *submenu = menu.actions().at(2)->menu();
    submenu->popup(QPoint(50, 0));
    QCoreApplication::processEvents();
    const auto visibleSeparators = [](QMenu &target) {
        int count = 0;
        for (QAction *action : target.actions())
            count += action->isSeparator() && target.actionGeometry(action).height() > 0;
        return count;
    };
    EXPECT_EQ(visibleSeparators(menu), 3);
    EXPECT_EQ(visibleSeparators(*submenu), 2);
    submenu->close();
    menu.close();
}

// Pixels close to a pure colour: the cores of the glyphs drawn in it.
int CountNear(const QImage &image, const QColor &color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += std::abs(pixel.red() - color.red()) < 60 && std::abs(pixel.green() - color.green()) < 60
                && std::abs(pixel.blue() - color.blue()) < 60;
        }
    return count;
}

// A click on the icon opens the menu, rebuilt once, with the changes in their colours; a menu
// on screen is not refilled under the pointer, but once it has closed.
TEST(TrayMenuRenderingTest, AClickOnTheIconOpensTheColouredMenuWhichIsNotRefilledWhileShown)
{
    QtTrayStatusItem item;
    QStringList heard;
    item.setMenuHandlers({[&] { heard.append(u"rebuild"_s); }, {}, [&](bool shown) { heard.append(shown ? u"shown"_s : u"hidden"_s); }});
    item.setImage(u"Tickwell.tif"_s, QImage(u":/images/Tickwell.tif"_s));
    EXPECT_FALSE(item.trayIcon().icon().isNull());
    const QColor up(0, 255, 0), down(255, 0, 0);
    Menu menu;
    for (const auto &[head, change, color] : {std::tuple{u"Acme & Co [ACME] 101.25 "_s, u"+1.25 (+1.25%)"_s, up},
             std::tuple{u"Beta Inc [BETA] 48.10 "_s, u"-0.52 (-1.07%)"_s, down}}) {
        MenuItem line = MenuItem::make(head + change, u"selItemStockSymbol:"_s, u"a"_s);
        line.styledTitle = std::vector<StyledRun>{{head, 14.0, std::nullopt}, {change, 14.0, color}};
        line.image = color == up ? u"menuitem_up_g.tif"_s : u"menuitem_down_r.tif"_s;
        line.submenu = Menu{MenuItem::make(u"Chart"_s, u"selItemiChart:"_s)};
        menu.push_back(line);
    }
    item.setMenu(menu);
    Q_EMIT item.trayIcon().activated(QSystemTrayIcon::Trigger);
    ASSERT_TRUE(item.qmenu().isVisible());
    const QImage drawn = item.qmenu().grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_GE(CountNear(drawn, up), 30) << "the rising change is not drawn green";
    EXPECT_GE(CountNear(drawn, down), 30) << "the falling change is not drawn red";

    QAction *shown = item.qmenu().actions().at(0);
    item.setMenu({MenuItem::make(u"second"_s)});
    EXPECT_EQ(item.qmenu().actions().at(0), shown) << "the visible menu was cleared";
    EXPECT_EQ(item.menu().front().title, u"second"_s);
    item.qmenu().close();
    QCoreApplication::processEvents();
    ASSERT_EQ(item.qmenu().actions().size(), 1);
    EXPECT_EQ(item.qmenu().actions().at(0)->text(), u"second"_s);
    EXPECT_EQ(heard, (QStringList{u"rebuild"_s, u"shown"_s, u"hidden"_s}));
}

} // namespace
} // namespace tickwell
