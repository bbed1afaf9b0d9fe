// The v8 chart reader, the snapshot filled from it and the chart drawn from its bars.

#include "LiveAnswerChecks.h"
#include "live/LiveInstruments.h"
#include "live/SnapshotFromAnswers.h"

#include <cstddef>
#include <cstdint>

using namespace tickwell;
using namespace tickwell::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto chart = ParseChartAnswer(QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (!chart)
        return 0;
    for (const auto &number : {chart->regularMarketPrice, chart->previousClose, chart->dayHigh, chart->dayLow,
                               chart->volume, chart->fiftyTwoWeekHigh, chart->fiftyTwoWeekLow})
        CheckNumber(number);
    for (const auto &text : {chart->shortName, chart->longName, chart->currency, chart->exchangeName,
                             chart->exchangeTimezoneName})
        CheckText(text);
    FUZZ_CHECK(chart->symbol.size() <= 200);
    FUZZ_CHECK(chart->bars.size() <= 20000);
    for (std::size_t i = 0; i < chart->bars.size(); ++i) {
        CheckNumber(chart->bars[i].close);
        FUZZ_CHECK(chart->bars[i].time >= 0);
        FUZZ_CHECK(i == 0 || chart->bars[i].time > chart->bars[i - 1].time);
    }
    for (const auto &period : {chart->pre, chart->regular, chart->post})
        FUZZ_CHECK(!period || period->start <= period->end);

    const LiveChartColors colors{QColor(0, 160, 0), QColor(200, 0, 0)};
    CheckSymbolQuote(SymbolQuoteFromAnswers(&*chart, nullptr, nullptr, colors));
    if (const auto line = MarketQuoteFromAnswers(LiveInstruments().front(), &*chart, nullptr, colors))
        CheckMarketQuote(*line);
    return 0;
}
