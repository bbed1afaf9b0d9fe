#pragma once

#include "SniFakeWatcher.h"
#include "SniTestBus.h"
#include "platform/desktop/DBusMenuTypes.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>

#include <memory>

namespace tickwell::testing {

// A private bus with two ends: "app", where the status item lives, and "peer", where the
// watcher and the panel's calls come from.
class SniBusFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bus.isRunning()) << "dbus-daemon did not start";
        app = bus.connect(QStringLiteral("app"));
        peer = bus.connect(QStringLiteral("peer"));
        ASSERT_TRUE(app.isConnected());
        ASSERT_TRUE(peer.isConnected());
        watcher = std::make_unique<SniFakeWatcher>(peer);
        RegisterDBusMenuTypes();
    }
    void TearDown() override { watcher.reset(); }

    QDBusMessage menuCall(const QString &service, const QString &method, const QVariantList &arguments = {})
    {
        QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/MenuBar"),
            QStringLiteral("com.canonical.dbusmenu"), method);
        call.setArguments(arguments);
        return CallAndWait(peer, call);
    }

    // Waits until every signal the service sent so far has reached this test: the bus keeps a
    // sender's messages in order, so they all came before the answer to a ping.
    void settle(const QString &service)
    {
        CallAndWait(peer, QDBusMessage::createMethodCall(service, QStringLiteral("/"), QStringLiteral("org.freedesktop.DBus.Peer"),
                              QStringLiteral("Ping")));
        QCoreApplication::processEvents();
    }

    // GetLayout of the whole menu: the revision and the root.
    std::pair<uint, DBusMenuLayoutItem> fetchLayout(const QString &service, int parent = 0, int depth = -1,
        const QStringList &names = {})
    {
        const QDBusMessage reply = menuCall(service, QStringLiteral("GetLayout"), {parent, depth, names});
        DBusMenuLayoutItem root;
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2) {
            ADD_FAILURE() << "GetLayout failed: " << reply.errorMessage().toStdString();
            return {0, root};
        }
        reply.arguments().at(1).value<QDBusArgument>() >> root;
        return {reply.arguments().at(0).toUInt(), root};
    }

    PrivateSessionBus bus;
    QDBusConnection app{QString()};
    QDBusConnection peer{QString()};
    std::unique_ptr<SniFakeWatcher> watcher;
};

// A layout as text lines, one per item, indented by depth: the label, "---" for separators,
// " (disabled)" and " >" (has a submenu) as markers.
inline QStringList Describe(const DBusMenuLayoutItem &node, int depth = 0)
{
    QStringList lines;
    for (const auto &child : node.children) {
        const QVariantMap &properties = child.properties;
        QString line = QString(depth * 2, QLatin1Char(' '));
        if (properties.value(QStringLiteral("type")).toString() == QLatin1String("separator")) {
            line += QStringLiteral("---");
        } else {
            line += properties.value(QStringLiteral("label")).toString();
            if (properties.contains(QStringLiteral("enabled")) && !properties.value(QStringLiteral("enabled")).toBool())
                line += QStringLiteral(" (disabled)");
            if (properties.value(QStringLiteral("children-display")).toString() == QLatin1String("submenu"))
                line += QStringLiteral(" >");
        }
        lines.append(line);
        lines.append(Describe(child, depth + 1));
    }
    return lines;
}

// The id of the first item with this label, depth first; 0 when none.
inline int FindId(const DBusMenuLayoutItem &node, const QString &label)
{
    for (const auto &child : node.children) {
        if (child.properties.value(QStringLiteral("label")).toString() == label)
            return child.id;
        if (const int id = FindId(child, label))
            return id;
    }
    return 0;
}

} // namespace tickwell::testing
