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
        ASSERT_TRUE(app.isConnected() && peer.isConnected());
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
    QDBusMessage click(const QString &service, int id)
    {
        return menuCall(service, QStringLiteral("Event"),
            {id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(QString())), 0u});
    }
    QVariant itemProperty(const QString &service, const QString &name)
    {
        return GetDBusProperty(peer, service, QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.kde.StatusNotifierItem"), name);
    }

    // Every signal the service sent so far has arrived once a ping returns: the bus keeps a
    // sender's messages in order.
    void settle(const QString &service)
    {
        CallAndWait(peer, QDBusMessage::createMethodCall(service, QStringLiteral("/"),
            QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")));
        QCoreApplication::processEvents();
    }

    // GetLayout of the whole menu: the revision and the root.
    std::pair<uint, DBusMenuLayoutItem> fetchLayout(const QString &service)
    {
        const QDBusMessage reply = menuCall(service, QStringLiteral("GetLayout"), {0, -1, QStringList()});
        DBusMenuLayoutItem root;
        if (reply.arguments().size() != 2) {
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

// A layout as lines indented by depth: the label, "---" for separators, " (disabled)" and " >"
// (has a submenu) as markers.
inline QStringList Describe(const DBusMenuLayoutItem &node, int depth = 0)
{
    QStringList lines;
    for (const auto &child : node.children) {
        const QVariantMap &p = child.properties;
        QString line = QString(depth * 2, QLatin1Char(' '));
        if (p.value(QStringLiteral("type")) == QStringLiteral("separator"))
            line += QStringLiteral("---");
        else
            line += p.value(QStringLiteral("label")).toString()
                + (p.value(QStringLiteral("enabled"), true).toBool() ? QString() : QStringLiteral(" (disabled)"))
                + (p.value(QStringLiteral("children-display")) == QStringLiteral("submenu") ? QStringLiteral(" >") : QString());
        lines << line << Describe(child, depth + 1);
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
