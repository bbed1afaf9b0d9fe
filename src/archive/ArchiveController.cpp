#include "archive/ArchiveController.h"

#include "archive/OutputFolders.h"
#include "archive/QtEventWait.h"
#include "archive/RecordingProgressWindow.h"
#include "archive/SaveURL.h"
#include "text/PageFetching.h"
#include "text/StringExtensions.h"

#include <algorithm>

namespace tickwell {

ArchiveController::ArchiveController(Platform &platform, ControllerState &state, const Preferences &prefs, ArchiveServices services)
    : m_platform(platform)
    , m_state(state)
    , m_prefs(prefs)
    , m_services(std::move(services))
{
}

ArchiveController::~ArchiveController()
{
    if (m_webView)
        m_webView->setDelegate(nullptr);
}

WebEngine *ArchiveController::webView()
{
    if (!m_webView && !m_webViewTried) {
        m_webViewTried = true;
        if (m_services.makeWebEngine)
            m_webView = m_services.makeWebEngine();
        if (m_webView)
            m_webView->setDelegate(this);
    }
    return m_webView.get();
}

ProgressWindow &ArchiveController::printWindow()
{
    if (!m_printWindow) {
        if (m_services.makeProgressWindow)
            m_printWindow = m_services.makeProgressWindow();
        if (!m_printWindow)
            m_printWindow = std::make_unique<RecordingProgressWindow>();
        m_printWindow->setStopAction([this] { stopSaving(); });
    }
    return *m_printWindow;
}

EventWait &ArchiveController::events()
{
    if (!m_events) {
        if (m_services.makeEventWait)
            m_events = m_services.makeEventWait();
        if (!m_events)
            m_events = std::make_unique<QtEventWait>();
    }
    return *m_events;
}

void ArchiveController::addLoadObserver(LoadObserver *observer)
{
    if (std::find(m_loadObservers.begin(), m_loadObservers.end(), observer) == m_loadObservers.end())
        m_loadObservers.push_back(observer);
}

void ArchiveController::removeLoadObserver(LoadObserver *observer)
{
    std::erase(m_loadObservers, observer);
}

// Resource status

void ArchiveController::initResourceCounters(const QString &title, const QString &format)
{
    resourceCount = 0;
    resourceFailedCount = 0;
    resourceCompletedCount = 0;
    currentHeadlineTitle = title;
    headlineFileFormat = format;
}

void ArchiveController::updateResourceStatus()
{
    // One pass: a title holding "%1" stays as it is.
    printWindow().setStatus(QStringLiteral("Title: \"%1\" (Format: %2): Loaded %3 of %4 resources, %5 resource errors.")
                                .arg(currentHeadlineTitle, headlineFileFormat, QString::number(resourceCompletedCount),
                                     QString::number(resourceCount), QString::number(resourceFailedCount)));
}

void ArchiveController::webViewDidStartProvisionalLoad()
{
    resourceCompletedCount = 0;
    updateResourceStatus();
}

void ArchiveController::webViewDidReceiveTitle(const QString &) {}

void ArchiveController::webViewResourceStarted()
{
    ++resourceCount;
}

void ArchiveController::webViewResourceFinished()
{
    ++resourceCompletedCount;
    updateResourceStatus();
}

void ArchiveController::webViewResourceFailed()
{
    ++resourceFailedCount;
    updateResourceStatus();
}

void ArchiveController::webViewProgressFinished(bool succeeded)
{
    // Observers leave the list as they are told.
    const std::vector<LoadObserver *> observers = m_loadObservers;
    for (LoadObserver *observer : observers)
        if (std::find(m_loadObservers.begin(), m_loadObservers.end(), observer) != m_loadObservers.end())
            observer->webPageFinishedLoading(succeeded);
    events().wake();
}

// Menu actions

void ArchiveController::selectItemHeadline(const MenuItem &sender)
{
    if (sender.toolTip && !sender.toolTip->isEmpty())
        m_platform.desktop.openUrl(*sender.toolTip);
}

void ArchiveController::selectPrintItemHeadline(const MenuItem &sender)
{
    if (!sender.toolTip || sender.toolTip->isEmpty())
        return;
    request({SaveRequest::Kind::Headline, *sender.toolTip});
}

void ArchiveController::selItemSaveHeadlines(const MenuItem &sender)
{
    if (!sender.toolTip || sender.toolTip->isEmpty())
        return;
    request({SaveRequest::Kind::Symbol, *sender.toolTip});
}

void ArchiveController::selItemSaveAllHeadlines()
{
    request({SaveRequest::Kind::AllSymbols, QString()});
}

void ArchiveController::selItemStopSaving()
{
    m_state.m_isSaving = false;
    m_waiting.clear();
    if (m_running)
        m_stopRequested = true;
    if (m_webView)
        m_webView->stopLoading();
}

void ArchiveController::stopSaving()
{
    // With nothing running, the window only shows how the last save ended: the button puts it away.
    if (!isBusy() && m_printWindow)
        m_printWindow->orderOut();
    selItemStopSaving();
}

void ArchiveController::selItemHeadlinesFolder()
{
    ShowOutputDirectory(m_platform.settings, m_platform.desktop);
}

// One save at a time

void ArchiveController::later(double seconds, std::function<void()> action)
{
    std::erase_if(m_timers, [](const auto &timer) { return !timer->isValid(); });
    m_timers.push_back(m_platform.timers.schedule(seconds, false, std::move(action)));
}

void ArchiveController::request(const SaveRequest &saveRequest)
{
    if (saveRequest.kind != SaveRequest::Kind::Headline)
        m_state.m_isSaving = true;
    if (!isBusy()) {
        start(saveRequest, false);
        return;
    }
    if (std::find(m_waiting.begin(), m_waiting.end(), saveRequest) == m_waiting.end())
        m_waiting.push_back(saveRequest);
}

void ArchiveController::start(const SaveRequest &saveRequest, bool fromQueue)
{
    switch (saveRequest.kind) {
    case SaveRequest::Kind::Headline:
        if (!fromQueue) {
            runSingleSave(saveRequest.value); // a click: saved before the action returns
            return;
        }
        m_startPending = true;
        later(0, [this, address = saveRequest.value] {
            m_startPending = false;
            runSingleSave(address);
        });
        return;
    case SaveRequest::Kind::Symbol:
        m_state.m_isSaving = true;
        m_startPending = true;
        later(0.5, [this, symbol = saveRequest.value] {
            m_startPending = false;
            saveHeadlinesTimerAction(symbol);
        });
        return;
    case SaveRequest::Kind::AllSymbols:
        m_state.m_isSaving = true;
        m_startPending = true;
        later(0.5, [this] {
            m_startPending = false;
            saveAllHeadlinesTimerAction();
        });
        return;
    }
}

void ArchiveController::finishRun()
{
    m_running = false;
    m_stopRequested = false;
    if (m_waiting.empty() || m_startPending)
        return;
    const SaveRequest next = m_waiting.front();
    m_waiting.pop_front();
    start(next, true);
}

void ArchiveController::runSingleSave(const QString &address)
{
    m_running = true;
    ProgressWindow &window = printWindow();
    window.setStatus(QStringLiteral("Loading title..."));
    if (m_prefs.displayTheHeadlineProgressWindow())
        window.orderFront();
    window.startProgress();

    const QString title = removeExtraWhiteSpace(stringByDecodingHTMLEntities(GetURLTitle(m_platform.loader, address, m_platform.timers.now())));
    window.setStatus(title.isEmpty() ? address : title);
    const SaveOutcome outcome = SaveURL(address, title, std::nullopt, std::nullopt, *this);

    window.stopProgress();
    if (outcome == SaveOutcome::Saved) {
        window.setStatus(QStringLiteral("Done"));
        window.orderOut();
    } else {
        // Nothing was written: the window stays (or comes) up with the reason on its status line.
        window.orderFront();
    }
    finishRun();
}

} // namespace tickwell
