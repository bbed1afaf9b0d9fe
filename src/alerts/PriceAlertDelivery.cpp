#include "alerts/PriceAlertDelivery.h"

#include "app/ValueFormatting.h"
#include "logging/Loggers.h"
#include "platform/UrlLoader.h"
#include "sources/SourceAddresses.h"

namespace tickwell {

void OpenQuotePage(const Hosts &hosts, Desktop &desktop, const QString &symbol)
{
    const QString address = QuotePageAddress(hosts, symbol);
    if (isAcceptableAddress(address))
        desktop.openUrl(address);
}

QString PriceAlertLogEntry(const PriceAlertEvent &event, const QDateTime &now)
{
    return QStringLiteral("[%1] Alert: %2: %3").arg(DefaultDateDescription(now), event.summary, event.body);
}

void PriceAlertDelivery::deliver(const PriceAlertEvent &event, bool logToConsole, const QDateTime &now)
{
    if (logToConsole)
        LogEntry(LoggerForSymbol(event.symbol), PriceAlertLogEntry(event, now));

    if (!m_services.notifications) {
        fallBack(event);
        return;
    }
    DesktopNotification notification;
    notification.summary = event.summary;
    notification.body = event.body;
    notification.iconName = QStringLiteral("com.brantlow.Tickwell"); // the launcher's icon, as installed
    notification.icon = m_services.icon;
    notification.defaultActionLabel = QStringLiteral("Open Quote Page");
    if (m_services.openQuotePage)
        notification.onDefaultAction = [open = m_services.openQuotePage, symbol = event.symbol] { open(symbol); };
    notification.onUndelivered = [this, event] { fallBack(event); };
    m_services.notifications->show(std::move(notification));
}

void PriceAlertDelivery::fallBack(const PriceAlertEvent &event)
{
    const QString line = QStringLiteral("Alert: %1: %2").arg(event.summary, event.body);
    m_services.desktop.systemLog(line);
    m_services.statusItem.setToolTipNote(line);
}

} // namespace tickwell
