#pragma once

#include "app/ControllerState.h"
#include "app/Preferences.h"
#include "archive/ArchiveServices.h"
#include "archive/LoadObserver.h"
#include "platform/MenuItem.h"
#include "platform/Platform.h"
#include "platform/WebEngine.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace tickwell {

// A save the user or the automatic download asked for.
struct SaveRequest {
    enum class Kind { Headline, Symbol, AllSymbols };
    Kind kind = Kind::AllSymbols;
    QString value; // the article's address, or the symbol

    bool operator==(const SaveRequest &) const = default;
};

// Saving headline pages as documents: the single save of a headline's "Save" item, the batches
// of one symbol or of all symbols with their progress window, Stop, the automatic download and
// the headline folder. The application controller keeps the menu entry points and hands the
// work here; this object works on the controller's state and platform.
//
// One save at a time: the web view holds one page. A save or batch asked for while another one
// runs or is about to start waits its turn (the same request is not queued twice) and starts when
// the running one ends; Stop ends the running batch and drops what waits.
class ArchiveController final : public WebEngineDelegate {
public:
    ArchiveController(Platform &platform, ControllerState &state, const Preferences &prefs, ArchiveServices services = {});
    ~ArchiveController() override;
    ArchiveController(const ArchiveController &) = delete;
    ArchiveController &operator=(const ArchiveController &) = delete;

    // Menu actions; the sender's tool tip carries the address or the symbol.
    void selectItemHeadline(const MenuItem &sender);
    void selectPrintItemHeadline(const MenuItem &sender);
    void selItemSaveHeadlines(const MenuItem &sender);
    void selItemSaveAllHeadlines();
    void selItemStopSaving();
    void selItemHeadlinesFolder();
    // The progress window's stop control.
    void stopSaving();

    void saveHeadlinesTimerAction(const QString &symbol);
    void saveAllHeadlinesTimerAction();
    // The automatic download: a batch of all symbols once the menu has listed symbols, else
    // another try in 20 seconds.
    void downloadHeadlinesTimerAction(Timer &timer);

    void initResourceCounters(const QString &title, const QString &format);
    void updateResourceStatus();

    // WebEngineDelegate: the counters of the page being loaded.
    void webViewDidStartProvisionalLoad() override;
    void webViewDidReceiveTitle(const QString &title) override;
    void webViewResourceStarted() override;
    void webViewResourceFinished() override;
    void webViewResourceFailed() override;
    void webViewProgressFinished(bool succeeded) override;

    // A save runs, a batch is about to start, or requests wait.
    bool isBusy() const { return m_running || m_startPending || !m_waiting.empty(); }

    // What the saving functions work with.
    WebEngine *webView(); // made on first use; nullptr when there is no engine
    ProgressWindow &printWindow();
    EventWait &events();
    Platform &platform() { return m_platform; }
    ControllerState &state() { return m_state; }
    const Preferences &prefs() const { return m_prefs; }
    const ArchiveTimeouts &timeouts() const { return m_timeouts; }
    void setTimeouts(const ArchiveTimeouts &timeouts) { m_timeouts = timeouts; }
    // Stop was chosen while the current save ran.
    bool stopRequested() const { return m_stopRequested; }
    // Load observers are told of the end of every load until they are removed.
    void addLoadObserver(LoadObserver *observer);
    void removeLoadObserver(LoadObserver *observer);

    // The page being saved, as the status line shows it.
    std::int32_t resourceCount = 0;
    std::int32_t resourceFailedCount = 0;
    std::int32_t resourceCompletedCount = 0;
    QString destinationDirectoryPath;
    QString currentHeadlineTitle;
    QString headlineFileFormat;

private:
    // The status item as a batch found it.
    struct BatchStart {
        QString title;
        std::optional<std::vector<StyledRun>> styledTitle;
        QString imageName;
        QImage image;
    };

    void request(const SaveRequest &saveRequest);
    void start(const SaveRequest &saveRequest, bool fromQueue);
    void finishRun();
    void later(double seconds, std::function<void()> action);
    void runSingleSave(const QString &address);
    BatchStart beginBatch(bool allSymbols);
    // `failed` of the `begun` documents wrote nothing.
    void endBatch(qsizetype failed, qsizetype begun);
    void restoreStatusItem(const BatchStart &start);
    bool shouldStopBatch();

    Platform &m_platform;
    ControllerState &m_state;
    const Preferences &m_prefs;
    ArchiveServices m_services;
    ArchiveTimeouts m_timeouts;

    // Declared before the engine: a callback the engine makes while it goes may still wake a wait.
    std::unique_ptr<EventWait> m_events;
    std::unique_ptr<ProgressWindow> m_printWindow;
    std::unique_ptr<WebEngine> m_webView;
    bool m_webViewTried = false;

    std::vector<LoadObserver *> m_loadObservers;
    bool m_running = false;
    bool m_startPending = false;
    bool m_stopRequested = false;
    std::deque<SaveRequest> m_waiting;
    std::vector<std::unique_ptr<Timer>> m_timers; // one-shot starts; fired ones are dropped later
};

} // namespace tickwell
