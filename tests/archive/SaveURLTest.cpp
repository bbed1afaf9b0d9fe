#include "ArchiveFixture.h"

#include "archive/SaveURL.h"
#include "platform/session/FileComment.h"

#include <QRegularExpression>

namespace tickwell::testing {
namespace {

class SaveURLTest : public ArchiveFixture {
protected:
    SaveOutcome save(const QString &address, const std::optional<QString> &comment = std::nullopt,
                     const std::optional<QString> &prefix = std::nullopt)
    {
        return SaveURL(address, QStringLiteral("Headline"), comment, prefix, controller());
    }
    void useFormat(bool pdf) { settings.setValue(QStringLiteral("HeadlineFileFormat"), pdf ? QStringLiteral("PDF") : QStringLiteral("Web Archive")); }
    QString path(const QString &name) const { return QDir(downloadsPath()).filePath(name); }
};

// The PDF is one page of the document's size, truncated to whole points, plus 20 each way; a
// small page after a large one does not keep the large view.
TEST_F(SaveURLTest, BothFormatsAreWrittenFromTheLoadedPage)
{
    const QString address = addArticle(1, QStringLiteral("A/B: C"));
    EXPECT_EQ(save(address), SaveOutcome::Saved);
    EXPECT_EQ(savedFiles(), QStringList{QStringLiteral("A-B- C.webarchive")});
    EXPECT_TRUE(savedBytes(QStringLiteral("A-B- C.webarchive")).contains("Article 1 text"));

    useFormat(true);
    const std::pair<QSizeF, QSizeF> sizes[] = {{{1000.7, 1500.2}, {1020, 1520}}, {{640, 480}, {660, 500}}};
    int number = 1;
    for (const auto &[document, page] : sizes) {
        ++number;
        EXPECT_EQ(save(addArticle(number, QStringLiteral("Sized %1").arg(number), {.documentSize = document})), SaveOutcome::Saved);
        EXPECT_EQ(engine.pdfPageSizes().back(), page);
        EXPECT_TRUE(savedBytes(QStringLiteral("Sized %1.pdf").arg(number)).startsWith("%PDF"));
    }
}

TEST_F(SaveURLTest, TheSecondSaveFindsTheFileAndLeavesItAlone)
{
    for (const bool pdf : {false, true}) {
        useFormat(pdf);
        const QString address = addArticle(pdf ? 2 : 1, QStringLiteral("Twice"));
        const QString name = pdf ? QStringLiteral("Twice.pdf") : QStringLiteral("Twice.webarchive");
        ASSERT_EQ(save(address), SaveOutcome::Saved);
        const QByteArray before = savedBytes(name);
        const qsizetype loads = engine.loads().size();
        EXPECT_EQ(save(address, QStringLiteral("new comment")), SaveOutcome::AlreadyExists);
        EXPECT_EQ(window.status(), QStringLiteral("This file already exists: %1").arg(name));
        EXPECT_EQ(engine.loads().size(), loads) << "nothing loaded for an existing file";
        EXPECT_EQ(savedBytes(name), before);
    }
}

TEST_F(SaveURLTest, CommentIsStoredAsTheFreedesktopAttribute)
{
    if (!SetFileComment(downloadsPath(), QStringLiteral("probe")))
        GTEST_SKIP() << "no user attributes on this file system";
    const QString comment = QStringLiteral("\"Acme beats\" Reuters  (Fri 4:05PM) ");
    for (const bool pdf : {false, true}) {
        useFormat(pdf);
        ASSERT_EQ(save(addArticle(pdf ? 2 : 1, QStringLiteral("Commented")), comment, QStringLiteral("AAPL")), SaveOutcome::Saved);
        EXPECT_EQ(FileComment(path(pdf ? QStringLiteral("[AAPL] Commented.pdf") : QStringLiteral("[AAPL] Commented.webarchive"))), comment);
    }
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
    EXPECT_EQ(savedFiles(), files);
}

TEST_F(SaveURLTest, HostileTitlesStayInsideTheFolder)
{
    const QString titles[] = {QStringLiteral("../../../../tmp/escape"), QStringLiteral(".."), QStringLiteral("x").repeated(400),
                              QString::fromUtf8("\xE2\x80\xAE") + QStringLiteral("fdp.exe")};
    int number = 0;
    for (const QString &title : titles)
        EXPECT_EQ(save(addArticle(++number, title)), SaveOutcome::Saved) << title.toStdString();
    const QStringList files = savedFiles();
    EXPECT_EQ(files.size(), 4);
    for (const QString &name : files)
        EXPECT_LE(QFile::encodeName(name).size(), 255);
    EXPECT_TRUE(QDir(homePath()).entryList(QDir::Files).isEmpty()) << "nothing beside the folder";
    EXPECT_EQ(save(QStringLiteral("http://news.test/with space.html")), SaveOutcome::Failed);
    EXPECT_EQ(engine.loads().size(), 4) << "an address that cannot load is not tried";
}

// Failures write nothing (a later batch tries again) and say so on the status line.
TEST_F(SaveURLTest, FailuresAreReportedAndLeaveNoFile)
{
    const struct {
        FakeWebPage page;
        bool engineSilent;
        const char *suffix;
    } cases[] = {
        {{.fails = true}, false, ""},
        {{.finishes = false}, false, " (the page did not finish loading within 90 seconds)"},
        {{}, true, " (the web engine did not answer within 30 seconds)"},
    };
    int number = 0;
    for (const auto &c : cases) {
        engine.setAnswersNever(c.engineSilent);
        const QString title = QStringLiteral("Failing %1").arg(++number);
        const int stops = engine.stops();
        EXPECT_EQ(save(addArticle(number, title, c.page)), SaveOutcome::Failed) << c.suffix;
        EXPECT_EQ(window.status(), QStringLiteral("There was an error saving file: %1.webarchive%2").arg(title, QString::fromLatin1(c.suffix)));
        EXPECT_TRUE(savedFiles().isEmpty()) << c.suffix;
        EXPECT_TRUE(c.page.finishes || engine.stops() > stops) << "a load that timed out is stopped";
    }
}

} // namespace
} // namespace tickwell::testing
