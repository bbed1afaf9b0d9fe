// Tickwell: stock quotes in the desktop's status area.
#include "controller/AppController.h"
#include "app/Preferences.h"
#include "archive/ProgressWindowView.h"
#include "platform/net/CurlUrlLoader.h"
#include "platform/session/DBusDesktopNotifications.h"
#include "platform/session/DBusNotificationCenter.h"
#include "platform/session/InstallLayout.h"
#include "platform/session/LogindWakeMonitor.h"
#include "platform/settings/PlistSettingsStore.h"
#include "platform/webengine/ProcessWebEngine.h"
#include "platform/session/QtTimerFactory.h"
#include "platform/session/SingleInstance.h"
#include "platform/desktop/QtDesktop.h"
#include "platform/desktop/SwitchingStatusItem.h"
#include "platform/desktop/UnixSignalQuitter.h"
#include "prefs/TickwellPref.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

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
    const QByteArray tool = QDir(InstallLayout::programDirectory()).filePath(QStringLiteral("tickwell-menu")).toLocal8Bit();
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
    // Windows belong to the installed launcher (Wayland's app id) and carry its icon.
    QApplication::setDesktopFileName(QStringLiteral("com.brantlow.Tickwell"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.brantlow.Tickwell")));
    SingleInstance instance; // one Tickwell per session; a later launch brings the preferences forward
    if (const auto leave = instance.claim())
        return *leave;

    PlistSettingsStore settings(PlistSettingsStore::defaultPath());
    CurlUrlLoader loader;
    // StatusNotifierItem where a watcher runs, else the XEmbed tray icon; on a status-notifier panel
    // the menu is drawn as "PanelMenu" says (each setup applies a change).
    SwitchingStatusItem statusItem(QDBusConnection::sessionBus(), std::chrono::seconds(3), {}, {}, Preferences(settings).panelMenu());
    QtTimerFactory timers;
    QtDesktop desktop;
    DBusNotificationCenter notifications;
    LogindWakeMonitor wake;
    DBusDesktopNotifications desktopNotifications;
    UnixSignalQuitter signalQuitter;

    // Made at launch and hidden until "Preferences..." brings it to the front.
    TickwellPref preferences(PrefServices{settings, notifications, loader, desktop});
    desktop.setPreferencesHandler([&preferences] { preferences.showWindow(); });
    instance.setActivationHandler([&preferences] { preferences.showWindow(); });

    AppController controller(Platform{settings, loader, statusItem, timers, desktop, notifications, wake});
    // The web engine runs in tickwell-archiver, started when the first headline is saved.
    ArchiveServices archive;
    archive.makeWebEngine = &ProcessWebEngine::create;
    archive.makeProgressWindow = [] { return std::make_unique<ProgressWindowView>(); };
    controller.setArchiveServices(std::move(archive));
    controller.setDesktopNotifications(&desktopNotifications);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&controller] { controller.applicationWillTerminate(); });
    controller.applicationWillFinishLaunching();
    return QApplication::exec();
}
