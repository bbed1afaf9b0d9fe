#pragma once

// A desktop of the test's own: a private session bus, an X server, a status notifier watcher,
// and the calls a panel makes to an item.
#include "platform/desktop/DBusMenuTypes.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>

#include <functional>
#include <memory>

namespace tickwell::testing {

// Calls without blocking this thread (the callee may live in it) and waits for the reply.
inline QDBusMessage CallAndWait(QDBusConnection &bus, const QDBusMessage &call)
{
    QDBusPendingCall pending = bus.asyncCall(call, 10000);
    WaitUntil([&pending] { return pending.isFinished(); }, 12000);
    return pending.reply();
}

inline QDBusMessage Call(QDBusConnection &bus, const QString &service, const QString &path, const QString &interface,
    const QString &method, const QVariantList &arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return CallAndWait(bus, message);
}

inline QDBusMessage ItemPropertyReply(QDBusConnection &bus, const QString &service, const QString &name)
{
    return Call(bus, service, QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
        {QStringLiteral("org.kde.StatusNotifierItem"), name});
}

inline QVariant ItemProperty(QDBusConnection &bus, const QString &service, const QString &name)
{
    return ItemPropertyReply(bus, service, name).arguments().value(0).value<QDBusVariant>().variant();
}

inline QDBusMessage MenuCall(QDBusConnection &bus, const QString &service, const QString &method, const QVariantList &arguments = {})
{
    return Call(bus, service, QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu"), method, arguments);
}

// The whole layout and its revision, as a panel fetches it when its menu opens.
inline std::pair<uint, DBusMenuLayoutItem> FetchLayout(QDBusConnection &bus, const QString &service)
{
    const QDBusMessage reply = MenuCall(bus, service, QStringLiteral("GetLayout"), {0, -1, QStringList()});
    DBusMenuLayoutItem root;
    if (reply.arguments().size() != 2) {
        ADD_FAILURE() << "GetLayout failed: " << reply.errorMessage().toStdString();
        return {0, root};
    }
    reply.arguments().at(1).value<QDBusArgument>() >> root;
    return {reply.arguments().at(0).toUInt(), root};
}

// Starts a server that prints its address once it listens (dbus-daemon, Xvfb); empty if it did not.
inline QString StartAndReadAddress(QProcess &process, const QString &program, const QStringList &arguments)
{
    process.start(program, arguments);
    return process.waitForStarted(5000) && process.waitForReadyRead(10000) ? QString::fromUtf8(process.readLine()).trimmed() : QString();
}

// A session bus of the test's own, without service activation, so nothing of the desktop (a
// real watcher, a real panel) can answer.
class PrivateSessionBus {
public:
    PrivateSessionBus()
    {
        QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
        if (!m_dir.isValid() || !config.open(QIODevice::WriteOnly))
            return;
        config.write(QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>"
                                    "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                    "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                         .arg(m_dir.path()).toUtf8());
        config.close();
        m_address = StartAndReadAddress(m_daemon, QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + config.fileName(),
            QStringLiteral("--nofork"), QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    }
    ~PrivateSessionBus()
    {
        for (const auto &name : std::as_const(m_connectionNames))
            QDBusConnection::disconnectFromBus(name);
        m_daemon.kill();
        m_daemon.waitForFinished(3000);
    }

    bool isRunning() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }
    // A new connection under a name unique to this bus; closed with the bus.
    QDBusConnection connect(const QString &purpose)
    {
        m_connectionNames.append(purpose + QLatin1Char('-') + QUuid::createUuid().toString(QUuid::WithoutBraces));
        return QDBusConnection::connectToBus(m_address, m_connectionNames.last());
    }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QStringList m_connectionNames;
};

// An X server of the test's own on a free display, which it names on its output.
struct OwnXServer {
    OwnXServer()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        const QString number = xvfb.isEmpty() ? QString() : StartAndReadAddress(server, xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
            QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        display = number.isEmpty() ? QString() : QLatin1Char(':') + number;
    }
    ~OwnXServer() { server.kill(), server.waitForFinished(3000); }
    bool isRunning() const { return !display.isEmpty(); }

    QProcess server;
    QString display;
};

// The environment of programs in a session of the test's own: its home (with a runtime folder
// and bin/ first in PATH), display (offscreen without) and bus.
inline QProcessEnvironment SessionEnvironment(const QTemporaryDir &home, const QString &display, const QString &busAddress)
{
    for (const char *folder : {".config", ".local/share", ".cache", "bin", "runtime"})
        QDir(home.path()).mkpath(QString::fromLatin1(folder));
    QFile::setPermissions(home.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const std::pair<const char *, QString> variables[] = {{"HOME", home.path()}, {"XDG_CONFIG_HOME", home.filePath(QStringLiteral(".config"))},
        {"XDG_DATA_HOME", home.filePath(QStringLiteral(".local/share"))}, {"XDG_CACHE_HOME", home.filePath(QStringLiteral(".cache"))},
        {"XDG_RUNTIME_DIR", home.filePath(QStringLiteral("runtime"))}, {"DISPLAY", display}, {"DBUS_SESSION_BUS_ADDRESS", busAddress},
        {"QT_QPA_PLATFORM", display.isEmpty() ? QStringLiteral("offscreen") : QStringLiteral("xcb")}, {"NO_AT_BRIDGE", QStringLiteral("1")},
        {"PATH", home.filePath(QStringLiteral("bin")) + QLatin1Char(':') + environment.value(QStringLiteral("PATH"))}};
    for (const auto &[name, value] : variables)
        environment.insert(QLatin1String(name), value);
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("SESSION_MANAGER"));
    return environment;
}

// The smallest org.kde.StatusNotifierWatcher: takes registrations and remembers who sent them.
class SniFakeWatcher final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")

public:
    explicit SniFakeWatcher(QDBusConnection bus)
        : m_bus(std::move(bus))
    {
        m_bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this, QDBusConnection::ExportAllSlots);
    }
    ~SniFakeWatcher() override { stop(); }

    // Takes the watcher's name (what a panel starting does) or gives it up.
    bool start()
    {
        registeredItems.clear();
        senders.clear();
        return m_bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    }
    void stop() { m_bus.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher")); }

    QStringList registeredItems;
    QStringList senders; // unique bus names, one per registration

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString &service)
    {
        registeredItems.append(service);
        senders.append(message().service());
    }

private:
    QDBusConnection m_bus;
};

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

    QDBusMessage click(const QString &service, int id)
    {
        return MenuCall(peer, service, QStringLiteral("Event"), {id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(QString())), 0u});
    }
    bool nameHasOwner(const QString &name) { return peer.interface()->isServiceRegistered(name); }

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
