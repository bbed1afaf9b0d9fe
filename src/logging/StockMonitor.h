#pragma once

#include "app/ControllerState.h"
#include "app/Preferences.h"

#include <QDateTime>
#include <QVariant>

#include <optional>

namespace tickwell {

// The log entry of a quote: "[date] company [SYMBOL] : last" and, when the symbol has a
// "CompanyShares" entry (even 0 or empty), " (shares: value)" with the shares reformatted and
// the holding's value in decimal style.
QString LogEntryText(const QDateTime &now, const QString &company, const QString &symbol, const QString &lastTrade,
                     const std::optional<QVariant> &sharesEntry);

// One pass of the quote monitor: for each shown symbol with a writer, the last trade of the
// latest refresh's snapshot goes to the symbol's log file (only when it changed, with
// "LogToConsoleOnlyIfStockChanges"); the value seen is kept in m_lastStockValues.
void RunStockMonitorPass(ControllerState &state, const Preferences &prefs, const QDateTime &now);

} // namespace tickwell
