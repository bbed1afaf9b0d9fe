#pragma once

#include "app/ControllerState.h"
#include "app/Preferences.h"
#include "platform/Desktop.h"
#include "platform/MenuItem.h"
#include "platform/SettingsStore.h"

#include <QVariant>

#include <optional>

namespace tickwell {

// The quote history: one entry per symbol and refresh, appended while the watch-list section is
// built, shown at the end of each symbol's submenu and kept under the setting "Histories".

// "last (refresh time)", or "last, [shares shares: value] (refresh time)" when the shares entry
// reads as a whole number above 0 (the shares as stored, the value in currency style).
QString HistoryEntryText(const QString &lastTrade, const std::optional<QVariant> &sharesEntry, const QString &refreshTime);

// Whether the last entry already records this last trade: it begins with the trade followed by
// the separator of either entry form (so "150.2" is not taken for "150.25 (...)").
bool HistoryEntryRecordsTrade(const QString &entry, const QString &lastTrade);

// Once per build, before the first symbol: true when the latest refresh has not had its
// entries yet, and it is marked as having them. Nothing is recorded without a watch list.
bool BeginHistoryBuild(ControllerState &state, const Preferences &prefs);

// For each shown symbol: its history list, created empty when missing.
void EnsureSymbolHistory(ControllerState &state, const QString &symbol);

// At the end of the submenu of a symbol whose line was built (with "IncludeStockHistoryInSubmenu"):
// appends the entry of a new refresh unless the last one already records the trade, then a
// separator, one item per entry and the symbol's "Clear ... History" item.
void AddHistoryGroup(ControllerState &state, const Preferences &prefs, const QString &symbol, const QString &lastTrade,
                     Menu &submenu, bool newRefresh);

// "Clear Histories" (no tool tip) and each symbol's clear item (tool tip: the symbol), after a
// confirmation. True when a history was cleared.
bool selItemClearHistories(const MenuItem &sender, ControllerState &state, Desktop &desktop);

// "Log Histories": every history, as old-style property-list text, to the system log.
void selItemLogHistories(const ControllerState &state, Desktop &desktop);

// The histories as the setting "Histories" keeps them: symbol to array of texts.
QVariantMap HistoriesValue(const QMap<QString, QStringList> &histories);

// Writes the histories under "Histories" when they differ from what is stored, so a crash does
// not lose them. True when something was written.
bool StoreChangedHistories(SettingsStore &store, const QMap<QString, QStringList> &histories);

} // namespace tickwell
