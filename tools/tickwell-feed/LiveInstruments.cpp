#include "LiveInstruments.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tickwell::feed {

namespace {

double cents(double value)
{
    return std::round(value * 100.0) / 100.0;
}

// The symbols that are not listed shares.
struct Instrument {
    const char *symbol;
    const char *alias; // the delayed-quotes form, or ""
    const char *name;
    const char *quoteType;
    const char *exchange;
    const char *fullExchangeName;
};

constexpr std::array<Instrument, 9> kInstruments{{
    {"^DJI", "_DJI", "Dow Jones Industrial Average", "INDEX", "DJI", "DJI"},
    {"^IXIC", "", "NASDAQ Composite", "INDEX", "NIM", "Nasdaq GIDS"},
    {"^GSPC", "_SPX", "S&P 500", "INDEX", "SNP", "SNP"},
    {"^NDX", "_NDX", "NASDAQ 100", "INDEX", "NIM", "Nasdaq GIDS"},
    {"DX-Y.NYB", "", "US Dollar Index", "INDEX", "NYB", "ICE Futures"},
    {"GC=F", "", "Gold", "FUTURE", "CMX", "COMEX"},
    {"SI=F", "", "Silver", "FUTURE", "CMX", "COMEX"},
    {"PL=F", "", "Platinum", "FUTURE", "NYM", "NY Mercantile"},
    {"PA=F", "", "Palladium", "FUTURE", "NYM", "NY Mercantile"},
}};

MarketValue valueOf(const FeedMarket &market, const Instrument &instrument, std::uint64_t tick)
{
    const std::string symbol = instrument.symbol;
    if (symbol == "^DJI")
        return market.dow(tick);
    if (symbol == "^IXIC")
        return market.nasdaq(tick);
    if (symbol == "^GSPC")
        return market.standardAndPoors(tick);
    if (symbol == "^NDX")
        return market.moving(symbol, 3612.50, 0.015, tick);
    if (symbol == "DX-Y.NYB")
        return market.dollarIndex(tick);
    return market.metal(instrument.name, tick);
}

StockQuote instrumentQuote(const FeedMarket &market, const Instrument &instrument, const std::string &symbol, std::uint64_t tick)
{
    const MarketValue value = valueOf(market, instrument, tick);
    StockQuote quote;
    quote.symbol = symbol;
    quote.company = instrument.name;
    quote.last = value.last;
    quote.previousClose = cents(value.last - value.change);
    quote.open = cents(quote.previousClose * (1.0 + market.wobble(instrument.symbol, 0) * 0.004));
    quote.dayLow = cents(std::min({quote.last, quote.open, quote.previousClose}) * 0.997);
    quote.dayHigh = cents(std::max({quote.last, quote.open, quote.previousClose}) * 1.003);
    quote.yearLow = cents(quote.previousClose * 0.81);
    quote.yearHigh = cents(quote.previousClose * 1.09);
    const bool index = std::string(instrument.quoteType) == "INDEX";
    quote.volume = (index ? 2100000000 : 150000) + static_cast<long long>(tick) * (index ? 90000 : 40);
    quote.averageVolume = quote.volume * 11 / 10;
    return quote;
}

} // namespace

LiveQuote LiveQuoteOf(const FeedMarket &market, const std::string &symbol, std::uint64_t tick)
{
    LiveQuote live;
    for (const Instrument &instrument : kInstruments) {
        if (symbol == instrument.symbol || symbol == instrument.alias) {
            live.quote = instrumentQuote(market, instrument, symbol, tick);
            live.shortName = instrument.name;
            live.longName = instrument.name;
            live.quoteType = instrument.quoteType;
            live.exchange = instrument.exchange;
            live.fullExchangeName = instrument.fullExchangeName;
            return live;
        }
    }
    live.quote = market.quote(symbol, tick);
    live.longName = live.quote.company;
    // The short name is the long one cut to the services' usual length.
    live.shortName = live.longName.substr(0, 20);
    while (!live.shortName.empty() && live.shortName.back() == ' ')
        live.shortName.pop_back();
    return live;
}

void SetLastTrade(StockQuote &quote, double last)
{
    const double bidGap = quote.last - quote.bid;
    const double askGap = quote.ask - quote.last;
    quote.realTime = cents(quote.realTime - quote.last + last);
    quote.afterHours = cents(quote.afterHours - quote.last + last);
    quote.last = last;
    if (quote.bid > 0)
        quote.bid = cents(last - bidGap);
    if (quote.ask > 0)
        quote.ask = cents(last + askGap);
    quote.dayLow = std::min(quote.dayLow, last);
    quote.dayHigh = std::max(quote.dayHigh, last);
}

} // namespace tickwell::feed
