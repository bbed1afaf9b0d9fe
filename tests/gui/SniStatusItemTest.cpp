// The status notifier item on a private bus: its properties as a panel sees them.
#include "SniBus.h"
#include "platform/desktop/SniStatusItem.h"

#include <QDBusObjectPath>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <tuple>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

using SniStatusItemTest = SniBusFixture;

TEST_F(SniStatusItemTest, PropertiesReadBackAsThePanelSeesThem)
{
    // Distinct channels and translucent pixels catch byte-order and premultiplication mistakes.
    QImage image(3, 2, QImage::Format_ARGB32);
    const QRgb pixels[] = {qRgba(0x11, 0x22, 0x33, 0xff), qRgba(0xff, 0, 0, 0x80), qRgba(0, 0xff, 0, 0),
        qRgba(0, 0, 0xff, 0xff), qRgba(0xfe, 0xdc, 0xba, 0x98), qRgba(1, 2, 3, 4)};
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, pixels[i]);
    SniStatusItem item(app);
    const QString service = item.serviceName();
    item.setImage(u"Tickwell.tif"_s, image);
    item.setStyledTitle({{u"ACME "_s, 14.0, std::nullopt}, {u"+1.25"_s, 14.0, QColor(Qt::green)}});
    for (const auto &[name, value] : QList<std::pair<QString, QVariant>>{{u"Id"_s, u"tickwell"_s}, {u"Status"_s, u"Active"_s},
             {u"ItemIsMenu"_s, true}, {u"XAyatanaLabel"_s, u"ACME +1.25"_s}})
        EXPECT_EQ(ItemProperty(peer, service, name), value) << name.toStdString();
    EXPECT_EQ(ItemProperty(peer, service, u"Menu"_s).value<QDBusObjectPath>().path(), u"/MenuBar"_s);

    // The signatures panels that are not Qt expect, and the pixels in network byte order.
    const auto pixmapArgument = ItemProperty(peer, service, u"IconPixmap"_s).value<QDBusArgument>();
    EXPECT_EQ(pixmapArgument.currentSignature(), u"a(iiay)"_s);
    const auto pixmaps = qdbus_cast<SniIconPixmapList>(pixmapArgument);
    ASSERT_EQ(pixmaps.size(), 1);
    EXPECT_EQ(pixmaps[0].bytes.left(8), QByteArray::fromHex("ff11223380ff0000"));
    EXPECT_EQ(pixmaps[0].toImage(), image);
    const auto tipArgument = ItemProperty(peer, service, u"ToolTip"_s).value<QDBusArgument>();
    EXPECT_EQ(tipArgument.currentSignature(), u"(sa(iiay)ss)"_s);
    EXPECT_EQ(qdbus_cast<SniToolTip>(tipArgument).title, u"ACME +1.25"_s);
    item.setTitle(QString());
    EXPECT_EQ(qdbus_cast<SniToolTip>(ItemProperty(peer, service, u"ToolTip"_s).value<QDBusArgument>()).title, u"Tickwell"_s);
    // A price alert that found no notification service shows below the title.
    item.setToolTipNote(u"Alert: ACME above 150.00"_s);
    EXPECT_EQ(qdbus_cast<SniToolTip>(ItemProperty(peer, service, u"ToolTip"_s).value<QDBusArgument>()).description, u"Alert: ACME above 150.00"_s);

    // Pixel data shorter than the dimensions say is refused, not read past its end.
    EXPECT_TRUE((SniIconPixmap{4, 4, QByteArray(15, '\0')}.toImage().isNull()));
}

// Our own menu: no Menu for the panel to draw, and each of the three clicks a panel may send
// opens the Qt menu; its closing (Escape, a click elsewhere) ends the owner's hold.
TEST_F(SniStatusItemTest, TheOwnFormHasNoMenuAndEveryClickOpensTheQtMenu)
{
    SniStatusItem item(app, PanelMenu::Own);
    const QString service = item.serviceName();
    std::vector<bool> heard;
    int rebuilds = 0;
    item.setMenuHandlers({[&] {
                              ++rebuilds;
                              item.setMenu({MenuItem::make(u"Update Now"_s, u"selItemUpdateNow:"_s)});
                          },
        {}, [&](bool shown) { heard.push_back(shown); }});
    EXPECT_EQ(ItemPropertyReply(peer, service, u"Menu"_s).type(), QDBusMessage::ErrorMessage);
    EXPECT_FALSE(ItemProperty(peer, service, u"ItemIsMenu"_s).toBool());
    ASSERT_NE(item.popupMenu(), nullptr);
    QMenu &menu = item.popupMenu()->qmenu();
    for (const auto &[method, x, y] : {std::tuple{u"Activate"_s, 40, 10}, {u"ContextMenu"_s, 0, 0}, {u"SecondaryActivate"_s, 700, 590}}) {
        const QDBusMessage reply = Call(peer, service, u"/StatusNotifierItem"_s, u"org.kde.StatusNotifierItem"_s, method, {x, y});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << method.toStdString();
        EXPECT_TRUE(WaitUntil([&] { return menu.isVisible(); }, 5000)) << method.toStdString();
        EXPECT_EQ(menu.actions().value(0) ? menu.actions().value(0)->text() : QString(), u"Update Now"_s);
        menu.hide();
    }
    EXPECT_EQ(rebuilds, 3) << "rebuilt once per opening";
    EXPECT_EQ(heard, (std::vector<bool>{true, false, true, false, true, false}));
}

// The panel's menu draws a chart at icon size: chosen there, it opens at full size in a window
// whose button goes on to the chart's page. A logo (whose item opens a log) is not such a chart.
TEST_F(SniStatusItemTest, InThePanelFormAChosenChartOpensAtFullSizeFirst)
{
    SniStatusItem item(app);
    const QString service = item.serviceName();
    std::vector<QString> chosen;
    std::vector<bool> heard;
    item.setMenuHandlers({{}, [&](const MenuItem &picked) { chosen.push_back(picked.action); }, [&](bool shown) { heard.push_back(shown); }});
    QImage chart(240, 120, QImage::Format_RGB32);
    chart.fill(Qt::white);
    MenuItem chartItem = MenuItem::make(QString(), u"selItemiChart:"_s);
    chartItem.imageData = chart;
    chartItem.toolTip = u"http://127.0.0.1:9/chart?s=ACME"_s;
    MenuItem logo = MenuItem::make(QString(), u"selItemOpenConsoleLog:"_s);
    logo.imageData = chart;
    logo.toolTip = u"ACME"_s;
    item.setMenu({chartItem, logo});
    const auto [revision, root] = FetchLayout(peer, service);
    ASSERT_EQ(root.children.size(), 2);

    click(service, root.children[0].id);
    ASSERT_TRUE(WaitUntil([&] { return item.imageWindow() && item.imageWindow()->isVisible(); }, 5000));
    EXPECT_TRUE(chosen.empty()) << "the page waits for the window's button";
    EXPECT_EQ(heard, std::vector<bool>{false}) << "the panel's menu closed with the click";
    const auto *picture = item.imageWindow()->findChild<QLabel *>(u"image"_s);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixmap().size(), QSize(240, 120));
    auto *open = item.imageWindow()->findChild<QPushButton *>(u"openButton"_s);
    ASSERT_NE(open, nullptr);
    open->click();
    EXPECT_EQ(chosen, std::vector<QString>{u"selItemiChart:"_s});
    EXPECT_FALSE(item.imageWindow()->isVisible());

    click(service, root.children[1].id);
    EXPECT_TRUE(WaitUntil([&] { return chosen.size() == 2; }, 5000));
    EXPECT_EQ(chosen.back(), u"selItemOpenConsoleLog:"_s);
    EXPECT_FALSE(item.imageWindow()->isVisible());
}

} // namespace
} // namespace tickwell::testing
