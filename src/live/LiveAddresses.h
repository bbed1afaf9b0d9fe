#pragma once

#include "live/LiveChartRange.h"
#include "live/LiveServiceSettings.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tickwell {

// The addresses of the live services. Symbols and the crumb are percent-encoded ("^DJI" becomes
// "%5EDJI", "GC=F" "GC%3DF"), so any symbol the user typed makes a well-formed address.
namespace live_address {

// The day's chart the refresh reads.
QString chart(const LiveServiceSettings &settings, const QString &symbol);
// The chart of a longer range, "range=1y&interval=1d".
QString rangeChart(const LiveServiceSettings &settings, const QString &symbol, const LiveChartRange &range);
QString crumb(const LiveServiceSettings &settings);
// At most kMaxQuoteSymbols symbols: more draw a refusal.
QString quote(const LiveServiceSettings &settings, const QStringList &symbols, const QString &crumb);
QString delayedQuote(const LiveServiceSettings &settings, const QString &fallbackSymbol);
QString headlines(const LiveServiceSettings &settings, const QString &symbol);

inline constexpr qsizetype kMaxQuoteSymbols = 50;

// The service's chart page of a symbol, for the browser: nothing here ever fetches it.
QString chartPage(const QString &symbol);

} // namespace live_address

// The delayed-quotes service's name for a symbol, or nothing when it has none: it serves U.S.
// stocks and funds, and indices under its own names (^GSPC is _SPX, ^DJI is _DJI). Its _NDX is
// the Nasdaq-100, not the Composite ^IXIC stands for, so the Composite has no fallback; neither
// have futures (GC=F) or the dollar index, which it does not serve.
std::optional<QString> DelayedQuoteSymbol(const QString &symbol);

} // namespace tickwell
