#include "logging/StockMonitor.h"

#include "app/ValueFormatting.h"
#include "logging/Loggers.h"
#include "logging/QuoteNumbers.h"
#include "text/NumberReading.h"

namespace tickwell {

QString LogEntryText(const QDateTime &now, const QString &company, const QString &symbol, const QString &lastTrade,
                     const std::optional<QVariant> &sharesEntry)
{
    QString text = QStringLiteral("[") + DefaultDateDescription(now) + QStringLiteral("] ") + company + QStringLiteral(" [") + symbol
                   + QStringLiteral("] : ") + lastTrade;
    if (sharesEntry) {
        const double value = ReadDecimalNumber(lastTrade) * SharesAsDouble(*sharesEntry);
        text += QStringLiteral(" (") + FormatLongValue(SharesAsInt32(*sharesEntry)) + QStringLiteral(" shares: ")
                + FormatDoubleValue(value) + QStringLiteral(")");
    }
    return text;
}

void RunStockMonitorPass(ControllerState &state, const Preferences &prefs, const QDateTime &now)
{
    SettingsStore &store = prefs.store();
    store.synchronize();
    if (!store.value(QStringLiteral("StockSymbols")))
        return;
    const bool onlyIfChanged = prefs.logToConsoleOnlyIfStockChanges();

    for (const QString &symbol : prefs.stockSymbols()) {
        if (prefs.isSymbolHidden(symbol))
            continue;
        CLog *writer = LoggerForSymbol(symbol);
        if (!writer)
            continue;
        const SymbolQuote *quote = state.m_quotes.symbol(symbol);
        if (!quote || !quote->lastTrade)
            continue;
        const QString &lastTrade = *quote->lastTrade;
        // The symbol stands in for a company name the source does not give.
        const QString company = quote->company.value_or(symbol);

        const bool unchanged = state.m_lastStockValues && onlyIfChanged && state.m_lastStockValues->contains(symbol)
                               && state.m_lastStockValues->value(symbol) == lastTrade;
        if (!unchanged) {
            const auto shares = store.value(QStringLiteral("CompanyShares"));
            if (shares && shares->typeId() == QMetaType::QVariantMap) {
                const QVariantMap map = shares->toMap();
                const auto entry = map.constFind(symbol);
                const std::optional<QVariant> sharesEntry = entry == map.constEnd() ? std::nullopt : std::optional<QVariant>(*entry);
                LogEntry(writer, LogEntryText(now, company, symbol, lastTrade, sharesEntry));
            }
        }
        if (state.m_lastStockValues)
            state.m_lastStockValues->insert(symbol, lastTrade);
    }
}

} // namespace tickwell
