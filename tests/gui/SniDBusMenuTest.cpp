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

} // namespace
} // namespace tickwell
