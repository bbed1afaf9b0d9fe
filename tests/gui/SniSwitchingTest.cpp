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
using namespace Qt::StringLiterals;

const Menu kMenu{MenuItem::make(u"Update Now"_s, u"selItemUpdateNow:"_s), MenuItem::makeSeparator(),
    MenuItem::make(u"Quit"_s, u"selItemQuit:"_s, u"q"_s)};

class SniSwitchingTest : public SniBusFixture {
protected:
    // The tray side is a headless item, so the test can open its menu and choose items.
    std::unique_ptr<SwitchingStatusItem> makeSwitching(std::chrono::milliseconds fallbackDelay)
    {
        return std::make_unique<SwitchingStatusItem>(app, fallbackDelay, SwitchingStatusItem::Factory{},
            [] { return std::make_unique<HeadlessStatusItem>(); });
    }
    // The item's bus name once it registered.
    QString registered()
    {
        return WaitUntil([&] { return !watcher->registeredItems().isEmpty(); }) ? watcher->registeredItems().last() : QString();
    }
    QDBusMessage clickLabel(const QString &service, const QString &label)
    {
        return click(service, FindId(fetchLayout(service).second, label));
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
    item->setImage(u"Tickwell.tif"_s, image);
    item->setStyledTitle({{u"ACME "_s, 14.0, std::nullopt}, {u"+1.00"_s, 14.0, QColor(Qt::green)}});
    item->setMenu(kMenu);

    // A panel starts: the item moves onto the bus with image, title, menu and handlers.
    ASSERT_TRUE(watcher->start());
    ASSERT_TRUE(WaitUntil([&] { return item->backend() == Backend::StatusNotifier; }));
    const QString service = registered();
    EXPECT_EQ(itemProperty(service, u"XAyatanaLabel"_s).toString(), u"ACME +1.00"_s);
    EXPECT_EQ(item->active().image(), image);
    EXPECT_EQ(Describe(fetchLayout(service).second), (QStringList{u"Update Now"_s, u"---"_s, u"Quit"_s}));
    EXPECT_EQ(menuCall(service, u"AboutToShow"_s, {0}).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(openings, 1);
    EXPECT_EQ(clickLabel(service, u"Quit"_s).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(WaitUntil([&] { return chosen == QStringList{u"Quit"_s}; }));

    // What is set while on the bus is there after moving back, and the bus name is gone.
    item->setTitle(u"Updating..."_s);
    watcher->stop();
    ASSERT_TRUE(WaitUntil([&] { return item->backend() == Backend::QtTray; }));
    auto *tray = dynamic_cast<HeadlessStatusItem *>(&item->active());
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->title(), u"Updating..."_s);
    EXPECT_FALSE(tray->styledTitle());
    tray->open();
    tray->choose(tray->menu().front());
    EXPECT_EQ(openings, 2);
    EXPECT_EQ(chosen, (QStringList{u"Quit"_s, u"Update Now"_s}));
    EXPECT_FALSE(NameHasOwner(peer, service));
}

TEST_F(SniSwitchingTest, APanelRestartingWithinTheGraceKeepsTheItemOnTheBus)
{
    ASSERT_TRUE(watcher->start());
    auto item = makeSwitching(10s);
    ASSERT_EQ(item->backend(), Backend::StatusNotifier);
    const QString service = registered();
    watcher->stop();
    WaitUntil([] { return false; }, 200);
    EXPECT_EQ(item->backend(), Backend::StatusNotifier);
    ASSERT_TRUE(watcher->start());
    EXPECT_EQ(registered(), service) << "the same item registered again";
    EXPECT_EQ(item->backend(), Backend::StatusNotifier);
}

TEST_F(SniSwitchingTest, AMoveDuringAnActionWaitsUntilTheActionReturned)
{
    ASSERT_TRUE(watcher->start());
    auto item = makeSwitching(0ms);
    item->setMenu(kMenu);
    const QString service = registered();
    // The action runs a nested event loop (as saving a headline does) in which the panel goes.
    std::optional<Backend> backendInsideAction;
    item->setMenuHandlers({}, [&](const MenuItem &) {
        watcher->stop();
        WaitUntil([] { return false; }, 300);
        backendInsideAction = item->backend();
    });
    EXPECT_EQ(clickLabel(service, u"Update Now"_s).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(WaitUntil([&] { return backendInsideAction.has_value(); }));
    EXPECT_EQ(backendInsideAction, Backend::StatusNotifier) << "the item was replaced under its own action";
    EXPECT_TRUE(WaitUntil([&] { return item->backend() == Backend::QtTray; }));
    EXPECT_EQ(item->menu().size(), 3u);
}

TEST_F(SniSwitchingTest, TheRealTrayIconTakesOverWithoutAWatcher)
{
    // Qt's tray icon, with no tray to show it in under the test platform, which must not matter.
    SwitchingStatusItem item(app, 0ms);
    item.setMenu(kMenu);
    EXPECT_NE(dynamic_cast<QtTrayStatusItem *>(&item.active()), nullptr);
    // A bus without a connection leaves the tray icon as the only choice.
    EXPECT_EQ(SwitchingStatusItem(QDBusConnection(u"no-such-connection"_s), 0ms).backend(), Backend::QtTray);
}

} // namespace
} // namespace tickwell::testing
