// The crumb reader and the delayed-quotes reader over the same bytes, and the snapshot filled
// from a delayed quote.

#include "LiveAnswerChecks.h"
#include "live/LiveInstruments.h"
#include "live/SnapshotFromAnswers.h"

#include <cstddef>
#include <cstdint>

using namespace tickwell;
using namespace tickwell::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView body(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (const auto crumb = ParseCrumb(body)) {
        FUZZ_CHECK(!crumb->isEmpty() && crumb->size() <= 64);
        for (const QChar c : *crumb)
            FUZZ_CHECK(c.unicode() > 0x20 && c.unicode() < 0x7f && c != u'<' && c != u'"' && c != u'{');
        FUZZ_CHECK(body.trimmed() == crumb->toLatin1());
    }
    const auto delayed = ParseDelayedQuoteAnswer(body);
    if (!delayed)
        return 0;
    FUZZ_CHECK(std::isfinite(delayed->currentPrice) && delayed->currentPrice > 0.0);
    for (const auto &number : {delayed->priceChange, delayed->priceChangePercent, delayed->previousClose, delayed->open,
                               delayed->high, delayed->low, delayed->volume})
        CheckNumber(number);
    CheckText(delayed->lastTradeTime);
    FUZZ_CHECK(!delayed->lastTradeTime || !delayed->lastTradeTime->startsWith(u"2000-01-01"));
    CheckSymbolQuote(SymbolQuoteFromDelayed(*delayed));
    CheckMarketQuote(MarketQuoteFromDelayed(LiveInstruments().front(), *delayed));
    return 0;
}
