#include "platform/session/SingleInstance.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace tickwell {

namespace {

const QString kApplicationInterface = QStringLiteral("org.freedesktop.Application");
constexpr int kActivateTimeoutMilliseconds = 10000;
// Taking the name and reaching its owner can race with the owner quitting; a few turns settle it.
constexpr int kClaimAttempts = 3;

QString defaultLockFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime;
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
}

void say(const QString &line)
{
    std::fprintf(stderr, "tickwell: %s\n", qPrintable(line));
    std::fflush(stderr);
}

} // namespace

SingleInstance::SingleInstance(QDBusConnection bus, QString lockFolder)
    : m_bus(std::move(bus))
    , m_lockPath(QDir(lockFolder.isEmpty() ? defaultLockFolder() : lockFolder).filePath(QStringLiteral("com.brantlow.Tickwell.lock")))
{
}

SingleInstance::~SingleInstance()
{
    if (m_ownsName) {
        m_bus.unregisterService(kApplicationBusName);
        m_bus.unregisterObject(kApplicationObjectPath);
    }
}

std::optional<int> SingleInstance::claim()
{
    return m_bus.isConnected() ? claimBusName() : claimLockFile();
}

std::optional<int> SingleInstance::claimBusName()
{
    QString failure;
    for (int attempt = 0; attempt < kClaimAttempts; ++attempt) {
        // The object first, so an activation that follows the name at once finds it.
        m_bus.registerObject(kApplicationObjectPath, this, QDBusConnection::ExportScriptableSlots);
        if (m_bus.registerService(kApplicationBusName)) {
            m_ownsName = true;
            return std::nullopt;
        }
        m_bus.unregisterObject(kApplicationObjectPath);

        QDBusMessage call = QDBusMessage::createMethodCall(kApplicationBusName, kApplicationObjectPath, kApplicationInterface, QStringLiteral("Activate"));
        call << QVariantMap{};
        const QDBusMessage reply = m_bus.call(call, QDBus::Block, kActivateTimeoutMilliseconds);
        if (reply.type() == QDBusMessage::ReplyMessage) {
            say(QStringLiteral("Tickwell is already running in this session; its preferences window was brought forward."));
            return 0;
        }
        failure = reply.errorMessage();
    }
    if (!m_bus.interface()->isServiceRegistered(kApplicationBusName).value()) {
        // Nobody holds the name and it cannot be had (a bus policy): fall back on the lock.
        say(QStringLiteral("cannot own the session-bus name %1 (%2); using a lock file instead.").arg(kApplicationBusName, failure));
        return claimLockFile();
    }
    say(QStringLiteral("another Tickwell holds the session-bus name %1 but does not answer (%2).").arg(kApplicationBusName, failure));
    return 1;
}

std::optional<int> SingleInstance::claimLockFile()
{
    QDir().mkpath(QFileInfo(m_lockPath).absolutePath());
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // Stale only when its process is gone, however old it is: Tickwell runs for days.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return std::nullopt;
    if (m_lock->error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host, program;
        m_lock->getLockInfo(&pid, &host, &program);
        say(QStringLiteral("Tickwell is already running (process %1); there is no session bus to ask it to show its "
                           "window, so use its icon in the status area. Lock file: %2")
                .arg(pid)
                .arg(m_lockPath));
        return 1;
    }
    // A lock that cannot be written (no folder, no permission) must not keep Tickwell from starting.
    say(QStringLiteral("cannot create the lock file %1; not checking for another Tickwell.").arg(m_lockPath));
    m_lock.reset();
    return std::nullopt;
}

void SingleInstance::Activate(const QVariantMap &platformData)
{
    Q_UNUSED(platformData);
    if (m_activate)
        m_activate();
}

} // namespace tickwell
