#include "ArchiveFixture.h"

namespace tickwell::testing {
namespace {

class HeadlineBatchTest : public ArchiveFixture {
protected:
    // Lists `count` headlines for the symbol, articles numbered from `first`.
    void listHeadlines(const QString &symbol, int first, int count, FakeWebPage page = {})
    {
        for (int n = first; n < first + count; ++n) {
            const QString title = QStringLiteral("%1 story %2").arg(symbol, QString::number(n));
            state.m_headlines[symbol].append({addArticle(n, title, page), title, std::nullopt});
        }
    }
    void saveHeadlines(const QString &symbol)
    {
        controller().selItemSaveHeadlines(itemWithToolTip(QStringLiteral("Save Headlines..."), QStringLiteral("selItemSaveHeadlines:"), symbol));
    }
};

TEST_F(HeadlineBatchTest, OneSymbolBatchSavesAllAndRestoresTheStatusItem)
{
    listHeadlines(QStringLiteral("AAPL"), 1, 3);
    QStringList titlesDuringLoads;
    engine.setLoadHook([&](const QString &) { titlesDuringLoads.append(statusItem.title()); });
    saveHeadlines(QStringLiteral("AAPL"));
    runUntilIdle();

    EXPECT_EQ(savedFiles().size(), 3);
    EXPECT_EQ(titlesDuringLoads, QStringList(3, QStringLiteral("Saving...")));
    EXPECT_EQ(desktop.systemLogLines(), QStringList{QStringLiteral("Completed saving headlines for \"AAPL\"")});
    EXPECT_FALSE(state.m_isSaving);
    EXPECT_EQ(statusItem.title(), QStringLiteral("AAPL 190.5"));
    EXPECT_EQ(statusItem.imageName(), QStringLiteral("menuitem_up_g.tif"));

    saveHeadlines(QStringLiteral("AAPL")); // the second run finds every file
    runUntilIdle();
    EXPECT_EQ(savedFiles().size(), 3);
    EXPECT_EQ(engine.loads().size(), 3);
    EXPECT_EQ(window.statuses().filter(QStringLiteral("This file already exists: ")).size(), 3);
}

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
        EXPECT_FALSE(controller().isBusy());
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
    EXPECT_EQ(engine.loads().size(), 5);
    EXPECT_EQ(window.labels().filter(QStringLiteral("Saving Headlines")),
              (QStringList{QStringLiteral("Saving Headlines: 1 of 5 (AAPL: 1 of 3)"), QStringLiteral("Saving Headlines: 2 of 5 (AAPL: 2 of 3)"),
                           QStringLiteral("Saving Headlines: 3 of 5 (AAPL: 3 of 3)"), QStringLiteral("Saving Headlines: 4 of 5 (MSFT: 1 of 2)"),
                           QStringLiteral("Saving Headlines: 5 of 5 (MSFT: 2 of 2)")}));
}

// A request while a batch runs waits for it, once; Stop drops what waits.
TEST_F(HeadlineBatchTest, ASecondRequestWaitsForTheRunningBatch)
{
    for (const bool stop : {false, true}) {
        const int base = stop ? 10 : 0;
        state.m_headlines.clear();
        listHeadlines(QStringLiteral("AAPL"), base + 1, 2);
        listHeadlines(QStringLiteral("MSFT"), base + 3, 2);
        const qsizetype loadsBefore = engine.loads().size();
        engine.setLoadHook([&](const QString &address) {
            if (address == article(base + 1))
                after(0.3, [&] {
                    saveHeadlines(QStringLiteral("MSFT"));
                    saveHeadlines(QStringLiteral("MSFT")); // the same again: merged
                    if (stop)
                        controller().selItemStopSaving();
                });
        });
        saveHeadlines(QStringLiteral("AAPL"));
        runUntilIdle();
        EXPECT_EQ(engine.loads().mid(loadsBefore),
                  stop ? QStringList{article(11)} : (QStringList{article(1), article(2), article(3), article(4)}));
        EXPECT_EQ(events.deepestNesting(), 1) << "no save ran inside another";
        EXPECT_FALSE(controller().isBusy());
    }
}

TEST_F(HeadlineBatchTest, QuittingEndsTheBatch)
{
    listHeadlines(QStringLiteral("AAPL"), 1, 4);
    engine.setLoadHook([&](const QString &address) {
        if (address == article(2))
            events.setQuitting(true);
    });
    saveHeadlines(QStringLiteral("AAPL"));
    runUntilIdle();
    EXPECT_EQ(engine.loads().size(), 2);
    EXPECT_FALSE(controller().isBusy());
}

TEST_F(HeadlineBatchTest, WithoutAnOutputFolderNothingIsSavedOrOpened)
{
    qputenv("XDG_DOWNLOAD_DIR", QDir(homePath()).filePath(QStringLiteral("missing")).toLocal8Bit());
    controller().selItemHeadlinesFolder();
    controller().selectPrintItemHeadline(itemWithToolTip(QStringLiteral("Save"), QStringLiteral("selectPrintItemHeadline:"), addArticle(1, QStringLiteral("Nowhere"))));
    EXPECT_TRUE(desktop.lines().isEmpty());
    EXPECT_EQ(enginesMade, 0);
}

} // namespace
} // namespace tickwell::testing
