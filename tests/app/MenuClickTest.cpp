// Every item of the fullest menu, chosen the way the tray delivers a click, against the local
// quote feed: each action must have its effect. A selector the controller does not handle, or an
// enabled item whose action this test does not know, fails here before a user finds it.
#include "controller/AppController.h"
#include "archive/RecordingProgressWindow.h"
#include "logging/LogFolder.h"
#include "platform/net/CurlUrlLoader.h"
#include "support/FakePlatform.h"
#include "support/FakeWebEngine.h"
#include "support/ManualEventWait.h"
#include "support/ToolHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <map>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

// The real loader, remembering what it was asked for. It answers before start returns (waiting
// in a nested loop), so a click's refresh has ended when the click returns.
class RecordingLoader final : public UrlLoader {
public:
    std::unique_ptr<FetchHandle> send(const std::vector<HttpRequest> &sent, ResponseCompletion done) override
    {
        for (const auto &request : sent)
            requests.append(request.address);
        done(SendAndWait(m_loader, sent));
        return nullptr;
    }
    QStringList requests;

private:
    CurlUrlLoader m_loader;
};

// Warnings of the process, for the report of an action without a handler.
QStringList gWarnings;
void recordWarning(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg)
        gWarnings.append(message);
}

class MenuClickTest : public ::testing::Test, protected FakePlatform {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(feed.host().isEmpty()) << "tickwell-feed did not start";
        QDir(downloads()).removeRecursively();
        QDir().mkpath(downloads());
        pointHostsAt(settings, feed.host());
        settings.setValue(u"StockSymbols"_s, QVariantList{u"ACME"_s, u"BETA"_s, u"HIDDEN"_s});
        settings.setValue(u"CompanyShares"_s, QVariantMap{{u"ACME"_s, u"100"_s}, {u"BETA"_s, qlonglong(7)}});
        settings.setValue(u"ShowSettings"_s, QVariantMap{{u"ACME"_s, qlonglong(1)}, {u"BETA"_s, qlonglong(1)}, {u"HIDDEN"_s, qlonglong(0)}});
        for (const char *key : {"OnlyShowFlagged", "ShowPreciousMetalsInMenu", "ShowOtherMarketIndicesInMenu", "ShowMarketIndicesInMenu",
                 "IncludeAfterHoursMenu", "IncludeHeadlinesInSubmenu", "IncludeiChartsInSubmenu", "IncludeInteractiveiChartsLinksInSubmenu",
                 "IncludeStockDataInSubmenu", "IncludeIndicesChartsInSubmenu", "IncludeStockHistoryInSubmenu", "LogToConsole"})
            settings.setValue(QLatin1String(key), true);
        settings.setValue(u"HeadlineFileFormat"_s, qlonglong(1));

        ArchiveServices services;
        services.makeWebEngine = [this]() -> std::unique_ptr<WebEngine> { return std::move(m_engine); };
        services.makeProgressWindow = [] { return std::make_unique<RecordingProgressWindow>(); };
        services.makeEventWait = [this]() -> std::unique_ptr<EventWait> { return std::make_unique<ManualEventWait>(timers); };
        controller.setArchiveServices(std::move(services));
        m_previousHandler = qInstallMessageHandler(recordWarning);
        gWarnings.clear();
        controller.applicationWillFinishLaunching();
        statusItem.open();
    }
    void TearDown() override
    {
        controller.applicationWillTerminate();
        qInstallMessageHandler(m_previousHandler);
    }

    static QString downloads() { return qEnvironmentVariable("XDG_DOWNLOAD_DIR"); }
    static QStringList documents() { return QDir(downloads()).entryList(QDir::Files, QDir::Name); }
    QString address(const QString &pathAndQuery) const { return feed.url(pathAndQuery); }

    // Lets a batch run to its end on the manual clock.
    void runUntilIdle()
    {
        for (double waited = 0; waited < 600 && controller.archive().isBusy(); waited += 0.1)
            timers.advance(0.1);
    }

    // The engine knows every headline the menu lists, under the title of its article.
    void knowHeadlines(const Menu &menu)
    {
        for (const auto &item : menu) {
            if (item.action == u"selectItemHeadline:"_s && item.toolTip)
                engine.addPage(*item.toolTip, FakeWebPage{.title = item.title, .loadSeconds = 0.2, .text = item.title});
            if (item.submenu)
                knowHeadlines(*item.submenu);
        }
    }

    FeedProcess feed;
    RecordingLoader recorder;
    std::unique_ptr<FakeWebEngine> m_engine = std::make_unique<FakeWebEngine>(timers);
    FakeWebEngine &engine = *m_engine;
    AppController controller{(loaderInUse = &recorder, platform())};

private:
    QtMessageHandler m_previousHandler = nullptr;
};

// Where an item sits: the titles of the lines above it, outermost first.
using Path = QStringList;

QString symbolOf(const Path &path)
{
    return path.isEmpty() ? QString() : QRegularExpression(u"\\[([^\\]]+)\\]"_s).match(path.front()).captured(1);
}

TEST_F(MenuClickTest, EveryEnabledItemHasItsEffect)
{
    knowHeadlines(controller.menu());
    const std::map<QString, QString> ranges{{u"1 Day"_s, u"1d"_s}, {u"5 Day"_s, u"5d"_s}, {u"3 Month"_s, u"3m"_s}, {u"6 Month"_s, u"6m"_s},
        {u"1 Year"_s, u"1y"_s}, {u"2 Year"_s, u"2y"_s}, {u"5 Year"_s, u"5y"_s}, {u"Max"_s, u"my"_s}};
    const std::map<QString, QString> metalCharts{{u"Gold"_s, u"/charts/livegoldnewyork.html"_s}, {u"Silver"_s, u"/charts/livesilver.html"_s},
        {u"Platinum"_s, u"/charts/liveplatinum.html"_s}, {u"Palladium"_s, u"/charts/livepalladium.html"_s}};
    qsizetype logLines = desktop.systemLogLines().size();
    const std::map<QString, QString> indexSymbols{{u"Dow"_s, u"%5EDJI"_s}, {u"Nasdaq"_s, u"%5EIXIC"_s}, {u"S&P"_s, u"%5EGSPC"_s}};
    const QString logFolder = GetOurApplicationSupportFolder().value_or(QString());

    // What one click must have done, given the item, where it sits and the desktop's new lines.
    struct Click { const MenuItem &item; Path path; QStringList lines; };
    const auto opens = [](const QString &expected) { return QStringList{u"open: "_s + expected}; };
    const std::map<QString, std::function<void(const Click &)>> effects{
        {u"selItemUpdateNow:"_s, [&](const Click &) { EXPECT_TRUE(recorder.requests.contains(address(u"/q?s=ACME"_s))); }},
        {u"selItemPreferences:"_s, [&](const Click &) { EXPECT_EQ(desktop.preferencesShown(), 1); }},
        {u"selItemQuit:"_s, [&](const Click &) { EXPECT_EQ(desktop.terminateRequests(), 1); }},
        {u"selItemStockSymbol:"_s, [&](const Click &c) { EXPECT_EQ(c.lines, opens(address(u"/q?s="_s + symbolOf({c.item.title})))); }},
        {u"selItemiChart:"_s, [&](const Click &c) { EXPECT_EQ(c.lines, opens(address(u"/echarts?s="_s + symbolOf(c.path)))); }},
        {u"selItemInteractiveiChart:"_s, [&](const Click &c) {
             const QString range = ranges.at(c.item.title.section(u" Share"_s, 0, 0));
             EXPECT_EQ(c.lines, opens(address(u"/echarts?s=%1+Interactive#symbol=%1;range=%2"_s.arg(symbolOf(c.path), range))));
         }},
        {u"selItemMarketIndices:"_s, [&](const Click &c) { EXPECT_EQ(c.lines, opens(address(u"/data/markets/"_s))); }},
        {u"selItemIndicesiChart:"_s, [&](const Click &c) { EXPECT_EQ(c.lines, opens(address(u"/q?s="_s + indexSymbols.at(c.path.front().section(u':', 0, 0))))); }},
        {u"selItemOtherMarketIndices:"_s, [&](const Click &c) { EXPECT_EQ(c.lines, opens(address(u"/"_s))); }},
        {u"selItemPreciousMetalBid:"_s, [&](const Click &c) { EXPECT_EQ(c.lines, opens(address(metalCharts.at(c.item.title.section(u':', 0, 0))))); }},
        {u"selItemOpenConsoleLog:"_s, [&](const Click &c) { EXPECT_EQ(c.lines, opens(QDir(logFolder).filePath(u"Tickwell_%1.log"_s.arg(symbolOf(c.path))))); }},
        {u"selItemClearHistories:"_s, [&](const Click &c) {
             ASSERT_EQ(c.lines.size(), 1);
             EXPECT_TRUE(c.lines[0].startsWith(u"alert: Are you sure"_s));
             const QVariantMap stored = settings.value(u"Histories"_s).value_or(QVariant()).toMap();
             if (c.path.isEmpty()) { // "Clear Histories": every symbol
                 EXPECT_TRUE(controller.state().m_stockSymbolHistories.isEmpty());
                 EXPECT_TRUE(settings.value(u"Histories"_s).has_value() && stored.isEmpty());
             } else {
                 EXPECT_TRUE(c.lines[0].contains(u'"' + symbolOf(c.path) + u'"'));
                 EXPECT_TRUE(controller.state().m_stockSymbolHistories.value(symbolOf(c.path)).isEmpty());
                 EXPECT_TRUE(stored.value(symbolOf(c.path)).toList().isEmpty());
             }
         }},
        {u"selItemLogHistories:"_s, [&](const Click &) { EXPECT_EQ(desktop.systemLogLines().size(), logLines + 1); }},
        {u"selectItemHeadline:"_s, [&](const Click &c) { EXPECT_TRUE(c.lines.value(0).startsWith(u"open: "_s + address(u"/news/"_s))); }},
        {u"selectPrintItemHeadline:"_s, [&](const Click &) { runUntilIdle(); EXPECT_EQ(documents().size(), 1); }},
        {u"selItemSaveHeadlines:"_s, [&](const Click &c) {
             EXPECT_TRUE(controller.state().m_isSaving);
             runUntilIdle();
             EXPECT_EQ(documents().size(), controller.state().m_headlines.value(symbolOf(c.path)).size());
         }},
        {u"selItemSaveAllHeadlines:"_s, [&](const Click &) {
             EXPECT_TRUE(controller.state().m_isSaving);
             runUntilIdle();
             qsizetype all = 0;
             for (const auto &records : controller.state().m_headlines)
                 all += records.size();
             EXPECT_EQ(documents().size(), all);
         }},
        {u"selItemHeadlinesFolder:"_s, [&](const Click &c) { EXPECT_EQ(QFileInfo(c.lines.value(0).mid(6)).canonicalFilePath(), QFileInfo(downloads()).canonicalFilePath()); }},
    };

    // Every enabled item, in menu order, from a copy of the menu as the tray delivers it.
    QSet<QString> clicked;
    std::function<void(const Menu &, const Path &)> clickAll = [&](const Menu &menu, const Path &path) {
        for (const auto &item : menu) {
            if (item.enabled() && !item.action.isEmpty()) {
                SCOPED_TRACE((path + Path{item.title, item.action}).join(u" > "_s).toStdString());
                ASSERT_TRUE(controller.handles(item.action));
                const auto effect = effects.find(item.action);
                ASSERT_NE(effect, effects.end()) << "an action this test does not check";
                QDir(downloads()).removeRecursively();
                QDir().mkpath(downloads());
                desktop.setAnswer(AlertButton::Default);
                recorder.requests.clear();
                const qsizetype before = desktop.lines().size();
                logLines = desktop.systemLogLines().size();
                statusItem.choose(item);
                effect->second(Click{item, path, desktop.lines().mid(before)});
                clicked.insert(item.action);
            }
            if (item.submenu)
                clickAll(*item.submenu, path + Path{item.title});
        }
    };
    const Menu menu = controller.menu();
    clickAll(menu, {});
    EXPECT_TRUE(gWarnings.isEmpty()) << gWarnings.join(u"\n"_s).toStdString();
    for (const auto &[selector, check] : effects)
        EXPECT_TRUE(clicked.contains(selector)) << "the fullest menu has no item with " << selector.toStdString();
}

TEST_F(MenuClickTest, StopSavingStandsInTheMenuWhileABatchRunsAndStopsIt)
{
    knowHeadlines(controller.menu());
    // The menu opened inside the batch's first page load, in its nested event loop.
    int loads = 0;
    std::optional<MenuItem> stop;
    engine.setLoadHook([&](const QString &) {
        if (++loads != 1)
            return;
        statusItem.open();
        for (const auto &item : controller.menu())
            if (item.title == u"Stop Saving All Headlines"_s)
                stop = item;
        if (stop)
            statusItem.choose(*stop);
    });
    const auto saveAll = std::find_if(controller.menu().begin(), controller.menu().end(),
        [](const MenuItem &item) { return item.action == u"selItemSaveAllHeadlines:"_s; });
    ASSERT_NE(saveAll, controller.menu().end());
    statusItem.choose(*saveAll);
    runUntilIdle();
    ASSERT_TRUE(stop.has_value()) << "no Stop item while saving";
    EXPECT_EQ(stop->action, u"selItemStopSaving:"_s);
    EXPECT_FALSE(controller.state().m_isSaving);
    EXPECT_EQ(loads, 1) << "the batch went on after Stop";
    EXPECT_LE(documents().size(), 1);
}

} // namespace
} // namespace tickwell::testing
