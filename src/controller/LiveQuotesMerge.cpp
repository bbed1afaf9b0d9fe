#include "controller/LiveQuotesMerge.h"

#include "sources/SourceAddresses.h"

namespace tickwell {

namespace {

// The fresh part when the services gave it, else the last good one.
template<typename Part>
void takeFreshOrLast(Part &into, Part &fresh, const Part &last, bool gaveNothing)
{
    into = gaveNothing ? last : std::move(fresh);
}

void mergeSymbol(QuoteSnapshot &quotes, QuoteSnapshot &fresh, const QuoteSnapshot &lastGood, const QString &symbol,
                 const Hosts &hosts, const PageStore &pages)
{
    const SymbolQuote *latest = fresh.symbol(symbol);
    if (!latest)
        latest = lastGood.symbol(symbol);
    if (!latest)
        return;
    if (hosts.classic.quotePage) {
        // The classic page makes the line; the live side only draws its chart.
        if (!hosts.classic.chartImage && quotes.symbols.contains(symbol))
            quotes.symbols[symbol].chart = latest->chart;
        return;
    }
    SymbolQuote merged = *latest;
    if (hosts.classic.logo) {
        const QString address = LogoImageAddress(hosts, symbol);
        if (const QImage *logo = pages.image(address))
            merged.logo = SnapshotImage{address, *logo};
    }
    if (hosts.classic.chartImage) {
        const QString address = ChartImageAddress(hosts, symbol);
        const QImage *chart = pages.image(address);
        merged.chart = chart ? std::optional<SnapshotImage>(SnapshotImage{address, *chart}) : std::nullopt;
    }
    quotes.symbols.insert(symbol, std::move(merged));
}

} // namespace

void MergeLiveQuotes(QuoteSnapshot &quotes, QuoteSnapshot fresh, const QuoteSnapshot &lastGood, const QStringList &symbols,
                     const Hosts &hosts, const PageStore &pages)
{
    for (const QString &symbol : symbols)
        mergeSymbol(quotes, fresh, lastGood, symbol, hosts, pages);
    const Hosts::Classic &classic = hosts.classic;
    if (!classic.markets)
        takeFreshOrLast(quotes.indices, fresh.indices, lastGood.indices, fresh.indices.empty());
    if (!classic.otherIndices)
        takeFreshOrLast(quotes.dollarIndex, fresh.dollarIndex, lastGood.dollarIndex, !fresh.dollarIndex);
    if (!classic.metals)
        takeFreshOrLast(quotes.metals, fresh.metals, lastGood.metals, fresh.metals.empty());
    quotes.problems = std::move(fresh.problems);
}

} // namespace tickwell
