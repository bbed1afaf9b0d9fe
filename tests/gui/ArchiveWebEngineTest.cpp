// Saving headline pages with the real web engine against tickwell-feed: both document formats,
// the PDF's page size read back, the archive's content, comments, duplicates, Stop, time-outs.
#include "ArchiveWebEngineFixture.h"

#include "archive/ProgressWindowWidgets.h"
#include "archive/SaveURL.h"
#include "platform/FakeUrlLoader.h"
#include "platform/FileComment.h"
#include "support/LocalHttpServer.h"
#include "text/PageFetching.h"
#include "text/StringExtensions.h"

#include <QTimer>

namespace tickwell::testing {
namespace {

class ArchiveWebEngineTest : public ArchiveWebEngineFixture {
protected:
    void SetUp() override
    {
        if (!ArchiveFeed::shared().isRunning())
            GTEST_SKIP() << "tickwell-feed is not there to serve the articles";
        ArchiveWebEngineFixture::SetUp();
    }
    static QString article(const QString &slug, int index = 0)
    {
        return ArchiveFeed::shared().url(QStringLiteral("/news/%1-%2.html").arg(slug).arg(index));
    }
    static MenuItem saveItem(const QString &address)
    {
        MenuItem item = MenuItem::make(QStringLiteral("Save"), QStringLiteral("selectPrintItemHeadline:"));
        item.toolTip = address;
        return item;
    }
};

TEST_F(ArchiveWebEngineTest, SingleSaveWritesAWebArchiveWithTheArticle)
{
    const QString address = article(QStringLiteral("acme"));
    const QString title = stringByDecodingHTMLEntities(GetURLTitle(loader, address));
    controller().selectPrintItemHeadline(saveItem(address));

    const QString name = title + QStringLiteral(".webarchive");
    ASSERT_EQ(savedFiles(), QStringList{name}) << savedFiles().join(u'|').toStdString();
    const QByteArray archive = savedBytes(name);
    EXPECT_TRUE(archive.contains("MIME-Version: 1.0"));
    const QByteArray decoded = DecodedArchive(archive);
    EXPECT_TRUE(decoded.contains("Shares moved in busy trading")) << "the article's text";
    EXPECT_TRUE(decoded.contains("Content-Type: text/css")) << "its stylesheet";
    EXPECT_TRUE(decoded.contains("Content-Type: image/png")) << "its picture";
    EXPECT_EQ(window().status(), QStringLiteral("Done"));
    EXPECT_EQ(FileComment(downloaded(name)), std::nullopt);

    // Page, stylesheet, picture and the missing picture; the final line adds up.
    const auto counts = lastResourceCounts();
    ASSERT_TRUE(counts);
    const auto [completed, requested, failed] = *counts;
    EXPECT_GE(requested, 4);
    EXPECT_GE(failed, 1) << "the missing picture";
    EXPECT_EQ(completed + failed, requested);
}

TEST_F(ArchiveWebEngineTest, PdfIsOnePageOfTheDocumentSizePlusTwenty)
{
    test::LocalHttpServer server;
    server.serve(QStringLiteral("/wide.html"),
                 "<html><head><title>Wide page</title></head><body style=\"margin:0\">"
                 "<div style=\"width:1000px;height:1500px;background:#cde\">wide</div></body></html>");
    settings.setValue(QStringLiteral("HeadlineFileFormat"), QStringLiteral("PDF"));
    const QString pages[] = {server.url(QStringLiteral("/wide.html")), article(QStringLiteral("beta"), 2)};
    for (const QString &address : pages)
        EXPECT_EQ(SaveURL(address, QStringLiteral("headline"), std::nullopt, std::nullopt, controller()), SaveOutcome::Saved);

    const QByteArray wide = savedBytes(QStringLiteral("Wide page.pdf"));
    ASSERT_TRUE(wide.startsWith("%PDF"));
    const std::vector<QSizeF> sizes = PdfPageSizes(wide);
    ASSERT_EQ(sizes.size(), 1u) << "one page";
    // Chromium keeps page sizes in 1/300 inch, so a size can come back up to 0.24 points short.
    EXPECT_NEAR(sizes[0].width(), 1020, 0.25);
    EXPECT_NEAR(sizes[0].height(), 1520, 0.25);

    const QStringList files = savedFiles();
    ASSERT_EQ(files.size(), 2);
    const QString article = files[0] == QStringLiteral("Wide page.pdf") ? files[1] : files[0];
    const std::vector<QSizeF> articleSizes = PdfPageSizes(savedBytes(article));
    ASSERT_EQ(articleSizes.size(), 1u);
    EXPECT_NEAR(articleSizes[0].width(), 660, 0.25) << "a narrow article keeps the view's width";
    EXPECT_NEAR(articleSizes[0].height(), controller().webView()->viewSize().height(), 0.25);
}

TEST_F(ArchiveWebEngineTest, BatchCommentsAndSecondRunSkipsWhatIsSaved)
{
    QList<HeadlineRecord> &records = state.m_headlines[QStringLiteral("ACME")];
    for (int index : {0, 2, 3})
        records.append({article(QStringLiteral("acme"), index), QStringLiteral("headline %1").arg(index),
                        QStringLiteral("\"headline %1\" Reuters  (Fri 4:05PM) ").arg(index)});
    MenuItem item = MenuItem::make(QStringLiteral("Save Headlines..."), QStringLiteral("selItemSaveHeadlines:"));
    item.toolTip = QStringLiteral("ACME");

    controller().selItemSaveHeadlines(item);
    ASSERT_TRUE(runUntilIdle());
    const QStringList files = savedFiles();
    ASSERT_EQ(files.size(), 3);
    for (const QString &name : files)
        EXPECT_TRUE(name.startsWith(QStringLiteral("[ACME] ")) && name.endsWith(QStringLiteral(".webarchive"))) << name.toStdString();
    const std::optional<QString> comment = FileComment(downloaded(files[0]));
    ASSERT_TRUE(comment);
    EXPECT_TRUE(comment->endsWith(QStringLiteral(" Reuters  (Fri 4:05PM) ")));
    EXPECT_EQ(desktop.systemLogLines(), QStringList{QStringLiteral("Completed saving headlines for \"ACME\"")});
    EXPECT_EQ(statusItem.title(), QStringLiteral("AAPL 190.5"));

    controller().selItemSaveHeadlines(item);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(savedFiles(), files);
    EXPECT_EQ(window().statuses().filter(QStringLiteral("This file already exists: [ACME] ")).size(), 3);
}

// A page that never answers: the save gives up after its time and says so.
TEST_F(ArchiveWebEngineTest, ALoadThatNeverEndsTimesOut)
{
    test::LocalHttpServer server;
    server.hang(QStringLiteral("/hung.html"));
    const QString address = server.url(QStringLiteral("/hung.html"));
    FakeUrlLoader titles; // the title is known already; only the engine waits
    titles.serve(address, "<title>Hung</title>");
    ASSERT_EQ(GetURLTitle(titles, address), QStringLiteral("Hung"));
    controller().setTimeouts({.pageLoad = 3, .engineAnswer = 10, .stopSettle = 3});

    for (const char *format : {"Web Archive", "PDF"}) {
        settings.setValue(QStringLiteral("HeadlineFileFormat"), QString::fromLatin1(format));
        EXPECT_EQ(SaveURL(address, QStringLiteral("h"), std::nullopt, std::nullopt, controller()), SaveOutcome::Failed);
        const QString name = QStringLiteral("Hung.") + (QLatin1String(format) == QLatin1String("PDF") ? "pdf" : "webarchive");
        EXPECT_EQ(window().status(), QStringLiteral("There was an error saving file: %1 (the page did not finish loading within 3 seconds)").arg(name));
    }
    EXPECT_TRUE(savedFiles().isEmpty());
}

class ArchiveStopTest : public ArchiveWebEngineTest {
protected:
    bool useRealWindow() const override { return true; }
};

// Stop clicked in the progress window while the third of five pages loads.
TEST_F(ArchiveStopTest, StopDuringTheThirdOfFiveDocuments)
{
    settings.setValue(QStringLiteral("SetFilenameToHeadlineArticleName"), true);
    settings.setValue(QStringLiteral("DisplayTheHeadlineProgressWindow"), true);
    test::LocalHttpServer server;
    for (int n = 1; n <= 5; ++n)
        server.serve(QStringLiteral("/slow/%1.html").arg(n), QStringLiteral("<html><head><title>Slow %1</title></head><body>Slow article %1"
                                                                            "<img src=\"/slow/pic.png\"></body></html>").arg(n).toUtf8());
    test::LocalHttpServer::Response picture;
    picture.contentType = "image/png";
    picture.latency = std::chrono::milliseconds(1500); // keeps each page loading a while
    server.setResponse(QStringLiteral("/slow/pic.png"), picture);
    for (int n = 1; n <= 5; ++n)
        state.m_headlines[QStringLiteral("SLOW")].append({server.url(QStringLiteral("/slow/%1.html").arg(n)), QStringLiteral("slow %1").arg(n), std::nullopt});

    auto &view = static_cast<ProgressWindowView &>(controller().printWindow());
    QTimer watch;
    bool clicked = false;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!clicked && view.label() == QStringLiteral("Saving Headlines: 3 of 5 (SLOW: 3 of 5)") && view.isVisible()) {
            clicked = true;
            QTimer::singleShot(500, [&view] { view.widgets().stopButton.click(); });
        }
    });
    watch.start(20);
    controller().selItemSaveAllHeadlines();
    ASSERT_TRUE(runUntilIdle());

    EXPECT_TRUE(clicked);
    EXPECT_EQ(savedFiles(), (QStringList{QStringLiteral("[SLOW] slow 1.webarchive"), QStringLiteral("[SLOW] slow 2.webarchive"),
                                         QStringLiteral("[SLOW] slow 3.webarchive")}));
    EXPECT_EQ(server.requestCount(QStringLiteral("/slow/4.html")), 0);
    EXPECT_FALSE(state.m_isSaving);
    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(view.status(), QStringLiteral("Done"));
    EXPECT_EQ(statusItem.title(), QStringLiteral("AAPL 190.5"));
}

} // namespace
} // namespace tickwell::testing
