#pragma once

#include "alerts/PriceAlertMonitor.h"
#include "platform/MenuItem.h"
#include "platform/SettingsStore.h"

namespace tickwell {

// The alerts of a symbol at the end of its submenu, in the manner of its history: a separator,
// one line per alert set ("Alert above 150 (last fired ...)", "(not fired)", or "(not a number:
// ignored)" for a threshold that cannot be read), then "Clear "SYM"'s Alerts" with the symbol as
// tool tip. Nothing for a symbol without alerts.
// The alerts are those of ReadPriceAlerts, read once per menu build.
void AddPriceAlertGroup(const PriceAlertMonitor &monitor, const QHash<QString, SymbolAlerts> &alerts, const QString &symbol,
                        Menu &submenu);

// "Clear "SYM"'s Alerts": removes the symbol's alerts from the settings and forgets their state.
// True when something was removed.
bool selItemClearPriceAlerts(const MenuItem &sender, SettingsStore &store, PriceAlertMonitor &monitor);

} // namespace tickwell
