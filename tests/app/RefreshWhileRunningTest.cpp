// The refresh as it runs beside the event loop, driven through the controller: the menu opened
// while it runs, "Update Now" during it, Quit during it, and the headline titles it looks up so
// that no menu build ever fetches.
#include "ControllerFixture.h"
#include "support/ToolHome.h"

#include "logging/Loggers.h"

#include <QImage>
#include <QTemporaryDir>

namespace tickwell::testing {
namespace {

const QString kQuoteAddress = QStringLiteral("http://quotes.test/q?s=ACME");

// A quote page with its headline block; links are given as full anchors.
QByteArray quotePage(const QString &lastTrade, const QString &headlineLinks = {})
{
    return QStringLiteral("<title>ACME: Summary for Acme Corp- Yahoo! Finance</title><table>"
                          "<tr><th>Last Trade:</th><td class=\"yfnc_tabledata1\"><big><b><span id=\"yfs_l10_acme\">%1</span></b></big></td></tr>"
                          "<tr><th>Prev Close:</th><td class=\"yfnc_tabledata1\">100.00</td></tr></table>"
                          "<a href=\"/q/h?s=ACME\">Filter Headlines</a><ul>%2</ul><a href=\"/q/h?s=ACME\">More Headlines</a>")
        .arg(lastTrade, headlineLinks)
        .toUtf8();
}

class RefreshWhileRunning : public ControllerFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dataHome.isValid());
        qputenv("XDG_DATA_HOME", m_dataHome.path().toUtf8());
        pointHostsAt(settings, QStringLiteral("quotes.test"));
        settings.setValue(QStringLiteral("StockSymbols"), QVariantList{QStringLiteral("ACME")});
        settings.setValue(QStringLiteral("IncludeHeadlinesInSubmenu"), false);
        loader.serve(kQuoteAddress, quotePage(QStringLiteral("101.00")));
    }

    // The quote line as the menu shows it after an opening, or "" when there is none.
    QString quoteLine()
    {
        statusItem.open();
        return menuTitles().filter(QStringLiteral("Acme Corp [ACME]")).value(0);
    }
    // "Last Update: ..." without the time of the next refresh.
    QString lastUpdate() const
    {
        const QString line = menuTitles().front();
        return line.left(line.indexOf(QStringLiteral(" (next at")));
    }
    void updateNow() { controller().perform(MenuItem::make(QStringLiteral("Update Now"), QStringLiteral("selItemUpdateNow:"))); }

    QTemporaryDir m_dataHome;
};

TEST_F(RefreshWhileRunning, TheMenuOpensOnTheLastCompleteStoreWhileARefreshRuns)
{
    launch();
    ASSERT_TRUE(quoteLine().endsWith(QStringLiteral(": 101.00")));
    const QString shownUpdate = lastUpdate();
    statusItem.setImage(QStringLiteral("menuitem_up_g.tif"), QImage(QStringLiteral(":/images/menuitem_up_g.tif")));
    statusItem.setStyledTitle({{QStringLiteral("ticker title"), 14.0, QColor(Qt::green)}});

    loader.serve(kQuoteAddress, quotePage(QStringLiteral("102.00")));
    loader.holdReplies(true);
    timers.advance(3600); // the refresh timer
    ASSERT_TRUE(controller().isRefreshing());
    EXPECT_EQ(statusItem.imageName() + u'|' + statusItem.title(), QStringLiteral("Tickwell.tif|Updating..."));
    EXPECT_TRUE(quoteLine().endsWith(QStringLiteral(": 101.00"))); // the old store, and the time of its pages
    EXPECT_EQ(lastUpdate(), shownUpdate);

    loader.releaseReplies();
    EXPECT_FALSE(controller().isRefreshing());
    EXPECT_EQ(statusItem.imageName() + u'|' + statusItem.title(), QStringLiteral("menuitem_up_g.tif|ticker title"));
    EXPECT_FALSE(statusItem.image().isNull() || statusItem.styledTitle()); // a styled title comes back as its plain text
    EXPECT_TRUE(quoteLine().endsWith(QStringLiteral(": 102.00")));
    EXPECT_NE(lastUpdate(), shownUpdate);
}

// Nothing arrived at all (network down, every server timing out): the menu keeps the last pages
// and their time instead of going blank; one page arriving is a refresh like any other.
TEST_F(RefreshWhileRunning, ARefreshThatBringsNothingKeepsTheLastStore)
{
    launch();
    const QString shownUpdate = lastUpdate();
    loader.clear();
    timers.advance(60);
    updateNow();
    EXPECT_TRUE(quoteLine().endsWith(QStringLiteral(": 101.00")));
    EXPECT_EQ(lastUpdate(), shownUpdate);
    const QString chart = QStringLiteral("http://quotes.test/t?s=ACME");
    loader.serve(chart, "not an image, but bytes");
    loader.serve(kQuoteAddress, quotePage(QStringLiteral("103.00")));
    updateNow();
    EXPECT_TRUE(quoteLine().endsWith(QStringLiteral(": 103.00")));
    EXPECT_NE(lastUpdate(), shownUpdate);
    // An image that does not decode and a fetch that failed (the logo) leave no entry.
    EXPECT_EQ(controller().state().m_urlContents.size(), 1);
}

TEST_F(RefreshWhileRunning, UpdateNowDuringARefreshStartsNoSecondOneUnlessTheSettingsChanged)
{
    launch();
    loader.holdReplies(true);
    loader.clearRequests();
    updateNow();
    updateNow();
    timers.advance(3600); // the timer falls due meanwhile too
    EXPECT_EQ(loader.heldFetches(), 1u);
    loader.releaseReplies();
    EXPECT_EQ(loader.requests().size(), 3); // chart, logo, quote page: once, and nothing follows

    // A settings change during a refresh changes what to fetch: one more refresh follows it.
    updateNow();
    settings.setValue(QStringLiteral("StockSymbols"), QVariantList{QStringLiteral("ACME"), QStringLiteral("BETA")});
    notifications.postPreferencesChanged();
    notifications.postPreferencesChanged();
    EXPECT_EQ(loader.heldFetches(), 1u);
    loader.releaseReplies();
    EXPECT_EQ(loader.requests().size(), 3 + 3 + 6);
    EXPECT_EQ(loader.requests().mid(6).filter(QStringLiteral("BETA")).size(), 3);
    EXPECT_FALSE(controller().isRefreshing());
}

TEST_F(RefreshWhileRunning, QuitDuringARefreshCancelsItAndStillStoresAndCloses)
{
    settings.setValue(QStringLiteral("IncludeStockHistoryInSubmenu"), true);
    launch();
    ASSERT_TRUE(quoteLine().endsWith(QStringLiteral(": 101.00")));
    ASSERT_GT(gLoggers.size(), 0u);
    loader.holdReplies(true);
    updateNow();
    ASSERT_EQ(loader.heldFetches(), 1u);

    controller().applicationWillTerminate();
    EXPECT_EQ(loader.heldFetches() + gLoggers.size(), 0u); // transfers cancelled, logs closed
    EXPECT_FALSE(controller().isRefreshing());
    const auto histories = settings.value(QStringLiteral("Histories"));
    ASSERT_TRUE(histories.has_value());
    EXPECT_EQ(histories->toMap().value(QStringLiteral("ACME")).toList().size(), 1);
    EXPECT_TRUE(controller().state().m_urlContents.contains(kQuoteAddress)); // the last complete store stays
    loader.releaseReplies(); // nothing is waiting any more
}

// Titles of links without text are looked up by the refresh, before the store is handed over,
// at most 24 a refresh; no menu build fetches anything.
TEST_F(RefreshWhileRunning, TitleLookupsBelongToTheRefreshNeverToTheBuild)
{
    settings.setValue(QStringLiteral("IncludeHeadlinesInSubmenu"), true);
    QString links = QStringLiteral("<li><a href=\"http://news.test/titled\">Has text</a></li>");
    for (int i = 0; i < 30; ++i) {
        links += QStringLiteral("<li><a href=\"http://news.test/refresh-%1\" class=\"story\">x</a></li>").arg(i);
        loader.serve(QStringLiteral("http://news.test/refresh-%1").arg(i), QStringLiteral("<title>Story %1</title>").arg(i).toUtf8());
    }
    loader.serve(kQuoteAddress, quotePage(QStringLiteral("101.00"), links));
    bool building = false;
    loader.onRequest([&building](const QString &address) { EXPECT_FALSE(building) << address.toStdString(); });
    const auto openMenu = [&] {
        building = true;
        statusItem.open();
        building = false;
    };
    const auto headlineTitles = [&] {
        QStringList titles;
        for (const auto &record : controller().state().m_headlines.value(QStringLiteral("ACME")))
            titles.append(record.title);
        return titles;
    };

    launch();
    openMenu();
    QStringList expected{QStringLiteral("Has text")};
    for (int i = 0; i < 24; ++i)
        expected.append(QStringLiteral("Story %1").arg(i));
    EXPECT_EQ(headlineTitles(), expected); // the rest wait for the next refresh
    updateNow();
    openMenu();
    EXPECT_EQ(loader.requests().filter(QStringLiteral("news.test")).size(), 30); // only the six still untitled
    EXPECT_EQ(headlineTitles().size(), 31);
}

} // namespace
} // namespace tickwell::testing
