#pragma once

#include "live/LiveServiceSettings.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tickwell {

// The addresses of the live services. Symbols and the crumb are percent-encoded ("^DJI" becomes
// "%5EDJI", "GC=F" "GC%3DF"), so any symbol the user typed makes a well-formed address.
namespace live_address {

QString chart(const LiveServiceSettings &settings, const QString &symbol);
QString crumb(const LiveServiceSettings &settings);
// At most kMaxQuoteSymbols symbols: more draw a refusal.
QString quote(const LiveServiceSettings &settings, const QStringList &symbols, const QString &crumb);
QString delayedQuote(const LiveServiceSettings &settings, const QString &fallbackSymbol);
QString headlines(const LiveServiceSettings &settings, const QString &symbol);

inline constexpr qsizetype kMaxQuoteSymbols = 50;

} // namespace live_address

// The delayed-quotes service's name for a symbol, or nothing when it has none: it serves U.S.
// stocks and funds, and indices under its own names (^GSPC is _SPX, ^DJI is _DJI). Its _NDX is
// the Nasdaq-100, not the Composite ^IXIC stands for, so the Composite has no fallback; neither
// have futures (GC=F) or the dollar index, which it does not serve.
std::optional<QString> DelayedQuoteSymbol(const QString &symbol);

} // namespace tickwell
