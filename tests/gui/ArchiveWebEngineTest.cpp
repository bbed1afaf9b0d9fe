// Saving headline pages with the real web engine in tickwell-archiver, offscreen: both document
// formats, the PDF's page size read back, the archive's content, time-outs. Each wait is
// bounded well inside the test's own time limit; skipped where the engine cannot start.
#include "ArchiveEngineFixture.h"
#include "archive/SaveURL.h"
#include "support/FakeUrlLoader.h"
#include "text/PageFetching.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QRegularExpression>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

// The page boxes of a PDF, [width, height] in points, in file order.
std::vector<QSizeF> PdfPageSizes(const QByteArray &pdf)
{
    static const QRegularExpression box(uR"(/MediaBox\s*\[\s*([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s*\])"_s);
    std::vector<QSizeF> sizes;
    for (auto it = box.globalMatch(QString::fromLatin1(pdf)); it.hasNext();) {
        const auto m = it.next();
        sizes.emplace_back(m.captured(3).toDouble() - m.captured(1).toDouble(), m.captured(4).toDouble() - m.captured(2).toDouble());
    }
    return sizes;
}

class ArchiveWebEngineTest : public ArchiveEngineFixture {
protected:
    void SetUp() override { requireWorkingEngine(); }
};

TEST_F(ArchiveWebEngineTest, SingleSaveWritesAWebArchiveWithTheArticle)
{
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    QImage(8, 8, QImage::Format_RGB32).save(&png, "PNG");
    server.serve(u"/news/style.css"_s, "p { font-family: serif }", "text/css");
    server.serve(u"/news/a.png"_s, png.data(), "image/png");
    server.serve(u"/news/a.html"_s, "<html><head><title>Acme &amp; Co beats</title><link rel=\"stylesheet\" href=\"style.css\">"
                                     "</head><body><p>Shares moved in busy trading</p><img src=\"a.png\"><img src=\"gone.png\">"
                                     "</body></html>");
    MenuItem item = MenuItem::make(u"Save"_s, u"selectPrintItemHeadline:"_s);
    item.toolTip = server.url(u"/news/a.html"_s);
    controller().selectPrintItemHeadline(item);

    const QString name = u"Acme & Co beats.webarchive"_s;
    ASSERT_EQ(savedFiles(), QStringList{name}) << savedFiles().join(u'|').toStdString();
    // Quoted-printable parts decoded: '=' only ever starts an escape or a soft line break.
    const QByteArray decoded = QByteArray::fromPercentEncoding(savedBytes(name).replace("=\r\n", "").replace("=\n", ""), '=');
    for (const char *part : {"MIME-Version: 1.0", "Shares moved in busy trading", "Content-Type: text/css", "Content-Type: image/png"})
        EXPECT_TRUE(decoded.contains(part)) << part;
    EXPECT_EQ(window().status(), u"Done"_s);

    // Page, stylesheet, picture and the missing picture: the last count line adds up.
    const QRegularExpression countLine(u"Loaded (\\d+) of (\\d+) resources, (\\d+) resource errors\\.$"_s);
    const QStringList counts = window().statuses().filter(countLine);
    ASSERT_FALSE(counts.isEmpty());
    const auto m = countLine.match(counts.last());
    EXPECT_GE(m.captured(2).toInt(), 4);
    EXPECT_GE(m.captured(3).toInt(), 1) << "the missing picture";
    EXPECT_EQ(m.captured(1).toInt() + m.captured(3).toInt(), m.captured(2).toInt());
}

TEST_F(ArchiveWebEngineTest, PdfIsOnePageOfTheDocumentSizePlusTwenty)
{
    const auto page = [&](const char *name, int width, int height) {
        server.serve(u"/%1.html"_s.arg(QLatin1String(name)),
            u"<html><head><title>%1</title></head><body style=\"margin:0\"><div style=\"width:%2px;height:%3px\">x</div>"
            "</body></html>"_s.arg(QLatin1String(name)).arg(width).arg(height).toUtf8());
        return server.url(u"/%1.html"_s.arg(QLatin1String(name)));
    };
    settings.setValue(u"HeadlineFileFormat"_s, u"PDF"_s);
    for (const QString &address : {page("wide", 1000, 1500), page("narrow", 300, 100)})
        EXPECT_EQ(SaveURL(address, u"headline"_s, std::nullopt, std::nullopt, controller()), SaveOutcome::Saved);

    const std::vector<QSizeF> wide = PdfPageSizes(savedBytes(u"wide.pdf"_s));
    ASSERT_EQ(wide.size(), 1u) << "one page";
    // Chromium keeps page sizes in 1/300 inch, so a size can come back up to 0.24 points short.
    EXPECT_NEAR(wide[0].width(), 1020, 0.25);
    EXPECT_NEAR(wide[0].height(), 1520, 0.25);
    const std::vector<QSizeF> narrow = PdfPageSizes(savedBytes(u"narrow.pdf"_s));
    ASSERT_EQ(narrow.size(), 1u);
    EXPECT_NEAR(narrow[0].width(), 660, 0.25) << "a narrow page keeps the view's width";
    EXPECT_NEAR(narrow[0].height(), controller().webView()->viewSize().height(), 0.25);
}

// A page that never answers: the save gives up after its time and says so, in either format.
TEST_F(ArchiveWebEngineTest, ALoadThatNeverEndsTimesOut)
{
    server.hang(u"/hung.html"_s);
    const QString address = server.url(u"/hung.html"_s);
    FakeUrlLoader titles; // the title is cached already; only the engine waits
    titles.serve(address, "<title>Hung</title>");
    GetURLTitle(titles, address);
    controller().setTimeouts({.pageLoad = 3, .engineAnswer = 10, .stopSettle = 3});
    for (const auto &[format, extension] : {std::pair{"Web Archive", "webarchive"}, std::pair{"PDF", "pdf"}}) {
        settings.setValue(u"HeadlineFileFormat"_s, QString::fromLatin1(format));
        EXPECT_EQ(SaveURL(address, u"h"_s, std::nullopt, std::nullopt, controller()), SaveOutcome::Failed);
        EXPECT_EQ(window().status(),
            u"There was an error saving file: Hung.%1 (the page did not finish loading within 3 seconds)"_s.arg(QLatin1String(extension)));
    }
    EXPECT_TRUE(savedFiles().isEmpty());
}

} // namespace
} // namespace tickwell::testing
