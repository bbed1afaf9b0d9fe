#pragma once

// Properties every live answer keeps, whatever the body: numbers finite and of market size, texts
// and lists capped, and the snapshot texts made from them short and read back by the number reader.

#include "FuzzCheck.h"
#include "app/QuoteSnapshot.h"
#include "live/LiveAnswers.h"
#include "text/NumberReading.h"

#include <cmath>

namespace tickwell::fuzzing {

inline void CheckNumber(const std::optional<double> &value)
{
    if (value)
        FUZZ_CHECK(std::isfinite(*value) && std::fabs(*value) <= 1e18);
}

inline void CheckText(const std::optional<QString> &text)
{
    if (text)
        FUZZ_CHECK(!text->isEmpty() && text->size() <= 200 && text->trimmed() == *text);
}

// Snapshot texts: a price reads back as itself; no text runs long.
inline void CheckSnapshotPrice(const std::optional<QString> &text)
{
    if (!text)
        return;
    FUZZ_CHECK(text->size() <= 32);
    FUZZ_CHECK(std::isfinite(ReadDecimalNumber(*text)));
}

inline void CheckSymbolQuote(const SymbolQuote &quote)
{
    CheckSnapshotPrice(quote.lastTrade);
    CheckSnapshotPrice(quote.previousClose);
    CheckSnapshotPrice(quote.realTime);
    CheckSnapshotPrice(quote.afterHours);
    FUZZ_CHECK(quote.details.size() <= 15);
    for (const QuoteDetail &detail : quote.details)
        FUZZ_CHECK(!detail.value.isEmpty() && detail.value.size() <= 80);
    if (quote.chart)
        FUZZ_CHECK(quote.chart->image.width() == 192 && quote.chart->image.height() == 96);
    if (quote.headlines)
        FUZZ_CHECK(quote.headlines->size() <= 50);
}

inline void CheckMarketQuote(const MarketQuote &line)
{
    FUZZ_CHECK(line.title.size() <= 64 && line.change.size() <= 32 && line.percent.size() <= 32);
    FUZZ_CHECK(line.change.isEmpty() == line.percent.isEmpty());
}

} // namespace tickwell::fuzzing
