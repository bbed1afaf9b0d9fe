// The status notifier item on a private bus: registration, properties and signals as a panel
// sees them, and the exported types as a client that is not Qt reads them.
#include "SniBusFixture.h"
#include "SniSignalRecorder.h"
#include "platform/desktop/SniStatusItem.h"

#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QProcess>

namespace tickwell::testing {
namespace {

QImage testImage()
{
    // Distinct channels and translucent pixels catch byte-order and premultiplication mistakes.
    QImage image(3, 2, QImage::Format_ARGB32);
    const QRgb pixels[] = {qRgba(0x11, 0x22, 0x33, 0xff), qRgba(0xff, 0, 0, 0x80), qRgba(0, 0xff, 0, 0),
        qRgba(0, 0, 0xff, 0xff), qRgba(0xfe, 0xdc, 0xba, 0x98), qRgba(1, 2, 3, 4)};
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, pixels[i]);
    return image;
}

class SniStatusItemTest : public SniBusFixture {
protected:
    void SetUp() override
    {
        SniBusFixture::SetUp();
        RegisterSniTypes();
    }
};

TEST_F(SniStatusItemTest, RegistersWithTheWatcherAndAgainWhenItRestarts)
{
    ASSERT_TRUE(watcher->start());
    SniStatusItem item(app);
    EXPECT_TRUE(item.serviceName().startsWith(QStringLiteral("org.kde.StatusNotifierItem-")));
    ASSERT_TRUE(WaitUntil([&] { return !watcher->registeredItems().isEmpty(); }));
    EXPECT_EQ(watcher->registeredItems(), QStringList{item.serviceName()});
    EXPECT_EQ(watcher->senders(), QStringList{app.baseService()});

    // The panel restarts as another process, after a gap.
    watcher->stop();
    SniFakeWatcher otherWatcher(bus.connect(QStringLiteral("other-panel")));
    ASSERT_TRUE(otherWatcher.start());
    ASSERT_TRUE(WaitUntil([&] { return !otherWatcher.registeredItems().isEmpty(); }));
    EXPECT_EQ(otherWatcher.registeredItems(), QStringList{item.serviceName()});
}

TEST_F(SniStatusItemTest, TakesTheNextFreeNameAndGivesItBack)
{
    // Qt's own tray icon names itself the same way and may hold the first name.
    const QString name = QStringLiteral("org.kde.StatusNotifierItem-%1-").arg(QCoreApplication::applicationPid());
    ASSERT_TRUE(peer.registerService(name + u'1'));
    {
        SniStatusItem item(app);
        EXPECT_EQ(item.serviceName(), name + u'2');
    }
    EXPECT_FALSE(NameHasOwner(peer, name + u'2'));
    peer.unregisterService(name + u'1');
    EXPECT_EQ(SniStatusItem(app).serviceName(), name + u'1');
}

TEST_F(SniStatusItemTest, PropertiesReadBackAsThePanelSeesThem)
{
    SniStatusItem item(app);
    const QString service = item.serviceName();
    item.setImage(QStringLiteral("Tickwell.tif"), testImage());
    item.setTitle(QStringLiteral("ACME 101.25"));
    const QList<std::pair<QString, QVariant>> expected{{QStringLiteral("Id"), QStringLiteral("tickwell")},
        {QStringLiteral("Category"), QStringLiteral("ApplicationStatus")}, {QStringLiteral("Status"), QStringLiteral("Active")},
        {QStringLiteral("Title"), QStringLiteral("Tickwell")}, {QStringLiteral("ItemIsMenu"), true},
        {QStringLiteral("XAyatanaLabel"), QStringLiteral("ACME 101.25")}, {QStringLiteral("XAyatanaLabelGuide"), QStringLiteral("ACME 101.25")}};
    for (const auto &[name, value] : expected)
        EXPECT_EQ(itemProperty(service, name), value) << name.toStdString();
    EXPECT_EQ(itemProperty(service, QStringLiteral("Menu")).value<QDBusObjectPath>().path(), QStringLiteral("/MenuBar"));
    EXPECT_EQ(qdbus_cast<SniToolTip>(itemProperty(service, QStringLiteral("ToolTip")).value<QDBusArgument>()).title,
        QStringLiteral("ACME 101.25"));

    const auto pixmaps = qdbus_cast<SniIconPixmapList>(itemProperty(service, QStringLiteral("IconPixmap")).value<QDBusArgument>());
    ASSERT_EQ(pixmaps.size(), 1);
    EXPECT_EQ(QSize(pixmaps[0].width, pixmaps[0].height), QSize(3, 2));
    // Network byte order: alpha first, whatever the host's order.
    EXPECT_EQ(pixmaps[0].bytes.left(8), QByteArray::fromHex("ff11223380ff0000"));
    EXPECT_EQ(pixmaps[0].toImage(), testImage());

    // A styled title shows as its plain text; without a title the tip is the application's name.
    item.setStyledTitle({{QStringLiteral("ACME "), 14.0, std::nullopt}, {QStringLiteral("+1.25"), 14.0, QColor(Qt::green)}});
    EXPECT_EQ(itemProperty(service, QStringLiteral("XAyatanaLabel")).toString(), QStringLiteral("ACME +1.25"));
    item.setTitle(QString());
    EXPECT_EQ(itemProperty(service, QStringLiteral("XAyatanaLabel")).toString(), QString());
    EXPECT_EQ(qdbus_cast<SniToolTip>(itemProperty(service, QStringLiteral("ToolTip")).value<QDBusArgument>()).title,
        QStringLiteral("Tickwell"));
}

TEST(SniIconPixmapTest, LargeImagesAlsoComeInPanelSizeAndBadDataIsRefused)
{
    QImage chart(400, 200, QImage::Format_RGB32);
    chart.fill(Qt::blue);
    const SniIconPixmapList pixmaps = SniIconPixmaps(chart);
    ASSERT_EQ(pixmaps.size(), 2);
    EXPECT_EQ(QSize(pixmaps[1].width, pixmaps[1].height), QSize(32, 16));
    EXPECT_TRUE(SniIconPixmaps(QImage()).isEmpty());
    // Pixel data shorter than the dimensions say is refused, not read past its end.
    EXPECT_TRUE((SniIconPixmap{4, 4, QByteArray(15, '\0')}.toImage().isNull()));
}

TEST_F(SniStatusItemTest, ChangesAreSignalledOnlyWhenSomethingChanged)
{
    SniStatusItem item(app);
    SniSignalRecorder recorder(peer, item.serviceName(), SniStatusItem::objectPath(), QStringLiteral("org.kde.StatusNotifierItem"));
    item.setTitle(QStringLiteral("Updating..."));
    item.setTitle(QStringLiteral("Updating..."));
    item.setImage(QStringLiteral("Tickwell.tif"), testImage());
    item.setImage(QStringLiteral("Tickwell.tif"), testImage()); // equal pixels, another copy
    item.setTitle(QString());
    settle(item.serviceName());
    QStringList seen;
    for (const auto &message : recorder.messages())
        seen << message.member() + u':' + message.arguments().value(0).toString() + u'|' + message.arguments().value(1).toString();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("NewToolTip:|"), QStringLiteral("XAyatanaNewLabel:Updating...|Updating..."),
                        QStringLiteral("NewIcon:|"), QStringLiteral("NewToolTip:|"), QStringLiteral("XAyatanaNewLabel:|")}));
}

TEST_F(SniStatusItemTest, ANonQtClientReadsTheTypesThePanelsExpect)
{
    SniStatusItem item(app);
    item.setImage(QStringLiteral("Tickwell.tif"), testImage());
    item.setTitle(QStringLiteral("ACME_X 1.00"));
    MenuItem submenu = MenuItem::make(QStringLiteral("ACME"));
    submenu.submenu = Menu{MenuItem::make(QStringLiteral("Chart"), QStringLiteral("selItemiChart:"))};
    item.setMenu({MenuItem::make(QStringLiteral("Update Now"), QStringLiteral("selItemUpdateNow:")), MenuItem::makeSeparator(), submenu});

    const auto gdbus = [&](const QString &path, const QStringList &command) {
        QProcess process;
        process.start(QStringLiteral("gdbus"), QStringList{command.first(), QStringLiteral("--address"), bus.address(),
            QStringLiteral("--dest"), item.serviceName(), QStringLiteral("--object-path"), path} + command.mid(1));
        // The item answers from this thread, so keep its event loop running.
        WaitUntil([&] { return process.state() == QProcess::NotRunning; }, 15000);
        return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    };
    const QList<std::pair<QString, std::vector<const char *>>> checks{
        {gdbus(QStringLiteral("/StatusNotifierItem"), {QStringLiteral("introspect")}),
            {"readonly a(iiay) IconPixmap", "readonly (sa(iiay)ss) ToolTip", "readonly s XAyatanaLabel = 'ACME_X 1.00'",
                "readonly o Menu = '/MenuBar'", "XAyatanaNewLabel(s label,", "ContextMenu(in  i x,"}},
        {gdbus(QStringLiteral("/MenuBar"), {QStringLiteral("introspect")}),
            {"out (ia{sv}av) layout", "in  a(isvu) events", "LayoutUpdated(u revision,",
                "ItemsPropertiesUpdated(a(ia{sv}) updatedProps,", "a(ias) removedProps", "readonly u Version = 3"}},
        {gdbus(QStringLiteral("/MenuBar"), {QStringLiteral("call"), QStringLiteral("--method"),
             QStringLiteral("com.canonical.dbusmenu.GetLayout"), QStringLiteral("--"), QStringLiteral("0"), QStringLiteral("-1"),
             QStringLiteral("[]")}),
            {"'label': <'Update Now'>", "'type': <'separator'>", "'children-display': <'submenu'>", "'label': <'Chart'>"}}};
    for (const auto &[output, expected] : checks)
        for (const char *text : expected)
            EXPECT_TRUE(output.contains(QLatin1String(text))) << text << "\n" << output.toStdString();
}

} // namespace
} // namespace tickwell::testing
