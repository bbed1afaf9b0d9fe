#include "FeedMarket.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

namespace tickwell::feed {

namespace {

std::uint64_t splitMix(std::uint64_t value)
{
    value += 0x9E3779B97F4A7C15ull;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    return value ^ (value >> 31);
}

double cents(double value)
{
    return std::round(value * 100.0) / 100.0;
}

std::string upper(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

bool FeedMarket::isKnown(const std::string &symbol)
{
    return !symbol.empty() && upper(symbol.substr(0, 2)) != "ZZ";
}

bool FeedMarket::hasLogo(const std::string &symbol)
{
    return isKnown(symbol) && symbol.size() <= 4;
}

std::uint64_t FeedMarket::hash(const std::string &name, std::uint64_t salt) const
{
    std::uint64_t value = splitMix(m_seed ^ splitMix(salt));
    for (unsigned char c : upper(name))
        value = splitMix(value ^ c);
    return value;
}

double FeedMarket::wobble(const std::string &name, std::uint64_t tick) const
{
    return static_cast<double>(hash(name, tick + 1) % 20001) / 10000.0 - 1.0;
}

MarketValue FeedMarket::moving(const std::string &name, double base, double swing, std::uint64_t tick) const
{
    const double phase = static_cast<double>(hash(name, 0) % 628) / 100.0;
    const double drift = std::sin(static_cast<double>(tick) * 0.37 + phase) * 0.75 + wobble(name, tick) * 0.25;
    MarketValue value;
    const double close = cents(base);
    value.last = cents(close * (1.0 + swing * drift));
    value.change = cents(value.last - close);
    value.percent = close != 0 ? value.change / close * 100.0 : 0.0;
    return value;
}

StockQuote FeedMarket::quote(const std::string &symbol, std::uint64_t tick) const
{
    const std::uint64_t traits = hash(symbol, 0);
    StockQuote quote;
    quote.symbol = symbol;
    quote.company = CompanyName(symbol);
    const double base = 10.0 + static_cast<double>(traits % 49000) / 100.0;
    const MarketValue value = moving(symbol, base, 0.03, tick);
    quote.previousClose = cents(base);
    quote.last = value.last;
    quote.open = cents(quote.previousClose * (1.0 + wobble(symbol, 0) * 0.01));
    quote.bid = cents(quote.last - 0.01 * static_cast<double>(1 + traits % 5));
    quote.ask = cents(quote.last + 0.01 * static_cast<double>(1 + (traits >> 8) % 5));
    quote.dayLow = std::min({quote.last, quote.open, quote.previousClose}) - 0.5;
    quote.dayHigh = std::max({quote.last, quote.open, quote.previousClose}) + 0.5;
    quote.yearLow = cents(quote.previousClose * 0.72);
    quote.yearHigh = cents(quote.previousClose * 1.21);
    quote.targetEstimate = cents(quote.previousClose * 1.1);
    quote.volume = 100000 + static_cast<long long>((traits >> 16) % 9000000) + static_cast<long long>(tick) * 1200;
    quote.averageVolume = 200000 + static_cast<long long>((traits >> 24) % 12000000);
    quote.marketCapBillions = static_cast<double>((traits >> 32) % 90000) / 100.0 + 0.5;
    quote.earningsPerShare = cents(quote.previousClose / (8.0 + static_cast<double>(traits % 30)));
    quote.priceEarnings = cents(quote.last / quote.earningsPerShare);
    quote.dividend = cents(static_cast<double>((traits >> 40) % 300) / 100.0);
    // Real-time prices for a third of the symbols, after-hours prices for two thirds.
    quote.hasRealTime = traits % 3 == 0;
    quote.hasAfterHours = traits % 3 != 2;
    quote.realTime = cents(quote.last + wobble(symbol, tick + 7) * 0.2);
    quote.afterHours = cents(quote.last + wobble(symbol, tick + 11) * 0.4);
    return quote;
}

std::vector<double> FeedMarket::recentTrades(const std::string &symbol, std::uint64_t tick, int count) const
{
    std::vector<double> trades;
    for (int i = 0; i < count; ++i)
        trades.push_back(quote(symbol, tick >= static_cast<std::uint64_t>(i) ? tick - static_cast<std::uint64_t>(i) : 0).last);
    return trades;
}

MarketValue FeedMarket::dow(std::uint64_t tick) const
{
    return moving("^DJI", 16437.05, 0.012, tick);
}

MarketValue FeedMarket::nasdaq(std::uint64_t tick) const
{
    return moving("^IXIC", 4234.08, 0.015, tick);
}

MarketValue FeedMarket::standardAndPoors(std::uint64_t tick) const
{
    return moving("^GSPC", 1872.34, 0.012, tick);
}

MarketValue FeedMarket::dollarIndex(std::uint64_t tick) const
{
    return moving("NYBOT_DX", 80.52, 0.006, tick);
}

MarketValue FeedMarket::metal(const std::string &name, std::uint64_t tick) const
{
    static const std::array<std::pair<const char *, double>, 4> kBases{
        {{"Gold", 1291.40}, {"Silver", 19.87}, {"Platinum", 1415.00}, {"Palladium", 771.00}}};
    for (const auto &[metal, base] : kBases) {
        if (name == metal)
            return moving(name, base, 0.02, tick);
    }
    return {};
}

int FeedMarket::minutesToOpen(std::uint64_t tick) const
{
    return 90 - static_cast<int>(tick % 90);
}

std::string CompanyName(const std::string &symbol)
{
    static const std::array<const char *, 5> kSuffixes{" Corporation", " Holdings Inc.", " Industries",
                                                       " Group plc", " Technologies Inc."};
    std::string name;
    for (char c : symbol) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += static_cast<char>(name.empty() ? std::toupper(static_cast<unsigned char>(c))
                                                   : std::tolower(static_cast<unsigned char>(c)));
    }
    if (name.empty())
        name = "Index";
    // Only the letters and digits count, so the news pages can find the name from a path slug.
    std::uint64_t sum = 0;
    for (unsigned char c : symbol) {
        if (std::isalnum(c))
            sum = sum * 31 + static_cast<unsigned char>(std::toupper(c));
    }
    return name + kSuffixes[sum % kSuffixes.size()];
}

} // namespace tickwell::feed
