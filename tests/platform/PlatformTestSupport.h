#pragma once

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QVariant>

#include <gtest/gtest.h>

#include "platform/OldStylePlist.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

namespace tickwell::testing {

// QVariant's own == finds the text "15" equal to true; settings must keep their exact type.
inline bool StrictlyEqual(const QVariant &a, const QVariant &b)
{
    if (a.typeId() != b.typeId())
        return false;
    switch (a.typeId()) {
    case QMetaType::QVariantList: {
        const QVariantList left = a.toList(), right = b.toList();
        return left.size() == right.size() && std::equal(left.cbegin(), left.cend(), right.cbegin(), StrictlyEqual);
    }
    case QMetaType::QVariantMap: {
        const QVariantMap left = a.toMap(), right = b.toMap();
        return left.keys() == right.keys() && std::equal(left.cbegin(), left.cend(), right.cbegin(), StrictlyEqual);
    }
    case QMetaType::Double:
        return a.toDouble() == b.toDouble() || (std::isnan(a.toDouble()) && std::isnan(b.toDouble()));
    default:
        return a == b;
    }
}

inline ::testing::AssertionResult SameTypedValue(const std::optional<QVariant> &actual, const QVariant &expected)
{
    if (actual && StrictlyEqual(*actual, expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << qPrintable(actual ? OldStylePlistText(*actual) : QStringLiteral("nothing"))
                                         << ", expected " << qPrintable(OldStylePlistText(expected));
}

// A property-list document whose root dictionary holds the body.
inline QByteArray Plist(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + body + "</dict></plist>\n";
}

// Runs the event loop until the condition holds or the time is up.
inline bool WaitUntil(const std::function<bool()> &condition, int timeoutMilliseconds = 5000)
{
    QDeadlineTimer deadline(timeoutMilliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

// Lets queued events (D-Bus signals, timers) arrive for a while.
inline void SpinEventLoop(int milliseconds)
{
    WaitUntil([] { return false; }, milliseconds);
}

inline QByteArray ReadWholeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteWholeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A session bus of our own, so tests neither need nor disturb the user's.
class PrivateSessionBus {
public:
    PrivateSessionBus()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            return;
        m_daemon.start(daemon, { QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address") });
        QDeadlineTimer deadline(5000);
        while (m_daemon.waitForStarted(100) && !m_daemon.canReadLine() && !deadline.hasExpired())
            m_daemon.waitForReadyRead(100);
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateSessionBus()
    {
        for (const QString &name : m_connections)
            QDBusConnection::disconnectFromBus(name);
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000))
            m_daemon.kill();
    }

    bool isRunning() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }

    // A new client connection with its own unique name, as another process would have.
    QDBusConnection connect(const QString &name)
    {
        m_connections.append(name);
        return QDBusConnection::connectToBus(m_address, name);
    }

private:
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};

struct ToolResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// The tools are built next to the test programs, in build/bin.
inline QString ToolPath(const QString &name)
{
    const QString binDir = qEnvironmentVariable("TICKWELL_BIN_DIR", QCoreApplication::applicationDirPath());
    return binDir + u'/' + name;
}

// Runs tickwell-defaults with its own settings folder and session bus address.
inline ToolResult RunDefaults(const QStringList &arguments, const QString &configHome, const QString &busAddress)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    process.setProcessEnvironment(environment);
    process.start(ToolPath(QStringLiteral("tickwell-defaults")), arguments);
    ToolResult result;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    return { process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
        QString::fromUtf8(process.readAllStandardError()) };
}

} // namespace tickwell::testing
