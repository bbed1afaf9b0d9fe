#pragma once

#include "platform/NotificationCenter.h"

#include <QDBusConnection>
#include <QObject>

namespace tickwell {

inline const QString kLogindService = QStringLiteral("org.freedesktop.login1");
inline const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
inline const QString kLogindManagerInterface = QStringLiteral("org.freedesktop.login1.Manager");

// Wake from sleep as logind tells it on the system bus: PrepareForSleep(false) after resuming.
class LogindWakeMonitor final : public QObject, public WakeMonitor {
    Q_OBJECT
public:
    explicit LogindWakeMonitor(QDBusConnection bus = QDBusConnection::systemBus(), QObject *parent = nullptr);
    ~LogindWakeMonitor() override;

    // False when there is no system bus or the signal cannot be subscribed to. A second call
    // replaces the callback.
    bool start(std::function<void()> onPoweredOn) override;

private slots:
    void prepareForSleep(bool goingToSleep);

private:
    QDBusConnection m_bus;
    bool m_connected = false;
    std::function<void()> m_onPoweredOn;
};

} // namespace tickwell
