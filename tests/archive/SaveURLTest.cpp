#include "ArchiveFixture.h"

#include "archive/SaveURL.h"
#include "platform/session/FileComment.h"

#include <QRegularExpression>

namespace tickwell::testing {
namespace {

class SaveURLTest : public ArchiveFixture {
protected:
    SaveOutcome save(const QString &address, const std::optional<QString> &comment = std::nullopt)
    {
        return SaveURL(address, QStringLiteral("Headline"), comment, QStringLiteral("AAPL"), controller());
    }
};

// Both formats from the loaded page, with the comment as the freedesktop attribute. The PDF is one
// page of the document's size, truncated to whole points, plus 20 each way; a small page after a
// large one does not keep the large view. A second save finds the file and loads nothing.
TEST_F(SaveURLTest, BothFormatsAreWrittenOnceFromTheLoadedPage)
{
    const bool comments = SetFileComment(downloadsPath(), QStringLiteral("probe")); // user attributes on this file system
    const QString comment = QStringLiteral("\"Acme beats\" Reuters  (Fri 4:05PM) ");
    const struct { bool pdf; QSizeF document, page; } cases[] = {{false, {}, {}}, {true, {1000.7, 1500.2}, {1020, 1520}}, {true, {640, 480}, {660, 500}}};
    int number = 0;
    for (const auto &c : cases) {
        settings.setValue(QStringLiteral("HeadlineFileFormat"), c.pdf ? QStringLiteral("PDF") : QStringLiteral("Web Archive"));
        ++number;
        const QString address = addArticle(number, QStringLiteral("A/B: %1").arg(number), {.documentSize = c.document});
        const QString name = QStringLiteral("[AAPL] A-B- %1.%2").arg(number).arg(c.pdf ? QStringLiteral("pdf") : QStringLiteral("webarchive"));
        ASSERT_EQ(save(address, comment), SaveOutcome::Saved);
        const QByteArray bytes = savedBytes(name);
        EXPECT_TRUE(c.pdf ? bytes.startsWith("%PDF") : bytes.contains(QStringLiteral("Article %1 text").arg(number).toUtf8())) << name.toStdString();
        EXPECT_TRUE(!c.pdf || engine.pdfPageSizes().back() == c.page);
        EXPECT_TRUE(!comments || FileComment(QDir(downloadsPath()).filePath(name)) == comment);
        const qsizetype loads = engine.loads().size();
        EXPECT_EQ(save(address, QStringLiteral("new comment")), SaveOutcome::AlreadyExists);
        EXPECT_EQ(window.status(), QStringLiteral("This file already exists: %1").arg(name));
        EXPECT_EQ(engine.loads().size(), loads);
        EXPECT_EQ(savedBytes(name), bytes);
    }
}

// A page without a title gets a dated name, cached for the run: the second save is a duplicate.
// An address that cannot load is not tried.
TEST_F(SaveURLTest, DatedTitlesAndBadAddresses)
{
    const QString untitled = addArticle(1, QString());
    ASSERT_EQ(save(untitled), SaveOutcome::Saved);
    const QString files = savedFiles().join(u'|');
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^\[AAPL\] \(No Title\) 2026-12-05 15-00-0\d [+-]\d{4}\.webarchive$)")).match(files).hasMatch()) << files.toStdString();
    timers.advance(5);
    EXPECT_EQ(save(untitled), SaveOutcome::AlreadyExists);

    EXPECT_EQ(save(QStringLiteral("http://news.test/with space.html")), SaveOutcome::Failed);
    EXPECT_EQ(engine.loads().size(), 1);
}

// Failures write nothing (a later batch tries again) and say so on the status line.
TEST_F(SaveURLTest, FailuresAreReportedAndLeaveNoFile)
{
    const struct { FakeWebPage page; bool engineSilent; const char *suffix; } cases[] = {
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
        EXPECT_EQ(window.status(), QStringLiteral("There was an error saving file: [AAPL] %1.webarchive%2").arg(title, QString::fromLatin1(c.suffix)));
        EXPECT_TRUE(savedFiles().isEmpty());
        EXPECT_TRUE(c.page.finishes || engine.stops() > stops); // a load that timed out is stopped
    }
}

} // namespace
} // namespace tickwell::testing
