#include "ArchiveFixture.h"

#include "controller/AppController.h"

namespace tickwell::testing {
namespace {

using HeadlineBatchTest = ArchiveFixture;

// Stop during the third of five: the third is still written, the fourth and fifth are not.
TEST_F(HeadlineBatchTest, StopDuringTheThirdDocument)
{
    for (const bool fromWindow : {false, true}) {
        const int first = fromWindow ? 10 : 1;
        state.m_headlines.clear();
        listHeadlines(fromWindow ? QStringLiteral("MSFT") : QStringLiteral("AAPL"), first, 5, {.resources = 3, .loadSeconds = 2.0});
        const QString third = article(first + 2);
        engine.setLoadHook([&](const QString &address) {
            if (address == third)
                after(1.0, [&] { fromWindow ? window.pressStop() : controller().selItemStopSaving(); });
        });
        controller().selItemSaveAllHeadlines();
        runUntilIdle();

        EXPECT_EQ(savedFiles().size(), fromWindow ? 6 : 3);
        EXPECT_EQ(savedFiles().filter(QStringLiteral(" story %1.").arg(first + 2)).size(), 1);
        EXPECT_TRUE(engine.loads().filter(QStringLiteral("/%1.html").arg(first + 3)).isEmpty());
        EXPECT_FALSE(state.m_isSaving);
        EXPECT_EQ(statusItem.title(), QStringLiteral("AAPL 190.5"));
        EXPECT_EQ(statusItem.imageName(), QStringLiteral("menuitem_up_g.tif"));
    }
}

// A menu build inside a wait replaces every list; the batch walks the lists it started with.
TEST_F(HeadlineBatchTest, MenuBuildsDuringTheBatchDoNotDisturbIt)
{
    listHeadlines(QStringLiteral("AAPL"), 1, 3);
    listHeadlines(QStringLiteral("MSFT"), 4, 2);
    engine.setLoadHook([&](const QString &) {
        after(0.2, [&] {
            state.m_headlines.clear();
            state.m_headlines[QStringLiteral("ZZZ")].append({article(99), QStringLiteral("new"), std::nullopt});
        });
    });
    controller().selItemSaveAllHeadlines();
    runUntilIdle();
    EXPECT_EQ(savedFiles().size(), 5);
    EXPECT_EQ(window.labels().filter(QStringLiteral("Saving Headlines")).value(3), QStringLiteral("Saving Headlines: 4 of 5 (MSFT: 1 of 2)"));
}

// Requests made while a batch runs wait for it and are served once each, oldest first, never one
// inside another: the window's label lines show which batch started when. Stop drops what waits.
TEST_F(HeadlineBatchTest, WaitingRequestsRunOnceEachInTheOrderAskedAndStopDropsThem)
{
    listHeadlines(QStringLiteral("AAPL"), 1, 2);
    listHeadlines(QStringLiteral("GOOG"), 3, 1);
    listHeadlines(QStringLiteral("MSFT"), 4, 1);
    const auto saveHeadlines = [&](const QString &symbol) {
        MenuItem item = MenuItem::make(QStringLiteral("Save Headlines..."), QStringLiteral("selItemSaveHeadlines:"));
        item.toolTip = symbol;
        controller().selItemSaveHeadlines(item);
    };
    bool stop = false;
    engine.setLoadHook([&](const QString &address) {
        if (address == article(1))
            after(0.3, [&] {
                controller().selItemSaveAllHeadlines();
                saveHeadlines(QStringLiteral("MSFT"));
                controller().selItemSaveAllHeadlines(); // already waiting
                saveHeadlines(QStringLiteral("GOOG"));
                saveHeadlines(QStringLiteral("MSFT")); // already waiting
                if (stop)
                    controller().selItemStopSaving();
            });
    });
    saveHeadlines(QStringLiteral("AAPL"));
    runUntilIdle();

    QStringList starts; // the first label of each batch
    for (const QString &label : window.labels())
        if (label == QStringLiteral("Saving All Headlines") || (label.startsWith(QStringLiteral("Saving Headlines: 1 of ")) && !label.contains(u'(')))
            starts.append(label);
    EXPECT_EQ(starts.join(u'|').toStdString(), "Saving Headlines: 1 of 2|Saving All Headlines|Saving Headlines: 1 of 1|Saving Headlines: 1 of 1");
    EXPECT_EQ(desktop.systemLogLines().join(u'|').toStdString(),
              "Completed saving headlines for \"AAPL\"|Completed saving headlines for \"MSFT\"|Completed saving headlines for \"GOOG\"");
    EXPECT_EQ(savedFiles().size(), 4);
    EXPECT_EQ(events.deepestNesting(), 1); // no save ran inside another

    stop = true;
    ASSERT_TRUE(QDir(downloadsPath()).removeRecursively());
    const qsizetype loadsBefore = engine.loads().size();
    saveHeadlines(QStringLiteral("AAPL"));
    runUntilIdle();
    EXPECT_EQ(engine.loads().mid(loadsBefore), QStringList{article(1)});
    EXPECT_FALSE(controller().isBusy());
}

// The automatic download as setup starts it: every 20 seconds until there are lists, then a batch.
TEST_F(HeadlineBatchTest, AutomaticDownloadRetriesUntilListsExistThenSavesAtTheRefreshRate)
{
    settings.setValue(QStringLiteral("DownloadHeadlines"), true);
    settings.setValue(QStringLiteral("StockDataUpdateRate"), QStringLiteral("15"));
    AppController app(platform());
    app.setArchiveServices(services());
    app.applicationWillFinishLaunching();
    const auto timersDueAt = [&](qint64 seconds) {
        const auto pending = timers.pendingTimers();
        return std::count_if(pending.begin(), pending.end(), [&](const auto &timer) { return timer.repeats && timer.fireDate == startTime().addSecs(seconds); });
    };
    EXPECT_EQ(timersDueAt(20), 1);
    timers.advance(20);
    EXPECT_EQ(timersDueAt(40), 1);
    EXPECT_FALSE(app.state().m_isSaving);
    app.state().m_headlines[QStringLiteral("AAPL")].append({addArticle(1, QStringLiteral("First")), QStringLiteral("First"), std::nullopt});
    timers.advance(20);
    EXPECT_TRUE(app.state().m_isSaving);
    timers.advance(2);
    EXPECT_EQ(savedFiles(), QStringList{QStringLiteral("[AAPL] First.webarchive")});
    EXPECT_EQ(timersDueAt(40 + 900), 1);
}

} // namespace
} // namespace tickwell::testing
