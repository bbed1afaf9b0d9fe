// The application controller behind a status notifier item, driven the way a panel drives it:
// GetLayout, AboutToShow and Event over a private session bus.
#include "SniBus.h"
#include "SniSignalRecorder.h"
#include "controller/AppController.h"
#include "platform/desktop/SniStatusItem.h"
#include "support/FakePlatform.h"
#include "support/ToolHome.h"

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

class SniControllerTest : public SniBusFixture, protected FakePlatform {};

TEST_F(SniControllerTest, OpeningTheMenuRebuildsItAndTellsThePanelAndAClickRunsAfterTheReply)
{
    SniStatusItem sniItem(app);
    const QString service = sniItem.serviceName();
    statusItemInUse = &sniItem;
    SniSignalRecorder menuSignals(peer, service, u"/MenuBar"_s, u"com.canonical.dbusmenu"_s);
    AppController controller(platform());
    controller.applicationWillFinishLaunching();
    const auto [revisionBefore, before] = FetchLayout(peer, service);
    const QStringList lines = Describe(before);
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(u"Last Update: "_s) && lines[0].endsWith(u" (disabled)"_s)) << lines[0].toStdString();

    // A setting read at every build: the market indices section and its separator appear.
    settings.setValue(u"ShowMarketIndicesInMenu"_s, true);
    const QDBusMessage opened = MenuCall(peer, service, u"AboutToShow"_s, {0});
    ASSERT_EQ(opened.type(), QDBusMessage::ReplyMessage) << opened.errorMessage().toStdString();
    EXPECT_TRUE(opened.arguments().value(0).toBool()) << "the panel must fetch the new layout";
    const auto [revisionAfter, after] = FetchLayout(peer, service);
    EXPECT_GT(revisionAfter, revisionBefore);
    EXPECT_TRUE(WaitUntil([&] {
        const auto updates = menuSignals.named(u"LayoutUpdated"_s);
        return !updates.isEmpty() && updates.last().arguments() == QVariantList{revisionAfter, 0};
    }));
    EXPECT_EQ(Describe(after).count(u"---"_s), lines.count(u"---"_s) + 1);
    // Items that stayed in place keep their numbers, so a panel can update an open menu.
    EXPECT_EQ(FindId(after, u"Update Now"_s), FindId(before, u"Update Now"_s));
    EXPECT_FALSE(MenuCall(peer, service, u"AboutToShow"_s, {0}).arguments().value(0).toBool()) << "nothing new";

    settings.setValue(u"StockSymbols"_s, QVariantList{u"ACME"_s});
    pointHostsAt(settings, u"127.0.0.1:9"_s);
    loader.clearRequests();
    const QDBusMessage reply = click(service, FindId(after, u"Update Now"_s));
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_TRUE(WaitUntil([&] { return loader.requests().contains(u"http://127.0.0.1:9/q?s=ACME"_s); }));
    EXPECT_EQ(click(service, 123456).errorName(), u"org.freedesktop.DBus.Error.InvalidArgs"_s);
}

} // namespace
} // namespace tickwell::testing
