// Alerts through a desktop notification service on a private session bus: the controller with
// the real D-Bus client, and the real programs.
#include "AlertFixture.h"
#include "gui/SniBus.h"
#include "support/ToolHome.h"

#include "platform/session/DBusDesktopNotifications.h"

#include <QDBusArgument>
#include <QDBusMessage>

namespace tickwell::testing {
namespace {

// org.freedesktop.Notifications on a test bus: records every Notify as one line and sends
// ActionInvoked on demand, as a desktop's service does when the user clicks a notification.
class FakeNotificationServer final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    explicit FakeNotificationServer(QDBusConnection bus) : m_bus(std::move(bus))
    {
        registered = m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this, QDBusConnection::ExportAllSlots)
                       && m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }
    void invokeAction(uint id, const QString &key)
    {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                                         QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"));
        signal << id << key;
        m_bus.send(signal);
    }
    bool registered = false;
    // "app | icon | desktop entry | summary | body | actions | image WxH, channels | timeout"
    QStringList calls;
public Q_SLOTS:
    uint Notify(const QString &appName, uint /*replacesId*/, const QString &appIcon, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &hints, int expireTimeout)
    {
        int width = 0, height = 0, stride = 0, bitsPerSample = 0, channels = 0;
        bool alpha = false;
        QByteArray bytes;
        if (hints.contains(QStringLiteral("image-data"))) {
            const QDBusArgument image = hints.value(QStringLiteral("image-data")).value<QDBusArgument>();
            image.beginStructure();
            image >> width >> height >> stride >> alpha >> bitsPerSample >> channels >> bytes;
            image.endStructure();
        }
        const bool whole = bytes.size() == qsizetype(stride) * height && bitsPerSample == 8;
        calls.append(QStringList{appName, appIcon, hints.value(QStringLiteral("desktop-entry")).toString(), summary, body, actions.join(u','),
                                 QStringLiteral("%1x%2, %3").arg(whole ? width : 0).arg(whole ? height : 0).arg(channels),
                                 QString::number(expireTimeout)}.join(QStringLiteral(" | ")));
        return static_cast<uint>(calls.size()) + 100; // ids of the service's own
    }

private:
    QDBusConnection m_bus;
};

class NotificationBus : public AlertFixture {
protected:
    PrivateSessionBus bus;
};

// Without a service the alert falls back to the system log, the tool tip and the symbol's log;
// with one, the notification carries the alert and its action opens the quote page at the host
// the settings name by then.
TEST_F(NotificationBus, TheAlertFallsBackOrReachesTheServiceWhoseActionOpensTheQuotePage)
{
    ASSERT_TRUE(bus.isRunning());
    setSymbols({"ACME"});
    setAlerts("ACME", {{"Above", "150"}});
    quote("ACME", "151.00");
    DBusDesktopNotifications client(bus.connect(QStringLiteral("client")));
    controller().setDesktopNotifications(&client);
    launch();
    ASSERT_TRUE(WaitUntil([&] { return client.pendingCalls() == 0; }));
    const QString line = QStringLiteral("Alert: ACME above 150.00: ACME Inc.  [ACME] : 151.00");
    EXPECT_EQ(desktop.systemLogLines(), QStringList{line});
    EXPECT_EQ(statusItem.toolTipNote(), line);
    EXPECT_TRUE(logBytes("Tickwell_ACME.log").contains(("] " + line + "\r").toUtf8())) << logBytes("Tickwell_ACME.log").toStdString();

    FakeNotificationServer server(bus.connect(QStringLiteral("server")));
    ASSERT_TRUE(server.registered);
    quote("ACME", "149.00");
    refresh();
    quote("ACME", "151.00");
    refresh();
    ASSERT_TRUE(WaitUntil([&] { return server.calls.size() == 1 && client.pendingCalls() == 0; }));
    statusItem.open();
    ASSERT_NE(quoteLine("ACME"), nullptr);
    const QSize image = QImage(QStringLiteral(":/images/Tickwell.tif")).size();
    EXPECT_EQ(server.calls, QStringList("Tickwell | com.brantlow.Tickwell | com.brantlow.Tickwell | ACME above 150.00 | " + quoteLine("ACME")->title
                                        + QStringLiteral(" | default,Open Quote Page | %1x%2, 4 | -1").arg(image.width()).arg(image.height())));
    // Other actions, and notifications that are not ours, open nothing.
    settings.setValue(QStringLiteral("QuotePageHost"), QStringLiteral("elsewhere.test"));
    server.invokeAction(101, QStringLiteral("other"));
    server.invokeAction(7, QStringLiteral("default"));
    server.invokeAction(101, QStringLiteral("default"));
    ASSERT_TRUE(WaitUntil([&] { return !desktop.lines().isEmpty(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(desktop.lines(), QStringList{"open: http://elsewhere.test/q?s=ACME"});
}

// The real programs: tickwell-feed with a scripted price, tickwell-menu refreshing three times.
TEST_F(NotificationBus, APriceMovingPastTheThresholdNotifiesExactlyOnce)
{
    ASSERT_TRUE(bus.isRunning());
    FakeNotificationServer server(bus.connect(QStringLiteral("server")));
    ASSERT_TRUE(server.registered);
    // Launch sees 149, then each "Update Now" the next price: across at 151, then hovering.
    FeedProcess feed({QStringLiteral("--seed"), QStringLiteral("3"), QStringLiteral("--price-path"), QStringLiteral("ACME=149,151,151.5,150.2")});
    ASSERT_FALSE(feed.host().isEmpty()) << "tickwell-feed did not start";
    ToolHome home;
    PlistSettingsStore store = home.settings();
    pointHostsAt(store, feed.host());
    store.setValue(QStringLiteral("StockSymbols"), QVariantList{QStringLiteral("ACME")});
    store.setValue(QStringLiteral("PriceAlerts"), QVariantMap{{QStringLiteral("ACME"), QVariantMap{{QStringLiteral("Above"), QStringLiteral("150")}}}});
    QProcess menu;
    QProcessEnvironment environment = home.environment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    menu.setProcessEnvironment(environment);
    const QStringList select{QStringLiteral("--select"), QStringLiteral("Update Now")};
    menu.start(ToolDir() + QStringLiteral("/tickwell-menu"), select + select + select);
    // The service lives in this process: keep its event loop turning while the tool runs.
    ASSERT_TRUE(WaitUntil([&] { return menu.state() == QProcess::NotRunning; }, 60000)) << "tickwell-menu did not finish";
    QCoreApplication::processEvents();
    ASSERT_EQ(menu.exitCode(), 0) << menu.readAllStandardError().toStdString();
    ASSERT_EQ(server.calls.size(), 1);
    EXPECT_TRUE(server.calls.front().contains(QStringLiteral(" | ACME above 150.00 | ")) && server.calls.front().contains(QStringLiteral("[ACME] : 151.00")))
        << server.calls.front().toStdString();
    const QString out = QString::fromUtf8(menu.readAllStandardOutput());
    EXPECT_EQ(out.count(QStringLiteral("notify: ")), 1) << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("log: Alert"))) << "delivered: no fallback";
}

} // namespace
} // namespace tickwell::testing

#include "NotificationBusTest.moc"
