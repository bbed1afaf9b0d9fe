// The Qt-drawn menu of the tray icon: rebuilt at every opening, also from inside its own action.
// (What it draws is checked on a real tray by TrayXEmbedTest.)
#include "platform/desktop/MenuRenderer.h"
#include "platform/desktop/StyledMenuStyle.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

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

} // namespace
} // namespace tickwell
