#pragma once

#include "platform/DesktopNotifications.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>

#include <deque>

class QDBusMessage;

namespace tickwell {

// Notifications through org.freedesktop.Notifications on the session bus: Notify with the
// summary, the body, the icon name (also sent as the "desktop-entry" hint) and its pixels (the
// "image-data" hint) and a "default" action;
// ActionInvoked with that action runs the notification's callback. Without a bus, or when the
// call fails (no service), the notification's undelivered callback runs instead.
class DBusDesktopNotifications final : public QObject, public DesktopNotifications {
    Q_OBJECT
public:
    explicit DBusDesktopNotifications(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);
    ~DBusDesktopNotifications() override;

    void show(DesktopNotification notification) override;

    // Notify calls still waiting for their answer.
    int pendingCalls() const { return m_pendingCalls; }

private slots:
    void actionInvoked(uint id, const QString &actionKey);
    void notificationClosed(uint id, uint reason);

private:
    void remember(uint id, std::function<void()> onDefaultAction);

    QDBusConnection m_bus;
    bool m_listening = false;
    int m_pendingCalls = 0;
    // Notification id to what its default action does; the oldest go first past a bound, since
    // not every service says when a notification is closed.
    QHash<uint, std::function<void()>> m_actions;
    std::deque<uint> m_order;
};

} // namespace tickwell
