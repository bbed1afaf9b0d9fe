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

const QColor kUp(0, 255, 0);
const QColor kDown(255, 0, 0);

MenuItem quoteLine(const QString &head, const QString &change, const QColor &color, const char *image)
{
    MenuItem item = MenuItem::make(head + change, QStringLiteral("selItemStockSymbol:"));
    item.styledTitle = std::vector<StyledRun>{{head, 14.0, std::nullopt}, {change, 14.0, color}};
    item.image = QString::fromLatin1(image);
    item.submenu = Menu{MenuItem::make(QStringLiteral("Chart"), QStringLiteral("selItemiChart:")),
        MenuItem::make(QStringLiteral("Interactive Chart"), QStringLiteral("selItemInteractiveiChart:"))};
    return item;
}

// A status menu as the controller builds it with two symbols and the market indices.
Menu sampleMenu()
{
    MenuItem dow = MenuItem::make(QStringLiteral("Dow 38,500.12 -120.50 (-0.31%)"), QStringLiteral("selItemMarketIndices:"));
    dow.styledTitle = std::vector<StyledRun>{{QStringLiteral("Dow 38,500.12 "), 14.0, std::nullopt},
        {QStringLiteral("-120.50 (-0.31%)"), 14.0, kDown}};
    return {MenuItem::make(QStringLiteral("Last Update: December 5, 2026 at 3:00:00 PM EST (next at 4:00:00 PM)")),
        MenuItem::make(QStringLiteral("Update Now"), QStringLiteral("selItemUpdateNow:")),
        MenuItem::makeSeparator(),
        quoteLine(QStringLiteral("Acme Corp [ACME] 101.25 "), QStringLiteral("+1.25 (+1.25%)"), kUp, "menuitem_up_g.tif"),
        quoteLine(QStringLiteral("Beta Inc [BETA] 48.10 "), QStringLiteral("-0.52 (-1.07%)"), kDown, "menuitem_down_r.tif"),
        MenuItem::makeSeparator(),
        dow,
        MenuItem::makeSeparator(),
        MenuItem::make(QStringLiteral("Clear Histories"), QStringLiteral("selItemClearHistories:")),
        MenuItem::make(QStringLiteral("Log Histories"), QStringLiteral("selItemLogHistories:")),
        MenuItem::makeSeparator(),
        MenuItem::make(QStringLiteral("Preferences..."), QStringLiteral("selItemPreferences:"), QStringLiteral(",")),
        MenuItem::makeSeparator(),
        MenuItem::make(QStringLiteral("Quit"), QStringLiteral("selItemQuit:"), QStringLiteral("q"))};
}

// Pixels close to a pure colour: the cores of the glyphs drawn in it.
int countNear(const QImage &image, const QRect &area, const QColor &color)
{
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - color.red()) < 60 && std::abs(pixel.green() - color.green()) < 60
                && std::abs(pixel.blue() - color.blue()) < 60)
                ++count;
        }
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
    item.setImage(QStringLiteral("Tickwell.tif"), QImage(QStringLiteral(":/images/Tickwell.tif")));
    item.setTitle(QStringLiteral("ACME 101.25"));
    item.setMenu(sampleMenu());
    if (item.trayIcon().toolTip() != QLatin1String("ACME 101.25"))
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

    // A click on the icon opens the menu, as a user's would.
    QTest::mouseClick(icon, Qt::LeftButton, {}, icon->rect().center());
    if (!WaitUntil([&] { return item.qmenu().isVisible(); }, 5000))
        return fail("the menu did not open");
    if (openings != 1)
        return fail("opening the menu did not ask for a rebuild");
    // A highlighted line too, as under the pointer.
    item.qmenu().setActiveAction(item.qmenu().actions().at(1));
    WaitUntil([] { return false; }, 800);

    QScreen *screen = QGuiApplication::primaryScreen();
    const QImage shot = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    const QRect menuArea = item.qmenu().geometry();
    const QRect iconArea = item.trayIcon().geometry();

    bool ok = true;
    const int green = countNear(shot, menuArea, kUp);
    const int red = countNear(shot, menuArea, kDown);
    std::fprintf(stderr, "tray child: menu %d,%d %dx%d, icon %d,%d %dx%d, green pixels %d, red pixels %d\n", menuArea.x(),
        menuArea.y(), menuArea.width(), menuArea.height(), iconArea.x(), iconArea.y(), iconArea.width(), iconArea.height(),
        green, red);
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

    const QRect crop = menuArea.united(iconArea).adjusted(-24, -8, 24, 24).intersected(shot.rect());
    if (!shot.copy(crop).save(pngPath, "PNG"))
        ok = !fail("cannot save the screenshot");
    item.qmenu().close();
    return ok ? 0 : 1;
}

} // namespace tickwell::testing
