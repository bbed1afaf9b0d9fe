#pragma once

#include "alerts/PriceAlertDelivery.h"
#include "alerts/PriceAlertMonitor.h"
#include "app/ControllerState.h"
#include "app/Hosts.h"
#include "app/Preferences.h"
#include "controller/ActionTable.h"
#include "controller/StockDataRefresh.h"
#include "controller/MenuHold.h"
#include "controller/RangeChartWindow.h"
#include "archive/ArchiveController.h"
#include "platform/Platform.h"
#include "ticker/TitleTicker.h"

#include <memory>

namespace tickwell {

// The spine of the application: owns the long-lived state and the timers, runs the refresh, and
// rebuilds the status menu. Subsystems do their work on the state it hands them; this class keeps
// the entry points.
class AppController {
public:
    explicit AppController(Platform platform);
    ~AppController();

    AppController(const AppController &) = delete;
    AppController &operator=(const AppController &) = delete;

    void applicationWillFinishLaunching();
    void applicationWillTerminate();

    void setup();
    void scheduleSetup(std::int32_t delaySeconds);
    void updateStockData();
    void menuNeedsUpdate();
    void buildMenu();

    // Runs the action of a chosen menu item, as a click does. An action without a handler is
    // reported on stderr.
    void perform(const MenuItem &sender);
    bool handles(const QString &selector) const { return m_actions.contains(selector); }

    // The status menu came on screen or went away: timers wait while it is open.
    void menuVisibilityChanged(bool shown);
    bool timersHeld() const { return m_hold.isHeld(); }

    void selItemUpdateNow(const MenuItem &sender);
    void selItemPreferences(const MenuItem &sender);
    void selItemQuit(const MenuItem &sender);

    // One quote-monitor pass and one title-ticker step, as their timers run them.
    void stocksMonitorTimerAction();
    void itemTitleUpdateTimerAction();

    std::int32_t nbrHeadlines() const { return m_state.nbrHeadlines(); }

    // Headline saving, made when first needed with the services set here (before launch).
    void setArchiveServices(ArchiveServices services) { m_archiveServices = std::move(services); }
    ArchiveController &archive();

    // Where price alerts are shown (set before launch); without one they go to the system log and
    // the status item's tool tip.
    void setDesktopNotifications(DesktopNotifications *notifications) { m_desktopNotifications = notifications; }
    const PriceAlertMonitor &priceAlerts() const { return m_priceAlerts; }

    ControllerState &state() { return m_state; }
    const ControllerState &state() const { return m_state; }
    const Menu &menu() const { return m_menu; }
    const Preferences &preferences() const { return m_prefs; }
    Platform &platform() { return m_platform; }
    // The refresh timer, or nullptr before the first setup.
    const Timer *stocksUpdateTimer() const { return m_stocksUpdate_Timer.get(); }
    // The title ticker's timer, or nullptr while the ticker is off.
    const Timer *itemTitleUpdateTimer() const { return m_itemTitleUpdate_Timer.get(); }
    bool hasTerminated() const { return m_terminated; }
    // A refresh is fetching; the menu meanwhile shows the last complete one.
    bool isRefreshing() const { return m_refresh.isRunning() || m_finishedRefresh.has_value(); }
    // A refresh or a ticker step is waiting for the network (or a refresh for the menu to close).
    // A range's chart on its way to its window counts too.
    bool isFetching() const { return isRefreshing() || m_titleTicker.isFetching() || m_rangeChart.isFetching(); }

private:
    void registerActions();
    void restoreHistories();
    void storeHistories();
    std::unique_ptr<Timer> makeTimer(const QString &kind, double intervalSeconds, void (AppController::*callback)());
    void setupWhenMenuClosed();
    void stocksUpdateTimerAction();
    void refreshFinished(RefreshResult fresh);
    void downloadHeadlinesTimerAction();
    void checkPriceAlerts();
    void selItemInteractiveiChart(const MenuItem &sender);
    // The up and down colours of drawn charts: the preferences', else green and red.
    LiveChartColors liveChartColors() const;

    Platform m_platform;
    Preferences m_prefs;
    ControllerState m_state;
    Menu m_menu;
    ActionTable m_actions;
    MenuHold m_hold;

    std::unique_ptr<Timer> m_monitorStocksTimer;
    std::unique_ptr<Timer> m_stocksUpdate_Timer;
    std::unique_ptr<Timer> m_downloadHeadlines_Timer;
    std::unique_ptr<Timer> m_itemTitleUpdate_Timer;
    std::vector<std::unique_ptr<Timer>> m_setupTimers; // one-shot delayed setups
    TitleTicker m_titleTicker;
    // The live services' session and back-off outlive each refresh.
    LiveQuoteSource m_liveQuotes;
    StockDataRefresh m_refresh;
    RangeChartWindow m_rangeChart;
    // Asked for while a refresh ran with other settings: one more refresh when it ends.
    bool m_refreshAgain = false;
    // A ticker step fell due during a refresh: it runs when the refresh ends, as it would have
    // after a refresh that held the loop.
    bool m_tickAfterRefresh = false;
    bool m_buildAfterRefresh = false;
    std::optional<QString> m_refreshStartedText;
    // A refresh that has ended, waiting for the open menu to close.
    std::optional<RefreshResult> m_finishedRefresh;
    // What the status item showed before "Updating...".
    QString m_titleBeforeRefresh;
    QString m_imageNameBeforeRefresh;
    QImage m_imageBeforeRefresh;
    bool m_wakeRegistered = false;
    bool m_terminated = false;
    PriceAlertMonitor m_priceAlerts;
    DesktopNotifications *m_desktopNotifications = nullptr;
    std::unique_ptr<PriceAlertDelivery> m_alertDelivery;
    ArchiveServices m_archiveServices;
    std::unique_ptr<ArchiveController> m_archive; // last: goes first, while the state it uses is still there
};

// A rate in whole units as the timers use it: values that read as 0 or less (an empty or
// non-numeric text) would make a timer spin, so they fall back to the default.
std::int32_t EffectiveRate(std::int32_t rate, std::int32_t defaultRate);

} // namespace tickwell
