#include "live/LiveSnapshot.h"

namespace tickwell {

namespace {

const LiveSymbolAnswers *pricedAnswers(const LiveRefreshResult &result, const QString &symbol)
{
    const auto answers = result.quotes.constFind(symbol);
    return answers != result.quotes.constEnd() && answers->hasPrice() ? &*answers : nullptr;
}

bool sectionWanted(const LiveRefreshRequest &request, LiveMarketSection section)
{
    switch (section) {
    case LiveMarketSection::Indices:
        return request.indices;
    case LiveMarketSection::DollarIndex:
        return request.dollarIndex;
    case LiveMarketSection::Metals:
        return request.metals;
    }
    return false;
}

} // namespace

QuoteSnapshot SnapshotFromLiveRefresh(const LiveRefreshRequest &request, const LiveRefreshResult &result,
                                      const LiveChartColors &colors)
{
    QuoteSnapshot snapshot;
    for (const QString &asked : request.symbols) {
        const QString symbol = asked.trimmed();
        const LiveSymbolAnswers *answers = pricedAnswers(result, symbol);
        if (!answers || snapshot.symbols.contains(symbol))
            continue;
        const auto headlines = result.headlines.constFind(symbol);
        const std::vector<FeedHeadline> *feed = headlines == result.headlines.constEnd() ? nullptr : &*headlines;
        const ChartAnswer *chart = answers->chart ? &*answers->chart : nullptr;
        const QuoteAnswer *quote = answers->quote ? &*answers->quote : nullptr;
        if ((chart && chart->regularMarketPrice) || (quote && quote->regularMarketPrice)) {
            snapshot.symbols.insert(symbol, SymbolQuoteFromAnswers(chart, quote, feed, colors));
        } else {
            SymbolQuote delayed = SymbolQuoteFromDelayed(*answers->delayed);
            if (feed) // the fallback has no headlines of its own; the feed's still count
                delayed.headlines = SymbolQuoteFromAnswers(nullptr, nullptr, feed, colors).headlines;
            snapshot.symbols.insert(symbol, std::move(delayed));
        }
    }
    for (const LiveInstrument &instrument : LiveInstruments()) {
        const LiveSymbolAnswers *answers = sectionWanted(request, instrument.section) ? pricedAnswers(result, instrument.symbol) : nullptr;
        if (!answers)
            continue;
        std::optional<MarketQuote> line = MarketQuoteFromAnswers(instrument, answers->chart ? &*answers->chart : nullptr,
                                                                 answers->quote ? &*answers->quote : nullptr, colors);
        if (!line && answers->delayed)
            line = MarketQuoteFromDelayed(instrument, *answers->delayed);
        if (!line)
            continue;
        switch (instrument.section) {
        case LiveMarketSection::Indices:
            snapshot.indices.push_back(std::move(*line));
            break;
        case LiveMarketSection::DollarIndex:
            snapshot.dollarIndex = std::move(*line);
            break;
        case LiveMarketSection::Metals:
            snapshot.metals.push_back(std::move(*line));
            break;
        }
    }
    snapshot.problems = result.problems;
    return snapshot;
}

} // namespace tickwell
