#include "logging/QuoteHistory.h"

#include "app/ValueFormatting.h"
#include "logging/QuoteNumbers.h"
#include "text/NumberReading.h"
#include "platform/settings/OldStylePlist.h"

namespace tickwell {

namespace {

constexpr qsizetype kHistoryRoom = 50;

std::optional<QVariant> sharesEntryOf(const Preferences &prefs, const QString &symbol)
{
    const auto shares = prefs.store().value(QStringLiteral("CompanyShares"));
    if (!shares || shares->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariantMap map = shares->toMap();
    const auto entry = map.constFind(symbol);
    if (entry == map.constEnd())
        return std::nullopt;
    return *entry;
}

Alert clearAlert(const QString &message)
{
    Alert alert;
    alert.message = message;
    alert.informativeText = QStringLiteral("This operation can not be undone.");
    alert.defaultButton = QStringLiteral("OK");
    alert.alternateButton = QStringLiteral("Cancel");
    return alert;
}

} // namespace

QString HistoryEntryText(const QString &lastTrade, const std::optional<QVariant> &sharesEntry, const QString &refreshTime)
{
    if (sharesEntry && SharesAsInt32(*sharesEntry) > 0) {
        const double value = ReadDecimalNumber(lastTrade) * SharesAsDouble(*sharesEntry);
        return lastTrade + QStringLiteral(", [") + SharesEntryText(*sharesEntry) + QStringLiteral(" shares: ")
               + FormatCurrencyDoubleValue(value) + QStringLiteral("] (") + refreshTime + QStringLiteral(")");
    }
    return lastTrade + QStringLiteral(" (") + refreshTime + QStringLiteral(")");
}

bool HistoryEntryRecordsTrade(const QString &entry, const QString &lastTrade)
{
    if (!entry.startsWith(lastTrade))
        return false;
    if (entry.size() == lastTrade.size())
        return true;
    const QChar next = entry.at(lastTrade.size());
    return next == u' ' || next == u',';
}

bool BeginHistoryBuild(ControllerState &state, const Preferences &prefs)
{
    if (!prefs.store().value(QStringLiteral("StockSymbols")))
        return false;
    const QString &refreshTime = state.m_stocksUpdate_DateTimeString;
    if (state.m_lastHistory_DateTimeString
        && state.m_lastHistory_DateTimeString->compare(refreshTime, Qt::CaseInsensitive) == 0)
        return false;
    state.m_lastHistory_DateTimeString = refreshTime;
    return true;
}

void EnsureSymbolHistory(ControllerState &state, const QString &symbol)
{
    if (state.m_stockSymbolHistories.contains(symbol))
        return;
    QStringList entries;
    entries.reserve(kHistoryRoom);
    state.m_stockSymbolHistories.insert(symbol, entries);
}

void AddHistoryGroup(ControllerState &state, const Preferences &prefs, const QString &symbol, const QString &lastTrade,
                     Menu &submenu, bool newRefresh)
{
    if (!prefs.includeStockHistoryInSubmenu())
        return;
    submenu.push_back(MenuItem::makeSeparator());

    QStringList &entries = state.m_stockSymbolHistories[symbol];
    if (newRefresh && (entries.isEmpty() || !HistoryEntryRecordsTrade(entries.last(), lastTrade)))
        entries.append(HistoryEntryText(lastTrade, sharesEntryOf(prefs, symbol), state.m_stocksUpdate_DateTimeString));

    for (const QString &entry : std::as_const(entries))
        submenu.push_back(MenuItem::make(entry));
    if (entries.isEmpty())
        return;
    MenuItem clear = MenuItem::make(QStringLiteral("Clear \"%1\"'s History").arg(symbol), QStringLiteral("selItemClearHistories:"));
    clear.toolTip = symbol;
    submenu.push_back(std::move(clear));
}

bool selItemClearHistories(const MenuItem &sender, ControllerState &state, Desktop &desktop)
{
    auto &histories = state.m_stockSymbolHistories;
    if (sender.toolTip && histories.contains(*sender.toolTip)) {
        const QString &symbol = *sender.toolTip;
        const Alert alert = clearAlert(QStringLiteral("Are you sure you want to clear the history for stock symbol \"%1\"?").arg(symbol));
        if (desktop.runAlert(alert) != AlertButton::Default)
            return false;
        histories[symbol].clear(); // the symbol keeps an empty list
        return true;
    }
    if (desktop.runAlert(clearAlert(QStringLiteral("Are you sure you want to clear the history of every symbol?"))) != AlertButton::Default)
        return false;
    histories.clear();
    return true;
}

void selItemLogHistories(const ControllerState &state, Desktop &desktop)
{
    desktop.systemLog(OldStylePlistText(HistoriesValue(state.m_stockSymbolHistories), OldStylePlistLayout::Indented));
}

QVariantMap HistoriesValue(const QMap<QString, QStringList> &histories)
{
    QVariantMap value;
    for (auto it = histories.constBegin(); it != histories.constEnd(); ++it) {
        QVariantList entries;
        entries.reserve(it->size());
        for (const QString &entry : *it)
            entries.append(entry);
        value.insert(it.key(), entries);
    }
    return value;
}

bool StoreChangedHistories(SettingsStore &store, const QMap<QString, QStringList> &histories)
{
    const QVariantMap value = HistoriesValue(histories);
    const auto stored = store.value(QStringLiteral("Histories"));
    if (!stored && value.isEmpty())
        return false; // nothing kept and nothing to keep
    if (stored && stored->typeId() == QMetaType::QVariantMap && stored->toMap() == value)
        return false;
    store.setValue(QStringLiteral("Histories"), value);
    store.synchronize();
    return true;
}

} // namespace tickwell
