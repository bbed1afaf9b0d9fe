// The dbusmenu exporter driven by direct calls; the bus tests drive it through D-Bus.
#include "platform/desktop/DBusMenuExporter.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace tickwell {
namespace {

using namespace Qt::StringLiterals;

TEST(DBusMenuExporterTest, StaleIdsAreErrorsAndUnderscoresAreNotMnemonics)
{
    DBusMenuExporter exporter{QDBusConnection(u"no-bus"_s), u"/MenuBar"_s};
    std::vector<QString> chosen;
    int rebuilds = 0;
    exporter.setHandlers({[&] { ++rebuilds; }, [&](const MenuItem &item) {
        chosen.push_back(item.title);
        exporter.setMenu({MenuItem::make(u"rebuilt"_s)}); // the action rebuilds the menu under the click
    }, {}});
    exporter.setMenu({MenuItem::make(u"BRK_B and __x"_s, u"selItemStockSymbol:"_s)});
    DBusMenuLayoutItem root;
    exporter.GetLayout(0, -1, {}, root);
    EXPECT_EQ(root.children[0].properties.value(u"label"_s), u"BRK__B and ____x"_s);

    // A group with one stale number: the other still runs, the stale one is reported.
    const QList<int> errors = exporter.EventGroup(
        {{root.children[0].id, u"clicked"_s, QDBusVariant(0), 0}, {987654, u"clicked"_s, QDBusVariant(0), 0}});
    EXPECT_EQ(errors, QList<int>{987654});
    EXPECT_TRUE(chosen.empty()) << "delivered inside the call";
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen, std::vector<QString>{u"BRK_B and __x"_s});
    EXPECT_EQ(exporter.menu().front().title, u"rebuilt"_s);

    QList<int> idErrors;
    exporter.AboutToShowGroup({0, 4242}, idErrors);
    EXPECT_EQ(idErrors, QList<int>{4242});
    EXPECT_EQ(rebuilds, 1);
}

// A styled line's label is its runs, escaped as a whole; shortcuts name their keys.
TEST(DBusMenuExporterTest, LabelsCarryTheStyledTextAndShortcutsUseKeyNames)
{
    MenuItem index = MenuItem::make(u"S_P: 1,885.93"_s, u"selItemMarketIndices:"_s);
    index.styledTitle = std::vector<StyledRun>{{u"S_P: 1,885.93"_s, 14.0, std::nullopt}, {u" (+13.59, +0.73%)"_s, 14.0, QColor(Qt::red)}};
    EXPECT_EQ(DBusMenuLayout::label(index), u"S__P: 1,885.93 (+13.59, +0.73%)"_s);
    const std::pair<const char *, const char *> keys[] = {{",", "comma"}, {"Q", "q"}, {".", "period"}, {"-", "minus"}, {"/", "slash"}};
    for (const auto &[key, name] : keys)
        EXPECT_EQ(DBusMenuLayout::shortcut(QString::fromLatin1(key)), (DBusMenuShortcut{{u"Control"_s, QString::fromLatin1(name)}})) << key;
    EXPECT_TRUE(DBusMenuLayout::shortcut(QString()).isEmpty());
}

TEST(DBusMenuExporterTest, TheOwnerHearsTheMenuComeAndGo)
{
    DBusMenuExporter exporter{QDBusConnection(u"no-bus"_s), u"/MenuBar"_s};
    QStringList heard;
    exporter.setHandlers({[&] { heard.append(u"rebuild"_s); }, [&](const MenuItem &item) { heard.append(item.title); },
        [&](bool shown) { heard.append(shown ? u"shown"_s : u"hidden"_s); }});
    MenuItem parent = MenuItem::make(u"ACME"_s);
    parent.submenu = Menu{MenuItem::make(u"Open Log"_s, u"selItemOpenConsoleLog:"_s)};
    exporter.setMenu({MenuItem::make(u"Update Now"_s, u"selItemUpdateNow:"_s), parent});
    DBusMenuLayoutItem root;
    exporter.GetLayout(0, -1, {}, root);
    const int submenu = root.children[1].id;
    const int update = root.children[0].id;

    exporter.AboutToShow(0);
    exporter.Event(0, u"opened"_s, QDBusVariant(0), 0);
    exporter.Event(submenu, u"opened"_s, QDBusVariant(0), 0); // a submenu inside the open menu
    exporter.Event(submenu, u"closed"_s, QDBusVariant(0), 0);
    exporter.Event(0, u"closed"_s, QDBusVariant(0), 0);
    EXPECT_EQ(heard, (QStringList{u"rebuild"_s, u"shown"_s, u"shown"_s, u"hidden"_s}));

    // A click closes the menu before its action runs, once the call has returned.
    heard.clear();
    exporter.AboutToShow(0);
    exporter.Event(update, u"clicked"_s, QDBusVariant(0), 0);
    EXPECT_EQ(heard, (QStringList{u"rebuild"_s, u"shown"_s}));
    QCoreApplication::processEvents();
    EXPECT_EQ(heard, (QStringList{u"rebuild"_s, u"shown"_s, u"hidden"_s, u"Update Now"_s}));
}

} // namespace
} // namespace tickwell
