#pragma once

#include <QString>

#include <vector>

namespace tickwell {

// The market lines a live source fills, with the symbols the quote services know them by.
enum class LiveMarketSection { Indices, DollarIndex, Metals };

struct LiveInstrument {
    LiveMarketSection section;
    QString symbol;     // "^DJI", as the services take it (percent-encode "^" and "=" in addresses)
    QString name;       // "Dow": the line's action and tool tip name it
    QString titleLabel; // the title before ": " ("Gold (futures)": the metals are front-month futures)
    int decimals;       // of the value in the title
};

// Dow, Nasdaq, S&P; the U.S. Dollar Index; Gold, Silver, Platinum, Palladium, in menu order.
// Usage: for (const LiveInstrument &i : LiveInstruments()) ask the chart of i.symbol, then
// MarketQuoteFromAnswers(i, ...) and put the line in the snapshot's i.section.
const std::vector<LiveInstrument> &LiveInstruments();

} // namespace tickwell
