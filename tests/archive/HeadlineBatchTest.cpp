#include "ArchiveFixture.h"

#include "platform/FileComment.h"

namespace tickwell::testing {
namespace {

class HeadlineBatchTest : public ArchiveFixture {
protected:
    // Lists `count` headlines for the symbol, articles numbered from `first`.
    void listHeadlines(const QString &symbol, int first, int count, FakeWebPage page = {})
    {
        QList<HeadlineRecord> &records = state.m_headlines[symbol];
        for (int n = first; n < first + count; ++n) {
            const QString title = QStringLiteral("%1 story %2").arg(symbol).arg(n);
            const QString address = addArticle(n, title, page);
            records.append({address, title, QStringLiteral("\"%1\" Reuters  (Fri 4:0%2PM) ").arg(title).arg(n)});
        }
    }
    MenuItem saveHeadlinesItem(const QString &symbol) const
    {
        return itemWithToolTip(QStringLiteral("Save Headlines..."), QStringLiteral("selItemSaveHeadlines:"), symbol);
    }
    MenuItem saveItem(const QString &address) const
    {
        return itemWithToolTip(QStringLiteral("Save"), QStringLiteral("selectPrintItemHeadline:"), address);
    }
    QStringList labelsMatching(const QString &start) const
    {
        QStringList found;
        for (const QString &label : window.labels())
            if (label.startsWith(start))
                found.append(label);
        return found;
    }
};

TEST_F(HeadlineBatchTest, OneSymbolBatchCountsAndRestoresTheStatusItem)
{
    listHeadlines(QStringLiteral("AAPL"), 1, 3);
    QStringList titlesDuringLoads;
    engine.setLoadHook([&](const QString &) { titlesDuringLoads.append(statusItem.title()); });

    controller().selItemSaveHeadlines(saveHeadlinesItem(QStringLiteral("AAPL")));
    EXPECT_TRUE(state.m_isSaving);
    EXPECT_TRUE(engine.loads().isEmpty()) << "the batch starts half a second later";
    runUntilIdle();

    EXPECT_EQ(labelsMatching(QStringLiteral("Saving Headlines")),
              (QStringList{QStringLiteral("Saving Headlines: 1 of 3"), QStringLiteral("Saving Headlines: 2 of 3"),
                           QStringLiteral("Saving Headlines: 3 of 3")}));
    EXPECT_EQ(savedFiles(), (QStringList{QStringLiteral("[AAPL] AAPL story 1.webarchive"), QStringLiteral("[AAPL] AAPL story 2.webarchive"),
                                         QStringLiteral("[AAPL] AAPL story 3.webarchive")}));
    EXPECT_EQ(titlesDuringLoads, QStringList(3, QStringLiteral("Saving...")));
    EXPECT_TRUE(window.details().contains(QStringLiteral("Headline URL: %1").arg(article(2))));
    EXPECT_EQ(desktop.systemLogLines(), QStringList{QStringLiteral("Completed saving headlines for \"AAPL\"")});
    EXPECT_FALSE(state.m_isSaving);
    EXPECT_EQ(window.status(), QStringLiteral("Done"));
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.isAnimating());
    EXPECT_EQ(statusItem.title(), QStringLiteral("AAPL 190.5"));
    EXPECT_EQ(statusItem.imageName(), QStringLiteral("menuitem_up_g.tif"));
    EXPECT_EQ(window.timesShown(), 0) << "the window stays hidden unless the setting shows it";
    EXPECT_EQ(window.representedFolder(), downloadsPath());
}

TEST_F(HeadlineBatchTest, AllSymbolsBatchCountsAcrossSymbols)
{
    settings.setValue(QStringLiteral("DisplayTheHeadlineProgressWindow"), true);
    listHeadlines(QStringLiteral("AAPL"), 1, 2);
    listHeadlines(QStringLiteral("MSFT"), 3, 3);
    state.m_headlines[QStringLiteral("IBM")]; // listed, no headlines

    controller().selItemSaveAllHeadlines();
    runUntilIdle();

    EXPECT_EQ(labelsMatching(QStringLiteral("Saving Headlines")),
              (QStringList{QStringLiteral("Saving Headlines: 1 of 5 (AAPL: 1 of 2)"), QStringLiteral("Saving Headlines: 2 of 5 (AAPL: 2 of 2)"),
                           QStringLiteral("Saving Headlines: 3 of 5 (MSFT: 1 of 3)"), QStringLiteral("Saving Headlines: 4 of 5 (MSFT: 2 of 3)"),
                           QStringLiteral("Saving Headlines: 5 of 5 (MSFT: 3 of 3)")}));
    EXPECT_EQ(window.labels().first(), QStringLiteral("Saving All Headlines"));
    EXPECT_TRUE(window.statuses().contains(QStringLiteral("MSFT : MSFT story 4")));
    EXPECT_EQ(savedFiles().size(), 5);
    EXPECT_EQ(window.timesShown(), 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_NE(state.m_downloadHeadlines_DateTimeString, QStringLiteral("None"));
    EXPECT_TRUE(desktop.systemLogLines().isEmpty());
}

TEST_F(HeadlineBatchTest, RunningABatchAgainSkipsWhatIsSaved)
{
    listHeadlines(QStringLiteral("AAPL"), 1, 3);
    controller().selItemSaveAllHeadlines();
    runUntilIdle();
    const QStringList first = savedFiles();
    const qsizetype loads = engine.loads().size();

    controller().selItemSaveAllHeadlines();
    runUntilIdle();
    EXPECT_EQ(savedFiles(), first);
    EXPECT_EQ(engine.loads().size(), loads);
    const QStringList exists = window.statuses().filter(QStringLiteral("This file already exists: "));
    EXPECT_EQ(exists.size(), 3);
}

TEST_F(HeadlineBatchTest, CommentsComeFromTheSourceLine)
{
    listHeadlines(QStringLiteral("AAPL"), 1, 1);
    state.m_headlines[QStringLiteral("AAPL")][0].timeString.reset();
    listHeadlines(QStringLiteral("AAPL"), 2, 1);
    controller().selItemSaveHeadlines(saveHeadlinesItem(QStringLiteral("AAPL")));
    runUntilIdle();
    const QDir dir(downloadsPath());
    ASSERT_EQ(savedFiles().size(), 2);
    if (!userAttributesWork())
        GTEST_SKIP() << "no user attributes on this file system";
    EXPECT_EQ(FileComment(dir.filePath(QStringLiteral("[AAPL] AAPL story 1.webarchive"))), std::nullopt);
    EXPECT_EQ(FileComment(dir.filePath(QStringLiteral("[AAPL] AAPL story 2.webarchive"))), QStringLiteral("\"AAPL story 2\" Reuters  (Fri 4:02PM) "));
}

// Stop during the third of five: the third is still written, the fourth and fifth are not.
TEST_F(HeadlineBatchTest, StopDuringTheThirdDocument)
{
    for (const bool fromWindow : {false, true}) {
        state.m_headlines.clear();
        for (const QString &name : savedFiles())
            QFile::remove(QDir(downloadsPath()).filePath(name));
        const int first = fromWindow ? 10 : 1;
        listHeadlines(QStringLiteral("AAPL"), first, 5, {.resources = 3, .loadSeconds = 2.0});
        const QString third = article(first + 2);
        engine.setLoadHook([&](const QString &address) {
            if (address == third)
                after(1.0, [&] {
                    if (fromWindow)
                        window.pressStop();
                    else
                        controller().selItemStopSaving();
                });
        });
        controller().selItemSaveHeadlines(saveHeadlinesItem(QStringLiteral("AAPL")));
        runUntilIdle();

        EXPECT_EQ(savedFiles().size(), 3);
        EXPECT_TRUE(savedFiles().contains(QStringLiteral("[AAPL] AAPL story %1.webarchive").arg(first + 2)));
        EXPECT_EQ(engine.loads().filter(QStringLiteral("/%1.html").arg(first + 3)).size(), 0);
        EXPECT_FALSE(state.m_isSaving);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(statusItem.title(), QStringLiteral("AAPL 190.5"));
        EXPECT_FALSE(controller().isBusy());
    }
}

TEST_F(HeadlineBatchTest, StopBeforeTheBatchStartsEndsItAfterOneDocument)
{
    listHeadlines(QStringLiteral("AAPL"), 1, 3);
    controller().selItemSaveAllHeadlines();
    controller().selItemStopSaving();
    EXPECT_FALSE(state.m_isSaving);
    runUntilIdle();
    EXPECT_EQ(savedFiles().size(), 1);
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
    EXPECT_EQ(engine.loads().size(), 5);
    EXPECT_EQ(labelsMatching(QStringLiteral("Saving Headlines")).last(), QStringLiteral("Saving Headlines: 5 of 5 (MSFT: 2 of 2)"));
}

// A request while a batch runs waits for it, once; Stop drops what waits.
TEST_F(HeadlineBatchTest, ASecondRequestWaitsForTheRunningBatch)
{
    listHeadlines(QStringLiteral("AAPL"), 1, 2);
    listHeadlines(QStringLiteral("MSFT"), 3, 2);
    bool asked = false;
    engine.setLoadHook([&](const QString &) {
        if (asked)
            return;
        asked = true;
        after(0.3, [&] {
            controller().selItemSaveHeadlines(saveHeadlinesItem(QStringLiteral("MSFT")));
            controller().selItemSaveHeadlines(saveHeadlinesItem(QStringLiteral("MSFT"))); // the same again: merged
            controller().selectPrintItemHeadline(saveItem(article(1)));
        });
    });
    controller().selItemSaveHeadlines(saveHeadlinesItem(QStringLiteral("AAPL")));
    runUntilIdle();

    // AAPL's two, then MSFT's two, then the single save, one after another.
    EXPECT_EQ(engine.loads(), (QStringList{article(1), article(2), article(3), article(4), article(1)}));
    EXPECT_EQ(desktop.systemLogLines(), (QStringList{QStringLiteral("Completed saving headlines for \"AAPL\""),
                                                     QStringLiteral("Completed saving headlines for \"MSFT\"")}));
    EXPECT_TRUE(savedFiles().contains(QStringLiteral("AAPL story 1.webarchive")));
    EXPECT_EQ(events.deepestNesting(), 1) << "no save ran inside another";
    EXPECT_FALSE(state.m_isSaving);
}

TEST_F(HeadlineBatchTest, StopDropsTheWaitingRequests)
{
    listHeadlines(QStringLiteral("AAPL"), 1, 2);
    listHeadlines(QStringLiteral("MSFT"), 3, 2);
    bool asked = false;
    engine.setLoadHook([&](const QString &) {
        if (asked)
            return;
        asked = true;
        after(0.3, [&] {
            controller().selItemSaveHeadlines(saveHeadlinesItem(QStringLiteral("MSFT")));
            controller().selItemStopSaving();
        });
    });
    controller().selItemSaveHeadlines(saveHeadlinesItem(QStringLiteral("AAPL")));
    runUntilIdle();
    EXPECT_EQ(engine.loads(), QStringList{article(1)});
    EXPECT_FALSE(controller().isBusy());
}

TEST_F(HeadlineBatchTest, SingleSaveShowsItsProgressAndHidesTheWindow)
{
    settings.setValue(QStringLiteral("DisplayTheHeadlineProgressWindow"), true);
    const QString address = addArticle(1, QStringLiteral("Acme &amp; Co"));
    controller().selectPrintItemHeadline(saveItem(address));
    EXPECT_EQ(savedFiles(), QStringList{QStringLiteral("Acme & Co.webarchive")});
    EXPECT_EQ(window.statuses().first(), QStringLiteral("Loading title..."));
    EXPECT_EQ(window.statuses().at(1), QStringLiteral("Acme & Co"));
    EXPECT_EQ(window.status(), QStringLiteral("Done"));
    EXPECT_EQ(window.timesShown(), 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(state.m_isSaving) << "a single save is no batch";

    controller().selectPrintItemHeadline(MenuItem::make(QStringLiteral("Save"), QStringLiteral("selectPrintItemHeadline:")));
    EXPECT_EQ(engine.loads().size(), 1) << "no address, no save";
}

TEST_F(HeadlineBatchTest, QuittingEndsTheBatch)
{
    listHeadlines(QStringLiteral("AAPL"), 1, 4);
    engine.setLoadHook([&](const QString &address) {
        if (address == article(2))
            events.setQuitting(true);
    });
    controller().selItemSaveHeadlines(saveHeadlinesItem(QStringLiteral("AAPL")));
    runUntilIdle();
    EXPECT_EQ(engine.loads().size(), 2);
    EXPECT_FALSE(controller().isBusy());
}

TEST_F(HeadlineBatchTest, HeadlineAndFolderItemsOpenWhatTheyShow)
{
    controller().selectItemHeadline(itemWithToolTip(QStringLiteral("Acme"), QStringLiteral("selectItemHeadline:"), article(1)));
    controller().selItemHeadlinesFolder();
    EXPECT_EQ(desktop.lines(), (QStringList{QStringLiteral("open: ") + article(1), QStringLiteral("open: ") + downloadsPath()}));

    qputenv("XDG_DOWNLOAD_DIR", QDir(homePath()).filePath(QStringLiteral("missing")).toLocal8Bit());
    controller().selItemHeadlinesFolder();
    EXPECT_EQ(desktop.lines().size(), 2);
    EXPECT_EQ(enginesMade, 0);
}

} // namespace
} // namespace tickwell::testing
