// The real progress window after a single "Save" that could not write: it stays on screen with
// the reason, its button reads "Close", and a click puts it away.
#include "app/ControllerState.h"
#include "app/Preferences.h"
#include "archive/ArchiveController.h"
#include "archive/ProgressWindowView.h"
#include "archive/ProgressWindowWidgets.h"
#include "platform/HeadlessStatusItem.h"
#include "platform/LocalNotificationCenter.h"
#include "platform/ManualWakeMonitor.h"
#include "platform/QtTimerFactory.h"
#include "platform/ScriptedDesktop.h"
#include "support/FakeUrlLoader.h"
#include "support/MemorySettingsStore.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace tickwell::testing {
namespace {

TEST(ProgressWindowView, AFailedSaveStaysOnScreenUntilClosed)
{
    QTemporaryDir home;
    const QString blocked = home.filePath(QStringLiteral("Downloads"));
    QFile blocker(blocked); // a file where the download folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QByteArray previousDownloads = qgetenv("XDG_DOWNLOAD_DIR");
    qputenv("XDG_DOWNLOAD_DIR", blocked.toLocal8Bit());

    MemorySettingsStore settings;
    FakeUrlLoader loader;
    const QString address = QStringLiteral("http://news.test/gui/failed.html");
    loader.serve(address, "<html><head><title>Failed story</title></head></html>");
    HeadlessStatusItem statusItem;
    QtTimerFactory timers;
    ScriptedDesktop desktop;
    LocalNotificationCenter notifications;
    ManualWakeMonitor wake;
    Platform platform{settings, loader, statusItem, timers, desktop, notifications, wake};
    ControllerState state;
    Preferences prefs(settings);
    ProgressWindowView *view = nullptr;
    ArchiveServices services;
    services.makeProgressWindow = [&view]() -> std::unique_ptr<ProgressWindow> {
        auto made = std::make_unique<ProgressWindowView>();
        view = made.get();
        return made;
    };
    ArchiveController controller(platform, state, prefs, std::move(services));

    MenuItem save = MenuItem::make(QStringLiteral("Save"), QStringLiteral("selectPrintItemHeadline:"));
    save.toolTip = address;
    controller.selectPrintItemHeadline(save);

    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible()) << "shown although the setting keeps the window hidden while saving";
    EXPECT_EQ(view->status().toStdString(),
              QStringLiteral("There was an error saving file: Failed story.webarchive (cannot create %1 (a file of that name is in the way))")
                  .arg(blocked)
                  .toStdString());
    EXPECT_EQ(view->widgets().stopButton.text(), QStringLiteral("Close"));
    view->widgets().stopButton.click();
    EXPECT_FALSE(view->isVisible());
    qputenv("XDG_DOWNLOAD_DIR", previousDownloads);
}

} // namespace
} // namespace tickwell::testing
