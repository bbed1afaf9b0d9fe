#pragma once

#include "alerts/AlertCrossing.h"
#include "app/ControllerState.h"
#include "app/Preferences.h"

#include <QHash>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace tickwell {

// An alert that fired in a pass.
struct PriceAlertEvent {
    QString symbol;
    AlertKind kind = AlertKind::Above;
    QString summary;  // "ACME above 150.00", "ACME up 5.21% today"
    QString body;     // the symbol's quote line text
};

// Checks the "PriceAlerts" of every watch-list symbol, shown or hidden, against the snapshot of
// the latest refresh, reading the same values as the quote line: the last trade, and its
// change against the previous close for the day's move. The state lives in memory only.
class PriceAlertMonitor {
public:
    // One pass; the alerts that fire now, in watch-list order.
    std::vector<PriceAlertEvent> check(const ControllerState &state, const Preferences &prefs, const QDateTime &now);

    // When the symbol's alert of that kind last fired, if it fired since it was set.
    std::optional<QDateTime> lastFired(const QString &symbol, AlertKind kind) const;
    // Forgets the symbol's state (its alerts were cleared).
    void forget(const QString &symbol) { m_crossings.remove(symbol); }

private:
    using Crossings = std::array<std::optional<AlertCrossing>, 3>;
    QHash<QString, Crossings> m_crossings;
};

// The watch-list symbols that the flags hide but that have an alert set: the refresh fetches
// their quote pages all the same.
QStringList HiddenSymbolsWithAlerts(const Preferences &prefs);

// The summary line of an alert: the threshold with at least two decimals, the move with two.
QString PriceAlertSummary(const QString &symbol, AlertKind kind, const AlertThreshold &threshold, double value);

} // namespace tickwell
