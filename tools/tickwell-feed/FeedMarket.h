#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace tickwell::feed {

// One symbol's quote at one moment of the feed.
struct StockQuote {
    std::string symbol;
    std::string company;
    double last = 0;
    double previousClose = 0;
    double open = 0;
    double bid = 0;
    double ask = 0;
    double dayLow = 0;
    double dayHigh = 0;
    double yearLow = 0;
    double yearHigh = 0;
    double targetEstimate = 0;
    long long volume = 0;
    long long averageVolume = 0;
    double marketCapBillions = 0;
    double priceEarnings = 0;
    double earningsPerShare = 0;
    double dividend = 0;
    bool hasRealTime = false;
    double realTime = 0;
    bool hasAfterHours = false;
    double afterHours = 0;
};

// A market value with its change against the previous close (indices, metals, the dollar).
struct MarketValue {
    double last = 0;
    double change = 0;
    double percent = 0;
};

// The prices of the feed: a pure function of the seed, the symbol and a tick. Every request that
// shows prices takes the next tick, so prices move from one request to the next, and the same
// seed and sequence of requests always give the same pages.
class FeedMarket {
public:
    // A still market answers every request at one tick: the same pages in any order of requests.
    explicit FeedMarket(std::uint64_t seed, bool still = false) : m_seed(seed), m_still(still) {}

    std::uint64_t nextTick() { return m_still ? kStillTick : m_requests.fetch_add(1, std::memory_order_relaxed); }
    std::uint64_t seed() const { return m_seed; }

    // Symbols beginning with "ZZ" (any case) are unknown to the feed: no quotes, no images.
    static bool isKnown(const std::string &symbol);
    // Listed-company logos exist for known symbols of at most four characters.
    static bool hasLogo(const std::string &symbol);

    StockQuote quote(const std::string &symbol, std::uint64_t tick) const;
    // The last trades of a symbol, newest first, one per tick before the given one.
    std::vector<double> recentTrades(const std::string &symbol, std::uint64_t tick, int count) const;

    MarketValue dow(std::uint64_t tick) const;
    MarketValue nasdaq(std::uint64_t tick) const;
    MarketValue standardAndPoors(std::uint64_t tick) const;
    MarketValue dollarIndex(std::uint64_t tick) const;
    MarketValue metal(const std::string &name, std::uint64_t tick) const;

    // Minutes left until the markets open, counting down with the ticks.
    int minutesToOpen(std::uint64_t tick) const;

    // A value in [-1, 1] for the name at the tick (any number: the live charts use times).
    double wobble(const std::string &name, std::uint64_t tick) const;
    // A value moving around base by at most swing (a fraction), for the name at the tick.
    MarketValue moving(const std::string &name, double base, double swing, std::uint64_t tick) const;

private:
    // Mixes the seed, a name and a number into 64 well-spread bits.
    std::uint64_t hash(const std::string &name, std::uint64_t salt) const;

    static constexpr std::uint64_t kStillTick = 100;
    std::uint64_t m_seed;
    bool m_still;
    std::atomic<std::uint64_t> m_requests{0};
};

// A company name for a symbol: "ACME" gives "Acme Corporation". Never contains "-". Depends only
// on the letters and digits of the symbol, in any case.
std::string CompanyName(const std::string &symbol);

} // namespace tickwell::feed
