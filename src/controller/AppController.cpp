#include "controller/AppController.h"

#include "alerts/PriceAlertGroup.h"
#include "app/ValueFormatting.h"
#include "controller/LiveQuotesMerge.h"
#include "controller/StockDataRefresh.h"
#include "live/LiveSnapshot.h"
#include "logging/ConsoleLog.h"
#include "logging/Loggers.h"
#include "logging/QuoteHistory.h"
#include "logging/StockMonitor.h"
#include "sources/ClassicSnapshot.h"
#include "sources/HeadlinesGroup.h"
#include "sources/SourceActions.h"

#include <QImage>

namespace tickwell {

namespace {

QImage resourceImage(const char *name)
{
    return QImage(QStringLiteral(":/images/") + QLatin1String(name));
}

} // namespace

std::int32_t EffectiveRate(std::int32_t rate, std::int32_t defaultRate)
{
    return rate > 0 ? rate : defaultRate;
}

AppController::AppController(Platform platform)
    : m_platform(platform)
    , m_prefs(platform.settings)
    , m_hold(platform.timers)
    , m_liveQuotes(platform.loader, platform.timers, platform.settings)
    , m_refresh(platform.loader, platform.timers, m_liveQuotes)
    , m_rangeChart(platform.loader, platform.settings, platform.desktop)
{
    registerActions();
}

AppController::~AppController() = default;

void AppController::registerActions()
{
    m_actions.add(QStringLiteral("selItemUpdateNow:"), [this](const MenuItem &item) { selItemUpdateNow(item); });
    m_actions.add(QStringLiteral("selItemPreferences:"), [this](const MenuItem &item) { selItemPreferences(item); });
    m_actions.add(QStringLiteral("selItemQuit:"), [this](const MenuItem &item) { selItemQuit(item); });
    m_actions.add(QStringLiteral("selItemOpenConsoleLog:"), [this](const MenuItem &item) { selItemOpenConsoleLog(item, m_platform.desktop); });
    m_actions.add(QStringLiteral("selItemClearHistories:"), [this](const MenuItem &item) {
        if (selItemClearHistories(item, m_state, m_platform.desktop))
            StoreChangedHistories(m_platform.settings, m_state.m_stockSymbolHistories);
    });
    m_actions.add(QStringLiteral("selItemClearPriceAlerts:"), [this](const MenuItem &item) { selItemClearPriceAlerts(item, m_platform.settings, m_priceAlerts); });
    m_actions.add(QStringLiteral("selItemLogHistories:"), [this](const MenuItem &) { selItemLogHistories(m_state, m_platform.desktop); });
    m_actions.add(QStringLiteral("selectItemHeadline:"), [this](const MenuItem &item) { archive().selectItemHeadline(item); });
    m_actions.add(QStringLiteral("selectPrintItemHeadline:"), [this](const MenuItem &item) { archive().selectPrintItemHeadline(item); });
    m_actions.add(QStringLiteral("selItemSaveHeadlines:"), [this](const MenuItem &item) { archive().selItemSaveHeadlines(item); });
    m_actions.add(QStringLiteral("selItemSaveAllHeadlines:"), [this](const MenuItem &) { archive().selItemSaveAllHeadlines(); });
    m_actions.add(QStringLiteral("selItemStopSaving:"), [this](const MenuItem &) { archive().selItemStopSaving(); });
    m_actions.add(QStringLiteral("selItemHeadlinesFolder:"), [this](const MenuItem &) { archive().selItemHeadlinesFolder(); });

    // The quote sections' lines and links open pages of the services the settings name.
    using SourceAction = void (*)(const MenuItem &, const Hosts &, Desktop &);
    const std::pair<const char *, SourceAction> sourceActions[] = {
        {"selItemStockSymbol:", &tickwell::selItemStockSymbol},
        {"selItemiChart:", &tickwell::selItemiChart},
        {"selItemMarketIndices:", &tickwell::selItemMarketIndices},
        {"selItemIndicesiChart:", &tickwell::selItemIndicesiChart},
        {"selItemOtherMarketIndices:", &tickwell::selItemOtherMarketIndices},
        {"selItemPreciousMetalBid:", &tickwell::selItemPreciousMetalBid},
    };
    for (const auto &entry : sourceActions) {
        const SourceAction action = entry.second; // a structured binding cannot be captured by clang 14
        m_actions.add(QLatin1String(entry.first), [this, action](const MenuItem &item) {
            action(item, Hosts::fromSettings(m_platform.settings), m_platform.desktop);
        });
    }    m_actions.add(QStringLiteral("selItemInteractiveiChart:"), [this](const MenuItem &item) { selItemInteractiveiChart(item); });
}

LiveChartColors AppController::liveChartColors() const
{
    return {m_state.m_upColor.value_or(QColor(0, 128, 0)), m_state.m_downColor.value_or(QColor(192, 0, 0))};
}

void AppController::selItemInteractiveiChart(const MenuItem &sender)
{
    const Hosts hosts = Hosts::fromSettings(m_platform.settings);
    if (hosts.classic.quotePage) {
        tickwell::selItemInteractiveiChart(sender, hosts, m_platform.desktop);
        return;
    }
    // The live link carries the symbol; the drawn chart takes the menu's colours.
    if (sender.toolTip)
        m_rangeChart.show(*sender.toolTip, sender.title, liveChartColors());
}

void AppController::applicationWillFinishLaunching()
{
    m_state.m_isSaving = false;
    m_state.m_downImage = resourceImage("menuitem_down_r.tif");
    m_state.m_upImage = resourceImage("menuitem_up_g.tif");
    m_state.m_spacerImage = resourceImage("menuitem_spacer.tif");
    m_platform.settings.synchronize();

    m_state.m_lastStockValues.reset();
    m_stocksUpdate_Timer.reset();
    m_monitorStocksTimer.reset();
    m_downloadHeadlines_Timer.reset();
    m_itemTitleUpdate_Timer.reset();
    m_state.m_stocksUpdate_DateTimeString = QStringLiteral("None");
    m_state.m_downloadHeadlines_DateTimeString = QStringLiteral("None");
    m_state.m_upColor.reset();
    m_state.m_downColor.reset();
    m_state.m_urlTitles.clear();
    m_state.m_urlContents.clear();
    m_state.m_quotes = QuoteSnapshot();
    m_state.m_headlines.clear();
    m_state.m_lastHistory_DateTimeString.reset();

    m_platform.statusItem.setImage(QStringLiteral("Tickwell.tif"), resourceImage("Tickwell.tif"));
    m_platform.statusItem.setTitle(QString());
    m_platform.statusItem.setMenuHandlers(MenuHandlers{[this] { menuNeedsUpdate(); }, [this](const MenuItem &item) { perform(item); },
        [this](bool shown) { menuVisibilityChanged(shown); }});

    restoreHistories();
    setup();

    m_platform.notifications.observePreferencesChanged([this] { setupWhenMenuClosed(); });
    m_wakeRegistered = m_platform.wake.start([this] { scheduleSetup(5); });
}

void AppController::restoreHistories()
{
    m_state.m_stockSymbolHistories.clear();
    const auto symbolsValue = m_platform.settings.value(QStringLiteral("StockSymbols"));
    if (!symbolsValue)
        return;
    const QStringList symbols = m_prefs.stockSymbols();
    const auto stored = m_platform.settings.value(QStringLiteral("Histories"));
    if (!stored || stored->typeId() != QMetaType::QVariantMap)
        return;
    const QVariantMap histories = stored->toMap();
    for (auto it = histories.constBegin(); it != histories.constEnd(); ++it) {
        if (!symbols.contains(it.key()) || it->typeId() != QMetaType::QVariantList)
            continue;
        QStringList entries;
        for (const auto &entry : it->toList())
            entries.append(entry.toString());
        m_state.m_stockSymbolHistories.insert(it.key(), entries);
    }
}

void AppController::storeHistories()
{
    QVariantMap histories;
    for (auto it = m_state.m_stockSymbolHistories.constBegin(); it != m_state.m_stockSymbolHistories.constEnd(); ++it) {
        QVariantList entries;
        for (const auto &entry : *it)
            entries.append(entry);
        histories.insert(it.key(), entries);
    }
    m_platform.settings.setValue(QStringLiteral("Histories"), histories);
    m_platform.settings.synchronize();
}

std::unique_ptr<Timer> AppController::makeTimer(const QString &kind, double intervalSeconds, void (AppController::*callback)())
{
    return m_platform.timers.schedule(intervalSeconds, true, [this, kind, callback] {
        m_hold.run(kind, [this, callback] { (this->*callback)(); });
    });
}

void AppController::setup()
{
    m_platform.settings.synchronize();
    m_state.m_lastStockValues.reset();
    for (auto *timer : {&m_monitorStocksTimer, &m_stocksUpdate_Timer, &m_downloadHeadlines_Timer, &m_itemTitleUpdate_Timer}) {
        if (*timer) {
            (*timer)->invalidate();
            timer->reset();
        }
    }
    m_titleTicker.cancel(); // its step belongs to the timer just dropped
    m_tickAfterRefresh = false;

    if (m_prefs.logToConsole()) {
        startLogging(m_prefs, m_platform.timers.now());
        m_state.m_lastStockValues.emplace();
        const std::int32_t monitorMinutes = EffectiveRate(m_prefs.logToConsoleRate(), 10);
        m_monitorStocksTimer = makeTimer(QStringLiteral("monitor"), static_cast<double>(monitorMinutes) * 60.0, &AppController::stocksMonitorTimerAction);
        m_monitorStocksTimer->fire();
    }

    const std::int32_t refreshMinutes = EffectiveRate(m_prefs.stockDataUpdateRate(), 60);
    m_stocksUpdate_Timer = makeTimer(QStringLiteral("refresh"), static_cast<double>(refreshMinutes) * 60.0, &AppController::stocksUpdateTimerAction);
    m_stocksUpdate_Timer->fire();
    m_buildAfterRefresh = m_refresh.isRunning();

    if (m_prefs.downloadHeadlines()) {
        // The same rate as the refresh.
        m_downloadHeadlines_Timer = makeTimer(QStringLiteral("download"), static_cast<double>(refreshMinutes) * 60.0, &AppController::downloadHeadlinesTimerAction);
        m_downloadHeadlines_Timer->fire();
    }

    if (m_prefs.titleTicker()) {
        // Seconds, not minutes.
        const std::int32_t tickerSeconds = EffectiveRate(m_prefs.titleTickerRate(), 10);
        m_itemTitleUpdate_Timer = makeTimer(QStringLiteral("ticker"), static_cast<double>(tickerSeconds), &AppController::itemTitleUpdateTimerAction);
        m_itemTitleUpdate_Timer->fire();
    }

    m_state.m_upColor = m_prefs.upColor();
    m_state.m_downColor = m_prefs.downColor();
    // Who draws the menu on a status-notifier panel; the menu is closed here (setup waits for it).
    m_platform.statusItem.setPanelMenu(m_prefs.panelMenu());
    buildMenu();
}

void AppController::scheduleSetup(std::int32_t delaySeconds)
{
    // One-shot and not cancellable: each call runs setup once more. Fired timers are dropped here,
    // never from inside their own callback.
    std::erase_if(m_setupTimers, [](const auto &timer) { return !timer->isValid(); });
    m_setupTimers.push_back(m_platform.timers.schedule(static_cast<double>(delaySeconds), false, [this] { setupWhenMenuClosed(); }));
}

void AppController::setupWhenMenuClosed()
{
    // A setup restarts every timer and fires each once: what waits for the menu is dropped for it.
    m_hold.run(QStringLiteral("setup"), [this] { setup(); }, true);
}

void AppController::stocksUpdateTimerAction()
{
    updateStockData();
}

void AppController::stocksMonitorTimerAction()
{
    RunStockMonitorPass(m_state, m_prefs, m_platform.timers.now());
    checkPriceAlerts();
}

void AppController::checkPriceAlerts()
{
    const QDateTime now = m_platform.timers.now();
    const auto events = m_priceAlerts.check(m_state, m_prefs, now);
    if (events.empty())
        return;
    if (!m_alertDelivery) {
        m_alertDelivery = std::make_unique<PriceAlertDelivery>(PriceAlertDelivery::Services{
            m_desktopNotifications, m_platform.desktop, m_platform.statusItem, resourceImage("Tickwell.tif"),
            [this](const QString &symbol) { OpenQuotePage(Hosts::fromSettings(m_platform.settings), m_platform.desktop, symbol); }});
    }
    const bool logToConsole = m_prefs.logToConsole();
    for (const auto &event : events)
        m_alertDelivery->deliver(event, logToConsole, now);
}

void AppController::itemTitleUpdateTimerAction()
{
    if (isRefreshing()) {
        m_tickAfterRefresh = true; // the status item says "Updating..." until the refresh ends
        return;
    }
    const Hosts hosts = Hosts::fromSettings(m_platform.settings);
    m_titleTicker.itemTitleUpdateTimerAction(TickerContext{m_platform.statusItem, m_prefs, hosts, m_platform.loader, m_state, m_platform.timers},
                                             m_itemTitleUpdate_Timer.get());
}

ArchiveController &AppController::archive()
{
    if (!m_archive)
        m_archive = std::make_unique<ArchiveController>(m_platform, m_state, m_prefs, m_archiveServices);
    return *m_archive;
}

void AppController::downloadHeadlinesTimerAction()
{
    if (m_downloadHeadlines_Timer)
        archive().downloadHeadlinesTimerAction(*m_downloadHeadlines_Timer);
}

void AppController::updateStockData()
{
    const Hosts hosts = Hosts::fromSettings(m_platform.settings);
    std::vector<RefreshRequest> requests = RefreshRequests(m_prefs, hosts);
    if (isRefreshing()) {
        // One refresh at a time. The one running brings fresh pages already, unless the settings
        // changed what to fetch: then one more follows it.
        if (requests != m_refresh.requests() || LiveRequest(m_prefs, hosts) != m_refresh.liveRequest())
            m_refreshAgain = true;
        return;
    }

    StatusItem &item = m_platform.statusItem;
    m_titleBeforeRefresh = item.title();
    m_imageNameBeforeRefresh = item.imageName();
    m_imageBeforeRefresh = item.image();
    item.setImage(QStringLiteral("Tickwell.tif"), resourceImage("Tickwell.tif"));
    item.setTitle(QStringLiteral("Updating..."));

    // The time the refresh started; it becomes "Last Update" (and starts a new history step) with
    // the store it brings, not before.
    m_refreshStartedText = MakeDateTimeString(m_platform.timers.now(), 3, 3);

    // The pages are cut into quotes once, for the symbols asked for, as soon as they arrive. The
    // titles their headlines need are looked up before the refresh is handed over, so the first
    // menu after the refresh shows them without a fetch of its own.
    std::optional<LiveRefreshRequest> live = LiveRequest(m_prefs, hosts);
    auto cutQuotes = [this, hosts, symbols = RefreshSymbols(m_prefs)](const PageStore &fresh, const LiveRefreshResult *answers) {
        QuoteSnapshot quotes = CutClassicSnapshot(fresh, hosts, symbols);
        if (answers && m_refresh.liveRequest()) {
            MergeLiveQuotes(quotes, SnapshotFromLiveRefresh(*m_refresh.liveRequest(), *answers, liveChartColors()), m_state.m_quotes,
                            symbols, hosts, fresh);
        }
        return quotes;
    };
    auto untitledLinks = [this](const QuoteSnapshot &fresh) {
        std::vector<QString> untitled;
        if (!m_prefs.includeHeadlinesInSubmenu())
            return untitled;
        for (const auto &watched : m_prefs.watchList(true)) {
            if (const SymbolQuote *quote = fresh.symbol(watched.symbol)) {
                for (QString &address : HeadlineAddressesWithoutTitle(quote->headlines, m_state.m_urlTitles))
                    untitled.push_back(std::move(address));
            }
        }
        return untitled;
    };
    m_refresh.start(std::move(requests), std::move(live), std::move(cutQuotes), std::move(untitledLinks), [this](RefreshResult fresh) {
        // The store and the title do not change under an open menu: handed over once it closes.
        m_finishedRefresh = std::move(fresh);
        m_hold.run(QStringLiteral("refresh ended"), [this] {
            if (m_finishedRefresh)
                refreshFinished(*std::exchange(m_finishedRefresh, std::nullopt));
        });
    });
}

void AppController::refreshFinished(RefreshResult fresh)
{
    // A refresh that brought nothing at all (the network down, a server that never answers)
    // leaves the last complete store, and its time, in place rather than an empty menu.
    const bool broughtNothing = !fresh.broughtQuotes && (!m_refresh.requests().empty() || m_refresh.liveRequest());
    if (!broughtNothing) {
        m_state.m_urlContents = std::move(fresh.pages);
        m_state.m_quotes = std::move(fresh.quotes);
        if (m_refreshStartedText)
            m_state.m_stocksUpdate_DateTimeString = *m_refreshStartedText;
    } else {
        // Why it brought nothing is news all the same.
        m_state.m_quotes.problems = std::move(fresh.quotes.problems);
    }
    m_refreshStartedText.reset();
    StatusItem &item = m_platform.statusItem;
    item.setTitle(m_titleBeforeRefresh);
    item.setImage(m_imageNameBeforeRefresh, m_imageBeforeRefresh);
    checkPriceAlerts();

    if (std::exchange(m_refreshAgain, false)) {
        updateStockData();
        return; // the ticker and the menu wait for that one too
    }
    // setup builds the menu after its refresh: now that refresh has ended.
    if (std::exchange(m_buildAfterRefresh, false))
        buildMenu();
    if (std::exchange(m_tickAfterRefresh, false) && m_itemTitleUpdate_Timer)
        itemTitleUpdateTimerAction();
}

void AppController::menuNeedsUpdate()
{
    buildMenu();
}

void AppController::perform(const MenuItem &sender)
{
    // Choosing an item closes the menu, whether or not its owner said so.
    m_hold.menuHidden();
    if (!m_actions.perform(sender) && !sender.action.isEmpty())
        qWarning("Tickwell: the menu item \"%s\" asks for the action %s, which has no handler", qUtf8Printable(sender.title),
            qUtf8Printable(sender.action));
}

void AppController::menuVisibilityChanged(bool shown)
{
    if (shown)
        m_hold.menuShown();
    else
        m_hold.menuHidden();
}

void AppController::selItemUpdateNow(const MenuItem &)
{
    updateStockData();
}

void AppController::selItemPreferences(const MenuItem &)
{
    m_platform.desktop.showPreferences();
}

void AppController::selItemQuit(const MenuItem &)
{
    m_platform.desktop.terminate();
}

void AppController::applicationWillTerminate()
{
    if (m_terminated)
        return; // a signal and Quit may both ask; the sequence runs once
    m_terminated = true;
    // Transfers still running are dropped; what the last complete refresh stored stays.
    m_refresh.cancel();
    m_finishedRefresh.reset();
    m_refreshAgain = false;
    m_buildAfterRefresh = false;
    m_titleTicker.cancel();
    m_rangeChart.cancel();
    stopLogging(m_platform.timers.now());
    storeHistories();
}

} // namespace tickwell
