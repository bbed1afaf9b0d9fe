// Alerts through a desktop notification service on a private session bus: the controller with
// the real D-Bus client, and the real programs (tickwell-feed with a scripted price, tickwell-menu
// refreshing three times).
#include "AlertFixture.h"
#include "gui/SniTestBus.h"
#include "support/ToolHome.h"

#include "platform/session/DBusDesktopNotifications.h"

#include <QDBusArgument>
#include <QDBusMessage>

namespace tickwell::testing {
namespace {

// org.freedesktop.Notifications on a test bus: records every Notify and sends ActionInvoked on
// demand, as a desktop's notification service does when the user clicks a notification.
class FakeNotificationServer final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call {
        QString appName;
        QString appIcon;
        QString desktopEntry;
        QString summary;
        QString body;
        QStringList actions;
        QSize imageSize;   // of the "image-data" hint; invalid without one
        int imageChannels = 0;
        int expireTimeout;
    };

    explicit FakeNotificationServer(QDBusConnection bus) : m_bus(std::move(bus))
    {
        m_registered = m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this, QDBusConnection::ExportAllSlots)
                       && m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }

    bool isRegistered() const { return m_registered; }

    void invokeAction(uint id, const QString &key)
    {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                                         QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"));
        signal << id << key;
        m_bus.send(signal);
    }

    std::vector<Call> calls;

public Q_SLOTS:
    uint Notify(const QString &appName, uint /*replacesId*/, const QString &appIcon, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &hints, int expireTimeout)
    {
        Call call{appName, appIcon, hints.value(QStringLiteral("desktop-entry")).toString(), summary, body, actions, {}, 0, expireTimeout};
        if (hints.contains(QStringLiteral("image-data"))) {
            const QDBusArgument image = hints.value(QStringLiteral("image-data")).value<QDBusArgument>();
            int width = 0, height = 0, stride = 0, bitsPerSample = 0, channels = 0;
            bool alpha = false;
            QByteArray bytes;
            image.beginStructure();
            image >> width >> height >> stride >> alpha >> bitsPerSample >> channels >> bytes;
            image.endStructure();
            if (bytes.size() == qsizetype(stride) * height && bitsPerSample == 8)
                call.imageSize = QSize(width, height);
            call.imageChannels = channels;
        }
        calls.push_back(call);
        return static_cast<uint>(calls.size()) + 100; // ids of the service's own
    }
    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }

private:
    QDBusConnection m_bus;
    bool m_registered = false;
};

class NotificationBus : public AlertFixture {
protected:
    void SetUp() override
    {
        AlertFixture::SetUp();
        if (!bus.isRunning())
            GTEST_SKIP() << "dbus-daemon is not available";
        setSymbols({"ACME"});
        setAlerts("ACME", {{"Above", "150"}});
        quote("ACME", "151.00");
    }

    PrivateSessionBus bus;
};

TEST_F(NotificationBus, TheNotificationCarriesTheAlertAndItsActionOpensTheQuotePage)
{
    FakeNotificationServer server(bus.connect(QStringLiteral("server")));
    ASSERT_TRUE(server.isRegistered());
    DBusDesktopNotifications client(bus.connect(QStringLiteral("client")));
    controller().setDesktopNotifications(&client);
    launch();
    ASSERT_TRUE(WaitUntil([&] { return server.calls.size() == 1 && client.pendingCalls() == 0; }));

    const auto &call = server.calls.front();
    statusItem.open();
    ASSERT_NE(quoteLine("ACME"), nullptr);
    EXPECT_EQ(call.appName, QStringLiteral("Tickwell"));
    EXPECT_EQ(call.summary, QStringLiteral("ACME above 150.00"));
    EXPECT_EQ(call.body, quoteLine("ACME")->title);
    EXPECT_EQ(call.appIcon, QStringLiteral("com.brantlow.Tickwell"));
    EXPECT_EQ(call.desktopEntry, QStringLiteral("com.brantlow.Tickwell"));
    EXPECT_EQ(call.imageSize, QImage(QStringLiteral(":/images/Tickwell.tif")).size());
    EXPECT_EQ(call.imageChannels, 4);
    EXPECT_EQ(call.actions, (QStringList{"default", "Open Quote Page"}));
    EXPECT_EQ(call.expireTimeout, -1);
    EXPECT_TRUE(desktop.systemLogLines().isEmpty()) << "delivered: no fallback";

    // Other actions, and notifications that are not ours, open nothing.
    server.invokeAction(101, QStringLiteral("other"));
    server.invokeAction(7, QStringLiteral("default"));
    server.invokeAction(101, QStringLiteral("default"));
    ASSERT_TRUE(WaitUntil([&] { return !desktop.lines().isEmpty(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(desktop.lines(), QStringList{"open: http://quotes.test/q?s=ACME"});
}

TEST_F(NotificationBus, WithoutAServiceTheAlertFallsBack)
{
    DBusDesktopNotifications client(bus.connect(QStringLiteral("client")));
    controller().setDesktopNotifications(&client);
    launch();
    ASSERT_TRUE(WaitUntil([&] { return client.pendingCalls() == 0; }));
    const QString line = QStringLiteral("Alert: ACME above 150.00: ACME Inc.  [ACME] : 151.00");
    EXPECT_EQ(desktop.systemLogLines(), QStringList{line});
    EXPECT_EQ(statusItem.toolTipNote(), line);
    EXPECT_TRUE(logBytes("Tickwell_ACME.log").contains(("] " + line + "\r").toUtf8())) << logBytes("Tickwell_ACME.log").toStdString();
}

TEST(AlertEndToEnd, APriceMovingPastTheThresholdNotifiesExactlyOnce)
{
    PrivateSessionBus bus;
    if (!bus.isRunning())
        GTEST_SKIP() << "dbus-daemon is not available";
    FakeNotificationServer server(bus.connect(QStringLiteral("server")));
    ASSERT_TRUE(server.isRegistered());
    // Launch sees 149, then each "Update Now" the next price: across at 151, then hovering.
    FeedProcess feed({QStringLiteral("--seed"), QStringLiteral("3"), QStringLiteral("--price-path"), QStringLiteral("ACME=149,151,151.5,150.2")});
    ASSERT_FALSE(feed.host().isEmpty()) << "tickwell-feed did not start";

    ToolHome home;
    PlistSettingsStore settings = home.settings();
    pointHostsAt(settings, feed.host());
    settings.setValue(QStringLiteral("IncludeHeadlinesInSubmenu"), false);
    settings.setValue(QStringLiteral("StockSymbols"), QVariantList{QStringLiteral("ACME")});
    settings.setValue(QStringLiteral("PriceAlerts"), QVariantMap{{QStringLiteral("ACME"), QVariantMap{{QStringLiteral("Above"), QStringLiteral("150")}}}});

    QProcess menu;
    QProcessEnvironment environment = home.environment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    menu.setProcessEnvironment(environment);
    menu.start(ToolDir() + QStringLiteral("/tickwell-menu"),
               {QStringLiteral("--select"), QStringLiteral("Update Now"), QStringLiteral("--select"), QStringLiteral("Update Now"),
                QStringLiteral("--select"), QStringLiteral("Update Now")});
    // The service lives in this process: keep its event loop turning while the tool runs.
    ASSERT_TRUE(WaitUntil([&] { return menu.state() == QProcess::NotRunning; }, 60000)) << "tickwell-menu did not finish";
    QCoreApplication::processEvents();
    ASSERT_EQ(menu.exitCode(), 0) << menu.readAllStandardError().toStdString();

    ASSERT_EQ(server.calls.size(), 1u);
    EXPECT_EQ(server.calls.front().summary, QStringLiteral("ACME above 150.00"));
    EXPECT_TRUE(server.calls.front().body.contains(QStringLiteral("[ACME] : 151.00"))) << server.calls.front().body.toStdString();
    const QString out = QString::fromUtf8(menu.readAllStandardOutput());
    EXPECT_EQ(out.count(QStringLiteral("notify: ")), 1) << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("log: Alert"))) << "delivered: no fallback";
}

} // namespace
} // namespace tickwell::testing

#include "NotificationBusTest.moc"
