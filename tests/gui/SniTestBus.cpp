#include "SniTestBus.h"

#include <QCoreApplication>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <QUuid>

namespace tickwell::testing {

namespace {

constexpr auto kBusConfig = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

} // namespace

PrivateSessionBus::PrivateSessionBus()
{
    if (!m_dir.isValid())
        return;
    const QString configPath = m_dir.filePath(QStringLiteral("bus.conf"));
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly))
        return;
    config.write(QString::fromLatin1(kBusConfig).arg(m_dir.path()).toUtf8());
    config.close();

    m_daemon.setProcessChannelMode(QProcess::SeparateChannels);
    m_daemon.start(QStringLiteral("dbus-daemon"),
        {QStringLiteral("--config-file=") + configPath, QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
            QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForStarted(5000))
        return;
    // The daemon prints its address once it listens.
    QByteArray line;
    const QDeadlineTimer deadline(5000);
    while (!line.contains('\n') && !deadline.hasExpired() && m_daemon.state() == QProcess::Running) {
        m_daemon.waitForReadyRead(100);
        line += m_daemon.readAllStandardOutput();
    }
    m_address = QString::fromUtf8(line).trimmed();
}

PrivateSessionBus::~PrivateSessionBus()
{
    for (const auto &name : std::as_const(m_connectionNames))
        QDBusConnection::disconnectFromBus(name);
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(3000);
        }
    }
}

QDBusConnection PrivateSessionBus::connect(const QString &purpose)
{
    const QString name = purpose + QLatin1Char('-') + QUuid::createUuid().toString(QUuid::WithoutBraces);
    m_connectionNames.append(name);
    return QDBusConnection::connectToBus(m_address, name);
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
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    call << interface << name;
    const QDBusMessage reply = CallAndWait(bus, call);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().first().value<QDBusVariant>().variant();
}

} // namespace tickwell::testing
