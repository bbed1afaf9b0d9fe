// The status notifier item on a private bus: its properties as a panel sees them.
#include "SniBusFixture.h"
#include "platform/desktop/SniStatusItem.h"

#include <QDBusObjectPath>

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
        EXPECT_EQ(itemProperty(service, name), value) << name.toStdString();
    EXPECT_EQ(itemProperty(service, u"Menu"_s).value<QDBusObjectPath>().path(), u"/MenuBar"_s);

    // The signatures panels that are not Qt expect, and the pixels in network byte order.
    const auto pixmapArgument = itemProperty(service, u"IconPixmap"_s).value<QDBusArgument>();
    EXPECT_EQ(pixmapArgument.currentSignature(), u"a(iiay)"_s);
    const auto pixmaps = qdbus_cast<SniIconPixmapList>(pixmapArgument);
    ASSERT_EQ(pixmaps.size(), 1);
    EXPECT_EQ(pixmaps[0].bytes.left(8), QByteArray::fromHex("ff11223380ff0000"));
    EXPECT_EQ(pixmaps[0].toImage(), image);
    const auto tipArgument = itemProperty(service, u"ToolTip"_s).value<QDBusArgument>();
    EXPECT_EQ(tipArgument.currentSignature(), u"(sa(iiay)ss)"_s);
    EXPECT_EQ(qdbus_cast<SniToolTip>(tipArgument).title, u"ACME +1.25"_s);
    item.setTitle(QString());
    EXPECT_EQ(qdbus_cast<SniToolTip>(itemProperty(service, u"ToolTip"_s).value<QDBusArgument>()).title, u"Tickwell"_s);
    // A price alert that found no notification service shows below the title.
    item.setToolTipNote(u"Alert: ACME above 150.00"_s);
    EXPECT_EQ(qdbus_cast<SniToolTip>(itemProperty(service, u"ToolTip"_s).value<QDBusArgument>()).description, u"Alert: ACME above 150.00"_s);

    // Pixel data shorter than the dimensions say is refused, not read past its end.
    EXPECT_TRUE((SniIconPixmap{4, 4, QByteArray(15, '\0')}.toImage().isNull()));
}

} // namespace
} // namespace tickwell::testing
