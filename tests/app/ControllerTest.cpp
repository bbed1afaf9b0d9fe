#include "ControllerFixture.h"

#include "controller/StockDataRefresh.h"

#include <QBuffer>
#include <QImage>

#include <algorithm>

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

TEST_F(ControllerTest, LaunchShowsTheIconAndSetupTakesTheColours)
{
    launch();
    EXPECT_EQ(statusItem.imageName(), QStringLiteral("Tickwell.tif"));
    EXPECT_FALSE(statusItem.image().isNull());
    EXPECT_TRUE(statusItem.title().isEmpty());
    EXPECT_EQ(controller().state().m_upColor, QColor(0, 255, 0));
    EXPECT_EQ(controller().state().m_downColor, QColor(255, 0, 0));
    // Colours change only through setup: at a settings change, not at a menu opening.
    settings.setValue(QStringLiteral("UpColor"), ArchiveColor(QColor(0, 0, 255)));
    settings.setValue(QStringLiteral("DownColor"), ArchiveColor(QColor(255, 255, 0)));
    statusItem.open();
    EXPECT_EQ(controller().state().m_upColor, QColor(0, 255, 0));
    notifications.postPreferencesChanged();
    EXPECT_EQ(controller().state().m_upColor, QColor(0, 0, 255));
    EXPECT_EQ(controller().state().m_downColor, QColor(255, 255, 0));
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

// What a service refused shows right under "Last Update", one disabled line each, and goes with
// the refresh that brings quotes again.
TEST_F(ControllerTest, ServiceProblemsShowUnderLastUpdate)
{
    settings.setValue(QStringLiteral("IncludeHeadlinesInSubmenu"), false);
    launch();
    const QStringList problems{QStringLiteral("Quotes from q.test: 429 Too Many Requests; next try at 7:42 PM"),
                               QStringLiteral("Charts from c.test: 503 Service Unavailable")};
    controller().state().m_quotes.problems = problems;
    statusItem.open();
    const Menu &menu = controller().menu();
    ASSERT_GE(menu.size(), 4u);
    EXPECT_TRUE(menu[0].title.startsWith(QStringLiteral("Last Update: ")));
    EXPECT_EQ(QStringList({menu[1].title, menu[2].title}), problems);
    EXPECT_FALSE(menu[1].enabled() || menu[2].enabled());
    EXPECT_EQ(menu[3].title, QStringLiteral("Update Now"));
    controller().state().m_quotes = QuoteSnapshot();
    statusItem.open();
    EXPECT_EQ(controller().menu()[1].title, QStringLiteral("Update Now"));
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
    // Termination stores the whole of the histories, also of a symbol that left the watch list
    // since launch, whatever the settings hold by then.
    settings.setValue(QStringLiteral("StockSymbols"), list({ "BETA" }));
    settings.remove(QStringLiteral("Histories"));
    controller().applicationWillTerminate();
    EXPECT_EQ(settings.value(QStringLiteral("Histories")).value_or(QVariant()).toMap(),
        (QVariantMap { { QStringLiteral("ACME"), list({ "a1" }) } }));
    settings.remove(QStringLiteral("Histories"));
    controller().applicationWillTerminate(); // a signal after Quit must not write again
    EXPECT_FALSE(settings.value(QStringLiteral("Histories")).has_value());
    // The next launch drops what is no longer watched.
    settings.setValue(QStringLiteral("Histories"), QVariantMap { { QStringLiteral("ACME"), list({ "a1" }) } });
    relaunch();
    EXPECT_TRUE(controller().state().m_stockSymbolHistories.value(QStringLiteral("ACME")).isEmpty());
}

// Records what the status item showed while each fetch ran.
class ObservingLoader final : public UrlLoader {
public:
    explicit ObservingLoader(StatusItem &item) : m_item(item) {}
    std::unique_ptr<FetchHandle> send(const std::vector<HttpRequest> &sent, ResponseCompletion done) override
    {
        HttpResponses results;
        for (const HttpRequest &request : sent) {
            seen.append(m_item.imageName() + QStringLiteral(" | ") + m_item.title());
            requests.append(request.address);
            results.push_back(HttpResponse { 200, "page", {}, {}, {} });
        }
        done(std::move(results));
        return nullptr;
    }
    QStringList seen;
    QStringList requests;

private:
    StatusItem &m_item;
};

TEST_F(ControllerTest, UpdateNowShowsUpdatingThenRestoresTitleAndImage)
{
    ObservingLoader observing(statusItem);
    AppController app(Platform { settings, observing, statusItem, timers, desktop, notifications, wake });
    settings.setValue(QStringLiteral("StockSymbols"), list({ "ACME" }));
    app.applicationWillFinishLaunching();
    statusItem.setImage(QStringLiteral("menuitem_up_g.tif"), QImage(QStringLiteral(":/images/menuitem_up_g.tif")));
    statusItem.setStyledTitle({ { QStringLiteral("ACME 1.00"), 14.0, QColor(Qt::green) } });
    observing.seen.clear();
    observing.requests.clear();
    statusItem.choose(MenuItem::make(QStringLiteral("Update Now"), QStringLiteral("selItemUpdateNow:")));
    ASSERT_EQ(observing.requests.size(), 3) << "Update Now ran no refresh";
    EXPECT_EQ(observing.seen.front(), QStringLiteral("Tickwell.tif | Updating..."));
    EXPECT_EQ(statusItem.title(), QStringLiteral("ACME 1.00"));
    EXPECT_EQ(statusItem.imageName(), QStringLiteral("menuitem_up_g.tif"));
    EXPECT_FALSE(statusItem.image().isNull());
    EXPECT_FALSE(statusItem.styledTitle().has_value()) << "a styled title comes back as its plain text";
    EXPECT_TRUE(app.state().m_stocksUpdate_DateTimeString.startsWith(QStringLiteral("December 5, 2026")));
}

TEST_F(ControllerTest, TimersFollowTheSettings)
{
    struct Case {
        std::vector<std::pair<const char *, QVariant>> settings;
        std::vector<double> intervals; // of the pending timers, sorted
    };
    const Case cases[] = {
        { {}, { 600, 3600 } },
        { { { "LogToConsole", false } }, { 3600 } },
        { { { "LogToConsoleRate", QStringLiteral("2") }, { "StockDataUpdateRate", QStringLiteral("15") } }, { 120, 900 } },
        { { { "TitleTicker", true }, { "TitleTickerRate", QStringLiteral("3") } }, { 3, 600, 3600 } }, // seconds, not minutes
        { { { "DownloadHeadlines", true }, { "StockDataUpdateRate", QStringLiteral("15") } }, { 600, 900, 900 } },
    };
    launch();
    for (const Case &c : cases) {
        for (const char *key : { "LogToConsole", "LogToConsoleRate", "StockDataUpdateRate", "TitleTicker", "TitleTickerRate", "DownloadHeadlines" })
            settings.remove(QString::fromLatin1(key));
        for (const auto &[key, value] : c.settings)
            settings.setValue(QString::fromLatin1(key), value);
        notifications.postPreferencesChanged();
        std::vector<double> intervals;
        for (const auto &timer : timers.pendingTimers())
            intervals.push_back(timer.interval);
        std::sort(intervals.begin(), intervals.end());
        EXPECT_EQ(intervals, c.intervals) << (c.settings.empty() ? "defaults" : c.settings.front().first);
    }
}

TEST_F(ControllerTest, TimersWaitWhileTheMenuIsOpen)
{
    settings.setValue(QStringLiteral("StockSymbols"), list({ "ACME" }));
    settings.setValue(QStringLiteral("StockDataUpdateRate"), QStringLiteral("1"));
    settings.setValue(QStringLiteral("LogToConsole"), false);
    launch();
    loader.clearRequests();
    const auto refreshInterval = [this] {
        for (const auto &timer : timers.pendingTimers())
            if (timer.repeats)
                return timer.interval;
        return 0.0;
    };

    // Two refreshes fall due while the menu is open: one runs when it closes.
    statusItem.open();
    statusItem.setShown(true);
    timers.advance(119);
    EXPECT_TRUE(loader.requests().isEmpty());
    EXPECT_TRUE(controller().timersHeld());
    statusItem.setShown(false);
    EXPECT_EQ(loader.requests().size(), 3);

    // A settings change while the menu is open neither rebuilds the visible menu nor restarts the
    // timers until it closes; a wake's setup waits the same way.
    statusItem.setShown(true);
    const QString lastUpdate = statusItem.menu().front().title;
    settings.setValue(QStringLiteral("ShowMarketIndicesInMenu"), true);
    settings.setValue(QStringLiteral("StockDataUpdateRate"), QStringLiteral("30"));
    notifications.postPreferencesChanged();
    wake.wake();
    timers.advance(6);
    EXPECT_EQ(statusItem.menu().front().title, lastUpdate);
    EXPECT_EQ(refreshInterval(), 60.0);
    loader.clearRequests();
    statusItem.setShown(false);
    EXPECT_EQ(refreshInterval(), 1800.0);
    EXPECT_EQ(loader.requests().size(), 7) << "one setup, one refresh: three index charts, ACME's three, the markets page";

    // A panel that never says the menu closed holds the timers two minutes at most.
    timers.advance(1790);
    loader.clearRequests();
    statusItem.setShown(true);
    timers.advance(110);
    EXPECT_TRUE(loader.requests().isEmpty());
    timers.advance(15);
    EXPECT_FALSE(controller().timersHeld());
    EXPECT_FALSE(loader.requests().isEmpty());

    // Choosing an item closes the menu too.
    statusItem.setShown(true);
    loader.clearRequests();
    statusItem.choose(MenuItem::make(QStringLiteral("Log Histories"), QStringLiteral("selItemLogHistories:")));
    EXPECT_FALSE(controller().timersHeld());
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
        {}, {}, [&store](RefreshResult fresh) { store = std::move(fresh.pages); });
    EXPECT_EQ(store.size(), 2);
    ASSERT_NE(store.image(QStringLiteral("http://h/ok.png")), nullptr);
    ASSERT_NE(store.pageText(QStringLiteral("http://h/page")), nullptr);
    EXPECT_EQ(store.pageText(QStringLiteral("http://h/page"))->text(), QStringLiteral("<html>café</html>"));
    EXPECT_FALSE(loader.requests().contains(QStringLiteral("http://h/with space")));
}

} // namespace
} // namespace tickwell::testing
