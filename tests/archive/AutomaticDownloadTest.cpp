#include "ArchiveFixture.h"

#include "controller/AppController.h"

namespace tickwell::testing {
namespace {

// The automatic download through the application controller, as setup creates it.
class AutomaticDownloadTest : public ArchiveFixture {
protected:
    // Repeating timers due at the moment, seconds after the start.
    int timersDueAt(double seconds) const
    {
        int count = 0;
        for (const auto &timer : timers.pendingTimers())
            count += timer.repeats && timer.fireDate == startTime().addMSecs(static_cast<qint64>(seconds * 1000));
        return count;
    }
};

TEST_F(AutomaticDownloadTest, RetriesEveryTwentySecondsUntilListsExistThenSavesAtTheRefreshRate)
{
    settings.setValue(QStringLiteral("DownloadHeadlines"), true);
    settings.setValue(QStringLiteral("StockDataUpdateRate"), QStringLiteral("15"));
    AppController app(platform());
    app.setArchiveServices(services());
    app.applicationWillFinishLaunching();

    // Fired at once by setup, before any menu build: tried again 20 seconds later, and again.
    EXPECT_EQ(timersDueAt(20), 1);
    timers.advance(20);
    EXPECT_EQ(timersDueAt(40), 1);
    EXPECT_FALSE(app.state().m_isSaving);

    // A list appears: the next firing starts a batch.
    app.state().m_headlines[QStringLiteral("AAPL")].append({addArticle(1, QStringLiteral("First")), QStringLiteral("First"), std::nullopt});
    timers.advance(20);
    EXPECT_TRUE(app.state().m_isSaving);
    timers.advance(2);
    EXPECT_FALSE(app.archive().isBusy());
    EXPECT_EQ(savedFiles(), QStringList{QStringLiteral("[AAPL] First.webarchive")});

    // Then the refresh interval again: 900 seconds after the last firing.
    EXPECT_EQ(timersDueAt(40 + 900), 1);
}

} // namespace
} // namespace tickwell::testing
