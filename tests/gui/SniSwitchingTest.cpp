// Moving between the status notifier item and the tray icon as the watcher comes and goes.
#include "SniBus.h"
#include "platform/headless/HeadlessStatusItem.h"
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
        auto item = std::make_unique<SwitchingStatusItem>(app, fallbackDelay, SwitchingStatusItem::Factory{},
            [] { return std::make_unique<HeadlessStatusItem>(); });
        item->setMenu(kMenu);
        return item;
    }
    QString registered()
    {
        return WaitUntil([&] { return !watcher->registeredItems.isEmpty(); }) ? watcher->registeredItems.last() : QString();
    }
    QDBusMessage clickLabel(const QString &service, const QString &label)
    {
        return click(service, FindId(FetchLayout(peer, service).second, label));
    }
};

TEST_F(SniSwitchingTest, FollowsTheWatcherAndCarriesEverythingOver)
{
    // Qt's real tray icon without a bus, and with no tray to show it in: neither must matter.
    EXPECT_EQ(SwitchingStatusItem(QDBusConnection(u"no-such-connection"_s), 0ms).backend(), Backend::QtTray);
    auto item = makeSwitching(0ms);
    EXPECT_EQ(item->backend(), Backend::QtTray);
    QStringList chosen;
    int openings = 0;
    item->setMenuHandlers({[&] { ++openings; }, [&](const MenuItem &menuItem) { chosen.append(menuItem.title); }, {}});
    item->setStyledTitle({{u"ACME "_s, 14.0, std::nullopt}, {u"+1.00"_s, 14.0, QColor(Qt::green)}});

    // A panel starts: the item moves onto the bus with title, menu and handlers.
    ASSERT_TRUE(watcher->start());
    ASSERT_TRUE(WaitUntil([&] { return item->backend() == Backend::StatusNotifier; }));
    const QString service = registered();
    EXPECT_EQ(ItemProperty(peer, service, u"XAyatanaLabel"_s).toString(), u"ACME +1.00"_s);
    EXPECT_EQ(Describe(FetchLayout(peer, service).second), (QStringList{u"Update Now"_s, u"---"_s, u"Quit"_s}));
    MenuCall(peer, service, u"AboutToShow"_s, {0});
    EXPECT_EQ(clickLabel(service, u"Quit"_s).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(WaitUntil([&] { return chosen == QStringList{u"Quit"_s}; }));

    // What is set while on the bus is there after moving back, and the bus name is gone.
    item->setTitle(u"Updating..."_s);
    watcher->stop();
    ASSERT_TRUE(WaitUntil([&] { return item->backend() == Backend::QtTray; }));
    auto *tray = dynamic_cast<HeadlessStatusItem *>(&item->active());
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->title(), u"Updating..."_s);
    tray->open();
    tray->choose(tray->menu().front());
    EXPECT_EQ(openings, 2);
    EXPECT_EQ(chosen, (QStringList{u"Quit"_s, u"Update Now"_s}));
    EXPECT_FALSE(nameHasOwner(service));
}

TEST_F(SniSwitchingTest, APanelRestartingWithinTheGraceKeepsTheItemOnTheBus)
{
    // Qt's own tray icon names itself the same way and may hold the first name.
    const QString name = u"org.kde.StatusNotifierItem-%1-"_s.arg(QCoreApplication::applicationPid());
    ASSERT_TRUE(peer.registerService(name + u'1'));
    ASSERT_TRUE(watcher->start());
    auto item = makeSwitching(10s);
    EXPECT_EQ(registered(), name + u'2');
    EXPECT_EQ(watcher->senders, QStringList{app.baseService()});

    // The panel restarts as another process, after a gap: the same item registers again.
    watcher->stop();
    WaitUntil([] { return false; }, 200);
    SniFakeWatcher otherWatcher(bus.connect(u"other-panel"_s));
    ASSERT_TRUE(otherWatcher.start());
    EXPECT_TRUE(WaitUntil([&] { return otherWatcher.registeredItems == QStringList{name + u'2'}; }));
    EXPECT_EQ(item->backend(), Backend::StatusNotifier);
    item.reset();
    EXPECT_FALSE(nameHasOwner(name + u'2'));
}

TEST_F(SniSwitchingTest, AMoveDuringAnActionWaitsUntilTheActionReturned)
{
    ASSERT_TRUE(watcher->start());
    auto item = makeSwitching(0ms);
    const QString service = registered();
    // The action runs a nested event loop (as saving a headline does) in which the panel goes.
    std::optional<Backend> backendInsideAction;
    item->setMenuHandlers({{}, [&](const MenuItem &) {
        watcher->stop();
        WaitUntil([] { return false; }, 300);
        backendInsideAction = item->backend();
    }, {}});
    EXPECT_EQ(clickLabel(service, u"Update Now"_s).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(WaitUntil([&] { return backendInsideAction.has_value(); }));
    EXPECT_EQ(backendInsideAction, Backend::StatusNotifier) << "the item was replaced under its own action";
    EXPECT_TRUE(WaitUntil([&] { return item->backend() == Backend::QtTray; }));
    EXPECT_EQ(item->menu().size(), 3u);
}

} // namespace
} // namespace tickwell::testing
