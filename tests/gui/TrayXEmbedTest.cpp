// Qt's tray icon in a real XEmbed tray: an X server and a tray panel of the test's own, and this
// program again as the client (the test itself runs on the offscreen platform).
#include "OwnXServer.h"
#include "SniTestBus.h"
#include "TrayXEmbedChild.h"
#include "platform/desktop/QtTrayStatusItem.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QSet>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

const QColor kUp(0, 255, 0);
const QColor kDown(255, 0, 0);

MenuItem quoteLine(const QString &head, const QString &change, const QColor &color, const QString &image)
{
    MenuItem item = MenuItem::make(head + change, u"selItemStockSymbol:"_s, u"a"_s);
    item.styledTitle = std::vector<StyledRun>{{head, 14.0, std::nullopt}, {change, 14.0, color}};
    item.image = image;
    item.submenu = Menu{MenuItem::make(u"Chart"_s, u"selItemiChart:"_s)};
    return item;
}

// Pixels close to a pure colour: the cores of the glyphs drawn in it.
int countNear(const QImage &image, const QRect &area, const QColor &color)
{
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += std::abs(pixel.red() - color.red()) < 60 && std::abs(pixel.green() - color.green()) < 60
                && std::abs(pixel.blue() - color.blue()) < 60;
        }
    return count;
}

int fail(const char *what)
{
    std::fprintf(stderr, "tray child: %s\n", what);
    return 1;
}

TEST(TrayXEmbedTest, TheOpenedMenuShowsTheColouredSuffixes)
{
    const QString trayer = QStandardPaths::findExecutable(u"trayer"_s);
    if (QStandardPaths::findExecutable(u"Xvfb"_s).isEmpty() || trayer.isEmpty())
        GTEST_SKIP() << "needs Xvfb and trayer (scripts/bootstrap installs them)";
    OwnXServer server;
    ASSERT_TRUE(server.isRunning()) << "Xvfb did not start";
    QProcess tray, client;
    const auto stopAll = qScopeGuard([&] {
        for (QProcess *process : {&client, &tray}) {
            process->kill();
            process->waitForFinished(3000);
        }
    });

    // A private bus without a watcher, so Qt's tray icon takes the XEmbed road.
    PrivateSessionBus bus;
    ASSERT_TRUE(bus.isRunning());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, server.display());
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, bus.address());
    environment.remove(u"WAYLAND_DISPLAY"_s);
    tray.setProcessEnvironment(environment);
    tray.start(trayer, {u"--edge"_s, u"top"_s, u"--align"_s, u"right"_s, u"--widthtype"_s, u"request"_s, u"--height"_s, u"28"_s,
                           u"--SetDockType"_s, u"true"_s});
    ASSERT_TRUE(tray.waitForStarted(5000));

    QTemporaryDir scratch;
    const QString keep = qEnvironmentVariable("TICKWELL_TRAY_SCREENSHOT");
    const QString png = keep.isEmpty() ? scratch.filePath(u"tray-menu.png"_s) : keep;
    client.setProcessEnvironment(environment);
    client.setProcessChannelMode(QProcess::MergedChannels);
    client.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kTrayXEmbedChildFlag), png});
    ASSERT_TRUE(client.waitForFinished(60000)) << "the tray client hung";
    const std::string output = client.readAll().toStdString();
    EXPECT_EQ(client.exitStatus(), QProcess::NormalExit) << output;
    EXPECT_EQ(client.exitCode(), 0) << output;
    // The tray strip alone crops to under 70 pixels.
    EXPECT_GT(QImage(png).height(), 120) << "the menu is missing from the screenshot\n" << output;
}

} // namespace

int RunTrayXEmbedChild(const QString &pngPath)
{
    if (!WaitUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 15000))
        return fail("no system tray on this display");
    QtTrayStatusItem item;
    int openings = 0;
    item.setMenuHandlers({[&] { ++openings; }, {}, {}});
    item.setImage(u"Tickwell.tif"_s, QImage(u":/images/Tickwell.tif"_s));
    item.setTitle(u"ACME 101.25"_s);
    // Quote lines with a key equivalent, an ampersand, images and submenus, as the controller builds them.
    item.setMenu({MenuItem::make(u"Last Update: December 5, 2026 at 3:00:00 PM EST"_s),
        MenuItem::make(u"Update Now"_s, u"selItemUpdateNow:"_s), MenuItem::makeSeparator(),
        quoteLine(u"Acme & Co [ACME] 101.25 "_s, u"+1.25 (+1.25%)"_s, kUp, u"menuitem_up_g.tif"_s),
        quoteLine(u"Beta Inc [BETA] 48.10 "_s, u"-0.52 (-1.07%)"_s, kDown, u"menuitem_down_r.tif"_s), MenuItem::makeSeparator(),
        MenuItem::make(u"Quit"_s, u"selItemQuit:"_s, u"q"_s)});

    // The tray embeds the icon: it gets a place on the screen.
    if (!WaitUntil([&] { return item.trayIcon().geometry().width() > 0; }, 15000))
        return fail("the tray never embedded the icon");
    QWidget *icon = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->inherits("QSystemTrayIconSys"))
            icon = widget;
    if (!icon)
        return fail("no tray icon window");
    WaitUntil([] { return false; }, 500); // let the tray paint the icon

    // A click on the icon opens the menu, as a user's would; a line is highlighted as under the pointer.
    QTest::mouseClick(icon, Qt::LeftButton, {}, icon->rect().center());
    if (!WaitUntil([&] { return item.qmenu().isVisible(); }, 5000) || openings != 1)
        return fail("the menu did not open, or did not ask for a rebuild");
    item.qmenu().setActiveAction(item.qmenu().actions().at(3));
    WaitUntil([] { return false; }, 800);

    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    const QRect menuArea = item.qmenu().geometry();
    const QRect iconArea = item.trayIcon().geometry();
    bool ok = true;
    if (countNear(shot, menuArea, kUp) < 30 || countNear(shot, menuArea, kDown) < 30)
        ok = !fail("the coloured suffixes are not in the menu");
    // The icon shows the image: more than the panel's plain background there.
    QSet<QRgb> iconColours;
    const QImage iconPixels = shot.copy(iconArea);
    for (int y = 0; y < iconPixels.height(); ++y)
        for (int x = 0; x < iconPixels.width(); ++x)
            iconColours.insert(iconPixels.pixel(x, y));
    if (iconColours.size() < 4)
        ok = !fail("the tray icon is blank");
    if (!shot.copy(menuArea.united(iconArea).adjusted(-24, -8, 24, 24).intersected(shot.rect())).save(pngPath, "PNG"))
        ok = !fail("cannot save the screenshot");
    item.qmenu().close();
    return ok ? 0 : 1;
}

} // namespace tickwell::testing
