#include "alerts/PriceAlertGroup.h"

#include "app/ValueFormatting.h"

namespace tickwell {

namespace {

QString alertTitle(AlertKind kind, const QString &threshold)
{
    switch (kind) {
    case AlertKind::Above:
        return QStringLiteral("Alert above %1").arg(threshold);
    case AlertKind::Below:
        return QStringLiteral("Alert below %1").arg(threshold);
    case AlertKind::DayMove:
        return QStringLiteral("Alert on day move of %1%").arg(threshold);
    }
    return {};
}

QString alertLine(const PriceAlertMonitor &monitor, const QString &symbol, AlertKind kind, const AlertThreshold &threshold)
{
    if (!threshold.value)
        return alertTitle(kind, QLatin1Char('"') + threshold.text + QLatin1Char('"')) + QStringLiteral(" (not a number: ignored)");
    const QString title = alertTitle(kind, threshold.text.trimmed());
    const auto fired = monitor.lastFired(symbol, kind);
    const auto when = fired ? MakeDateTimeString(*fired, 3, 3) : std::nullopt;
    if (!when)
        return title + QStringLiteral(" (not fired)");
    return title + QStringLiteral(" (last fired %1)").arg(*when);
}

} // namespace

void AddPriceAlertGroup(const PriceAlertMonitor &monitor, const QHash<QString, SymbolAlerts> &alerts, const QString &symbol,
                        Menu &submenu)
{
    const auto it = alerts.constFind(symbol);
    if (it == alerts.constEnd())
        return;
    submenu.push_back(MenuItem::makeSeparator());
    for (AlertKind kind : kAlertKinds) {
        const AlertThreshold &threshold = (*it)[kind];
        if (threshold.isSet())
            submenu.push_back(MenuItem::make(alertLine(monitor, symbol, kind, threshold)));
    }
    MenuItem clear = MenuItem::make(QStringLiteral("Clear \"%1\"'s Alerts").arg(symbol), QStringLiteral("selItemClearPriceAlerts:"));
    clear.toolTip = symbol;
    submenu.push_back(std::move(clear));
}

bool selItemClearPriceAlerts(const MenuItem &sender, SettingsStore &store, PriceAlertMonitor &monitor)
{
    if (!sender.toolTip)
        return false;
    monitor.forget(*sender.toolTip);
    return ClearPriceAlerts(store, *sender.toolTip);
}

} // namespace tickwell
