#pragma once

#include "alerts/PriceAlertMonitor.h"
#include "app/Hosts.h"
#include "platform/Desktop.h"
#include "platform/DesktopNotifications.h"
#include "platform/StatusItem.h"

#include <QDateTime>
#include <QImage>

#include <functional>

namespace tickwell {

// Tells the user of a fired alert: a desktop notification whose default action opens the
// symbol's quote page; where no notification service takes it, a line in the system log (stderr)
// and the status item's tool tip. With "LogToConsole" on, the alert is also a line in the
// symbol's log file.
class PriceAlertDelivery {
public:
    struct Services {
        DesktopNotifications *notifications; // none: straight to the fallback
        Desktop &desktop;
        StatusItem &statusItem;
        QImage icon;
        std::function<void(const QString &symbol)> openQuotePage;
    };

    explicit PriceAlertDelivery(Services services) : m_services(std::move(services)) {}

    void deliver(const PriceAlertEvent &event, bool logToConsole, const QDateTime &now);

private:
    void fallBack(const PriceAlertEvent &event);

    Services m_services;
};

// Opens the symbol's quote page in the default browser, as choosing its quote line does.
void OpenQuotePage(const Hosts &hosts, Desktop &desktop, const QString &symbol);

// The line an alert adds to the symbol's log file: "[date] Alert: summary: quote line".
QString PriceAlertLogEntry(const PriceAlertEvent &event, const QDateTime &now);

} // namespace tickwell
