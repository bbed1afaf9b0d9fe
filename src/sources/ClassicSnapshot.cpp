#include "sources/ClassicSnapshot.h"

#include "sources/ClassicDetailsCut.h"
#include "sources/ClassicHeadlinesCut.h"
#include "sources/ClassicMarketsCut.h"
#include "sources/ClassicQuoteCut.h"
#include "sources/SourceAddresses.h"

namespace tickwell {

namespace {

std::optional<SnapshotImage> storedImage(const PageStore &store, const QString &address)
{
    if (const QImage *image = store.image(address))
        return SnapshotImage{address, *image};
    return std::nullopt;
}

SymbolQuote cutSymbol(const PageStore &store, const Hosts &hosts, const SearchableText &page, const QString &symbol)
{
    SymbolQuote quote;
    CutQuoteValues(page, symbol, quote);
    quote.details = CutQuoteDetails(page, symbol);
    for (const QuoteDetail &detail : quote.details) {
        if (detail.label == u"Trade Time")
            quote.tradeTime = detail.value;
    }
    quote.headlines = CutHeadlines(page);
    quote.logo = storedImage(store, LogoImageAddress(hosts, symbol));
    quote.chart = storedImage(store, ChartImageAddress(hosts, symbol));
    return quote;
}

} // namespace

QuoteSnapshot CutClassicSnapshot(const PageStore &store, const Hosts &hosts, const QStringList &symbols)
{
    QuoteSnapshot snapshot;
    for (const QString &symbol : symbols) {
        if (snapshot.symbols.contains(symbol))
            continue;
        if (const SearchableText *page = store.pageText(QuotePageAddress(hosts, symbol)))
            snapshot.symbols.insert(symbol, cutSymbol(store, hosts, *page, symbol));
    }
    if (const SearchableText *page = store.pageText(MarketsPageAddress(hosts)))
        snapshot.indices = CutMarketIndices(*page, hosts, store);
    if (const SearchableText *page = store.pageText(OtherIndicesPageAddress(hosts)))
        snapshot.dollarIndex = CutDollarIndex(*page, hosts);
    if (const SearchableText *page = store.pageText(MetalsPageAddress(hosts)))
        snapshot.metals = CutPreciousMetals(*page);
    return snapshot;
}

} // namespace tickwell
