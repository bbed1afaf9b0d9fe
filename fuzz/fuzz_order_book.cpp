// The order-book document cut by its patterns: whatever the service sends, a company is the text
// between quotes and a price is a piece of the document with digits and no zeros at its ends.

#include "FuzzCheck.h"
#include "text/PageDecoding.h"
#include "ticker/OrderBookQuote.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace tickwell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString document = DecodePageBytes(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (const auto company = OrderBookCompany(document)) {
        FUZZ_CHECK(!company->contains(u'"'));
        FUZZ_CHECK(document.contains(QStringLiteral("\"company\":\"") + *company + u'"', Qt::CaseInsensitive));
        IsUnknownSymbolCompany(*company);
    }
    if (const auto price = OrderBookPrice(document)) {
        FUZZ_CHECK(!price->isEmpty() && !price->startsWith(u'0') && !price->endsWith(u'0'));
        FUZZ_CHECK(std::any_of(price->cbegin(), price->cend(), [](QChar c) { return c.isDigit(); }));
        FUZZ_CHECK(!price->contains(u'"') && !price->contains(u',') && !price->contains(u']'));
        FUZZ_CHECK(document.contains(*price));
    }
    const QString trimmed = TrimZeros(document);
    FUZZ_CHECK(TrimZeros(trimmed) == trimmed && document.contains(trimmed));
    return 0;
}
