#include "ControllerFixture.h"

#include "controller/StockDataRefresh.h"

#include <QBuffer>
#include <QImage>

namespace tickwell::testing {
namespace {

QVariantList list(std::initializer_list<const char *> items)
{
    QVariantList values;
    for (const char *item : items)
        values.append(QString::fromLatin1(item));
    return values;
}

class ControllerTest : public ControllerFixture {};

TEST_F(ControllerTest, FreshStoreRefreshesHourlyAndShowsWhen)
{
    launch();
    const auto pending = timers.pendingTimers();
    ASSERT_EQ(pending.size(), 2u); // the quote monitor and the refresh: no ticker, no headline download
    EXPECT_EQ(pending.back().fireDate, startTime().addSecs(3600)); // firing at creation keeps the schedule
    EXPECT_TRUE(loader.requests().isEmpty());
    // Long date and time of the refresh start, next firing as h:mm:ss a.
    const QString line = controller().menu().front().title;
    EXPECT_TRUE(line.startsWith(QStringLiteral("Last Update: December 5, 2026"))) << qPrintable(line);
    EXPECT_TRUE(line.endsWith(QStringLiteral("(next at 4:00:00 PM)"))) << qPrintable(line);
}

TEST_F(ControllerTest, BareMenuLayoutAndSectionSeparators)
{
    settings.setValue(QStringLiteral("IncludeHeadlinesInSubmenu"), false);
    launch();
    QStringList titles = menuTitles();
    titles.front() = titles.front().left(13);
    EXPECT_EQ(titles, QStringList({ QStringLiteral("Last Update: "), QStringLiteral("Update Now"), QStringLiteral("---"), QStringLiteral("---"),
                          QStringLiteral("Clear Histories"), QStringLiteral("Log Histories"), QStringLiteral("---"),
                          QStringLiteral("Preferences..."), QStringLiteral("---"), QStringLiteral("Quit") }));
    struct Case {
        bool metals, other, indices;
        int separators;
    };
    for (const Case c : { Case { true, false, false, 5 }, Case { true, true, true, 7 }, Case { false, false, true, 5 } }) {
        settings.setValue(QStringLiteral("ShowPreciousMetalsInMenu"), c.metals);
        settings.setValue(QStringLiteral("ShowOtherMarketIndicesInMenu"), c.other);
        settings.setValue(QStringLiteral("ShowMarketIndicesInMenu"), c.indices);
        statusItem.open(); // opening the menu rebuilds it
        EXPECT_EQ(menuTitles().count(QStringLiteral("---")), c.separators) << c.metals << c.other << c.indices;
    }
}

TEST_F(ControllerTest, PreferencesChangedRestartsTimersAndBadRatesFallBack)
{
    launch();
    const std::pair<const char *, double> cases[] = { { "15", 900.0 }, { "0", 3600.0 }, { "-5", 3600.0 }, { "abc", 3600.0 } };
    for (const auto &[rate, seconds] : cases) {
        settings.setValue(QStringLiteral("StockDataUpdateRate"), QString::fromLatin1(rate));
        notifications.postPreferencesChanged();
        const auto pending = timers.pendingTimers();
        ASSERT_EQ(pending.size(), 2u) << rate; // the quote monitor first, then the refresh
        EXPECT_EQ(pending.back().interval, seconds) << rate;
    }
}

TEST_F(ControllerTest, WakeRunsOneSetupFiveSecondsLater)
{
    settings.setValue(QStringLiteral("StockSymbols"), list({ "ACME" }));
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

TEST_F(ControllerTest, HistoriesOfRemovedSymbolsAreDroppedAndStoredOnceAtTermination)
{
    settings.setValue(QStringLiteral("StockSymbols"), list({ "ACME" }));
    settings.setValue(QStringLiteral("Histories"), QVariantMap { { QStringLiteral("ACME"), list({ "a1" }) }, { QStringLiteral("GONE"), list({ "g1" }) } });
    launch();
    EXPECT_EQ(controller().state().m_stockSymbolHistories.keys(), QStringList({ QStringLiteral("ACME") }));
    controller().applicationWillTerminate();
    EXPECT_EQ(settings.value(QStringLiteral("Histories"))->toMap().keys(), QStringList({ QStringLiteral("ACME") }));
    settings.remove(QStringLiteral("Histories"));
    controller().applicationWillTerminate(); // a signal after Quit must not write again
    EXPECT_FALSE(settings.value(QStringLiteral("Histories")).has_value());
}

TEST(RefreshRequestsTest, OrderAndFlags)
{
    MemorySettingsStore store;
    const Preferences prefs(store);
    Hosts hosts;
    hosts.quotePage = QStringLiteral("q");
    hosts.chartImage = QStringLiteral("c");
    hosts.logo = QStringLiteral("l");
    hosts.metals = QStringLiteral("m");
    hosts.markets = QStringLiteral("k");
    hosts.otherIndices = QStringLiteral("o");
    store.setValue(QStringLiteral("StockSymbols"), list({ "ACME", "BETA" }));
    store.setValue(QStringLiteral("ShowSettings"), QVariantMap { { QStringLiteral("ACME"), qlonglong(1) }, { QStringLiteral("BETA"), qlonglong(0) } });
    for (const char *key : { "ShowPreciousMetalsInMenu", "ShowMarketIndicesInMenu", "ShowOtherMarketIndicesInMenu" })
        store.setValue(QString::fromLatin1(key), true);
    auto addresses = [&] {
        QStringList out;
        for (const auto &request : RefreshRequests(prefs, hosts))
            out.append(request.address + (request.isImage ? QStringLiteral(" img") : QString()));
        return out;
    };
    EXPECT_EQ(addresses(), QStringList({ QStringLiteral("http://c/t?s=%5EDJI img"), QStringLiteral("http://c/t?s=%5EIXIC img"),
                               QStringLiteral("http://c/t?s=%5EGSPC img"), QStringLiteral("http://c/t?s=ACME img"),
                               QStringLiteral("http://l/images/listed/log-ACME.gif img"), QStringLiteral("http://q/q?s=ACME"),
                               QStringLiteral("http://m/market/"), QStringLiteral("http://k/data/markets/"), QStringLiteral("http://o/") }));
    store.setValue(QStringLiteral("OnlyShowFlagged"), false);
    EXPECT_TRUE(addresses().contains(QStringLiteral("http://q/q?s=BETA")));
    store.setValue(QStringLiteral("OnlyShowFlagged"), true);
    store.remove(QStringLiteral("ShowSettings"));
    EXPECT_TRUE(addresses().contains(QStringLiteral("http://q/q?s=BETA"))); // no flags at all: everything shown
}

TEST(RefreshTest, FailedFetchesAndUndecodableImagesLeaveNoEntry)
{
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    FakeUrlLoader loader;
    ManualTimerFactory clock;
    StockDataRefresh refresh(loader, clock);
    PageStore store;
    store.storePage(QStringLiteral("http://old/"), "stale");
    loader.serve(QStringLiteral("http://h/ok.png"), png);
    loader.serve(QStringLiteral("http://h/bad.png"), "not an image");
    loader.serve(QStringLiteral("http://h/page"), "<html>caf\xc3\xa9</html>");
    loader.serve(QStringLiteral("http://h/empty"), "");
    refresh.start({ { QStringLiteral("http://h/ok.png"), true }, { QStringLiteral("http://h/bad.png"), true }, { QStringLiteral("http://h/page"), false },
                      { QStringLiteral("http://h/missing"), false }, { QStringLiteral("http://h/empty"), false },
                      { QStringLiteral("http://h/with space"), false } },
        {}, [&store](PageStore fresh) { store = std::move(fresh); });
    EXPECT_EQ(store.size(), 2);
    ASSERT_NE(store.image(QStringLiteral("http://h/ok.png")), nullptr);
    ASSERT_NE(store.pageText(QStringLiteral("http://h/page")), nullptr);
    EXPECT_EQ(store.pageText(QStringLiteral("http://h/page"))->text(), QStringLiteral("<html>café</html>"));
    EXPECT_FALSE(loader.requests().contains(QStringLiteral("http://h/with space")));
}

} // namespace
} // namespace tickwell::testing
