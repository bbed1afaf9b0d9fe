#pragma once

#include <QDate>

#include <cstdint>
#include <string>

namespace tickwell::feed {

// The hours of one U.S. trading day, in seconds since 1970 (UTC).
struct TradingHours {
    QDate day;
    std::int64_t preStart = 0;     // 4:00 New York time
    std::int64_t regularStart = 0; // 9:30
    std::int64_t regularEnd = 0;   // 16:00
    std::int64_t postEnd = 0;      // 20:00
    int gmtOffset = 0;             // seconds east of UTC: -18000 or -14400
    std::string zone;              // "EST" or "EDT"
};

// The U.S. market calendar seen from one moment: every weekday trades (the feed keeps no
// holidays), from 4:00 to 20:00 New York time with the regular session from 9:30 to 16:00.
class MarketClock {
public:
    explicit MarketClock(std::int64_t now);
    static MarketClock current();

    std::int64_t now() const { return m_now; }
    // The latest weekday whose pre-market has begun: today while it trades, else the last one.
    const TradingHours &session() const { return m_session; }
    static TradingHours hoursOf(QDate day);
    // "PRE", "REGULAR", "POST" or "CLOSED".
    std::string marketState() const;

    // The weekday before day (skipping weekends).
    static QDate previousTradingDay(QDate day);
    // A time as "YYYY-MM-DDTHH:MM:SS" in New York.
    static std::string newYorkText(std::int64_t time);

private:
    std::int64_t m_now;
    TradingHours m_session;
};

} // namespace tickwell::feed
