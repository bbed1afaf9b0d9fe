// The application controller behind a status notifier item, driven the way a panel drives it:
// GetLayout, AboutToShow and Event over a private session bus.
#include "SniBusFixture.h"
#include "SniSignalRecorder.h"
#include "app/controller/AppController.h"
#include "platform/FakeUrlLoader.h"
#include "platform/LocalNotificationCenter.h"
#include "platform/ManualTimerFactory.h"
#include "platform/ManualWakeMonitor.h"
#include "platform/MemorySettingsStore.h"
#include "platform/ScriptedDesktop.h"
#include "platform/desktop/SniStatusItem.h"

#include <QTimeZone>

namespace tickwell::testing {
namespace {

class SniControllerTest : public SniBusFixture {
protected:
    void SetUp() override
    {
        SniBusFixture::SetUp();
        ASSERT_TRUE(watcher->start());
        statusItem = std::make_unique<SniStatusItem>(app);
        menuSignals = std::make_unique<SniSignalRecorder>(peer, statusItem->serviceName(), QStringLiteral("/MenuBar"),
            QStringLiteral("com.canonical.dbusmenu"));
        itemSignals = std::make_unique<SniSignalRecorder>(peer, statusItem->serviceName(), SniStatusItem::objectPath(),
            QStringLiteral("org.kde.StatusNotifierItem"));
        controller = std::make_unique<AppController>(Platform{settings, loader, *statusItem, timers, desktop, notifications, wake});
        controller->applicationWillFinishLaunching();
    }
    void TearDown() override
    {
        controller.reset();
        menuSignals.reset();
        itemSignals.reset();
        statusItem.reset();
        SniBusFixture::TearDown();
    }

    QString service() const { return statusItem->serviceName(); }

    QDBusMessage click(int id)
    {
        return menuCall(service(), QStringLiteral("Event"),
            {id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(QString())), 0u});
    }

    MemorySettingsStore settings;
    FakeUrlLoader loader;
    ManualTimerFactory timers{QDateTime(QDate(2026, 12, 5), QTime(15, 0, 0), QTimeZone::systemTimeZone())};
    ScriptedDesktop desktop;
    LocalNotificationCenter notifications;
    ManualWakeMonitor wake;
    std::unique_ptr<SniStatusItem> statusItem;
    std::unique_ptr<SniSignalRecorder> menuSignals;
    std::unique_ptr<SniSignalRecorder> itemSignals;
    std::unique_ptr<AppController> controller;
};

TEST_F(SniControllerTest, TheExportedMenuIsTheControllersMenu)
{
    ASSERT_TRUE(WaitUntil([&] { return !watcher->registeredItems().isEmpty(); }));
    const auto [revision, root] = fetchLayout(service());
    EXPECT_GT(revision, 0u);
    // The fixed head and tail of the menu; the sections between them come from other parts.
    const QStringList lines = Describe(root);
    ASSERT_GE(lines.size(), 10) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Last Update: "))) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(" (disabled)"))) << lines[0].toStdString();
    EXPECT_EQ(lines.mid(1, 2), (QStringList{QStringLiteral("Update Now"), QStringLiteral("---")}));
    EXPECT_EQ(lines.mid(lines.size() - 7), (QStringList{QStringLiteral("---"), QStringLiteral("Clear Histories"),
                                               QStringLiteral("Log Histories"), QStringLiteral("---"),
                                               QStringLiteral("Preferences..."), QStringLiteral("---"), QStringLiteral("Quit")}));

    const int quit = FindId(root, QStringLiteral("Quit"));
    const QDBusMessage shortcut = menuCall(service(), QStringLiteral("GetProperty"), {quit, QStringLiteral("shortcut")});
    ASSERT_EQ(shortcut.type(), QDBusMessage::ReplyMessage) << shortcut.errorMessage().toStdString();
    const auto keys = qdbus_cast<DBusMenuShortcut>(shortcut.arguments().at(0).value<QDBusVariant>().variant().value<QDBusArgument>());
    EXPECT_EQ(keys, (DBusMenuShortcut{{QStringLiteral("Control"), QStringLiteral("Q")}}));

    // The icon the panel shows is the controller's "Tickwell.tif".
    const auto pixmaps = qdbus_cast<SniIconPixmapList>(GetDBusProperty(peer, service(), SniStatusItem::objectPath(),
        QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("IconPixmap")).value<QDBusArgument>());
    ASSERT_FALSE(pixmaps.isEmpty());
    const QImage resource(QStringLiteral(":/images/Tickwell.tif"));
    EXPECT_EQ(pixmaps[0].toImage(), resource.convertToFormat(QImage::Format_ARGB32));
}

TEST_F(SniControllerTest, ClickingUpdateNowRunsARefreshAfterTheReply)
{
    settings.setValue(QStringLiteral("StockSymbols"), QVariantList{QStringLiteral("ACME")});
    settings.setValue(QStringLiteral("QuotePageHost"), QStringLiteral("127.0.0.1:9"));
    loader.clearRequests();
    settle(service());
    itemSignals->clear();
    const auto [revision, root] = fetchLayout(service());
    const int updateNow = FindId(root, QStringLiteral("Update Now"));
    ASSERT_NE(updateNow, 0);

    const QDBusMessage reply = click(updateNow);
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    ASSERT_TRUE(WaitUntil([&] { return loader.requests().contains(QStringLiteral("http://127.0.0.1:9/q?s=ACME")); }));

    // The panel saw the item say "Updating..." and then go back to its title.
    ASSERT_TRUE(WaitUntil([&] { return itemSignals->named(QStringLiteral("XAyatanaNewLabel")).size() >= 2; }));
    const auto labels = itemSignals->named(QStringLiteral("XAyatanaNewLabel"));
    EXPECT_EQ(labels[0].arguments().value(0).toString(), QStringLiteral("Updating..."));
    EXPECT_EQ(labels[1].arguments().value(0).toString(), QString());

    // Clicks on lines without action, on separators and on numbers that do not exist run nothing.
    loader.clearRequests();
    EXPECT_EQ(click(root.children[0].id).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(click(root.children[2].id).type(), QDBusMessage::ReplyMessage);
    const QDBusMessage stale = click(123456);
    EXPECT_EQ(stale.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(stale.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
    WaitUntil([] { return false; }, 100);
    EXPECT_TRUE(loader.requests().isEmpty());

    // Quit reaches the desktop.
    EXPECT_EQ(click(FindId(root, QStringLiteral("Quit"))).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(WaitUntil([&] { return desktop.terminateRequests() == 1; }));
}

TEST_F(SniControllerTest, OpeningTheMenuRebuildsItAndTellsThePanel)
{
    const auto [revisionBefore, before] = fetchLayout(service());
    settle(service());
    menuSignals->clear();

    // A setting read at every build: the market indices section and its separator appear.
    settings.setValue(QStringLiteral("ShowMarketIndicesInMenu"), true);
    const QDBusMessage opened = menuCall(service(), QStringLiteral("AboutToShow"), {0});
    ASSERT_EQ(opened.type(), QDBusMessage::ReplyMessage) << opened.errorMessage().toStdString();
    EXPECT_TRUE(opened.arguments().value(0).toBool()) << "the panel must fetch the new layout";

    ASSERT_TRUE(WaitUntil([&] { return !menuSignals->named(QStringLiteral("LayoutUpdated")).isEmpty(); }));
    const QDBusMessage updated = menuSignals->named(QStringLiteral("LayoutUpdated")).first();
    const auto [revisionAfter, after] = fetchLayout(service());
    EXPECT_EQ(updated.arguments().value(0).toUInt(), revisionAfter);
    EXPECT_EQ(updated.arguments().value(1).toInt(), 0);
    EXPECT_GT(revisionAfter, revisionBefore);
    EXPECT_EQ(Describe(after).count(QStringLiteral("---")), Describe(before).count(QStringLiteral("---")) + 1);

    // Items that stayed in place kept their numbers, so a panel can update an open menu in place.
    EXPECT_EQ(FindId(after, QStringLiteral("Update Now")), FindId(before, QStringLiteral("Update Now")));

    // Opening again with nothing new: rebuilt, but nothing for the panel to fetch.
    settle(service());
    menuSignals->clear();
    const QDBusMessage again = menuCall(service(), QStringLiteral("AboutToShow"), {0});
    EXPECT_FALSE(again.arguments().value(0).toBool());

    // A refresh changes the last-update line only: the panel gets the new label as a property.
    timers.advance(60);
    controller->updateStockData();
    menuCall(service(), QStringLiteral("AboutToShow"), {0});
    settle(service());
    EXPECT_TRUE(menuSignals->named(QStringLiteral("LayoutUpdated")).isEmpty());
    const auto changed = qdbus_cast<DBusMenuItemPropertiesList>(
        menuSignals->named(QStringLiteral("ItemsPropertiesUpdated")).first().arguments().value(0).value<QDBusArgument>());
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0].id, after.children[0].id);
    EXPECT_TRUE(changed[0].properties.value(QStringLiteral("label")).toString().startsWith(QStringLiteral("Last Update: ")));
}

} // namespace
} // namespace tickwell::testing
