// The tray stays answerable while a refresh waits on a server that accepts and never answers:
// a panel-like client calls the item's dbusmenu GetLayout every 100 ms on a private session bus
// while the refresh runs to its time-out. Prints the slowest answer (goal: every answer within
// 100 ms), the refresh's length and whether the store kept its last pages.

#include "controller/AppController.h"
#include "gui/SniBus.h"
#include "platform/net/CurlUrlLoader.h"
#include "platform/headless/LocalNotificationCenter.h"
#include "platform/headless/ManualWakeMonitor.h"
#include "platform/session/QtTimerFactory.h"
#include "platform/headless/ScriptedDesktop.h"
#include "platform/desktop/DBusMenuTypes.h"
#include "platform/desktop/SniStatusItem.h"
#include "support/LocalHttpServer.h"
#include "support/MemorySettingsStore.h"

#include <QDBusMessage>
#include <QElapsedTimer>
#include <QGuiApplication>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

using namespace tickwell;

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "en_US.UTF-8");
    QGuiApplication app(argc, argv);
    tickwell::testing::PrivateSessionBus bus;
    if (!bus.isRunning()) {
        std::fprintf(stderr, "bench_responsiveness: dbus-daemon did not start\n");
        return 1;
    }
    RegisterDBusMenuTypes();
    QDBusConnection appBus = bus.connect(QStringLiteral("app"));
    QDBusConnection panelBus = bus.connect(QStringLiteral("panel"));

    test::LocalHttpServer server;
    QVariantList symbols;
    for (int i = 0; i < 10; ++i)
        symbols.append(QStringLiteral("S%1").arg(i));
    MemorySettingsStore settings(QVariantMap{{QStringLiteral("StockSymbols"), symbols},
                                             {QStringLiteral("QuotePageHost"), server.hostAndPort()},
                                             {QStringLiteral("ChartImageHost"), server.hostAndPort()},
                                             {QStringLiteral("LogoHost"), server.hostAndPort()},
                                             {QStringLiteral("LogToConsole"), false}});
    for (const QVariant &symbol : symbols)
        server.serve(QStringLiteral("/q?s=") + symbol.toString(), "<title>" + symbol.toString().toUtf8() + "</title>");

    constexpr auto refreshTimeout = std::chrono::seconds(3);
    CurlLoaderLimits limits;
    limits.totalTimeout = refreshTimeout;
    CurlUrlLoader loader(limits);
    SniStatusItem item(appBus);
    QtTimerFactory timers;
    ScriptedDesktop desktop;
    LocalNotificationCenter notifications;
    ManualWakeMonitor wake;
    AppController controller(Platform{settings, loader, item, timers, desktop, notifications, wake});
    controller.applicationWillFinishLaunching();
    tickwell::testing::WaitUntil([&] { return !controller.isRefreshing(); }, 10000);
    const qsizetype pagesBefore = controller.state().m_urlContents.size();

    // From now on the server accepts every request and never answers.
    for (const QVariant &symbol : symbols) {
        for (const QString &target : {QStringLiteral("/q?s=%1"), QStringLiteral("/t?s=%1"), QStringLiteral("/images/listed/log-%1.gif")})
            server.hang(target.arg(symbol.toString()));
    }

    std::atomic<bool> stop{false};
    std::atomic<long long> worstMs{0};
    std::atomic<int> calls{0};
    std::atomic<int> failures{0};
    const QString service = item.serviceName();
    std::thread panel([&] {
        while (!stop) {
            QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu"),
                                                               QStringLiteral("GetLayout"));
            call.setArguments({0, -1, QStringList()});
            QElapsedTimer answer;
            answer.start();
            const QDBusMessage reply = panelBus.call(call, QDBus::Block, 25000);
            const long long ms = answer.elapsed();
            failures += reply.type() != QDBusMessage::ReplyMessage;
            ++calls;
            worstMs = std::max(worstMs.load(), ms);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });

    QElapsedTimer refresh;
    refresh.start();
    controller.perform(MenuItem::make(QStringLiteral("Update Now"), QStringLiteral("selItemUpdateNow:")));
    tickwell::testing::WaitUntil([&] { return !controller.isRefreshing(); }, 60000);
    const long long refreshMs = refresh.elapsed();
    stop = true;
    panel.join();

    const qsizetype pagesAfter = controller.state().m_urlContents.size();
    std::printf("hanging server, refresh time-out %lld s: refresh ended after %lld ms; %d GetLayout calls meanwhile, "
                "%d failed, slowest answer %lld ms (goal: within 100 ms); store kept its %lld pages: %s\n",
                static_cast<long long>(refreshTimeout.count()), refreshMs, calls.load(), failures.load(), worstMs.load(),
                static_cast<long long>(pagesBefore), pagesAfter == pagesBefore && pagesBefore > 0 ? "yes" : "no");
    controller.applicationWillTerminate();
    return worstMs.load() <= 100 && failures == 0 && pagesAfter == pagesBefore ? 0 : 1;
}
