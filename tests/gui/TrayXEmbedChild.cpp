#include "TrayXEmbedChild.h"

#include "SniTestBus.h"
#include "platform/desktop/QtTrayStatusItem.h"

#include <QApplication>
#include <QScreen>
#include <QSet>
#include <QTest>

#include <cstdio>

namespace tickwell::testing {

namespace {

using namespace Qt::StringLiterals;

const QColor kUp(0, 255, 0);
const QColor kDown(255, 0, 0);

MenuItem quoteLine(const QString &head, const QString &change, const QColor &color, const QString &image)
{
    MenuItem item = MenuItem::make(head + change, u"selItemStockSymbol:"_s);
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

} // namespace

int RunTrayXEmbedChild(const QString &pngPath)
{
    if (!WaitUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 15000))
        return fail("no system tray on this display");
    QtTrayStatusItem item;
    int openings = 0;
    item.setMenuHandlers([&] { ++openings; }, {});
    item.setImage(u"Tickwell.tif"_s, QImage(u":/images/Tickwell.tif"_s));
    item.setTitle(u"ACME 101.25"_s);
    // Quote lines with a key equivalent, an ampersand, images and submenus, as the controller builds them.
    MenuItem acme = quoteLine(u"Acme & Co [ACME] 101.25 "_s, u"+1.25 (+1.25%)"_s, kUp, u"menuitem_up_g.tif"_s);
    acme.keyEquivalent = u"a"_s;
    item.setMenu({MenuItem::make(u"Last Update: December 5, 2026 at 3:00:00 PM EST"_s),
        MenuItem::make(u"Update Now"_s, u"selItemUpdateNow:"_s), MenuItem::makeSeparator(), acme,
        quoteLine(u"Beta Inc [BETA] 48.10 "_s, u"-0.52 (-1.07%)"_s, kDown, u"menuitem_down_r.tif"_s), MenuItem::makeSeparator(),
        MenuItem::make(u"Preferences..."_s, u"selItemPreferences:"_s, u","_s), MenuItem::makeSeparator(),
        MenuItem::make(u"Quit"_s, u"selItemQuit:"_s, u"q"_s)});
    if (item.trayIcon().toolTip() != "ACME 101.25"_L1)
        return fail("the tool tip does not carry the title");

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
    if (!WaitUntil([&] { return item.qmenu().isVisible(); }, 5000))
        return fail("the menu did not open");
    if (openings != 1)
        return fail("opening the menu did not ask for a rebuild");
    item.qmenu().setActiveAction(item.qmenu().actions().at(3));
    WaitUntil([] { return false; }, 800);

    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    const QRect menuArea = item.qmenu().geometry();
    const QRect iconArea = item.trayIcon().geometry();
    const int green = countNear(shot, menuArea, kUp);
    const int red = countNear(shot, menuArea, kDown);
    std::fprintf(stderr, "tray child: green pixels %d, red pixels %d\n", green, red);
    bool ok = true;
    if (green < 30 || red < 30)
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
