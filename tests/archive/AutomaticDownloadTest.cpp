#include "ArchiveFixture.h"

#include "app/controller/AppController.h"

namespace tickwell::testing {
namespace {

// The automatic download through the application controller, as setup creates it.
class AutomaticDownloadTest : public ArchiveFixture {
protected:
    AppController &launch()
    {
        m_app = std::make_unique<AppController>(platform);
        m_app->setArchiveServices(services());
        m_app->applicationWillFinishLaunching();
        return *m_app;
    }
    // Repeating timers due at the moment, seconds after the start.
    int timersDueAt(double seconds) const
    {
        int count = 0;
        for (const auto &timer : timers.pendingTimers())
            if (timer.repeats && timer.fireDate == startTime().addMSecs(static_cast<qint64>(seconds * 1000)))
                ++count;
        return count;
    }
    void TearDown() override { m_app.reset(); }

    std::unique_ptr<AppController> m_app;
};

TEST_F(AutomaticDownloadTest, RetriesEveryTwentySecondsUntilListsExistThenSavesAtTheRefreshRate)
{
    settings.setValue(QStringLiteral("DownloadHeadlines"), true);
    settings.setValue(QStringLiteral("StockDataUpdateRate"), QStringLiteral("15"));
    AppController &app = launch();
    ASSERT_TRUE(app.state().m_headlines.isEmpty()) << "no symbols, so no lists";

    // Fired at once by setup, before any menu build: tried again 20 seconds later, and again.
    EXPECT_EQ(timersDueAt(20), 1);
    timers.advance(20);
    EXPECT_EQ(timersDueAt(40), 1);
    EXPECT_FALSE(app.state().m_isSaving);

    // An (empty) list appears: the next firing starts a batch, which saves nothing.
    app.state().m_headlines[QStringLiteral("AAPL")];
    timers.advance(20);
    EXPECT_TRUE(app.state().m_isSaving);
    EXPECT_EQ(statusItem.title(), QString()) << "the batch starts half a second later";
    timers.advance(1);
    EXPECT_FALSE(app.state().m_isSaving);
    EXPECT_FALSE(app.archive().isBusy());
    EXPECT_TRUE(savedFiles().isEmpty());
    EXPECT_NE(app.state().m_downloadHeadlines_DateTimeString, QStringLiteral("None"));

    // Then the refresh interval again: 900 seconds after the last firing.
    EXPECT_EQ(timersDueAt(40 + 900), 1);
    EXPECT_EQ(enginesMade, 0) << "nothing to save, so no web engine";
}

TEST_F(AutomaticDownloadTest, SavesNewHeadlinesAtEveryInterval)
{
    settings.setValue(QStringLiteral("DownloadHeadlines"), true);
    AppController &app = launch();
    app.state().m_headlines[QStringLiteral("AAPL")].append(
        {addArticle(1, QStringLiteral("First")), QStringLiteral("First"), std::nullopt});
    timers.advance(21);
    EXPECT_EQ(savedFiles(), QStringList{QStringLiteral("[AAPL] First.webarchive")});

    app.state().m_headlines[QStringLiteral("AAPL")].append(
        {addArticle(2, QStringLiteral("Second")), QStringLiteral("Second"), std::nullopt});
    timers.advance(3600);
    EXPECT_EQ(savedFiles(), (QStringList{QStringLiteral("[AAPL] First.webarchive"), QStringLiteral("[AAPL] Second.webarchive")}));
    EXPECT_EQ(engine.loads().size(), 2) << "the first was skipped the second time";
}

TEST_F(AutomaticDownloadTest, NoTimerWhenTheSettingIsOff)
{
    launch();
    timers.advance(20);
    EXPECT_EQ(timersDueAt(20), 0);
    int atTheRefreshRate = 0;
    for (const auto &timer : timers.pendingTimers())
        atTheRefreshRate += timer.repeats && timer.interval == 3600 ? 1 : 0;
    EXPECT_EQ(atTheRefreshRate, 1) << "the refresh only";
}

TEST_F(AutomaticDownloadTest, MenuActionsReachTheArchive)
{
    AppController &app = launch();
    const QString address = addArticle(1, QStringLiteral("Clicked"));
    app.perform(itemWithToolTip(QStringLiteral("Save"), QStringLiteral("selectPrintItemHeadline:"), address));
    EXPECT_EQ(savedFiles(), QStringList{QStringLiteral("Clicked.webarchive")});
    app.perform(MenuItem::make(QStringLiteral("Go to Headlines folder..."), QStringLiteral("selItemHeadlinesFolder:")));
    EXPECT_EQ(desktop.lines().last(), QStringLiteral("open: ") + downloadsPath());
    app.perform(itemWithToolTip(QStringLiteral("Clicked"), QStringLiteral("selectItemHeadline:"), address));
    EXPECT_EQ(desktop.lines().last(), QStringLiteral("open: ") + address);
}

} // namespace
} // namespace tickwell::testing
