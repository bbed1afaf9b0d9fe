#pragma once

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>

#include <functional>

namespace tickwell::testing {

// Runs the event loop until the condition holds or the time is up; returns the condition.
inline bool WaitUntil(const std::function<bool()> &condition, int timeoutMilliseconds = 5000)
{
    const QDeadlineTimer deadline(timeoutMilliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

// Calls without blocking this thread (the callee may live in it) and waits for the reply.
inline QDBusMessage CallAndWait(QDBusConnection &bus, const QDBusMessage &call)
{
    QDBusPendingCall pending = bus.asyncCall(call, 10000);
    WaitUntil([&pending] { return pending.isFinished(); }, 12000);
    return pending.reply();
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
        m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + config.fileName(),
            QStringLiteral("--nofork"), QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
        // The daemon prints its address once it listens.
        if (m_daemon.waitForStarted(5000) && m_daemon.waitForReadyRead(5000))
            m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
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

} // namespace tickwell::testing
