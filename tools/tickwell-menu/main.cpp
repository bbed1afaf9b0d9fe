// Runs the real application controller without a tray: launch, one menu opening, the chosen
// clicks, termination; prints the status item and the menu.
#include "MenuPrinter.h"
#include "MenuSelection.h"
#include "PrintingNotifications.h"

#include "controller/AppController.h"
#include "archive/QtEventWait.h"
#include "archive/RecordingProgressWindow.h"
#include "platform/net/CurlUrlLoader.h"
#include "platform/session/DBusDesktopNotifications.h"
#include "platform/headless/HeadlessStatusItem.h"
#include "platform/headless/LocalNotificationCenter.h"
#include "platform/headless/ManualWakeMonitor.h"
#include "platform/settings/PlistSettingsStore.h"
#include "platform/webengine/ProcessWebEngine.h"
#include "platform/session/QtTimerFactory.h"
#include "platform/headless/ScriptedDesktop.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDBusConnection>
#include <QJsonDocument>
#include <QTextStream>

#include <cstdio>
#include <optional>

using namespace tickwell;

namespace {

// Lines of what happens during the launch (a price alert) wait until the menu is printed, so
// the JSON output stays one document at the start.
std::optional<QStringList> gHeldLines = QStringList();

void printLine(const QString &line)
{
    if (gHeldLines) {
        gHeldLines->append(line);
        return;
    }
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

void releaseHeldLines()
{
    const QStringList held = gHeldLines.value_or(QStringList());
    gHeldLines.reset();
    for (const QString &line : held)
        printLine(line);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tickwell-menu"));
    QApplication::setApplicationVersion(QStringLiteral(TICKWELL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Prints Tickwell's status item and menu without a tray."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption formatOption(QStringLiteral("format"), QStringLiteral("Output format: text or json."),
                                          QStringLiteral("format"), QStringLiteral("text"));
    const QCommandLineOption selectOption(QStringLiteral("select"),
                                          QStringLiteral("Choose an item by its titles, \"Title > Submenu item title\" (repeatable)."),
                                          QStringLiteral("path"));
    const QCommandLineOption answerOption(QStringLiteral("answer"), QStringLiteral("Button that answers alerts: default, alternate or other."),
                                          QStringLiteral("button"), QStringLiteral("default"));
    const QCommandLineOption tickerStepsOption(QStringLiteral("ticker-steps"),
                                               QStringLiteral("Run N title-ticker steps after the menu build, without waiting."),
                                               QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption monitorPassesOption(QStringLiteral("monitor-passes"),
                                                 QStringLiteral("Run N quote-monitor passes after the menu build."),
                                                 QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption pageTimeoutOption(QStringLiteral("page-timeout"),
                                               QStringLiteral("Seconds a headline page may take to load when saved (default 90)."),
                                               QStringLiteral("seconds"), QStringLiteral("90"));
    parser.addOptions({formatOption, selectOption, answerOption, tickerStepsOption, monitorPassesOption, pageTimeoutOption});
    parser.process(app);

    const QString format = parser.value(formatOption);
    if (format != QLatin1String("text") && format != QLatin1String("json")) {
        std::fprintf(stderr, "tickwell-menu: --format must be text or json\n");
        return 2;
    }
    bool tickerStepsValid = true;
    const int tickerSteps = parser.value(tickerStepsOption).toInt(&tickerStepsValid);
    bool monitorValid = true;
    const int monitorPasses = parser.value(monitorPassesOption).toInt(&monitorValid);
    if (!tickerStepsValid || !monitorValid || tickerSteps < 0 || monitorPasses < 0) {
        std::fprintf(stderr, "tickwell-menu: --ticker-steps and --monitor-passes take a count of 0 or more\n");
        return 2;
    }
    const QString answerText = parser.value(answerOption);
    AlertButton answer = AlertButton::Default;
    if (answerText == QLatin1String("alternate"))
        answer = AlertButton::Alternate;
    else if (answerText == QLatin1String("other"))
        answer = AlertButton::Other;
    else if (answerText != QLatin1String("default")) {
        std::fprintf(stderr, "tickwell-menu: --answer must be default, alternate or other\n");
        return 2;
    }

    PlistSettingsStore settings(PlistSettingsStore::defaultPath());
    CurlUrlLoader loader;
    HeadlessStatusItem statusItem;
    QtTimerFactory timers;
    ScriptedDesktop desktop(answer, printLine);
    LocalNotificationCenter notifications;
    ManualWakeMonitor wake;
    AppController controller(Platform{settings, loader, statusItem, timers, desktop, notifications, wake});
    // Price alerts go to the session's notification service when there is one, and are printed.
    std::unique_ptr<DBusDesktopNotifications> notificationService;
    if (QDBusConnection::sessionBus().isConnected())
        notificationService = std::make_unique<DBusDesktopNotifications>();
    PrintingNotifications printedNotifications(notificationService.get(), printLine);
    controller.setDesktopNotifications(&printedNotifications);
    ArchiveServices archiveServices;
    archiveServices.makeWebEngine = &ProcessWebEngine::create; // tickwell-archiver, on the first save
    // The progress window's status lines, less the running resource counts.
    archiveServices.makeProgressWindow = [] {
        return std::make_unique<RecordingProgressWindow>([](const QString &status) {
            if (!status.isEmpty() && !status.startsWith(QLatin1String("Title: \"")))
                printLine(QStringLiteral("progress: ") + status);
        });
    };
    controller.setArchiveServices(std::move(archiveServices));
    bool timeoutValid = false;
    const double pageTimeout = parser.value(pageTimeoutOption).toDouble(&timeoutValid);
    if (!timeoutValid || !(pageTimeout > 0)) {
        std::fprintf(stderr, "tickwell-menu: --page-timeout must be a number of seconds above 0\n");
        return 2;
    }
    ArchiveTimeouts timeouts;
    timeouts.pageLoad = pageTimeout;
    controller.archive().setTimeouts(timeouts);

    // Fetches run beside the event loop: the launch refresh (and a ticker step) end before the
    // menu is read.
    const auto waitForFetches = [&controller] {
        QtEventWait().runUntil([&controller] { return !controller.isFetching(); }, 24.0 * 3600);
    };
    controller.applicationWillFinishLaunching();
    waitForFetches();
    statusItem.open();

    // Monitor passes, then ticker steps, each run at once; all before any --select.
    for (int pass = 0; pass < monitorPasses; ++pass)
        controller.stocksMonitorTimerAction();
    QJsonArray tickerStepsJson;
    QString tickerStepsText;
    for (int step = 1; step <= tickerSteps; ++step) {
        controller.itemTitleUpdateTimerAction();
        waitForFetches();
        std::optional<double> nextFireIn;
        if (const Timer *timer = controller.itemTitleUpdateTimer())
            nextFireIn = static_cast<double>(timers.now().msecsTo(timer->fireDate())) / 1000.0;
        tickerStepsJson.append(TickerStepJson(statusItem, nextFireIn));
        tickerStepsText += TickerStepText(step, statusItem, nextFireIn);
    }

    if (format == QLatin1String("json")) {
        QJsonObject root;
        root.insert(QStringLiteral("statusItem"), StatusItemJson(statusItem));
        root.insert(QStringLiteral("menu"), MenuJson(controller.menu()));
        if (parser.isSet(tickerStepsOption))
            root.insert(QStringLiteral("tickerSteps"), tickerStepsJson);
        std::fputs(QJsonDocument(root).toJson(QJsonDocument::Indented).constData(), stdout);
    } else {
        std::fputs(qPrintable(MenuText(statusItem, controller.menu()) + tickerStepsText), stdout);
    }
    std::fflush(stdout);
    releaseHeldLines();

    int status = 0;
    for (const QString &path : parser.values(selectOption)) {
        statusItem.open();
        const auto item = FindMenuItem(controller.menu(), path);
        if (!item) {
            std::fprintf(stderr, "tickwell-menu: no menu item \"%s\"\n", qPrintable(path));
            status = 1;
            continue;
        }
        statusItem.choose(*item);
        // A headline batch starts on a timer and a refresh ("Update Now") fetches beside the
        // event loop: the next choice and the end wait for both.
        QtEventWait().runUntil([&controller] { return !controller.archive().isBusy() && !controller.isFetching(); },
                               24.0 * 3600);
    }

    // Notifications on their way reach the service (or fall back) before the process ends.
    if (notificationService)
        QtEventWait().runUntil([&notificationService] { return notificationService->pendingCalls() == 0; }, 10.0);
    controller.applicationWillTerminate();
    return status;
}
