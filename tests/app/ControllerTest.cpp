#include "ControllerFixture.h"

#include "app/controller/StockDataRefresh.h"

#include <QBuffer>
#include <QImage>

namespace tickwell::testing {
namespace {

QByteArray pngBytes()
{
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QVariantList list(std::initializer_list<const char *> items)
{
    QVariantList values;
    for (const char *item : items)
        values.append(QString::fromLatin1(item));
    return values;
}

const QStringList kBareMenu = {
    QStringLiteral("<last update>"), QStringLiteral("Update Now"), QStringLiteral("---"), QStringLiteral("---"),
    QStringLiteral("Clear Histories"), QStringLiteral("Log Histories"), QStringLiteral("---"),
    QStringLiteral("Preferences..."), QStringLiteral("---"), QStringLiteral("Quit"),
};

class ControllerTest : public ControllerFixture {};

TEST_F(ControllerTest, FreshStoreRefreshesHourlyAndFetchesNothingWithoutSymbols)
{
    launch();
    const auto pending = timers.pendingTimers();
    ASSERT_EQ(pending.size(), 2u); // the quote monitor and the refresh: no ticker, no headline download
    EXPECT_EQ(pending.front().interval, 600.0);
    EXPECT_EQ(pending.back().interval, 3600.0);
    EXPECT_TRUE(pending.back().repeats);
    EXPECT_EQ(pending.back().fireDate, startTime().addSecs(3600)); // firing at creation keeps the schedule
    EXPECT_TRUE(loader.requests().isEmpty());
}

TEST_F(ControllerTest, BareMenuHasTheFixedLayout)
{
    settings.setValue(QStringLiteral("IncludeHeadlinesInSubmenu"), false);
    launch();
    QStringList titles = menuTitles();
    ASSERT_FALSE(titles.isEmpty());
    EXPECT_TRUE(titles.front().startsWith(QStringLiteral("Last Update: ")));
    titles.front() = QStringLiteral("<last update>");
    EXPECT_EQ(titles, kBareMenu);

    const auto &menu = controller().menu();
    EXPECT_FALSE(menu.front().enabled());
    EXPECT_EQ(findItem(QStringLiteral("Preferences..."))->keyEquivalent, QStringLiteral(","));
    EXPECT_EQ(findItem(QStringLiteral("Quit"))->keyEquivalent, QStringLiteral("q"));
    EXPECT_EQ(findItem(QStringLiteral("Update Now"))->action, QStringLiteral("selItemUpdateNow:"));
}

TEST_F(ControllerTest, LastUpdateLineShowsRefreshTimeAndNextFiring)
{
    launch();
    const QString line = controller().menu().front().title;
    // Long date and time of the refresh start, next firing an hour later as h:mm:ss a.
    EXPECT_TRUE(line.startsWith(QStringLiteral("Last Update: December 5, 2026"))) << qPrintable(line);
    EXPECT_TRUE(line.endsWith(QStringLiteral("(next at 4:00:00 PM)"))) << qPrintable(line);
}

TEST_F(ControllerTest, SectionSeparatorsFollowTheirSwitches)
{
    settings.setValue(QStringLiteral("IncludeHeadlinesInSubmenu"), false);
    struct Case {
        bool metals, other, indices;
        int separators;
    };
    for (const Case c : {Case{false, false, false, 4}, Case{true, false, false, 5}, Case{true, true, true, 7}, Case{false, false, true, 5}}) {
        settings.setValue(QStringLiteral("ShowPreciousMetalsInMenu"), c.metals);
        settings.setValue(QStringLiteral("ShowOtherMarketIndicesInMenu"), c.other);
        settings.setValue(QStringLiteral("ShowMarketIndicesInMenu"), c.indices);
        relaunch();
        EXPECT_EQ(menuTitles().count(QStringLiteral("---")), c.separators) << c.metals << c.other << c.indices;
    }
}

TEST_F(ControllerTest, RefreshRestoresTitleAndImageOfTheStatusItem)
{
    launch();
    statusItem.setStyledTitle({StyledRun{QStringLiteral("ACME 1.0"), 14.0, QColor(Qt::green)}});
    statusItem.setImage(QStringLiteral("menuitem_up_g.tif"), QImage());
    controller().updateStockData();
    EXPECT_EQ(statusItem.title(), QStringLiteral("ACME 1.0"));
    EXPECT_FALSE(statusItem.styledTitle().has_value()); // styling comes back with the next ticker step
    EXPECT_EQ(statusItem.imageName(), QStringLiteral("menuitem_up_g.tif"));
}

TEST_F(ControllerTest, UpdateNowRunsARefresh)
{
    settings.setValue(QStringLiteral("StockSymbols"), list({"ACME"}));
    launch();
    loader.clearRequests();
    const MenuItem *update = findItem(QStringLiteral("Update Now"));
    ASSERT_NE(update, nullptr);
    controller().perform(*update);
    EXPECT_EQ(loader.requests().size(), 3);
}

TEST_F(ControllerTest, PreferencesChangedRestartsTimersWithNewRates)
{
    launch();
    settings.setValue(QStringLiteral("StockDataUpdateRate"), QStringLiteral("15"));
    notifications.postPreferencesChanged();
    const auto pending = timers.pendingTimers();
    ASSERT_EQ(pending.size(), 2u); // the quote monitor first, then the refresh
    EXPECT_EQ(pending.back().interval, 900.0);
}

TEST_F(ControllerTest, RatesThatReadAsZeroOrLessFallBackToTheDefault)
{
    for (const char *rate : {"0", "-5", "abc", ""}) {
        settings.setValue(QStringLiteral("StockDataUpdateRate"), QString::fromLatin1(rate));
        relaunch();
        const auto pending = timers.pendingTimers();
        ASSERT_FALSE(pending.empty());
        EXPECT_EQ(pending.back().interval, 3600.0) << rate;
    }
}

TEST_F(ControllerTest, WakeRunsOneSetupFiveSecondsLater)
{
    settings.setValue(QStringLiteral("StockSymbols"), list({"ACME"}));
    launch();
    loader.clearRequests();
    wake.wake();
    timers.advance(4.9);
    EXPECT_TRUE(loader.requests().isEmpty());
    timers.advance(0.2);
    EXPECT_EQ(loader.requests().size(), 3); // setup fires the refresh once
    timers.advance(60);
    EXPECT_EQ(loader.requests().size(), 3);
}

TEST_F(ControllerTest, HistoriesOfRemovedSymbolsAreDroppedAtLaunch)
{
    settings.setValue(QStringLiteral("StockSymbols"), list({"ACME"}));
    QVariantMap stored;
    stored.insert(QStringLiteral("ACME"), list({"a1", "a2"}));
    stored.insert(QStringLiteral("GONE"), list({"g1"}));
    settings.setValue(QStringLiteral("Histories"), stored);
    launch();
    const auto &histories = controller().state().m_stockSymbolHistories;
    EXPECT_EQ(histories.value(QStringLiteral("ACME")), QStringList({QStringLiteral("a1"), QStringLiteral("a2")}));
    EXPECT_FALSE(histories.contains(QStringLiteral("GONE")));

    controller().applicationWillTerminate();
    const QVariantMap written = settings.value(QStringLiteral("Histories"))->toMap();
    EXPECT_EQ(written.keys(), QStringList({QStringLiteral("ACME")}));
}

TEST_F(ControllerTest, TerminationRunsOnce)
{
    launch();
    controller().state().m_stockSymbolHistories.insert(QStringLiteral("ACME"), {QStringLiteral("x")});
    controller().applicationWillTerminate();
    settings.remove(QStringLiteral("Histories"));
    controller().applicationWillTerminate(); // a signal after Quit must not write again
    EXPECT_FALSE(settings.value(QStringLiteral("Histories")).has_value());
}

TEST_F(ControllerTest, QuitAndPreferencesGoToTheDesktop)
{
    launch();
    controller().perform(*findItem(QStringLiteral("Preferences...")));
    controller().perform(*findItem(QStringLiteral("Quit")));
    EXPECT_EQ(desktop.preferencesShown(), 1);
    EXPECT_EQ(desktop.terminateRequests(), 1);
}

TEST_F(ControllerTest, OpeningTheMenuRebuildsIt)
{
    settings.setValue(QStringLiteral("IncludeHeadlinesInSubmenu"), false);
    launch();
    settings.setValue(QStringLiteral("ShowPreciousMetalsInMenu"), true);
    statusItem.open();
    EXPECT_EQ(statusItem.menu().size(), controller().menu().size());
    EXPECT_EQ(menuTitles().count(QStringLiteral("---")), 5);
}

// The refresh plan: order and the flag rules.
TEST(RefreshRequestsTest, OrderAndFlags)
{
    MemorySettingsStore store;
    Preferences prefs(store);
    Hosts hosts;
    hosts.quotePage = QStringLiteral("q");
    hosts.chartImage = QStringLiteral("c");
    hosts.logo = QStringLiteral("l");
    hosts.metals = QStringLiteral("m");
    hosts.markets = QStringLiteral("k");
    hosts.otherIndices = QStringLiteral("o");

    store.setValue(QStringLiteral("StockSymbols"), list({"ACME", "BETA"}));
    QVariantMap flags;
    flags.insert(QStringLiteral("ACME"), qlonglong(1));
    flags.insert(QStringLiteral("BETA"), qlonglong(0));
    store.setValue(QStringLiteral("ShowSettings"), flags);
    for (const char *key : {"ShowPreciousMetalsInMenu", "ShowMarketIndicesInMenu", "ShowOtherMarketIndicesInMenu"})
        store.setValue(QString::fromLatin1(key), true);

    auto addresses = [&] {
        QStringList out;
        for (const auto &request : RefreshRequests(prefs, hosts))
            out.append(request.address + (request.isImage ? QStringLiteral(" img") : QString()));
        return out;
    };
    EXPECT_EQ(addresses(), QStringList({
                               QStringLiteral("http://c/t?s=%5EDJI img"), QStringLiteral("http://c/t?s=%5EIXIC img"),
                               QStringLiteral("http://c/t?s=%5EGSPC img"), QStringLiteral("http://c/t?s=ACME img"),
                               QStringLiteral("http://l/images/listed/log-ACME.gif img"), QStringLiteral("http://q/q?s=ACME"),
                               QStringLiteral("http://m/market/"), QStringLiteral("http://k/data/markets/"), QStringLiteral("http://o/"),
                           }));

    store.setValue(QStringLiteral("OnlyShowFlagged"), false);
    EXPECT_TRUE(addresses().contains(QStringLiteral("http://q/q?s=BETA")));
    store.setValue(QStringLiteral("OnlyShowFlagged"), true);
    store.remove(QStringLiteral("ShowSettings"));
    EXPECT_TRUE(addresses().contains(QStringLiteral("http://q/q?s=BETA"))); // no flags at all: everything shown
}

TEST(RefreshTest, FailedFetchesAndUndecodableImagesLeaveNoEntry)
{
    FakeUrlLoader loader;
    PageStore store;
    store.storePage(QStringLiteral("http://old/"), "stale");
    loader.serve(QStringLiteral("http://h/ok.png"), pngBytes());
    loader.serve(QStringLiteral("http://h/bad.png"), "not an image");
    loader.serve(QStringLiteral("http://h/page"), "<html>caf\xc3\xa9</html>");
    loader.serve(QStringLiteral("http://h/empty"), "");
    RunRefresh({{QStringLiteral("http://h/ok.png"), true}, {QStringLiteral("http://h/bad.png"), true},
                {QStringLiteral("http://h/page"), false}, {QStringLiteral("http://h/missing"), false},
                {QStringLiteral("http://h/empty"), false}, {QStringLiteral("http://h/with space"), false}},
               loader, store);
    EXPECT_EQ(store.size(), 2);
    ASSERT_NE(store.image(QStringLiteral("http://h/ok.png")), nullptr);
    EXPECT_EQ(store.image(QStringLiteral("http://h/ok.png"))->width(), 4);
    ASSERT_NE(store.pageText(QStringLiteral("http://h/page")), nullptr);
    EXPECT_EQ(store.pageText(QStringLiteral("http://h/page"))->text(), QStringLiteral("<html>café</html>"));
    EXPECT_FALSE(store.contains(QStringLiteral("http://old/")));
    EXPECT_FALSE(loader.requests().contains(QStringLiteral("http://h/with space")));
}

} // namespace
} // namespace tickwell::testing
