// Saving headline pages with the real web engine in tickwell-archiver, offscreen, with the real
// event loop, a real HTTP server on loopback and a download folder of the test's own: both
// document formats and the PDF's page size read back; then the helper failing in every way it
// can (killed in the middle of a batch, frozen, missing, speaking another protocol, talking
// nonsense, leaving when idle). Each failure costs at most the document in progress; the status
// line says why, nothing half-written stays in the folder and the next document gets a new
// helper. Each wait is bounded well inside the test's own time limit; skipped where the engine
// cannot start.
#include "app/ControllerState.h"
#include "app/Preferences.h"
#include "archive/ArchiveController.h"
#include "archive/ImageURL.h"
#include "archive/RecordingProgressWindow.h"
#include "archive/SaveURL.h"
#include "platform/net/CurlUrlLoader.h"
#include "platform/webengine/ProcessWebEngine.h"
#include "platform/session/QtTimerFactory.h"
#include "support/FakePlatform.h"
#include "support/LocalHttpServer.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

class ArchiveEngineFixture : public ::testing::Test, protected FakePlatform {
protected:
    // The real loader and Qt's timers: the helper process runs in real time.
    ArchiveEngineFixture()
    {
        loaderInUse = &realLoader;
        timersInUse = &realTimers;
        qputenv("XDG_DOWNLOAD_DIR", downloads.path().toLocal8Bit());
        statusItem.setTitle(QStringLiteral("AAPL 190.5"));
    }
    ~ArchiveEngineFixture() override { m_controller.reset(); }

    // Skips the test unless the helper is there and its engine loads a page here (as root
    // Chromium needs its sandbox off, which the helper does).
    void requireWorkingEngine()
    {
        if (ProcessWebEngine::helperPath().isEmpty())
            GTEST_SKIP() << "tickwell-archiver was not built (no Qt WebEngine)";
        ImageURL watcher(controller());
        ASSERT_NE(controller().webView(), nullptr);
        controller().webView()->load(QUrl(QStringLiteral("data:text/html,<title>probe</title>")));
        if (!controller().events().runUntil([&] { return watcher.loaded(); }, 40) || !watcher.succeeded())
            GTEST_SKIP() << "the web engine did not start";
    }

    // The engine the controller gets; the helper found beside the test program by default.
    virtual std::unique_ptr<WebEngine> makeEngine() { return ProcessWebEngine::create(); }

    ArchiveController &controller()
    {
        if (!m_controller) {
            ArchiveServices services;
            services.makeWebEngine = [this] { return makeEngine(); };
            services.makeProgressWindow = [this]() -> std::unique_ptr<ProgressWindow> {
                auto window = std::make_unique<RecordingProgressWindow>();
                m_window = window.get();
                return window;
            };
            m_controller = std::make_unique<ArchiveController>(platform(), state, prefs, std::move(services));
            m_controller->setTimeouts({.pageLoad = 30, .engineAnswer = 20, .stopSettle = 3});
        }
        return *m_controller;
    }
    RecordingProgressWindow &window()
    {
        controller().printWindow();
        return *m_window;
    }
    ProcessWebEngine &engine() { return dynamic_cast<ProcessWebEngine &>(*controller().webView()); }

    // Every entry of the download folder, hidden ones (a temporary file left behind) included.
    QStringList savedFiles() const { return QDir(downloads.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    QByteArray savedBytes(const QString &name) const
    {
        QFile file(downloads.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Headlines of one symbol whose pages each keep loading about 1.5 seconds (a slow picture).
    void listSlowHeadlines(const QString &symbol, int count)
    {
        test::LocalHttpServer::Response picture;
        picture.contentType = "image/png";
        picture.latency = std::chrono::milliseconds(1500);
        server.setResponse(QStringLiteral("/slow/pic.png"), picture);
        for (int n = 1; n <= count; ++n) {
            const QString target = QStringLiteral("/slow/%1.html").arg(n);
            server.serve(target, QStringLiteral("<html><head><title>Slow %1</title></head><body>Slow article %1"
                                                "<img src=\"/slow/pic.png\"></body></html>").arg(n).toUtf8());
            state.m_headlines[symbol].append({server.url(target), QStringLiteral("slow %1").arg(n), std::nullopt});
        }
    }

    test::LocalHttpServer server;
    QTemporaryDir downloads;
    CurlUrlLoader realLoader;
    QtTimerFactory realTimers;
    ControllerState state;
    Preferences prefs{settings};

private:
    RecordingProgressWindow *m_window = nullptr;
    std::unique_ptr<ArchiveController> m_controller;
};

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

class ArchiverFaultTest : public ArchiveWebEngineTest {
protected:
    // Sends each signal to the helper as soon as the page at its target is being loaded by the
    // engine (its second request: the first one is the title lookup).
    void signalHelperWhileLoading(std::vector<std::pair<QString, int>> plan)
    {
        QObject::connect(&m_watch, &QTimer::timeout, [this, plan, next = std::size_t(0)]() mutable {
            if (next < plan.size() && server.requestCount(plan[next].first) >= 2 && engine().helperProcessId() > 0) {
                m_signalled = engine().helperProcessId();
                ::kill(static_cast<pid_t>(m_signalled), plan[next++].second);
            }
        });
        m_watch.start(20);
    }
    ~ArchiverFaultTest() override
    {
        if (m_signalled > 0)
            ::kill(static_cast<pid_t>(m_signalled), SIGKILL); // a stopped helper the test left behind
    }

    QTimer m_watch;
    qint64 m_signalled = 0;
};

// A helper killed during the second of four documents, and its successor frozen during the
// third: the page's time runs out, the frozen helper does not answer the stop and is replaced;
// the fourth document (a PDF, asked of the third helper) is saved.
TEST_F(ArchiverFaultTest, AKilledAndAFrozenHelperCostTheirDocumentOnly)
{
    settings.setValue(u"HeadlineFileFormat"_s, u"PDF"_s);
    settings.setValue(u"SetFilenameToHeadlineArticleName"_s, true);
    controller().setTimeouts({.pageLoad = 5, .engineAnswer = 10, .stopSettle = 4});
    listSlowHeadlines(u"SLOW"_s, 4);
    signalHelperWhileLoading({{u"/slow/2.html"_s, SIGKILL}, {u"/slow/3.html"_s, SIGSTOP}});
    controller().selItemSaveAllHeadlines();
    ASSERT_TRUE(controller().events().runUntil([this] { return !controller().isBusy(); }, 90));

    EXPECT_EQ(savedFiles(), (QStringList{u"[SLOW] slow 1.pdf"_s, u"[SLOW] slow 4.pdf"_s}));
    const QStringList statuses = window().statuses();
    EXPECT_TRUE(statuses.contains(u"There was an error saving file: [SLOW] slow 2.pdf (the web engine stopped unexpectedly)"_s))
        << statuses.join(u'\n').toStdString();
    EXPECT_EQ(statuses.filter(u"There was an error saving file: [SLOW] slow 3.pdf"_s).size(), 1) << statuses.join(u'\n').toStdString();
    EXPECT_EQ(engine().helperStarts(), 3);
    EXPECT_EQ(window().status(), u"Done: 2 of 4 documents could not be saved"_s);
    EXPECT_FALSE(state.m_isSaving);
    EXPECT_EQ(statusItem.title(), u"AAPL 190.5"_s);
}

TEST_F(ArchiverFaultTest, StopEndsABatchPromptlyWhileTheHelperIsFrozen)
{
    listSlowHeadlines(u"SLOW"_s, 3);
    controller().setTimeouts({.pageLoad = 60, .engineAnswer = 60, .stopSettle = 2});
    signalHelperWhileLoading({{u"/slow/1.html"_s, SIGSTOP}});
    // Stop is clicked inside the batch's own waits, as the progress window's button would be.
    QTimer stop;
    QObject::connect(&stop, &QTimer::timeout, [&] {
        if (m_signalled > 0) {
            stop.stop();
            window().pressStop();
        }
    });
    stop.start(100);
    controller().selItemSaveAllHeadlines();
    // The page could take a minute; the stop grace is three seconds.
    EXPECT_TRUE(controller().events().runUntil([this] { return !controller().isBusy(); }, 25));
    EXPECT_GT(m_signalled, 0);
    EXPECT_TRUE(savedFiles().isEmpty()) << savedFiles().join(u'|').toStdString();
    EXPECT_EQ(server.requestCount(u"/slow/2.html"_s), 0);
    EXPECT_EQ(window().status(), u"Done: 1 of 1 documents could not be saved"_s);
}

class IdleHelperTest : public ArchiverFaultTest {
protected:
    std::unique_ptr<WebEngine> makeEngine() override
    {
        return std::make_unique<ProcessWebEngine>(ProcessWebEngine::Options{.arguments = {u"--idle-exit"_s, u"1"_s}});
    }
};

TEST_F(IdleHelperTest, TheHelperLeavesWhenIdleAndIsStartedForTheNextSave)
{
    ASSERT_TRUE(controller().events().runUntil([this] { return engine().helperProcessId() == 0; }, 20)) << "still running";
    server.serve(u"/later.html"_s, "<html><head><title>Later</title></head><body>later</body></html>");
    EXPECT_EQ(SaveURL(server.url(u"/later.html"_s), u"h"_s, std::nullopt, std::nullopt, controller()), SaveOutcome::Saved);
    EXPECT_EQ(savedFiles(), QStringList{u"Later.webarchive"_s});
    EXPECT_EQ(engine().helperStarts(), 2);
    EXPECT_TRUE(engine().failureReason().isEmpty());
}

// Stand-ins for the helper, as shell scripts: what the status line says when each lets a
// document down, twice in a row (the second save starts another one).
struct BrokenHelper {
    const char *name;
    QString program;
    QString script;
    QString reason; // the end of the status line
};

void PrintTo(const BrokenHelper &helper, std::ostream *out) { *out << helper.name; }

class BrokenHelperTest : public ArchiveEngineFixture, public ::testing::WithParamInterface<BrokenHelper> {
protected:
    std::unique_ptr<WebEngine> makeEngine() override
    {
        ProcessWebEngine::Options options{.program = GetParam().program, .stopGrace = std::chrono::milliseconds(1000)};
        if (!GetParam().script.isEmpty())
            options.arguments = {u"-c"_s, GetParam().script};
        return std::make_unique<ProcessWebEngine>(options);
    }
};

TEST_P(BrokenHelperTest, TheDocumentFailsWithTheReasonAndNothingIsWritten)
{
    controller().setTimeouts({.pageLoad = 2, .engineAnswer = 2, .stopSettle = 2});
    server.serve(u"/a.html"_s, "<html><head><title>A</title></head><body>a</body></html>");
    for (int attempt = 1; attempt <= 2; ++attempt) {
        EXPECT_EQ(SaveURL(server.url(u"/a.html"_s), u"h"_s, std::nullopt, std::nullopt, controller()), SaveOutcome::Failed);
        EXPECT_EQ(window().status(), u"There was an error saving file: A.webarchive"_s + GetParam().reason) << "attempt " << attempt;
        // A failed document costs at most one helper: the same load is never sent to another.
        EXPECT_LE(engine().helperStarts(), attempt) << "attempt " << attempt;
    }
    EXPECT_TRUE(savedFiles().isEmpty()) << savedFiles().join(u'|').toStdString();
    // Whatever the helper claims, no count line has more resources ended than started.
    static const QRegularExpression countLine(u"Loaded (\\d+) of (\\d+) resources, (\\d+) resource errors\\.$"_s);
    for (const QString &line : window().statuses().filter(countLine)) {
        const auto m = countLine.match(line);
        EXPECT_LE(m.captured(1).toInt() + m.captured(3).toInt(), m.captured(2).toInt()) << line.toStdString();
    }
    // Whatever was started is gone or about to go: nothing keeps running beyond the grace.
    EXPECT_TRUE(controller().events().runUntil([this] { return engine().helperProcessId() == 0; }, 3));
}

const QString kHello = uR"(printf '{"event":"hello","protocol":1}\n'; )"_s;

INSTANTIATE_TEST_SUITE_P(Helpers, BrokenHelperTest, ::testing::Values(
    BrokenHelper{"Missing", u"/nonexistent/tickwell-archiver"_s, {},
                 u" (the web engine could not be started: execvp: No such file or directory)"_s},
    BrokenHelper{"OtherProtocol", u"/bin/sh"_s, uR"(printf '{"event":"hello","protocol":99}\n'; exec cat >/dev/null)"_s,
                 u" (the web engine helper speaks protocol 99, not 1)"_s},
    BrokenHelper{"NonsenseThenDeath", u"/bin/sh"_s, kHello + uR"(printf 'not json\n[1,2]\n\n'; read line; exit 3)"_s,
                 u" (the web engine stopped unexpectedly)"_s},
    BrokenHelper{"EndlessLine", u"/bin/sh"_s, kHello + uR"(head -c 17000000 /dev/zero | tr '\0' x; exec cat >/dev/null)"_s,
                 u" (the web engine sent a message that is far too long)"_s},
    BrokenHelper{"LeavesAtOnceEveryTime", u"/bin/sh"_s, u"exit 0"_s, u" (the web engine stopped unexpectedly)"_s},
    BrokenHelper{"NeverAnswers", u"/bin/sh"_s, u"exec cat >/dev/null"_s,
                 u" (the page did not finish loading within 2 seconds)"_s},
    // Reports of another load, more ends than starts, then a failed load; then silence.
    BrokenHelper{"InflatedCounts", u"/bin/sh"_s, kHello + uR"(read line; n=$(printf '%s' "$line" | sed 's/.*"load":\([0-9]*\).*/\1/');)"
        uR"( printf '{"event":"resourceStarted","load":999}\n';)"
        uR"( for e in loadStarted resourceStarted resourceFinished resourceFinished resourceFailed; do printf '{"event":"%s","load":%s}\n' $e $n; done;)"
        uR"( printf '{"event":"progressFinished","load":%s,"ok":false}\n' $n; exec cat >/dev/null)"_s,
                 u" (the web engine did not answer)"_s}),
    [](const ::testing::TestParamInfo<BrokenHelper> &helper) { return std::string(helper.param.name); });

} // namespace
} // namespace tickwell::testing
