#include "app/PriceAlertSettings.h"

#include "app/AlertNumber.h"
#include "app/Preferences.h"

namespace tickwell {

QString AlertEntryName(AlertKind kind)
{
    switch (kind) {
    case AlertKind::Above:
        return QStringLiteral("Above");
    case AlertKind::Below:
        return QStringLiteral("Below");
    case AlertKind::DayMove:
        return QStringLiteral("DayChangePercent");
    }
    return {};
}

bool SymbolAlerts::anySet() const
{
    for (const auto &threshold : thresholds)
        if (threshold.isSet())
            return true;
    return false;
}

AlertThreshold ReadAlertThreshold(const QVariant &entry)
{
    AlertThreshold threshold;
    // Written by hand or by another tool, a number is as good as its text.
    if (entry.typeId() == QMetaType::QString)
        threshold.text = entry.toString();
    else if (IsNumberValue(entry))
        threshold.text = QString::number(entry.toDouble(), 'g', 15);
    else
        return threshold;
    const auto value = ReadAlertNumber(threshold.text);
    if (value && *value > 0) // prices and moves are above 0; 0 or less would fire at once or never
        threshold.value = value;
    return threshold;
}

QHash<QString, SymbolAlerts> ReadPriceAlerts(const SettingsStore &store)
{
    QHash<QString, SymbolAlerts> alerts;
    const auto stored = store.value(kPriceAlertsKey);
    if (!stored || stored->typeId() != QMetaType::QVariantMap)
        return alerts;
    const QVariantMap bySymbol = stored->toMap();
    for (auto it = bySymbol.constBegin(); it != bySymbol.constEnd(); ++it) {
        if (it->typeId() != QMetaType::QVariantMap)
            continue;
        const QVariantMap entries = it->toMap();
        SymbolAlerts symbolAlerts;
        for (AlertKind kind : kAlertKinds)
            symbolAlerts[kind] = ReadAlertThreshold(entries.value(AlertEntryName(kind)));
        if (symbolAlerts.anySet())
            alerts.insert(it.key(), symbolAlerts);
    }
    return alerts;
}

bool ClearPriceAlerts(SettingsStore &store, const QString &symbol)
{
    store.synchronize();
    const auto stored = store.value(kPriceAlertsKey);
    if (!stored || stored->typeId() != QMetaType::QVariantMap)
        return false;
    QVariantMap bySymbol = stored->toMap();
    const auto it = bySymbol.find(symbol);
    if (it == bySymbol.end() || it->typeId() != QMetaType::QVariantMap)
        return false;
    QVariantMap entries = it->toMap();
    bool removed = false;
    for (AlertKind kind : kAlertKinds)
        removed = entries.remove(AlertEntryName(kind)) > 0 || removed;
    if (!removed)
        return false;
    if (entries.isEmpty())
        bySymbol.erase(it);
    else
        *it = entries;
    if (bySymbol.isEmpty())
        store.remove(kPriceAlertsKey);
    else
        store.setValue(kPriceAlertsKey, bySymbol);
    store.synchronize();
    return true;
}

} // namespace tickwell
