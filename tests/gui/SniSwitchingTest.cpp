// Moving between the status notifier item and the tray icon as the watcher comes and goes.
#include "SniBusFixture.h"
#include "platform/HeadlessStatusItem.h"
#include "platform/desktop/QtTrayStatusItem.h"
#include "platform/desktop/SniStatusItem.h"
#include "platform/desktop/SwitchingStatusItem.h"

namespace tickwell::testing {
namespace {

using Backend = SwitchingStatusItem::Backend;
using namespace std::chrono_literals;

class SniSwitchingTest : public SniBusFixture {
protected:
    // The tray side is a headless item here, so the test can open its menu and choose items.
    std::unique_ptr<SwitchingStatusItem> makeSwitching(std::chrono::milliseconds fallbackDelay)
    {
        return std::make_unique<SwitchingStatusItem>(app, fallbackDelay, SwitchingStatusItem::Factory{},
            [] { return std::make_unique<HeadlessStatusItem>(); });
    }

    QString itemService() const
    {
        const auto items = watcher->registeredItems();
        return items.isEmpty() ? QString() : items.last();
    }

    static Menu sampleMenu()
    {
        return {MenuItem::make(QStringLiteral("Update Now"), QStringLiteral("selItemUpdateNow:")), MenuItem::makeSeparator(),
            MenuItem::make(QStringLiteral("Quit"), QStringLiteral("selItemQuit:"), QStringLiteral("q"))};
    }

    QDBusMessage clickOver(const QString &service, const QString &label)
    {
        const int id = FindId(fetchLayout(service).second, label);
        return menuCall(service, QStringLiteral("Event"), {id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
    }
};

TEST_F(SniSwitchingTest, FollowsTheWatcherAndCarriesEverythingOver)
{
    auto item = makeSwitching(0ms);
    EXPECT_EQ(item->backend(), Backend::QtTray);

    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QStringList chosen;
    int openings = 0;
    item->setMenuHandlers([&] { ++openings; }, [&](const MenuItem &menuItem) { chosen.append(menuItem.title); });
    item->setImage(QStringLiteral("Tickwell.tif"), image);
    item->setStyledTitle({{QStringLiteral("ACME "), 14.0, std::nullopt}, {QStringLiteral("+1.00"), 14.0, QColor(Qt::green)}});
    item->setMenu(sampleMenu());

    // A panel starts: the item moves onto the bus with image, title and menu.
    ASSERT_TRUE(watcher->start());
    ASSERT_TRUE(WaitUntil([&] { return item->backend() == Backend::StatusNotifier; }));
    ASSERT_TRUE(WaitUntil([&] { return !itemService().isEmpty(); }));
    const QString service = itemService();
    EXPECT_EQ(GetDBusProperty(peer, service, SniStatusItem::objectPath(), QStringLiteral("org.kde.StatusNotifierItem"),
                  QStringLiteral("XAyatanaLabel")).toString(), QStringLiteral("ACME +1.00"));
    EXPECT_EQ(item->active().image(), image);
    EXPECT_EQ(item->active().styledTitle(), item->styledTitle());
    EXPECT_EQ(Describe(fetchLayout(service).second), (QStringList{QStringLiteral("Update Now"), QStringLiteral("---"), QStringLiteral("Quit")}));

    // The handlers given before the move answer the panel.
    EXPECT_EQ(menuCall(service, QStringLiteral("AboutToShow"), {0}).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(openings, 1);
    EXPECT_EQ(clickOver(service, QStringLiteral("Quit")).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(WaitUntil([&] { return chosen == QStringList{QStringLiteral("Quit")}; }));

    // What is set while on the bus is there after moving back.
    item->setTitle(QStringLiteral("Updating..."));
    watcher->stop();
    ASSERT_TRUE(WaitUntil([&] { return item->backend() == Backend::QtTray; }));
    auto *tray = dynamic_cast<HeadlessStatusItem *>(&item->active());
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->title(), QStringLiteral("Updating..."));
    EXPECT_FALSE(tray->styledTitle());
    EXPECT_EQ(tray->menu().size(), 3u);
    tray->open();
    tray->choose(tray->menu().front());
    EXPECT_EQ(openings, 2);
    EXPECT_EQ(chosen, (QStringList{QStringLiteral("Quit"), QStringLiteral("Update Now")}));

    // The item left the bus with the move.
    const QDBusMessage gone = CallAndWait(peer, QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner")) << service);
    EXPECT_FALSE(gone.arguments().value(0).toBool());
}

TEST_F(SniSwitchingTest, APanelRestartingWithinTheGraceKeepsTheItemOnTheBus)
{
    ASSERT_TRUE(watcher->start());
    auto item = makeSwitching(10s);
    ASSERT_EQ(item->backend(), Backend::StatusNotifier);
    ASSERT_TRUE(WaitUntil([&] { return !itemService().isEmpty(); }));
    const QString service = itemService();

    watcher->stop();
    WaitUntil([] { return false; }, 200);
    EXPECT_EQ(item->backend(), Backend::StatusNotifier);
    ASSERT_TRUE(watcher->start());
    ASSERT_TRUE(WaitUntil([&] { return !itemService().isEmpty(); }));
    EXPECT_EQ(itemService(), service) << "the same item registered again";
    EXPECT_EQ(item->backend(), Backend::StatusNotifier);
}

TEST_F(SniSwitchingTest, AMoveDuringAnActionWaitsUntilTheActionReturned)
{
    ASSERT_TRUE(watcher->start());
    auto item = makeSwitching(0ms);
    ASSERT_EQ(item->backend(), Backend::StatusNotifier);
    item->setMenu(sampleMenu());
    ASSERT_TRUE(WaitUntil([&] { return !itemService().isEmpty(); }));

    // The action runs a nested event loop (as saving a headline does) in which the panel goes.
    std::optional<Backend> backendInsideAction;
    bool actionDone = false;
    item->setMenuHandlers({}, [&](const MenuItem &) {
        watcher->stop();
        WaitUntil([] { return false; }, 300);
        backendInsideAction = item->backend();
        actionDone = true;
    });
    EXPECT_EQ(clickOver(itemService(), QStringLiteral("Update Now")).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(WaitUntil([&] { return actionDone; }));
    EXPECT_EQ(backendInsideAction, Backend::StatusNotifier) << "the item was replaced under its own action";
    EXPECT_TRUE(WaitUntil([&] { return item->backend() == Backend::QtTray; }));
    EXPECT_EQ(item->menu().size(), 3u);
}

TEST_F(SniSwitchingTest, TheRealTrayIconTakesOverWithoutAWatcher)
{
    // Default factories: the tray side is Qt's tray icon (no tray to show it in under the test
    // platform, which must not matter).
    SwitchingStatusItem item(app, 0ms);
    ASSERT_EQ(item.backend(), Backend::QtTray);
    ASSERT_NE(dynamic_cast<QtTrayStatusItem *>(&item.active()), nullptr);
    item.setTitle(QStringLiteral("ACME 1.00"));
    item.setMenu(sampleMenu());
    auto &tray = dynamic_cast<QtTrayStatusItem &>(item.active());
    EXPECT_EQ(tray.trayIcon().toolTip(), QStringLiteral("ACME 1.00"));
    EXPECT_EQ(tray.qmenu().actions().size(), 3);
    EXPECT_EQ(tray.qmenu().actions().at(2)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));

    // And a bus without a connection leaves the tray icon as the only choice.
    SwitchingStatusItem offline(QDBusConnection(QStringLiteral("no-such-connection")), 0ms);
    EXPECT_EQ(offline.backend(), Backend::QtTray);
}

} // namespace
} // namespace tickwell::testing
