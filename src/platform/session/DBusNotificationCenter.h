#pragma once

#include "platform/NotificationCenter.h"

#include <QDBusConnection>
#include <QObject>

#include <vector>

class QDBusMessage;

namespace tickwell {

inline const QString kNotificationDBusPath = QStringLiteral("/com/brantlow/Tickwell");
inline const QString kNotificationDBusInterface = QStringLiteral("com.brantlow.Tickwell");
inline const QString kPreferencesChangedSignal = QStringLiteral("PreferencesChanged");

// "Preferences Changed" for this process and, over the session bus, for every other process of
// the user: a post reaches our own observers at once and is sent as the signal
// com.brantlow.Tickwell.PreferencesChanged("com.brantlow.preference.Tickwell") on
// /com/brantlow/Tickwell. Signals of other processes reach the observers through the event loop;
// our own come back from the bus too and are dropped there. Without a bus it works in-process.
class DBusNotificationCenter final : public QObject, public NotificationCenter {
    Q_OBJECT
public:
    explicit DBusNotificationCenter(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);
    ~DBusNotificationCenter() override;

    void postPreferencesChanged() override;
    void observePreferencesChanged(std::function<void()> callback) override;

    bool isOnBus() const { return m_listening; }

private slots:
    void receivePreferencesChanged(const QDBusMessage &message);

private:
    void notifyObservers();

    QDBusConnection m_bus;
    bool m_listening = false;
    std::vector<std::function<void()>> m_observers;
};

} // namespace tickwell
