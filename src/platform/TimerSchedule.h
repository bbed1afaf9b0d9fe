#pragma once

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace tickwell::timer_schedule {

// Fire dates are kept as seconds since the epoch, so sub-millisecond intervals still advance.

// A run-loop timer with an interval of zero or less still needs one that moves time forward.
inline double effectiveInterval(double seconds)
{
    constexpr double shortest = 0.0001;
    constexpr double longest = 1e9;
    if (!(seconds > shortest)) // NaN too
        return shortest;
    return std::min(seconds, longest);
}

// The fire date after a firing: one interval after the previous fire date; dates that have
// already passed are skipped, so a late timer fires once, not once for every interval missed.
inline double nextFireTime(double previousFireTime, double interval, double now)
{
    double next = previousFireTime + interval;
    if (next <= now)
        next += std::floor((now - next) / interval + 1.0) * interval;
    return next;
}

inline double toSeconds(const QDateTime &date)
{
    return static_cast<double>(date.toMSecsSinceEpoch()) / 1000.0;
}

inline QDateTime toDateTime(double seconds)
{
    return QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000.0));
}

} // namespace tickwell::timer_schedule
