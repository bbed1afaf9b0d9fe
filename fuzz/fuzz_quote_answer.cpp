// The v7 quote reader and the snapshot filled from each of its entries.

#include "LiveAnswerChecks.h"
#include "live/LiveInstruments.h"
#include "live/SnapshotFromAnswers.h"

#include <cstddef>
#include <cstdint>

using namespace tickwell;
using namespace tickwell::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto quotes = ParseQuoteAnswer(QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (!quotes)
        return 0;
    FUZZ_CHECK(quotes->size() <= 200);
    const LiveChartColors colors{QColor(0, 160, 0), QColor(200, 0, 0)};
    for (const QuoteAnswer &quote : *quotes) {
        FUZZ_CHECK(!quote.symbol.isEmpty() && quote.symbol.size() <= 200);
        for (const auto &text : {quote.shortName, quote.longName, quote.marketState, quote.exchangeTimezoneName})
            CheckText(text);
        for (const auto &number :
             {quote.regularMarketPrice, quote.regularMarketChange, quote.regularMarketChangePercent,
              quote.regularMarketPreviousClose, quote.regularMarketOpen, quote.regularMarketDayHigh,
              quote.regularMarketDayLow, quote.regularMarketVolume, quote.averageDailyVolume3Month, quote.bid, quote.ask,
              quote.fiftyTwoWeekLow, quote.fiftyTwoWeekHigh, quote.marketCap, quote.trailingPE,
              quote.epsTrailingTwelveMonths, quote.trailingAnnualDividendRate, quote.trailingAnnualDividendYield,
              quote.targetMeanPrice, quote.preMarketPrice, quote.preMarketChange, quote.preMarketChangePercent,
              quote.postMarketPrice, quote.postMarketChange, quote.postMarketChangePercent})
            CheckNumber(number);
        CheckSymbolQuote(SymbolQuoteFromAnswers(nullptr, &quote, nullptr, colors));
        for (const LiveInstrument &instrument : LiveInstruments()) {
            if (const auto line = MarketQuoteFromAnswers(instrument, nullptr, &quote, colors))
                CheckMarketQuote(*line);
        }
    }
    return 0;
}
