#pragma once

#include "platform/SettingsStore.h"

#include <QHash>
#include <QString>

#include <array>
#include <optional>

namespace tickwell {

// "PriceAlerts": symbol to a dictionary of optional texts, as typed:
//   "Above"            alert when the last trade reaches or passes this price upwards,
//   "Below"            alert when it reaches or passes this price downwards,
//   "DayChangePercent" alert when the day's change against the previous close is at least this
//                      many percent, up or down.
// Other entries are kept untouched. An absent or empty text means no alert.
inline const QString kPriceAlertsKey = QStringLiteral("PriceAlerts");

enum class AlertKind { Above, Below, DayMove };
inline constexpr std::array<AlertKind, 3> kAlertKinds{AlertKind::Above, AlertKind::Below, AlertKind::DayMove};

// The entry name of a kind in a symbol's dictionary: "Above", "Below", "DayChangePercent".
QString AlertEntryName(AlertKind kind);

// One threshold as stored: the text as typed and its reading. A threshold is read when it is a
// plain decimal number above 0 (see ReadAlertNumber); one that is not is kept but never fires.
struct AlertThreshold {
    QString text;
    std::optional<double> value;

    bool isSet() const { return !text.trimmed().isEmpty(); }
};

// The thresholds of one symbol, by kind.
struct SymbolAlerts {
    std::array<AlertThreshold, 3> thresholds;

    const AlertThreshold &operator[](AlertKind kind) const { return thresholds[static_cast<size_t>(kind)]; }
    AlertThreshold &operator[](AlertKind kind) { return thresholds[static_cast<size_t>(kind)]; }
    bool anySet() const;
};

AlertThreshold ReadAlertThreshold(const QVariant &entry);

// Every symbol's alerts as stored (no synchronisation); symbols whose entry is not a dictionary
// or sets nothing are left out.
QHash<QString, SymbolAlerts> ReadPriceAlerts(const SettingsStore &store);

// Removes the three alert entries of the symbol (other entries stay; a dictionary left empty
// goes, and the key when no symbol is left) and synchronises. False when there was nothing to remove.
bool ClearPriceAlerts(SettingsStore &store, const QString &symbol);

} // namespace tickwell
