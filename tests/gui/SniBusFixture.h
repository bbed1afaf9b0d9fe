#pragma once

#include "SniFakeWatcher.h"
#include "SniTestBus.h"
#include "platform/desktop/DBusMenuTypes.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusVariant>

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
        const QDBusMessage reply = CallAndWait(peer, QDBusMessage::createMethodCall(service, QStringLiteral("/StatusNotifierItem"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get")) << QStringLiteral("org.kde.StatusNotifierItem") << name);
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    bool nameHasOwner(const QString &name) { return peer.interface()->isServiceRegistered(name); }

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

// The top level of a layout as lines: the label, " (disabled)" as a marker, "---" for separators.
inline QStringList Describe(const DBusMenuLayoutItem &root)
{
    QStringList lines;
    for (const auto &child : root.children)
        lines << (child.properties.contains(QStringLiteral("type")) ? QStringLiteral("---")
                : child.properties.value(QStringLiteral("label")).toString()
                    + (child.properties.value(QStringLiteral("enabled"), true).toBool() ? QString() : QStringLiteral(" (disabled)")));
    return lines;
}

// The id of the top-level item with this label; 0 when none.
inline int FindId(const DBusMenuLayoutItem &root, const QString &label)
{
    const auto lines = Describe(root);
    return lines.contains(label) ? root.children[lines.indexOf(label)].id : 0;
}

} // namespace tickwell::testing
