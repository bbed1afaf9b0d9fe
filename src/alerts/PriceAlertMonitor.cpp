#include "alerts/PriceAlertMonitor.h"

#include "app/AlertNumber.h"
#include "sources/QuoteLine.h"

#include <algorithm>
#include <cmath>

namespace tickwell {

namespace {

// The decimals a threshold is shown with: those typed, at least two, at most six.
int shownDecimals(const QString &typed)
{
    const QString trimmed = typed.trimmed();
    const qsizetype point = trimmed.indexOf(u'.');
    const qsizetype typedDecimals = point < 0 ? 0 : trimmed.size() - point - 1;
    return static_cast<int>(std::clamp<qsizetype>(typedDecimals, 2, 6));
}

// The values an alert compares: the last trade, and the day's change in percent (signed).
struct AlertValues {
    std::optional<double> price;
    std::optional<double> dayPercent;
};

AlertValues alertValues(const SymbolQuote &quote)
{
    AlertValues values;
    if (quote.lastTrade)
        values.price = ReadAlertNumber(*quote.lastTrade);
    if (values.price && quote.previousClose) {
        const auto close = ReadAlertNumber(*quote.previousClose);
        if (close && *close > 0)
            values.dayPercent = (*values.price - *close) / *close * 100.0;
    }
    return values;
}

} // namespace

QString PriceAlertSummary(const QString &symbol, AlertKind kind, const AlertThreshold &threshold, double value)
{
    switch (kind) {
    case AlertKind::Above:
        return QStringLiteral("%1 above %2").arg(symbol, QString::number(threshold.value.value_or(0), 'f', shownDecimals(threshold.text)));
    case AlertKind::Below:
        return QStringLiteral("%1 below %2").arg(symbol, QString::number(threshold.value.value_or(0), 'f', shownDecimals(threshold.text)));
    case AlertKind::DayMove:
        return QStringLiteral("%1 %2 %3% today").arg(symbol, value < 0 ? QStringLiteral("down") : QStringLiteral("up"),
                                                       QString::number(std::fabs(value), 'f', 2));
    }
    return symbol;
}

std::vector<PriceAlertEvent> PriceAlertMonitor::check(const ControllerState &state, const Preferences &prefs, const QDateTime &now)
{
    std::vector<PriceAlertEvent> events;
    const QStringList symbols = prefs.stockSymbols(); // synchronises
    const QHash<QString, SymbolAlerts> alerts = ReadPriceAlerts(prefs.store());
    const bool afterHours = prefs.includeAfterHours();

    QHash<QString, Crossings> kept;
    for (const QString &symbol : symbols) {
        const auto symbolAlerts = alerts.constFind(symbol);
        if (symbolAlerts == alerts.constEnd() || kept.contains(symbol))
            continue;
        static const SymbolQuote kNoQuote;
        const SymbolQuote *cut = state.m_quotes.symbol(symbol);
        const SymbolQuote &quote = cut ? *cut : kNoQuote;
        const AlertValues values = alertValues(quote);

        Crossings crossings = m_crossings.value(symbol);
        for (AlertKind kind : kAlertKinds) {
            auto &crossing = crossings[static_cast<size_t>(kind)];
            const AlertThreshold &threshold = (*symbolAlerts)[kind];
            if (!threshold.value) {
                crossing.reset();
                continue;
            }
            // A changed threshold starts unknown again: one that already holds fires once.
            if (!crossing || crossing->threshold() != *threshold.value)
                crossing.emplace(kind, *threshold.value);
            const auto value = kind == AlertKind::DayMove ? values.dayPercent : values.price;
            if (crossing->update(value, now))
                events.push_back({symbol, kind, PriceAlertSummary(symbol, kind, threshold, *value),
                                  QuoteLineText(symbol, quote, prefs.sharesForSymbol(symbol), afterHours)});
        }
        kept.insert(symbol, crossings);
    }
    m_crossings = std::move(kept);
    return events;
}

QStringList HiddenSymbolsWithAlerts(const Preferences &prefs)
{
    QStringList symbols;
    const QHash<QString, SymbolAlerts> alerts = ReadPriceAlerts(prefs.store());
    if (alerts.isEmpty())
        return symbols;
    for (const auto &watched : prefs.watchList(false))
        if (!watched.shown && alerts.contains(watched.symbol) && !symbols.contains(watched.symbol))
            symbols.append(watched.symbol);
    return symbols;
}

std::optional<QDateTime> PriceAlertMonitor::lastFired(const QString &symbol, AlertKind kind) const
{
    const auto it = m_crossings.constFind(symbol);
    if (it == m_crossings.constEnd())
        return std::nullopt;
    const auto &crossing = (*it)[static_cast<size_t>(kind)];
    return crossing ? crossing->lastFired() : std::nullopt;
}

} // namespace tickwell
