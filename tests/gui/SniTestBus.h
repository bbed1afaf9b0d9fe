#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>

namespace tickwell::testing {

// A session bus of the test's own, without service activation, so nothing of the desktop (a
// real watcher, a real panel) can answer.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus &) = delete;
    PrivateSessionBus &operator=(const PrivateSessionBus &) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }
    // A new connection under a name unique to this bus; closed with the bus.
    QDBusConnection connect(const QString &purpose);

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QStringList m_connectionNames;
};

// Runs the event loop until the condition holds or the time is up; returns the condition.
bool WaitUntil(const std::function<bool()> &condition, int timeoutMilliseconds = 5000);
// Calls without blocking this thread (the callee may live in it) and waits for the reply.
QDBusMessage CallAndWait(QDBusConnection &bus, const QDBusMessage &call);
QVariant GetDBusProperty(QDBusConnection &bus, const QString &service, const QString &path,
    const QString &interface, const QString &name);
bool NameHasOwner(QDBusConnection &bus, const QString &name);

} // namespace tickwell::testing
