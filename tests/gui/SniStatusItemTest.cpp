// The status notifier item on a private bus: registration, properties and signals as a panel
// sees them, and the menu export read by a client that is not Qt.
#include "SniBusFixture.h"
#include "SniSignalRecorder.h"
#include "platform/desktop/SniStatusItem.h"

#include <QCoreApplication>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QProcess>

namespace tickwell::testing {
namespace {

const QString kItemInterface = QStringLiteral("org.kde.StatusNotifierItem");

QImage testImage()
{
    // Distinct channels and a translucent pixel catch byte-order and premultiplication mistakes.
    QImage image(3, 2, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0x11, 0x22, 0x33, 0xff));
    image.setPixel(1, 0, qRgba(0xff, 0x00, 0x00, 0x80));
    image.setPixel(2, 0, qRgba(0x00, 0xff, 0x00, 0x00));
    image.setPixel(0, 1, qRgba(0x00, 0x00, 0xff, 0xff));
    image.setPixel(1, 1, qRgba(0xfe, 0xdc, 0xba, 0x98));
    image.setPixel(2, 1, qRgba(0x01, 0x02, 0x03, 0x04));
    return image;
}

class SniStatusItemTest : public SniBusFixture {
protected:
    void SetUp() override
    {
        SniBusFixture::SetUp();
        RegisterSniTypes();
    }

    QVariant itemProperty(const SniStatusItem &item, const QString &name)
    {
        return GetDBusProperty(peer, item.serviceName(), SniStatusItem::objectPath(), kItemInterface, name);
    }

    // Runs a command-line client to the private bus without blocking the item's thread.
    QString runClient(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForStarted(5000))
            return QStringLiteral("<%1 did not start>").arg(program);
        WaitUntil([&process] { return process.state() == QProcess::NotRunning; }, 15000);
        return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    }
};

TEST_F(SniStatusItemTest, RegistersWithTheWatcherAndAgainWhenItRestarts)
{
    ASSERT_TRUE(watcher->start());
    SniStatusItem item(app);
    ASSERT_FALSE(item.serviceName().isEmpty());
    EXPECT_TRUE(item.serviceName().startsWith(QStringLiteral("org.kde.StatusNotifierItem-")));
    ASSERT_TRUE(WaitUntil([&] { return !watcher->registeredItems().isEmpty(); }));
    EXPECT_EQ(watcher->registeredItems(), QStringList{item.serviceName()});
    EXPECT_EQ(watcher->senders(), QStringList{app.baseService()});

    // The panel restarts: its new watcher learns about the item without the item being rebuilt.
    watcher->stop();
    ASSERT_TRUE(watcher->start());
    ASSERT_TRUE(WaitUntil([&] { return !watcher->registeredItems().isEmpty(); }));
    EXPECT_EQ(watcher->registeredItems(), QStringList{item.serviceName()});

    // A watcher owned by another process (another connection) after a gap.
    watcher->stop();
    QDBusConnection other = bus.connect(QStringLiteral("other-panel"));
    SniFakeWatcher otherWatcher(other);
    ASSERT_TRUE(otherWatcher.start());
    ASSERT_TRUE(WaitUntil([&] { return !otherWatcher.registeredItems().isEmpty(); }));
    EXPECT_EQ(otherWatcher.registeredItems(), QStringList{item.serviceName()});
}

TEST_F(SniStatusItemTest, TakesTheNextFreeNameAndGivesItBack)
{
    // Another status item of this process (Qt's own tray icon names itself the same way) holds
    // the first name.
    const QString taken = QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(QCoreApplication::applicationPid());
    ASSERT_TRUE(peer.registerService(taken));
    {
        SniStatusItem item(app);
        EXPECT_EQ(item.serviceName(), QStringLiteral("org.kde.StatusNotifierItem-%1-2").arg(QCoreApplication::applicationPid()));
    }
    peer.unregisterService(taken);
    SniStatusItem again(app);
    EXPECT_EQ(again.serviceName(), taken);
    // The name left with the item.
    const QDBusMessage owner = CallAndWait(peer, QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"))
            << QStringLiteral("org.kde.StatusNotifierItem-%1-2").arg(QCoreApplication::applicationPid()));
    EXPECT_FALSE(owner.arguments().value(0).toBool());
}

TEST_F(SniStatusItemTest, PropertiesReadBackAsThePanelSeesThem)
{
    SniStatusItem item(app);
    item.setImage(QStringLiteral("Tickwell.tif"), testImage());
    item.setTitle(QStringLiteral("ACME 101.25"));

    EXPECT_EQ(itemProperty(item, QStringLiteral("Id")).toString(), QStringLiteral("tickwell"));
    EXPECT_EQ(itemProperty(item, QStringLiteral("Category")).toString(), QStringLiteral("ApplicationStatus"));
    EXPECT_EQ(itemProperty(item, QStringLiteral("Status")).toString(), QStringLiteral("Active"));
    EXPECT_EQ(itemProperty(item, QStringLiteral("Title")).toString(), QStringLiteral("Tickwell"));
    EXPECT_TRUE(itemProperty(item, QStringLiteral("ItemIsMenu")).toBool());
    EXPECT_EQ(itemProperty(item, QStringLiteral("Menu")).value<QDBusObjectPath>().path(), QStringLiteral("/MenuBar"));
    EXPECT_EQ(itemProperty(item, QStringLiteral("XAyatanaLabel")).toString(), QStringLiteral("ACME 101.25"));
    EXPECT_EQ(itemProperty(item, QStringLiteral("XAyatanaLabelGuide")).toString(), QStringLiteral("ACME 101.25"));

    const auto tip = qdbus_cast<SniToolTip>(itemProperty(item, QStringLiteral("ToolTip")).value<QDBusArgument>());
    EXPECT_EQ(tip.title, QStringLiteral("ACME 101.25"));

    const auto pixmaps = qdbus_cast<SniIconPixmapList>(itemProperty(item, QStringLiteral("IconPixmap")).value<QDBusArgument>());
    ASSERT_EQ(pixmaps.size(), 1);
    EXPECT_EQ(pixmaps[0].width, 3);
    EXPECT_EQ(pixmaps[0].height, 2);
    // Network byte order: alpha first, whatever the host's order.
    EXPECT_EQ(pixmaps[0].bytes.left(8), QByteArray::fromHex("ff11223380ff0000"));
    EXPECT_EQ(pixmaps[0].toImage(), testImage());

    // A styled title shows as its plain text; no title shows the application's name as tip.
    item.setStyledTitle({{QStringLiteral("ACME "), 14.0, std::nullopt}, {QStringLiteral("+1.25"), 14.0, QColor(Qt::green)}});
    EXPECT_EQ(itemProperty(item, QStringLiteral("XAyatanaLabel")).toString(), QStringLiteral("ACME +1.25"));
    item.setTitle(QString());
    EXPECT_EQ(itemProperty(item, QStringLiteral("XAyatanaLabel")).toString(), QString());
    EXPECT_EQ(qdbus_cast<SniToolTip>(itemProperty(item, QStringLiteral("ToolTip")).value<QDBusArgument>()).title,
        QStringLiteral("Tickwell"));
}

TEST_F(SniStatusItemTest, LargeImagesAlsoComeInPanelSize)
{
    QImage chart(400, 200, QImage::Format_RGB32);
    chart.fill(Qt::blue);
    const SniIconPixmapList pixmaps = SniIconPixmaps(chart);
    ASSERT_EQ(pixmaps.size(), 2);
    EXPECT_EQ(QSize(pixmaps[0].width, pixmaps[0].height), QSize(400, 200));
    EXPECT_EQ(QSize(pixmaps[1].width, pixmaps[1].height), QSize(32, 16));
    EXPECT_TRUE(SniIconPixmaps(QImage()).isEmpty());
    // Pixel data whose size does not match the dimensions is refused, not read past its end.
    EXPECT_TRUE((SniIconPixmap{4, 4, QByteArray(15, '\0')}.toImage().isNull()));
}

TEST_F(SniStatusItemTest, ChangesAreSignalledOnlyWhenSomethingChanged)
{
    SniStatusItem item(app);
    SniSignalRecorder recorder(peer, item.serviceName(), SniStatusItem::objectPath(), kItemInterface);

    item.setTitle(QStringLiteral("Updating..."));
    item.setTitle(QStringLiteral("Updating..."));
    item.setImage(QStringLiteral("Tickwell.tif"), testImage());
    item.setImage(QStringLiteral("Tickwell.tif"), testImage()); // equal pixels, another copy
    item.setTitle(QString());
    settle(item.serviceName());
    QStringList seen;
    for (const auto &message : recorder.messages()) {
        QString entry = message.member();
        if (message.member() == QLatin1String("XAyatanaNewLabel"))
            entry += QLatin1Char(':') + message.arguments().value(0).toString() + QLatin1Char('|') + message.arguments().value(1).toString();
        seen.append(entry);
    }
    EXPECT_EQ(seen, (QStringList{QStringLiteral("NewToolTip"), QStringLiteral("XAyatanaNewLabel:Updating...|Updating..."),
                        QStringLiteral("NewIcon"), QStringLiteral("NewToolTip"), QStringLiteral("XAyatanaNewLabel:|")}));
}

TEST_F(SniStatusItemTest, ANonQtClientReadsTheTypesThePanelsExpect)
{
    SniStatusItem item(app);
    item.setImage(QStringLiteral("Tickwell.tif"), testImage());
    item.setTitle(QStringLiteral("ACME_X 1.00"));
    MenuItem submenu = MenuItem::make(QStringLiteral("ACME"));
    submenu.submenu = Menu{MenuItem::make(QStringLiteral("Chart"), QStringLiteral("selItemiChart:"))};
    item.setMenu({MenuItem::make(QStringLiteral("Update Now"), QStringLiteral("selItemUpdateNow:")), MenuItem::makeSeparator(), submenu});

    const QStringList target{QStringLiteral("--address"), bus.address(), QStringLiteral("--dest"), item.serviceName()};
    const QString itemXml = runClient(QStringLiteral("gdbus"),
        QStringList{QStringLiteral("introspect")} + target + QStringList{QStringLiteral("--object-path"), QStringLiteral("/StatusNotifierItem")});
    for (const char *expected : {"interface org.kde.StatusNotifierItem", "readonly a(iiay) IconPixmap",
             "readonly (sa(iiay)ss) ToolTip", "readonly s XAyatanaLabel = 'ACME_X 1.00'", "readonly o Menu = '/MenuBar'",
             "readonly s XAyatanaLabelGuide", "XAyatanaNewLabel(s label,", "NewIcon();", "ContextMenu(in  i x,"}) {
        EXPECT_TRUE(itemXml.contains(QLatin1String(expected))) << expected << "\n" << itemXml.toStdString();
    }

    const QString menuXml = runClient(QStringLiteral("gdbus"),
        QStringList{QStringLiteral("introspect")} + target + QStringList{QStringLiteral("--object-path"), QStringLiteral("/MenuBar")});
    for (const char *expected : {"interface com.canonical.dbusmenu", "out (ia{sv}av) layout", "out a(ia{sv}) ",
             "in  a(isvu) events", "LayoutUpdated(u revision,", "ItemsPropertiesUpdated(a(ia{sv}) updatedProps,",
             "a(ias) removedProps", "readonly u Version = 3", "AboutToShowGroup("}) {
        EXPECT_TRUE(menuXml.contains(QLatin1String(expected))) << expected << "\n" << menuXml.toStdString();
    }

    const QString layout = runClient(QStringLiteral("gdbus"),
        QStringList{QStringLiteral("call")} + target
            + QStringList{QStringLiteral("--object-path"), QStringLiteral("/MenuBar"), QStringLiteral("--method"),
                QStringLiteral("com.canonical.dbusmenu.GetLayout"), QStringLiteral("--"), QStringLiteral("0"), QStringLiteral("-1"),
                QStringLiteral("[]")});
    for (const char *expected : {"'label': <'Update Now'>", "'type': <'separator'>", "'children-display': <'submenu'>",
             "'label': <'Chart'>"}) {
        EXPECT_TRUE(layout.contains(QLatin1String(expected))) << expected << "\n" << layout.toStdString();
    }
}

} // namespace
} // namespace tickwell::testing
