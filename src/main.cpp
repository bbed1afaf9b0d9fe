// Tickwell: stock quotes in the desktop's status area.
#include "controller/AppController.h"
#include "archive/ProgressWindowView.h"
#include "platform/CurlUrlLoader.h"
#include "platform/DBusNotificationCenter.h"
#include "platform/LogindWakeMonitor.h"
#include "platform/PlistSettingsStore.h"
#include "platform/ProcessWebEngine.h"
#include "platform/QtTimerFactory.h"
#include "platform/desktop/QtDesktop.h"
#include "platform/desktop/SwitchingStatusItem.h"
#include "platform/desktop/UnixSignalQuitter.h"
#include "prefs/TickwellPref.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <unistd.h>

using namespace tickwell;

namespace {

bool haveDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// Without a display there is no tray: print the menu instead, as the headless tool does.
int runHeadless(char **argv)
{
    const QString self = QFileInfo(QString::fromLocal8Bit(argv[0])).absolutePath();
    const QByteArray tool = QDir(self).filePath(QStringLiteral("tickwell-menu")).toLocal8Bit();
    std::fprintf(stderr, "tickwell: no display; printing the menu instead\n");
    ::execv(tool.constData(), argv);
    std::perror("tickwell: cannot run tickwell-menu");
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (!haveDisplay())
        return runHeadless(argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(TICKWELL_NAME));
    QApplication::setApplicationVersion(QStringLiteral(TICKWELL_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    PlistSettingsStore settings(PlistSettingsStore::defaultPath());
    CurlUrlLoader loader;
    SwitchingStatusItem statusItem; // StatusNotifierItem where a watcher runs, else the XEmbed tray icon
    QtTimerFactory timers;
    QtDesktop desktop;
    DBusNotificationCenter notifications;
    LogindWakeMonitor wake;
    UnixSignalQuitter signalQuitter;

    // Made at launch and hidden until "Preferences..." brings it to the front.
    TickwellPref preferences(PrefServices{settings, notifications, loader, desktop});
    desktop.setPreferencesHandler([&preferences] { preferences.showWindow(); });

    AppController controller(Platform{settings, loader, statusItem, timers, desktop, notifications, wake});
    // The web engine runs in tickwell-archiver, started when the first headline is saved.
    ArchiveServices archive;
    archive.makeWebEngine = &ProcessWebEngine::create;
    archive.makeProgressWindow = [] { return std::make_unique<ProgressWindowView>(); };
    controller.setArchiveServices(std::move(archive));
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&controller] { controller.applicationWillTerminate(); });
    controller.applicationWillFinishLaunching();
    return QApplication::exec();
}
