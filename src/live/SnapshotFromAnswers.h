#pragma once

#include "app/QuoteSnapshot.h"
#include "live/LiveAnswers.h"
#include "live/LiveInstruments.h"

#include <QColor>

#include <optional>
#include <vector>

namespace tickwell {

// Turning the services' answers into the snapshot the menu reads. Pure functions: the texts are
// written as the quote pages wrote theirs (see QuoteTexts.h), whatever the user's locale.

// The colours of a rising and a falling chart line ("UpColor", "DownColor").
struct LiveChartColors {
    QColor up;
    QColor down;
};

// The image address of a drawn chart: "live-chart:SYM".
QString LiveChartAddress(const QString &symbol);

// A watch-list symbol from whichever answers arrived (each may be null). The quote answer is
// preferred where both give a value; the chart gives the image, and stands in for the quote when
// only it arrived. No last trade (neither answer has a price) means no line. Headlines: null
// leaves the block absent, an empty list is an empty block.
// Usage: snapshot.symbols.insert(userSymbol, SymbolQuoteFromAnswers(chart, quote, &feed, colors));
SymbolQuote SymbolQuoteFromAnswers(const ChartAnswer *chart, const QuoteAnswer *quote,
                                   const std::vector<FeedHeadline> *headlines, const LiveChartColors &colors);

// A watch-list symbol from the delayed-quotes service, the fallback when the others refuse: price,
// previous close, open, day's range and volume; no company name, chart or headlines.
SymbolQuote SymbolQuoteFromDelayed(const DelayedQuoteAnswer &answer);

// A market line ("Dow: 12,345.67", "+123.45", "+0.51%") from the instrument's answers (each may
// be null), or nothing without a price. Change and percent come from the quote answer, else are
// reckoned from the previous close; without either they are empty (the line shows no change).
// Usage: if (auto line = MarketQuoteFromAnswers(instrument, chart, quote, colors)) indices.push_back(*line);
std::optional<MarketQuote> MarketQuoteFromAnswers(const LiveInstrument &instrument, const ChartAnswer *chart,
                                                  const QuoteAnswer *quote, const LiveChartColors &colors);

// A market line from the delayed-quotes service (indices there are "_SPX", "_DJI"...).
MarketQuote MarketQuoteFromDelayed(const LiveInstrument &instrument, const DelayedQuoteAnswer &answer);

} // namespace tickwell
