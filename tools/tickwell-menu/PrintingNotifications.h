#pragma once

#include "platform/DesktopNotifications.h"

#include <functional>

namespace tickwell {

// Prints each notification as "notify: <summary> | <body>" and passes it on to the desktop's
// service, if there is one; without, it counts as undelivered (the alert then falls back).
class PrintingNotifications final : public DesktopNotifications {
public:
    PrintingNotifications(DesktopNotifications *service, std::function<void(const QString &)> print)
        : m_service(service), m_print(std::move(print)) {}

    void show(DesktopNotification notification) override
    {
        m_print(QStringLiteral("notify: ") + notification.summary + QStringLiteral(" | ") + notification.body);
        if (m_service)
            m_service->show(std::move(notification));
        else if (notification.onUndelivered)
            notification.onUndelivered();
    }

private:
    DesktopNotifications *m_service;
    std::function<void(const QString &)> m_print;
};

} // namespace tickwell
