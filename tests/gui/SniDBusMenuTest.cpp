// The menu model as dbusmenu items: properties, numbering across rebuilds, layouts, events.
#include "platform/desktop/DBusMenuExporter.h"
#include "platform/desktop/DBusMenuLayout.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>

namespace tickwell {
namespace {

using namespace Qt::StringLiterals;

MenuItem withSubmenu(QString title, Menu submenu)
{
    MenuItem item = MenuItem::make(std::move(title));
    item.submenu = std::move(submenu);
    return item;
}

TEST(DBusMenuLayoutTest, ItemPropertiesLeaveDefaultsOut)
{
    MenuItem styledOnly;
    styledOnly.styledTitle = std::vector<StyledRun>{{u"ACME 10.00 "_s, 14.0, std::nullopt}, {u"+0.50"_s, 14.0, QColor(0, 255, 0)}};
    styledOnly.action = u"selItemStockSymbol:"_s;
    MenuItem fetched = MenuItem::make(u"chart"_s, u"selItemiChart:"_s);
    fetched.image = u"http://127.0.0.1:1/t?s=ACME"_s; // not fetched: no pixels, no icon
    const std::vector<std::pair<MenuItem, QVariantMap>> cases{
        {MenuItem::makeSeparator(), {{"type", u"separator"_s}}},
        {MenuItem::make(u"Last Update: None"_s), {{"label", u"Last Update: None"_s}, {"enabled", false}}},
        {MenuItem::make(u"Update Now"_s, u"selItemUpdateNow:"_s), {{"label", u"Update Now"_s}}},
        {MenuItem::make(u"Quit"_s, u"selItemQuit:"_s, u"q"_s),
            {{"label", u"Quit"_s}, {"shortcut", QVariant::fromValue(DBusMenuShortcut{{u"Control"_s, u"Q"_s}})}}},
        {MenuItem::make(u"Preferences..."_s, u"selItemPreferences:"_s, u","_s),
            {{"label", u"Preferences..."_s}, {"shortcut", QVariant::fromValue(DBusMenuShortcut{{u"Control"_s, u","_s}})}}},
        {MenuItem::make(u"BRK_B and __x"_s, u"selItemStockSymbol:"_s), {{"label", u"BRK__B and ____x"_s}}}, // not mnemonics
        {styledOnly, {{"label", u"ACME 10.00 +0.50"_s}}},
        {withSubmenu(u"Headlines"_s, {}), {{"label", u"Headlines"_s}, {"children-display", u"submenu"_s}}},
        {fetched, {{"label", u"chart"_s}}},
    };
    DBusMenuLayout layout;
    for (const auto &[item, expected] : cases)
        EXPECT_EQ(layout.itemProperties(item), expected) << item.title.toStdString();

    // Icons travel as PNG.
    fetched.imageData = QImage(5, 3, QImage::Format_ARGB32);
    fetched.imageData.fill(QColor(10, 200, 30, 128));
    EXPECT_EQ(QImage::fromData(layout.itemProperties(fetched).value(u"icon-data"_s).toByteArray(), "PNG")
                  .convertToFormat(QImage::Format_ARGB32), fetched.imageData);
}

TEST(DBusMenuLayoutTest, NumbersSurviveRebuildsOfTheSameShape)
{
    DBusMenuLayout layout;
    Menu menu{MenuItem::make(u"Last Update: 1"_s), MenuItem::makeSeparator(),
        withSubmenu(u"ACME 10.00"_s, {MenuItem::make(u"Chart"_s, u"selItemiChart:"_s)})};
    EXPECT_TRUE(layout.setMenu(menu).layoutChanged);
    const QList<int> firstIds = layout.ids();
    ASSERT_EQ(firstIds.size(), 5); // root, three items, one submenu item

    // Same shape, new texts, the information line gains an action: properties only.
    menu[0] = MenuItem::make(u"Last Update: 2"_s, u"selItemUpdateNow:"_s);
    menu[2].title = u"ACME 10.50"_s;
    const DBusMenuLayout::Update update = layout.setMenu(menu);
    EXPECT_FALSE(update.layoutChanged);
    EXPECT_EQ(layout.ids(), firstIds);
    ASSERT_EQ(update.updatedProperties.size(), 2);
    EXPECT_EQ(update.updatedProperties[1].properties, (QVariantMap{{"label", u"ACME 10.50"_s}}));
    ASSERT_EQ(update.removedProperties.size(), 1);
    EXPECT_EQ(update.removedProperties[0].names, QStringList{u"enabled"_s});
    EXPECT_FALSE(layout.setMenu(menu).changed());

    // A line where the separator was: a new number, and the old one is never given out again.
    menu[1] = MenuItem::make(u"BETA 5.00"_s, u"selItemStockSymbol:"_s);
    EXPECT_TRUE(layout.setMenu(menu).layoutChanged);
    EXPECT_FALSE(firstIds.contains(layout.ids()[2]));
    EXPECT_FALSE(layout.contains(firstIds[2]));
    menu[2].submenu = Menu{};
    EXPECT_TRUE(layout.setMenu(menu).layoutChanged);
    EXPECT_EQ(layout.ids().size(), 4);
}

TEST(DBusMenuLayoutTest, LayoutHonoursDepthAndPropertyNames)
{
    DBusMenuLayout layout;
    layout.setMenu({withSubmenu(u"ACME"_s, {withSubmenu(u"Headlines"_s, {MenuItem::make(u"News"_s, u"selectItemHeadline:"_s)})}),
        MenuItem::make(u"Quit"_s, u"selItemQuit:"_s, u"q"_s)});
    const auto levels = [](const DBusMenuLayoutItem &root) {
        int count = 0;
        for (const DBusMenuLayoutItem *node = &root; !node->children.isEmpty(); node = &node->children[0])
            ++count;
        return count;
    };
    // Any negative depth means all of it.
    for (const auto &[depth, expected] : std::vector<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 2}, {-1, 3}, {-7, 3}})
        EXPECT_EQ(levels(*layout.layout(0, depth, {})), expected) << depth;

    const auto labelsOnly = layout.layout(0, 1, {u"label"_s});
    EXPECT_EQ(labelsOnly->children[1].properties, (QVariantMap{{"label", u"Quit"_s}}));
    const auto subtree = layout.layout(labelsOnly->children[0].id, -1, {});
    ASSERT_TRUE(subtree);
    EXPECT_EQ(subtree->children[0].properties.value(u"label"_s), u"Headlines"_s);
    EXPECT_FALSE(layout.layout(9999, -1, {}));
    EXPECT_FALSE(layout.properties(-1, {}));
}

// The exporter driven by direct calls; the bus tests drive it through D-Bus.
class DBusMenuExporterTest : public ::testing::Test {
protected:
    DBusMenuLayoutItem root()
    {
        DBusMenuLayoutItem item;
        exporter.GetLayout(0, -1, {}, item);
        return item;
    }
    DBusMenuExporter exporter{QDBusConnection(u"no-bus"_s), u"/MenuBar"_s};
    std::vector<QString> chosen;
    int rebuilds = 0;
};

TEST_F(DBusMenuExporterTest, ClicksArriveAfterTheCallReturnedAndOnlyForActions)
{
    exporter.setHandlers([this] { ++rebuilds; }, [this](const MenuItem &item) {
        chosen.push_back(item.title);
        exporter.setMenu({MenuItem::make(u"rebuilt"_s)}); // the action rebuilds the menu under the click
    });
    exporter.setMenu({MenuItem::make(u"Last Update: None"_s), MenuItem::make(u"Update Now"_s, u"selItemUpdateNow:"_s),
        MenuItem::makeSeparator()});
    const auto ids = root().children;
    for (const int id : {ids[0].id, ids[2].id})
        exporter.Event(id, u"clicked"_s, QDBusVariant(QString()), 0);
    exporter.Event(ids[1].id, u"hovered"_s, QDBusVariant(QString()), 0);
    exporter.Event(ids[1].id, u"clicked"_s, QDBusVariant(QString()), 0);
    EXPECT_TRUE(chosen.empty()) << "delivered inside the call";
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen, std::vector<QString>{u"Update Now"_s});
    EXPECT_EQ(exporter.menu().front().title, u"rebuilt"_s);

    // A group with one stale number: the others still run, the stale one is reported.
    exporter.setMenu({MenuItem::make(u"Update Now"_s, u"selItemUpdateNow:"_s)});
    const QList<int> errors = exporter.EventGroup(
        {{root().children[0].id, u"clicked"_s, QDBusVariant(0), 0}, {987654, u"clicked"_s, QDBusVariant(0), 0}});
    EXPECT_EQ(errors, QList<int>{987654});
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen.size(), 2u);
    EXPECT_EQ(rebuilds, 0);
}

TEST_F(DBusMenuExporterTest, OnlyOpeningTheRootRebuilds)
{
    exporter.setHandlers([&] {
        ++rebuilds;
        exporter.setMenu({withSubmenu(u"ACME"_s, {MenuItem::make(u"Chart"_s)}), MenuItem::make(u"Last Update: %1"_s.arg(rebuilds))});
    }, {});
    exporter.AboutToShow(0);
    const int submenuId = root().children[0].id;
    QList<int> idErrors;
    EXPECT_EQ(exporter.AboutToShowGroup({submenuId, 0, 4242}, idErrors), QList<int>{0});
    EXPECT_EQ(idErrors, QList<int>{4242});
    EXPECT_EQ(rebuilds, 2) << "a submenu opening does not rebuild";
}

} // namespace
} // namespace tickwell
