// Runs the real application controller without a tray: launch, one menu opening, the chosen
// clicks, termination; prints the status item and the menu.
#include "MenuPrinter.h"
#include "MenuSelection.h"

#include "app/controller/AppController.h"
#include "platform/CurlUrlLoader.h"
#include "platform/HeadlessStatusItem.h"
#include "platform/LocalNotificationCenter.h"
#include "platform/ManualWakeMonitor.h"
#include "platform/PlistSettingsStore.h"
#include "platform/QtTimerFactory.h"
#include "platform/ScriptedDesktop.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QJsonDocument>
#include <QTextStream>

#include <cstdio>

using namespace tickwell;

namespace {

void printLine(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
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
    parser.addOptions({formatOption, selectOption, answerOption});
    parser.process(app);

    const QString format = parser.value(formatOption);
    if (format != QLatin1String("text") && format != QLatin1String("json")) {
        std::fprintf(stderr, "tickwell-menu: --format must be text or json\n");
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

    controller.applicationWillFinishLaunching();
    statusItem.open();

    if (format == QLatin1String("json")) {
        QJsonObject root;
        root.insert(QStringLiteral("statusItem"), StatusItemJson(statusItem));
        root.insert(QStringLiteral("menu"), MenuJson(controller.menu()));
        std::fputs(QJsonDocument(root).toJson(QJsonDocument::Indented).constData(), stdout);
    } else {
        std::fputs(qPrintable(MenuText(statusItem, controller.menu())), stdout);
    }
    std::fflush(stdout);

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
    }

    controller.applicationWillTerminate();
    return status;
}
