#include "SniTestBus.h"

#include <QCoreApplication>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <QUuid>

namespace tickwell::testing {

PrivateSessionBus::PrivateSessionBus()
{
    QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
    if (!m_dir.isValid() || !config.open(QIODevice::WriteOnly))
        return;
    config.write(QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>"
                                "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                     .arg(m_dir.path())
                     .toUtf8());
    config.close();
    m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + config.fileName(),
                                                      QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                                                      QStringLiteral("--print-address=1")});
    // The daemon prints its address once it listens.
    QByteArray line;
    const QDeadlineTimer deadline(5000);
    while (m_daemon.waitForStarted(5000) && !line.contains('\n') && !deadline.hasExpired()
           && m_daemon.state() == QProcess::Running) {
        m_daemon.waitForReadyRead(100);
        line += m_daemon.readAllStandardOutput();
    }
    m_address = QString::fromUtf8(line).trimmed();
}

PrivateSessionBus::~PrivateSessionBus()
{
    for (const auto &name : std::as_const(m_connectionNames))
        QDBusConnection::disconnectFromBus(name);
    m_daemon.terminate();
    if (m_daemon.state() != QProcess::NotRunning && !m_daemon.waitForFinished(3000)) {
        m_daemon.kill();
        m_daemon.waitForFinished(3000);
    }
}

QDBusConnection PrivateSessionBus::connect(const QString &purpose)
{
    m_connectionNames.append(purpose + QLatin1Char('-') + QUuid::createUuid().toString(QUuid::WithoutBraces));
    return QDBusConnection::connectToBus(m_address, m_connectionNames.last());
}

bool WaitUntil(const std::function<bool()> &condition, int timeoutMilliseconds)
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

QDBusMessage CallAndWait(QDBusConnection &bus, const QDBusMessage &call)
{
    QDBusPendingCall pending = bus.asyncCall(call, 10000);
    WaitUntil([&pending] { return pending.isFinished(); }, 12000);
    return pending.reply();
}

QVariant GetDBusProperty(QDBusConnection &bus, const QString &service, const QString &path,
    const QString &interface, const QString &name)
{
    const QDBusMessage reply = CallAndWait(bus, QDBusMessage::createMethodCall(service, path,
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get")) << interface << name);
    return reply.arguments().value(0).value<QDBusVariant>().variant();
}

bool NameHasOwner(QDBusConnection &bus, const QString &name)
{
    return CallAndWait(bus, QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner")) << name)
        .arguments().value(0).toBool();
}

} // namespace tickwell::testing
