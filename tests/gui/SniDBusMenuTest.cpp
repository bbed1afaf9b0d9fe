// The menu model as dbusmenu items: properties, numbering across rebuilds, layouts, events.
#include "platform/desktop/DBusMenuExporter.h"
#include "platform/desktop/DBusMenuLayout.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>

namespace tickwell {
namespace {

MenuItem withSubmenu(QString title, Menu submenu, QString action = {})
{
    MenuItem item = MenuItem::make(std::move(title), std::move(action));
    item.submenu = std::move(submenu);
    return item;
}

QImage decodePng(const QVariant &value)
{
    return QImage::fromData(value.toByteArray(), "PNG");
}

struct PropertyCase {
    const char *name;
    MenuItem item;
    QVariantMap expected; // icon-data is checked apart
};

TEST(DBusMenuLayoutTest, ItemPropertiesLeaveDefaultsOut)
{
    MenuItem styledOnly;
    styledOnly.styledTitle = std::vector<StyledRun>{{QStringLiteral("ACME 10.00 "), 14.0, std::nullopt},
        {QStringLiteral("+0.50"), 14.0, QColor(0, 255, 0)}};
    styledOnly.action = QStringLiteral("selItemStockSymbol:");

    const DBusMenuShortcut controlQ{{QStringLiteral("Control"), QStringLiteral("Q")}};
    const DBusMenuShortcut controlComma{{QStringLiteral("Control"), QStringLiteral(",")}};
    const std::vector<PropertyCase> cases{
        {"separator", MenuItem::makeSeparator(), {{"type", QStringLiteral("separator")}}},
        {"information line", MenuItem::make(QStringLiteral("Last Update: None")),
            {{"label", QStringLiteral("Last Update: None")}, {"enabled", false}}},
        {"action line", MenuItem::make(QStringLiteral("Update Now"), QStringLiteral("selItemUpdateNow:")),
            {{"label", QStringLiteral("Update Now")}}},
        {"letter key", MenuItem::make(QStringLiteral("Quit"), QStringLiteral("selItemQuit:"), QStringLiteral("q")),
            {{"label", QStringLiteral("Quit")}, {"shortcut", QVariant::fromValue(controlQ)}}},
        {"punctuation key", MenuItem::make(QStringLiteral("Preferences..."), QStringLiteral("selItemPreferences:"), QStringLiteral(",")),
            {{"label", QStringLiteral("Preferences...")}, {"shortcut", QVariant::fromValue(controlComma)}}},
        {"underscores are literal", MenuItem::make(QStringLiteral("BRK_B and __x"), QStringLiteral("selItemStockSymbol:")),
            {{"label", QStringLiteral("BRK__B and ____x")}}},
        {"styled title without plain text", styledOnly, {{"label", QStringLiteral("ACME 10.00 +0.50")}}},
        {"submenu without action is enabled", withSubmenu(QStringLiteral("Headlines"), {}),
            {{"label", QStringLiteral("Headlines")}, {"children-display", QStringLiteral("submenu")}}},
    };
    DBusMenuLayout layout;
    for (const auto &testCase : cases)
        EXPECT_EQ(layout.itemProperties(testCase.item), testCase.expected) << testCase.name;
}

TEST(DBusMenuLayoutTest, IconDataIsPngOfTheItemImage)
{
    QImage pixels(5, 3, QImage::Format_ARGB32);
    pixels.fill(QColor(10, 200, 30, 128));
    MenuItem fetched = MenuItem::make(QStringLiteral("chart"), QStringLiteral("selItemiChart:"));
    fetched.image = QStringLiteral("http://127.0.0.1:1/t?s=ACME");
    fetched.imageData = pixels;

    MenuItem resource = MenuItem::make(QStringLiteral("up"), QStringLiteral("selItemStockSymbol:"));
    resource.image = QStringLiteral("menuitem_up_g.tif");

    MenuItem missing = MenuItem::make(QStringLiteral("no logo"));
    missing.image = QStringLiteral("http://127.0.0.1:1/images/listed/log-ACME.gif"); // not fetched: no pixels

    DBusMenuLayout layout;
    const QImage fromPixels = decodePng(layout.itemProperties(fetched).value(QStringLiteral("icon-data")));
    EXPECT_EQ(fromPixels.convertToFormat(QImage::Format_ARGB32), pixels);

    const QImage expectedResource(QStringLiteral(":/images/menuitem_up_g.tif"));
    ASSERT_FALSE(expectedResource.isNull()) << "resources not linked";
    const QImage fromResource = decodePng(layout.itemProperties(resource).value(QStringLiteral("icon-data")));
    EXPECT_EQ(fromResource.size(), expectedResource.size());

    EXPECT_FALSE(layout.itemProperties(missing).contains(QStringLiteral("icon-data")));
}

TEST(DBusMenuLayoutTest, NumbersSurviveRebuildsOfTheSameShape)
{
    DBusMenuLayout layout;
    const Menu first{MenuItem::make(QStringLiteral("Last Update: 1")), MenuItem::makeSeparator(),
        withSubmenu(QStringLiteral("ACME 10.00"), {MenuItem::make(QStringLiteral("Chart"), QStringLiteral("selItemiChart:"))})};
    EXPECT_TRUE(layout.setMenu(first).layoutChanged);
    const QList<int> firstIds = layout.ids();
    ASSERT_EQ(firstIds.size(), 5); // root, three items, one submenu item

    // Same shape, new texts, the information line gains an action: properties only.
    Menu second = first;
    second[0] = MenuItem::make(QStringLiteral("Last Update: 2"), QStringLiteral("selItemUpdateNow:"));
    second[2].title = QStringLiteral("ACME 10.50");
    const DBusMenuLayout::Update update = layout.setMenu(second);
    EXPECT_FALSE(update.layoutChanged);
    EXPECT_EQ(layout.ids(), firstIds);
    ASSERT_EQ(update.updatedProperties.size(), 2);
    EXPECT_EQ(update.updatedProperties[0].properties, (QVariantMap{{"label", QStringLiteral("Last Update: 2")}}));
    EXPECT_EQ(update.updatedProperties[1].properties, (QVariantMap{{"label", QStringLiteral("ACME 10.50")}}));
    ASSERT_EQ(update.removedProperties.size(), 1);
    EXPECT_EQ(update.removedProperties[0].id, firstIds[1]);
    EXPECT_EQ(update.removedProperties[0].names, QStringList{QStringLiteral("enabled")});

    // The same menu again: nothing to tell.
    EXPECT_FALSE(layout.setMenu(second).changed());

    // A line where the separator was: a new number there, the old one is never given out again.
    Menu third = second;
    third[1] = MenuItem::make(QStringLiteral("BETA 5.00"), QStringLiteral("selItemStockSymbol:"));
    EXPECT_TRUE(layout.setMenu(third).layoutChanged);
    const QList<int> thirdIds = layout.ids();
    EXPECT_EQ(thirdIds[1], firstIds[1]);
    EXPECT_FALSE(firstIds.contains(thirdIds[2]));
    EXPECT_FALSE(layout.contains(firstIds[2]));
    EXPECT_EQ(layout.item(thirdIds[2])->title, QStringLiteral("BETA 5.00"));

    // Emptying the submenu changes the layout too.
    third[2].submenu = Menu{};
    EXPECT_TRUE(layout.setMenu(third).layoutChanged);
    EXPECT_EQ(layout.ids().size(), 4);
}

TEST(DBusMenuLayoutTest, LayoutHonoursDepthAndPropertyNames)
{
    DBusMenuLayout layout;
    layout.setMenu({withSubmenu(QStringLiteral("ACME"),
                        {withSubmenu(QStringLiteral("Headlines"), {MenuItem::make(QStringLiteral("News"), QStringLiteral("selectItemHeadline:"))})}),
        MenuItem::make(QStringLiteral("Quit"), QStringLiteral("selItemQuit:"), QStringLiteral("q"))});

    struct DepthCase {
        int depth;
        int children;      // of the root
        int grandchildren; // of the first child
        int greatGrandchildren;
    };
    for (const DepthCase &testCase : {DepthCase{0, 0, 0, 0}, DepthCase{1, 2, 0, 0}, DepthCase{2, 2, 1, 0},
             DepthCase{-1, 2, 1, 1}, DepthCase{-7, 2, 1, 1}}) {
        const auto root = layout.layout(0, testCase.depth, {});
        ASSERT_TRUE(root);
        EXPECT_EQ(root->children.size(), testCase.children) << testCase.depth;
        if (!root->children.isEmpty()) {
            EXPECT_EQ(root->children[0].children.size(), testCase.grandchildren) << testCase.depth;
            if (!root->children[0].children.isEmpty()) {
                EXPECT_EQ(root->children[0].children[0].children.size(), testCase.greatGrandchildren) << testCase.depth;
            }
        }
    }

    const auto labelsOnly = layout.layout(0, 1, {QStringLiteral("label")});
    EXPECT_EQ(labelsOnly->children[1].properties, (QVariantMap{{"label", QStringLiteral("Quit")}}));
    EXPECT_EQ(labelsOnly->properties, QVariantMap{}); // the root has no label

    const int submenuId = layout.layout(0, 1, {})->children[0].id;
    const auto subtree = layout.layout(submenuId, -1, {});
    ASSERT_TRUE(subtree);
    EXPECT_EQ(subtree->children[0].properties.value(QStringLiteral("label")).toString(), QStringLiteral("Headlines"));
    EXPECT_FALSE(layout.layout(9999, -1, {}));
    EXPECT_FALSE(layout.properties(-1, {}));
}

// The exporter is driven by direct calls here; the bus tests drive it through D-Bus.
class DBusMenuExporterTest : public ::testing::Test {
protected:
    DBusMenuExporter exporter{QDBusConnection(QStringLiteral("no-bus")), QStringLiteral("/MenuBar")};
    std::vector<QString> chosen;
    int rebuilds = 0;
};

TEST_F(DBusMenuExporterTest, ClicksArriveAfterTheCallReturnedAndOnlyForActions)
{
    exporter.setHandlers([this] { ++rebuilds; }, [this](const MenuItem &item) {
        chosen.push_back(item.title);
        // The action rebuilds the menu under the click, as a refresh followed by setup would.
        exporter.setMenu({MenuItem::make(QStringLiteral("rebuilt"))});
    });
    exporter.setMenu({MenuItem::make(QStringLiteral("Last Update: None")),
        MenuItem::make(QStringLiteral("Update Now"), QStringLiteral("selItemUpdateNow:")), MenuItem::makeSeparator()});
    DBusMenuLayoutItem root;
    exporter.GetLayout(0, -1, {}, root);
    ASSERT_EQ(root.children.size(), 3);
    const int infoLine = root.children[0].id;
    const int updateNow = root.children[1].id;
    const int separator = root.children[2].id;

    for (const int id : {infoLine, separator})
        exporter.Event(id, QStringLiteral("clicked"), QDBusVariant(QString()), 0);
    exporter.Event(updateNow, QStringLiteral("hovered"), QDBusVariant(QString()), 0);
    exporter.Event(updateNow, QStringLiteral("clicked"), QDBusVariant(QString()), 0);
    EXPECT_TRUE(chosen.empty()) << "delivered inside the call";

    QCoreApplication::processEvents();
    EXPECT_EQ(chosen, std::vector<QString>{QStringLiteral("Update Now")});
    EXPECT_EQ(exporter.menu().front().title, QStringLiteral("rebuilt"));

    // A group with one stale number: the others still run, the stale one is reported.
    exporter.setMenu({MenuItem::make(QStringLiteral("Update Now"), QStringLiteral("selItemUpdateNow:"))});
    exporter.GetLayout(0, -1, {}, root);
    const QList<int> errors = exporter.EventGroup(
        {{root.children[0].id, QStringLiteral("clicked"), QDBusVariant(0), 0}, {987654, QStringLiteral("clicked"), QDBusVariant(0), 0}});
    EXPECT_EQ(errors, QList<int>{987654});
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen.size(), 2u);
    EXPECT_EQ(rebuilds, 0);
}

TEST_F(DBusMenuExporterTest, OpeningTheRootRebuildsAndSaysWhetherAnythingChanged)
{
    int generation = 0;
    exporter.setHandlers([&] {
        ++rebuilds;
        // Every other opening shows a new last-update line; the others rebuild the same menu.
        exporter.setMenu({withSubmenu(QStringLiteral("ACME"), {MenuItem::make(QStringLiteral("Chart"), QStringLiteral("selItemiChart:"))}),
            MenuItem::make(QStringLiteral("Last Update: %1").arg(++generation / 2))});
    }, {});
    exporter.setMenu({});
    const uint revisionBefore = exporter.revision();

    EXPECT_TRUE(exporter.AboutToShow(0));   // generation 1: new items
    EXPECT_EQ(exporter.revision(), revisionBefore + 1);
    EXPECT_TRUE(exporter.AboutToShow(0));   // generation 2: label 0 -> 1
    EXPECT_FALSE(exporter.AboutToShow(0));  // generation 3: label stays 1
    EXPECT_EQ(rebuilds, 3);
    EXPECT_EQ(exporter.revision(), revisionBefore + 1) << "same shape: properties updated, layout kept";

    DBusMenuLayoutItem root;
    exporter.GetLayout(0, -1, {}, root);
    const int submenuId = root.children[0].id;
    EXPECT_FALSE(exporter.AboutToShow(submenuId));
    EXPECT_EQ(rebuilds, 3) << "a submenu opening does not rebuild";

    QList<int> idErrors;
    const QList<int> needed = exporter.AboutToShowGroup({submenuId, 0, 4242}, idErrors);
    EXPECT_EQ(needed, QList<int>{0}); // generation 4: label 1 -> 2
    EXPECT_EQ(idErrors, QList<int>{4242});
    EXPECT_EQ(rebuilds, 4);
}

} // namespace
} // namespace tickwell
