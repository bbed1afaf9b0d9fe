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

using namespace Qt::StringLiterals;

class SniControllerTest : public SniBusFixture {
protected:
    void SetUp() override
    {
        SniBusFixture::SetUp();
        ASSERT_TRUE(watcher->start());
        statusItem = std::make_unique<SniStatusItem>(app);
        service = statusItem->serviceName();
        menuSignals = std::make_unique<SniSignalRecorder>(peer, service, u"/MenuBar"_s, u"com.canonical.dbusmenu"_s);
        itemSignals = std::make_unique<SniSignalRecorder>(peer, service, SniStatusItem::objectPath(), u"org.kde.StatusNotifierItem"_s);
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

    MemorySettingsStore settings;
    FakeUrlLoader loader;
    ManualTimerFactory timers{QDateTime(QDate(2026, 12, 5), QTime(15, 0, 0), QTimeZone::systemTimeZone())};
    ScriptedDesktop desktop;
    LocalNotificationCenter notifications;
    ManualWakeMonitor wake;
    std::unique_ptr<SniStatusItem> statusItem;
    QString service;
    std::unique_ptr<SniSignalRecorder> menuSignals;
    std::unique_ptr<SniSignalRecorder> itemSignals;
    std::unique_ptr<AppController> controller;
};

TEST_F(SniControllerTest, TheExportedMenuIsTheControllersMenu)
{
    ASSERT_TRUE(WaitUntil([&] { return !watcher->registeredItems().isEmpty(); }));
    const auto [revision, root] = fetchLayout(service);
    EXPECT_GT(revision, 0u);
    // The controller's head and tail (the menu itself is checked in full elsewhere).
    const QStringList lines = Describe(root);
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(u"Last Update: "_s) && lines[0].endsWith(u" (disabled)"_s)) << lines[0].toStdString();
    EXPECT_EQ(lines[1], u"Update Now"_s);
    EXPECT_EQ(lines.last(), u"Quit"_s);
    const QDBusMessage shortcut = menuCall(service, u"GetProperty"_s, {FindId(root, u"Quit"_s), u"shortcut"_s});
    ASSERT_EQ(shortcut.type(), QDBusMessage::ReplyMessage) << shortcut.errorMessage().toStdString();
    EXPECT_EQ(qdbus_cast<DBusMenuShortcut>(shortcut.arguments().at(0).value<QDBusVariant>().variant().value<QDBusArgument>()),
        (DBusMenuShortcut{{u"Control"_s, u"Q"_s}}));

    const auto pixmaps = qdbus_cast<SniIconPixmapList>(itemProperty(service, u"IconPixmap"_s).value<QDBusArgument>());
    ASSERT_FALSE(pixmaps.isEmpty());
    EXPECT_EQ(pixmaps[0].toImage(), QImage(u":/images/Tickwell.tif"_s).convertToFormat(QImage::Format_ARGB32));
}

TEST_F(SniControllerTest, ClickingUpdateNowRunsARefreshAfterTheReply)
{
    settings.setValue(u"StockSymbols"_s, QVariantList{u"ACME"_s});
    settings.setValue(u"QuotePageHost"_s, u"127.0.0.1:9"_s);
    loader.clearRequests();
    settle(service);
    itemSignals->clear();
    const auto [revision, root] = fetchLayout(service);
    const QDBusMessage reply = click(service, FindId(root, u"Update Now"_s));
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    ASSERT_TRUE(WaitUntil([&] { return loader.requests().contains(u"http://127.0.0.1:9/q?s=ACME"_s); }));

    // The panel saw "Updating..." and then the title again.
    ASSERT_TRUE(WaitUntil([&] { return itemSignals->named(u"XAyatanaNewLabel"_s).size() >= 2; }));
    const auto labels = itemSignals->named(u"XAyatanaNewLabel"_s);
    EXPECT_EQ(labels[0].arguments().value(0).toString(), u"Updating..."_s);
    EXPECT_EQ(labels[1].arguments().value(0).toString(), QString());

    // Lines without action, separators and unknown numbers run nothing; unknown ones are errors.
    loader.clearRequests();
    EXPECT_EQ(click(service, root.children[0].id).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(click(service, root.children[2].id).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(click(service, 123456).errorName(), u"org.freedesktop.DBus.Error.InvalidArgs"_s);
    WaitUntil([] { return false; }, 100);
    EXPECT_TRUE(loader.requests().isEmpty());

    EXPECT_EQ(click(service, FindId(root, u"Quit"_s)).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(WaitUntil([&] { return desktop.terminateRequests() == 1; }));
}

TEST_F(SniControllerTest, OpeningTheMenuRebuildsItAndTellsThePanel)
{
    const auto [revisionBefore, before] = fetchLayout(service);
    settle(service);
    menuSignals->clear();

    // A setting read at every build: the market indices section and its separator appear.
    settings.setValue(u"ShowMarketIndicesInMenu"_s, true);
    const QDBusMessage opened = menuCall(service, u"AboutToShow"_s, {0});
    ASSERT_EQ(opened.type(), QDBusMessage::ReplyMessage) << opened.errorMessage().toStdString();
    EXPECT_TRUE(opened.arguments().value(0).toBool()) << "the panel must fetch the new layout";
    ASSERT_TRUE(WaitUntil([&] { return !menuSignals->named(u"LayoutUpdated"_s).isEmpty(); }));
    const QDBusMessage updated = menuSignals->named(u"LayoutUpdated"_s).first();
    const auto [revisionAfter, after] = fetchLayout(service);
    EXPECT_EQ(updated.arguments(), (QVariantList{revisionAfter, 0}));
    EXPECT_GT(revisionAfter, revisionBefore);
    EXPECT_EQ(Describe(after).count(u"---"_s), Describe(before).count(u"---"_s) + 1);
    // Items that stayed in place keep their numbers, so a panel can update an open menu.
    EXPECT_EQ(FindId(after, u"Update Now"_s), FindId(before, u"Update Now"_s));

    // Opening again with nothing new: nothing to fetch.
    EXPECT_FALSE(menuCall(service, u"AboutToShow"_s, {0}).arguments().value(0).toBool());

    // A refresh changes the last-update line only: the panel gets it as a property.
    settle(service);
    menuSignals->clear();
    timers.advance(60);
    controller->updateStockData();
    menuCall(service, u"AboutToShow"_s, {0});
    settle(service);
    EXPECT_TRUE(menuSignals->named(u"LayoutUpdated"_s).isEmpty());
    ASSERT_FALSE(menuSignals->named(u"ItemsPropertiesUpdated"_s).isEmpty());
    const auto changed = qdbus_cast<DBusMenuItemPropertiesList>(
        menuSignals->named(u"ItemsPropertiesUpdated"_s).first().arguments().value(0).value<QDBusArgument>());
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0].id, after.children[0].id);
    EXPECT_TRUE(changed[0].properties.value(u"label"_s).toString().startsWith(u"Last Update: "_s));
}

} // namespace
} // namespace tickwell::testing
