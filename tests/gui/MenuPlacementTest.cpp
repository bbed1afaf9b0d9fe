// Where the own status menu opens: beside the panel at the click, flipped at the screen's edges,
// within the monitor of the click.
#include "platform/desktop/MenuPlacement.h"

#include <gtest/gtest.h>

namespace tickwell::testing {
namespace {

TEST(MenuPlacementTest, BesideThePanelAndOnTheClicksScreen)
{
    const QRect screen(0, 0, 1024, 768);
    const QRect rightScreen(1024, 0, 1280, 1024); // a second monitor right of the first
    const QSize menu(300, 500);
    const struct {
        const char *what;
        QPoint click;
        std::optional<QRect> panel;
        QSize menu;
        QRect screen;
        QPoint expected;
    } cases[] = {
        {"top panel", {100, 13}, QRect(0, 0, 1024, 26), menu, screen, {100, 26}},
        {"top panel, right edge: flipped left", {1000, 13}, QRect(0, 0, 1024, 26), menu, screen, {701, 26}},
        {"bottom panel: above it", {100, 755}, QRect(0, 742, 1024, 26), menu, screen, {100, 242}},
        {"left panel, near the bottom: right of it, flipped up", {20, 700}, QRect(0, 0, 40, 768), menu, screen, {40, 201}},
        {"right panel: left of it", {1000, 100}, QRect(984, 0, 40, 768), menu, screen, {684, 100}},
        {"second monitor's top panel, right edge", {2290, 13}, QRect(1024, 0, 1280, 26), menu, rightScreen, {1991, 26}},
        {"second monitor's left edge", {1030, 13}, QRect(1024, 0, 1280, 26), menu, rightScreen, {1030, 26}},
        {"tray icon at the top right: under it, flipped back to its right edge", {1002, 12}, QRect(990, 0, 24, 24), menu, screen,
            {714, 24}},
        {"no panel known: at the pointer", {500, 200}, std::nullopt, menu, screen, {500, 201}},
        {"no panel known, bottom right corner", {900, 700}, std::nullopt, menu, screen, {601, 200}},
        {"a big window is no panel", {100, 100}, QRect(0, 0, 800, 600), menu, screen, {100, 101}},
        {"taller than the screen: from its top", {100, 13}, QRect(0, 0, 1024, 26), QSize(300, 900), screen, {100, 0}},
        {"wider than the screen: from its left", {600, 13}, QRect(0, 0, 1024, 26), QSize(1500, 300), screen, {0, 26}},
    };
    for (const auto &c : cases) {
        const QPoint placed = MenuPosition(c.click, c.panel, c.menu, c.screen);
        EXPECT_EQ(placed, c.expected) << c.what << ": got " << placed.x() << "," << placed.y();
        if (c.menu.width() <= c.screen.width() && c.menu.height() <= c.screen.height()) {
            EXPECT_TRUE(c.screen.contains(QRect(placed, c.menu))) << c.what;
        }
    }
}

} // namespace
} // namespace tickwell::testing
