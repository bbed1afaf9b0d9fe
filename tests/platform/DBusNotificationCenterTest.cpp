#include "platform/session/DBusNotificationCenter.h"

#include "PlatformTestSupport.h"
#include "support/ToolHome.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QScopeGuard>

namespace tickwell::testing {
namespace {

TEST(DBusNotificationCenter, OtherConnectionsAndTheToolReachUsAndOurOwnPostArrivesOnce)
{
    // A session bus of our own, so the test neither needs nor disturbs the user's.
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"), { QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address") });
    if (!daemon.waitForStarted(5000) || !(daemon.canReadLine() || daemon.waitForReadyRead(5000)))
        GTEST_SKIP() << "dbus-daemon is not available";
    const auto stop = qScopeGuard([&] { daemon.terminate(); daemon.waitForFinished(3000); });
    // Without a bus, in-process delivery only.
    DBusNotificationCenter alone(QDBusConnection(QStringLiteral("tickwell-no-bus")));
    EXPECT_FALSE(alone.isOnBus());
    int aloneCalls = 0;
    alone.observePreferencesChanged([&] { ++aloneCalls; });
    alone.postPreferencesChanged();
    EXPECT_EQ(aloneCalls, 1);

    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    auto connect = [&](const QString &name) { return QDBusConnection::connectToBus(address, name); };
    DBusNotificationCenter poster(connect(QStringLiteral("tickwell-poster")));
    DBusNotificationCenter listener(connect(QStringLiteral("tickwell-listener")));
    ASSERT_TRUE(poster.isOnBus() && listener.isOnBus());
    int posterCalls = 0, listenerCalls = 0;
    poster.observePreferencesChanged([&] { ++posterCalls; });
    listener.observePreferencesChanged([&] { ++listenerCalls; });

    poster.postPreferencesChanged();
    EXPECT_EQ(posterCalls, 1) << "in-process delivery is immediate";
    // A signal about another object is not ours.
    QDBusMessage other = QDBusMessage::createSignal(kNotificationDBusPath, kNotificationDBusInterface, kPreferencesChangedSignal);
    other << QStringLiteral("com.example.other");
    ASSERT_TRUE(connect(QStringLiteral("tickwell-other")).send(other));
    EXPECT_TRUE(WaitUntil([&] { return listenerCalls == 1; }));

    qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    ASSERT_EQ(ToolHome().run(QStringLiteral("tickwell-defaults"), { QStringLiteral("write"), QStringLiteral("TitleTicker"), QStringLiteral("-bool"), QStringLiteral("yes") }).exitCode, 0);
    EXPECT_TRUE(WaitUntil([&] { return listenerCalls == 2; }));
    WaitUntil([] { return false; }, 200);
    EXPECT_EQ(posterCalls, 2) << "our own signal must not be delivered a second time";
    EXPECT_EQ(listenerCalls, 2);
}

} // namespace
} // namespace tickwell::testing
