// The RSS headline reader and the headline block filled from it.

#include "LiveAnswerChecks.h"
#include "live/SnapshotFromAnswers.h"

#include <QUrl>

#include <cstddef>
#include <cstdint>

using namespace tickwell;
using namespace tickwell::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto feed = ParseHeadlineFeed(QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (!feed)
        return 0;
    FUZZ_CHECK(feed->size() <= 50);
    for (const FeedHeadline &headline : *feed) {
        FUZZ_CHECK(headline.title.size() <= 200);
        const QUrl link(headline.link);
        FUZZ_CHECK(link.isValid() && !link.host().isEmpty());
        FUZZ_CHECK(link.scheme() == u"http" || link.scheme() == u"https");
        CheckText(headline.published);
        CheckText(headline.source);
    }
    const SymbolQuote quote = SymbolQuoteFromAnswers(nullptr, nullptr, &*feed, LiveChartColors{});
    FUZZ_CHECK(quote.headlines && quote.headlines->size() == feed->size());
    return 0;
}
