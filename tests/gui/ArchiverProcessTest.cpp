// The web engine's process failing in every way it can: killed in the middle of a batch, frozen,
// missing, speaking another protocol, talking nonsense, leaving when idle. Each costs at most the
// document in progress; the status line says why, nothing half-written stays in the folder and
// the next document gets a new helper.
#include "ArchiveEngineFixture.h"
#include "archive/SaveURL.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTimer>

#include <csignal>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

class ArchiverFaultTest : public ArchiveEngineFixture {
protected:
    void SetUp() override { requireWorkingEngine(); }

    // Sends the signal to the helper as soon as the page at the target is being loaded by the
    // engine (its second request: the first one is the title lookup).
    void signalHelperWhileLoading(const QString &target, int signal)
    {
        m_watch.setInterval(20);
        QObject::connect(&m_watch, &QTimer::timeout, [this, target, signal] {
            if (server.requestCount(target) >= 2 && engine().helperProcessId() > 0) {
                m_watch.stop();
                m_signalled = engine().helperProcessId();
                ::kill(static_cast<pid_t>(m_signalled), signal);
            }
        });
        m_watch.start();
    }
    bool runBatch(double seconds)
    {
        controller().selItemSaveAllHeadlines();
        return controller().events().runUntil([this] { return !controller().isBusy(); }, seconds);
    }
    ~ArchiverFaultTest() override
    {
        if (m_signalled > 0)
            ::kill(static_cast<pid_t>(m_signalled), SIGKILL); // a stopped helper the test left behind
    }

    QTimer m_watch;
    qint64 m_signalled = 0;
};

TEST_F(ArchiverFaultTest, KillingTheHelperDuringTheThirdOfFiveDocumentsCostsThatDocumentOnly)
{
    settings.setValue(u"SetFilenameToHeadlineArticleName"_s, true);
    listSlowHeadlines(u"SLOW"_s, 5);
    signalHelperWhileLoading(u"/slow/3.html"_s, SIGKILL);
    ASSERT_TRUE(runBatch(90));

    EXPECT_EQ(savedFiles(), (QStringList{u"[SLOW] slow 1.webarchive"_s, u"[SLOW] slow 2.webarchive"_s,
                                         u"[SLOW] slow 4.webarchive"_s, u"[SLOW] slow 5.webarchive"_s}));
    EXPECT_TRUE(window().statuses().contains(
        u"There was an error saving file: [SLOW] slow 3.webarchive (the web engine stopped unexpectedly)"_s))
        << window().statuses().join(u'\n').toStdString();
    EXPECT_EQ(engine().helperStarts(), 2);
    EXPECT_EQ(window().status(), u"Done: 1 of 5 documents could not be saved"_s);
    EXPECT_FALSE(state.m_isSaving);
    EXPECT_EQ(statusItem.title(), u"AAPL 190.5"_s);
}

// A frozen helper: the page's time runs out, the helper does not answer the stop and is
// replaced; the next document (a PDF, asked of the new helper) is saved.
TEST_F(ArchiverFaultTest, AFrozenHelperIsReplacedAfterThePageTimeOut)
{
    settings.setValue(u"HeadlineFileFormat"_s, u"PDF"_s);
    settings.setValue(u"SetFilenameToHeadlineArticleName"_s, true);
    controller().setTimeouts({.pageLoad = 4, .engineAnswer = 10, .stopSettle = 4});
    listSlowHeadlines(u"SLOW"_s, 3);
    signalHelperWhileLoading(u"/slow/2.html"_s, SIGSTOP);
    ASSERT_TRUE(runBatch(90));

    EXPECT_EQ(savedFiles(), (QStringList{u"[SLOW] slow 1.pdf"_s, u"[SLOW] slow 3.pdf"_s}));
    EXPECT_TRUE(window().statuses().filter(u"There was an error saving file: [SLOW] slow 2.pdf"_s).size() == 1)
        << window().statuses().join(u'\n').toStdString();
    EXPECT_EQ(engine().helperStarts(), 2);
}

TEST_F(ArchiverFaultTest, StopEndsABatchPromptlyWhileTheHelperIsFrozen)
{
    listSlowHeadlines(u"SLOW"_s, 3);
    controller().setTimeouts({.pageLoad = 60, .engineAnswer = 60, .stopSettle = 2});
    signalHelperWhileLoading(u"/slow/1.html"_s, SIGSTOP);
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
    BrokenHelper{"FailsAfterTheLoad", u"/bin/sh"_s, kHello + u"read line; exit 1"_s, u" (the web engine stopped unexpectedly)"_s},
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
