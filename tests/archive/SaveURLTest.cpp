#include "ArchiveFixture.h"

#include "archive/OutputFolders.h"
#include "archive/SaveURL.h"
#include "platform/FileComment.h"

#include <QRegularExpression>

namespace tickwell::testing {
namespace {

class SaveURLTest : public ArchiveFixture {
protected:
    SaveOutcome save(const QString &address, const QString &headline = QStringLiteral("Headline"),
                     const std::optional<QString> &comment = std::nullopt, const std::optional<QString> &prefix = std::nullopt)
    {
        return SaveURL(address, headline, comment, prefix, controller());
    }
    void usePdf() { settings.setValue(QStringLiteral("HeadlineFileFormat"), QStringLiteral("PDF")); }
    QString path(const QString &name) const { return QDir(downloadsPath()).filePath(name); }
};

TEST_F(SaveURLTest, WebArchiveNamedAfterThePageTitle)
{
    const QString address = addArticle(1, QStringLiteral("A/B: C"));
    EXPECT_EQ(save(address), SaveOutcome::Saved);
    EXPECT_EQ(savedFiles(), QStringList{QStringLiteral("A-B- C.webarchive")});
    const QByteArray archive = savedBytes(QStringLiteral("A-B- C.webarchive"));
    EXPECT_TRUE(archive.contains("Article 1 text"));
    EXPECT_TRUE(archive.contains(address.toUtf8()));
    EXPECT_EQ(engine.loads(), QStringList{address});
    EXPECT_EQ(window.details().last(), QStringLiteral("Saving file: A-B- C.webarchive"));
    EXPECT_EQ(FileComment(path(QStringLiteral("A-B- C.webarchive"))), std::nullopt);
}

// The PDF is one page of the document's size, truncated to whole points, plus 20 each way.
TEST_F(SaveURLTest, PdfPageIsTheDocumentSizePlusTwenty)
{
    usePdf();
    const struct {
        QSizeF document;
        QSizeF page;
    } cases[] = {
        {{1000.7, 1500.2}, {1020, 1520}},
        {{640, 480}, {660, 500}},
        {{0, 0}, {20, 20}},
    };
    int number = 0;
    for (const auto &c : cases) {
        ++number;
        const QString address = addArticle(number, QStringLiteral("Sized %1").arg(number), {.documentSize = c.document});
        EXPECT_EQ(save(address), SaveOutcome::Saved);
        ASSERT_FALSE(engine.pdfPageSizes().empty());
        EXPECT_EQ(engine.pdfPageSizes().back(), c.page);
        EXPECT_EQ(engine.viewSize(), c.page.toSize());
        EXPECT_TRUE(savedBytes(QStringLiteral("Sized %1.pdf").arg(number)).startsWith("%PDF"));
    }
}

TEST_F(SaveURLTest, TheSecondSaveFindsTheFileAndLeavesItAlone)
{
    for (const bool pdf : {false, true}) {
        if (pdf)
            usePdf();
        const QString address = addArticle(pdf ? 2 : 1, QStringLiteral("Twice"));
        const QString name = pdf ? QStringLiteral("Twice.pdf") : QStringLiteral("Twice.webarchive");
        ASSERT_EQ(save(address), SaveOutcome::Saved);
        const QByteArray before = savedBytes(name);
        const bool comments = SetFileComment(path(name), QStringLiteral("kept"));
        const qsizetype loads = engine.loads().size();
        EXPECT_EQ(save(address, QStringLiteral("Headline"), QStringLiteral("new comment")), SaveOutcome::AlreadyExists);
        EXPECT_EQ(window.status(), QStringLiteral("This file already exists: %1").arg(name));
        EXPECT_EQ(engine.loads().size(), loads) << "nothing loaded for an existing file";
        EXPECT_EQ(savedBytes(name), before);
        if (comments) {
            EXPECT_EQ(FileComment(path(name)), QStringLiteral("kept"));
        }
    }
}

TEST_F(SaveURLTest, CommentIsStoredAsTheFreedesktopAttribute)
{
    const QString comment = QStringLiteral("\"Acme beats\" Reuters  (Fri 4:05PM) ");
    for (const bool pdf : {false, true}) {
        if (pdf)
            usePdf();
        const QString address = addArticle(pdf ? 2 : 1, pdf ? QStringLiteral("Commented PDF") : QStringLiteral("Commented"));
        ASSERT_EQ(save(address, QStringLiteral("Acme beats"), comment, QStringLiteral("AAPL")), SaveOutcome::Saved);
        const QString name = pdf ? QStringLiteral("[AAPL] Commented PDF.pdf") : QStringLiteral("[AAPL] Commented.webarchive");
        ASSERT_TRUE(QFile::exists(path(name)));
        if (!userAttributesWork())
            GTEST_SKIP() << "no user attributes on this file system";
        EXPECT_EQ(FileComment(path(name)), comment);
    }
}

TEST_F(SaveURLTest, HeadlineNamesTheFileWhenTheSettingSaysSo)
{
    settings.setValue(QStringLiteral("SetFilenameToHeadlineArticleName"), true);
    const QString address = addArticle(1, QStringLiteral("Page title"));
    ASSERT_EQ(save(address, QStringLiteral("Acme &amp; Co:  rises / falls"), std::nullopt, QStringLiteral("ACME")), SaveOutcome::Saved);
    EXPECT_EQ(savedFiles(), QStringList{QStringLiteral("[ACME] Acme & Co- rises - falls.webarchive")});
}

// A page without a title gets a dated name, cached for the run: the second save is a duplicate.
TEST_F(SaveURLTest, DatedFallbackTitleIsCachedWithinARun)
{
    const QString address = addArticle(1, QString());
    ASSERT_EQ(save(address), SaveOutcome::Saved);
    const QStringList files = savedFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^\(No Title\) 2026-12-05 15-00-0\d [+-]\d{4}\.webarchive$)")).match(files[0]).hasMatch())
        << files[0].toStdString();
    timers.advance(5);
    EXPECT_EQ(save(address), SaveOutcome::AlreadyExists);
    EXPECT_EQ(window.status(), QStringLiteral("This file already exists: %1").arg(files[0]));
    EXPECT_EQ(savedFiles(), files);
}

TEST_F(SaveURLTest, HostileTitlesStayInsideTheFolder)
{
    const QString titles[] = {
        QStringLiteral("../../../../tmp/escape"),
        QStringLiteral(".."),
        QStringLiteral("x").repeated(400),
        QString::fromUtf8("\xE2\x80\xAE") + QStringLiteral("fdp.exe"),
    };
    int number = 0;
    for (const QString &title : titles)
        EXPECT_EQ(save(addArticle(++number, title)), SaveOutcome::Saved) << title.toStdString();
    const QStringList files = savedFiles();
    EXPECT_EQ(files.size(), 4);
    for (const QString &name : files) {
        EXPECT_FALSE(name.contains(u'/'));
        EXPECT_LE(QFile::encodeName(name).size(), 255);
    }
    EXPECT_TRUE(QDir(homePath()).entryList(QDir::Files).isEmpty()) << "nothing beside the folder";
}

TEST_F(SaveURLTest, NoOutputFolderSavesNothingAndSaysNothing)
{
    qputenv("XDG_DOWNLOAD_DIR", QDir(homePath()).filePath(QStringLiteral("missing")).toLocal8Bit());
    const QString address = addArticle(1, QStringLiteral("Nowhere"));
    EXPECT_EQ(save(address), SaveOutcome::NoOutputFolder);
    EXPECT_TRUE(engine.loads().isEmpty());
    EXPECT_TRUE(window.statuses().isEmpty());
}

TEST_F(SaveURLTest, TheStoredFolderGoneMeansTheDownloadFolder)
{
    const QString chosen = QDir(homePath()).filePath(QStringLiteral("Chosen"));
    QDir().mkpath(chosen);
    ASSERT_TRUE(StoreDirectory(settings, kOutputDirectoryKey, chosen));
    ASSERT_EQ(save(addArticle(1, QStringLiteral("First"))), SaveOutcome::Saved);
    EXPECT_TRUE(QFile::exists(QDir(chosen).filePath(QStringLiteral("First.webarchive"))));
    ASSERT_TRUE(QDir(chosen).removeRecursively());
    ASSERT_EQ(save(addArticle(2, QStringLiteral("Second"))), SaveOutcome::Saved);
    EXPECT_EQ(savedFiles(), QStringList{QStringLiteral("Second.webarchive")});
}

// Failures write nothing (a later batch tries again) and say so on the status line.
TEST_F(SaveURLTest, FailuresAreReportedAndLeaveNoFile)
{
    struct Case {
        const char *name;
        bool pdf;
        FakeWebPage page;
        std::function<void(FakeWebEngine &)> arrange;
        const char *suffix;
    };
    const Case cases[] = {
        {"load fails", false, {.fails = true}, {}, ""},
        {"load fails, pdf", true, {.fails = true}, {}, ""},
        {"never loads", false, {.finishes = false}, {}, " (the page did not finish loading within 90 seconds)"},
        {"never loads, pdf", true, {.finishes = false}, {}, " (the page did not finish loading within 90 seconds)"},
        {"archive fails", false, {}, [](FakeWebEngine &e) { e.setArchiveFails(true); }, ""},
        {"print fails", true, {}, [](FakeWebEngine &e) { e.setPrintFails(true); }, ""},
        {"engine silent", false, {}, [](FakeWebEngine &e) { e.setAnswersNever(true); }, " (the web engine did not answer within 30 seconds)"},
        {"engine silent, pdf", true, {}, [](FakeWebEngine &e) { e.setAnswersNever(true); }, " (the web engine did not answer within 30 seconds)"},
    };
    int number = 0;
    for (const Case &c : cases) {
        settings.setValue(QStringLiteral("HeadlineFileFormat"), c.pdf ? QStringLiteral("PDF") : QStringLiteral("Web Archive"));
        engine.setArchiveFails(false);
        engine.setPrintFails(false);
        engine.setAnswersNever(false);
        if (c.arrange)
            c.arrange(engine);
        const QString title = QStringLiteral("Failing %1").arg(++number);
        const QString address = addArticle(number, title, c.page);
        const int stops = engine.stops();
        EXPECT_EQ(save(address), SaveOutcome::Failed) << c.name;
        const QString name = title + (c.pdf ? QStringLiteral(".pdf") : QStringLiteral(".webarchive"));
        EXPECT_EQ(window.status(), QStringLiteral("There was an error saving file: %1%2").arg(name, QString::fromLatin1(c.suffix))) << c.name;
        EXPECT_TRUE(savedFiles().isEmpty()) << c.name;
        if (!c.page.finishes) {
            EXPECT_GT(engine.stops(), stops) << "a load that timed out is stopped";
        }
    }
}

TEST_F(SaveURLTest, WithoutAWebEngineEverySaveIsAnError)
{
    ArchiveServices none;
    none.makeEventWait = [this] { return std::make_unique<ManualEventWait>(timers); };
    ArchiveController bare(platform, state, prefs, none);
    const QString address = addArticle(1, QStringLiteral("Engineless"));
    EXPECT_EQ(SaveURL(address, QStringLiteral("h"), std::nullopt, std::nullopt, bare), SaveOutcome::Failed);
    auto &status = static_cast<RecordingProgressWindow &>(bare.printWindow());
    EXPECT_EQ(status.status(), QStringLiteral("There was an error saving file: Engineless.webarchive"));
}

TEST_F(SaveURLTest, ResourceStatusLineCountsTheLoad)
{
    usePdf();
    const QString address = addArticle(1, QStringLiteral("Counted"), {.resources = 5, .failingResources = 2});
    ASSERT_EQ(save(address), SaveOutcome::Saved);
    EXPECT_EQ(controller().resourceCount, 6);
    EXPECT_EQ(controller().resourceCompletedCount, 4);
    EXPECT_EQ(controller().resourceFailedCount, 2);
    const QString last = QStringLiteral("Title: \"Counted\" (Format: PDF): Loaded 4 of 6 resources, 2 resource errors.");
    EXPECT_TRUE(window.statuses().contains(last));
    EXPECT_EQ(window.status(), QStringLiteral("Writing file..."));
}

TEST_F(SaveURLTest, EachSaveStartsTheViewAtItsFirstSize)
{
    usePdf();
    ASSERT_EQ(save(addArticle(1, QStringLiteral("Wide"), {.documentSize = {2000, 3000}})), SaveOutcome::Saved);
    ASSERT_EQ(save(addArticle(2, QStringLiteral("Narrow"))), SaveOutcome::Saved);
    EXPECT_EQ(engine.pdfPageSizes().back(), QSizeF(660, 500)) << "no creep from the previous page's size";
}

TEST_F(SaveURLTest, RejectedAddressesLoadNothing)
{
    usePdf();
    const QString address = QStringLiteral("http://news.test/with space.html");
    EXPECT_EQ(save(address), SaveOutcome::Failed);
    EXPECT_EQ(enginesMade, 0) << "not even made for an address it could not load";
}

} // namespace
} // namespace tickwell::testing
