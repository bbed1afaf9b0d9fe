#pragma once

#include <QDBusConnection>
#include <QLockFile>
#include <QObject>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

namespace tickwell {

inline const QString kApplicationBusName = QStringLiteral("com.brantlow.Tickwell");
inline const QString kApplicationObjectPath = QStringLiteral("/com/brantlow/Tickwell");

// One Tickwell per user session, so that two processes never append to the same quote logs.
// The first process owns the session-bus name com.brantlow.Tickwell and answers
// org.freedesktop.Application.Activate on /com/brantlow/Tickwell; a later one asks it to come
// forward and leaves. Without a session bus, a lock file in $XDG_RUNTIME_DIR (else the cache
// folder) keeps a second process out; a lock left behind by a process that died does not.
class SingleInstance final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    // lockFolder: where the lock file goes without a bus (empty: as described above).
    explicit SingleInstance(QDBusConnection bus = QDBusConnection::sessionBus(), QString lockFolder = {});
    ~SingleInstance() override;

    // Nothing when this process is now the session's Tickwell. Otherwise the exit status to leave
    // with, after a line on stderr: 0 when the running one was asked to come forward.
    std::optional<int> claim();
    // What an activation from a later launch does (bring the preferences window forward).
    void setActivationHandler(std::function<void()> handler) { m_activate = std::move(handler); }
    QString lockFilePath() const { return m_lockPath; }

public Q_SLOTS:
    Q_SCRIPTABLE void Activate(const QVariantMap &platformData);

private:
    std::optional<int> claimBusName();
    std::optional<int> claimLockFile();

    QDBusConnection m_bus;
    QString m_lockPath;
    std::unique_ptr<QLockFile> m_lock;
    bool m_ownsName = false;
    std::function<void()> m_activate;
};

} // namespace tickwell
