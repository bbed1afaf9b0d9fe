// The real tickwell on a real panel: xfce4-panel (its status tray is a StatusNotifierWatcher and
// host) on an X server and a session bus of the test's own, tickwell against the local quote
// feed, the menu read and clicked over D-Bus as the panel does. What a click opens is recorded by
// a stand-in xdg-open, which Qt's desktop services run for web addresses.
#include "SniTestBus.h"
#include "platform/desktop/DBusMenuTypes.h"
#include "support/FeedProcess.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusVariant>
#include <QDir>
#include <QScopeGuard>
#include <QStandardPaths>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

// Every label of a layout, depth first, with the id of its item.
void collectLabels(const DBusMenuLayoutItem &node, QList<std::pair<int, QVariantMap>> &out)
{
    for (const auto &child : node.children) {
        out.append({child.id, child.properties});
        collectLabels(child, out);
    }
}

TEST(RealPanelTest, TheItemRegistersShowsChangesAndOpensTheQuotePage)
{
    const QString xvfb = QStandardPaths::findExecutable(u"Xvfb"_s);
    const QString panel = QStandardPaths::findExecutable(u"xfce4-panel"_s);
    const QString daemon = QStandardPaths::findExecutable(u"dbus-daemon"_s);
    if (xvfb.isEmpty() || panel.isEmpty() || daemon.isEmpty())
        GTEST_SKIP() << "needs Xvfb, dbus-daemon and xfce4-panel (scripts/bootstrap installs them)";
    FeedProcess feed;
    ASSERT_FALSE(feed.host().isEmpty()) << "tickwell-feed did not start";
    QTemporaryDir home;
    QProcess server, bus, panelProcess, app;
    const auto stopAll = qScopeGuard([&] {
        for (QProcess *process : {&app, &panelProcess, &bus, &server}) {
            process->terminate();
            if (!process->waitForFinished(3000)) {
                process->kill();
                process->waitForFinished(3000);
            }
        }
    });

    server.start(xvfb, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1024x768x24"_s, u"-nolisten"_s, u"tcp"_s});
    ASSERT_TRUE(server.waitForStarted(5000) && server.waitForReadyRead(10000)) << "Xvfb did not start";
    const QString display = u':' + QString::fromLatin1(server.readAllStandardOutput().trimmed());
    // A session bus that starts services on demand: the panel keeps its settings in xfconfd.
    bus.start(daemon, {u"--session"_s, u"--nofork"_s, u"--nopidfile"_s, u"--print-address=1"_s});
    ASSERT_TRUE(bus.waitForStarted(5000) && bus.waitForReadyRead(5000)) << "dbus-daemon did not start";
    const QString busAddress = QString::fromUtf8(bus.readLine()).trimmed();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *folder : {".config", ".local/share", ".cache", "bin", "runtime"})
        ASSERT_TRUE(QDir(home.path()).mkpath(QString::fromLatin1(folder)));
    QFile::setPermissions(home.filePath(u"runtime"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    environment.insert(u"HOME"_s, home.path());
    environment.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u".config"_s));
    environment.insert(u"XDG_DATA_HOME"_s, home.filePath(u".local/share"_s));
    environment.insert(u"XDG_CACHE_HOME"_s, home.filePath(u".cache"_s));
    environment.insert(u"XDG_RUNTIME_DIR"_s, home.filePath(u"runtime"_s));
    environment.insert(u"DISPLAY"_s, display);
    environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, busAddress);
    environment.insert(u"NO_AT_BRIDGE"_s, u"1"_s);
    environment.insert(u"PATH"_s, home.filePath(u"bin"_s) + u':' + environment.value(u"PATH"_s));
    environment.remove(u"QT_QPA_PLATFORM"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    environment.remove(u"SESSION_MANAGER"_s);

    panelProcess.setProcessEnvironment(environment);
    panelProcess.setProcessChannelMode(QProcess::MergedChannels);
    panelProcess.start(panel, {u"--disable-wm-check"_s});
    ASSERT_TRUE(panelProcess.waitForStarted(5000));

    QDBusConnection connection = QDBusConnection::connectToBus(busAddress, u"real-panel-test"_s);
    const auto disconnect = qScopeGuard([] { QDBusConnection::disconnectFromBus(u"real-panel-test"_s); });
    ASSERT_TRUE(connection.isConnected());
    RegisterDBusMenuTypes();
    const auto call = [&](const QString &service, const QString &path, const QString &interface, const QString &method,
                          const QVariantList &arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments(arguments);
        return CallAndWait(connection, message);
    };
    const auto registeredItems = [&] {
        const QDBusMessage reply = call(u"org.kde.StatusNotifierWatcher"_s, u"/StatusNotifierWatcher"_s, u"org.freedesktop.DBus.Properties"_s,
            u"Get"_s, {u"org.kde.StatusNotifierWatcher"_s, u"RegisteredStatusNotifierItems"_s});
        return reply.arguments().value(0).value<QDBusVariant>().variant().toStringList();
    };
    ASSERT_TRUE(WaitUntil([&] { return connection.interface()->isServiceRegistered(u"org.kde.StatusNotifierWatcher"_s).value(); }, 30000))
        << "the panel's status tray never became the watcher:\n" << panelProcess.readAll().toStdString();

    // tickwell against the feed, with a watch list, the metals and the market indices.
    QString settings = u"<key>LogToConsole</key><false/>\n"
                       "<key>StockSymbols</key><array><string>ACME</string><string>BETA</string></array>\n"
                       "<key>CompanyShares</key><dict><key>ACME</key><string>100</string></dict>\n"
                       "<key>ShowMarketIndicesInMenu</key><true/>\n<key>ShowPreciousMetalsInMenu</key><true/>\n"_s;
    for (const char *key : {"QuotePageHost", "ChartImageHost", "LogoHost", "MetalsHost", "MarketsHost", "OtherIndicesHost", "OrderBookHost"})
        settings += u"<key>%1</key><string>%2</string>\n"_s.arg(QLatin1String(key), feed.host());
    QFile plist(home.filePath(u".config/com.brantlow.Tickwell.plist"_s));
    ASSERT_TRUE(plist.open(QIODevice::WriteOnly));
    plist.write(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n%1</dict>\n</plist>\n"_s.arg(settings).toUtf8());
    plist.close();
    const QString opened = home.filePath(u"opened.txt"_s);
    QFile stub(home.filePath(u"bin/xdg-open"_s));
    ASSERT_TRUE(stub.open(QIODevice::WriteOnly));
    stub.write(u"#!/bin/sh\nprintf '%s\\n' \"$*\" >> '%1'\n"_s.arg(opened).toUtf8());
    stub.close();
    stub.setPermissions(stub.permissions() | QFile::ExeOwner | QFile::ExeUser);

    app.setProcessEnvironment(environment);
    app.setProcessChannelMode(QProcess::MergedChannels);
    app.start(ToolDir() + u"/tickwell"_s, {});
    ASSERT_TRUE(app.waitForStarted(5000));
    const QString service = u"org.kde.StatusNotifierItem-%1-1"_s.arg(app.processId());
    ASSERT_TRUE(WaitUntil([&] { return registeredItems().contains(service + u"/StatusNotifierItem"_s); }, 30000))
        << "not registered with the panel: " << registeredItems().join(u", "_s).toStdString() << "\n" << app.readAll().toStdString();

    // The panel opens the menu: AboutToShow, then the whole layout.
    const auto menuCall = [&](const QString &method, const QVariantList &arguments) {
        return call(service, u"/MenuBar"_s, u"com.canonical.dbusmenu"_s, method, arguments);
    };
    // The launch refresh runs beside the event loop: the menu shows quotes once it has ended.
    const auto showsQuotes = [&] {
        menuCall(u"AboutToShow"_s, {0});
        const QDBusMessage layout = menuCall(u"GetLayout"_s, {0, -1, QStringList()});
        // Closed again: what ended while the menu was open is handed over when it closes.
        menuCall(u"Event"_s, {0, u"closed"_s, QVariant::fromValue(QDBusVariant(QString())), 0u});
        if (layout.arguments().size() != 2)
            return false;
        DBusMenuLayoutItem top;
        layout.arguments().at(1).value<QDBusArgument>() >> top;
        QList<std::pair<int, QVariantMap>> found;
        collectLabels(top, found);
        return std::any_of(found.cbegin(), found.cend(), [](const auto &item) {
            return item.second.value(u"label"_s).toString().contains(u"[ACME]"_s);
        });
    };
    WaitUntil(showsQuotes, 20000);
    menuCall(u"AboutToShow"_s, {0});
    const QDBusMessage reply = menuCall(u"GetLayout"_s, {0, -1, QStringList()});
    ASSERT_EQ(reply.arguments().size(), 2) << reply.errorMessage().toStdString();
    DBusMenuLayoutItem root;
    reply.arguments().at(1).value<QDBusArgument>() >> root;
    QList<std::pair<int, QVariantMap>> items;
    collectLabels(root, items);
    const auto find = [&](const QString &pattern) -> std::optional<std::pair<int, QVariantMap>> {
        const QRegularExpression expression(u"^(?:"_s + pattern + u")$"_s);
        for (const auto &item : items)
            if (expression.match(item.second.value(u"label"_s).toString()).hasMatch())
                return item;
        return std::nullopt;
    };
    QStringList labels;
    for (const auto &item : items)
        labels.append(item.second.value(u"label"_s).toString());
    const std::string all = labels.join(u"\n"_s).toStdString();
    // Change and percent, which the Qt-drawn menu colours, stand in the labels.
    const QString number = u"[\\d,]+\\.\\d+"_s;
    const auto acme = find(u"Acme .+ \\[ACME\\] \\(%1, %1%\\) : %1 \\(100 shares: \\$%1\\)"_s.arg(number));
    ASSERT_TRUE(acme) << all;
    EXPECT_TRUE(find(u"Beta .+ \\[BETA\\] \\(%1, %1%\\) : %1.*"_s.arg(number))) << all;
    for (const char *index : {"Dow", "Nasdaq", "S&P", "Gold", "Palladium"})
        EXPECT_TRUE(find(QRegularExpression::escape(QLatin1String(index)) + u": %1 \\([+-]%1, [+-]%1%\\)"_s.arg(number))) << index << "\n" << all;
    const auto preferences = find(u"Preferences..."_s);
    ASSERT_TRUE(preferences);
    EXPECT_EQ(qdbus_cast<DBusMenuShortcut>(preferences->second.value(u"shortcut"_s)), (DBusMenuShortcut{{u"Control"_s, u"comma"_s}}));

    // A click on the quote line opens its quote page.
    const QDBusMessage clicked = menuCall(u"Event"_s, {acme->first, u"clicked"_s, QVariant::fromValue(QDBusVariant(0)), 0u});
    ASSERT_EQ(clicked.type(), QDBusMessage::ReplyMessage) << clicked.errorMessage().toStdString();
    QFile record(opened);
    ASSERT_TRUE(WaitUntil([&] { return record.exists() && record.size() > 0; }, 15000)) << app.readAll().toStdString();
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(record.readAll()), feed.url(u"/q?s=ACME"_s) + u'\n');
}

} // namespace
} // namespace tickwell::testing
