#include "live/LiveChartRange.h"

#include <array>

namespace tickwell {

std::optional<LiveChartRange> LiveChartRangeOf(QStringView code)
{
    struct Entry {
        QStringView code;
        QStringView range;
        QStringView interval;
    };
    static constexpr std::array<Entry, 8> kRanges{{
        {u"1d", u"1d", u"5m"},
        {u"5d", u"5d", u"30m"},
        {u"3m", u"3mo", u"1d"},
        {u"6m", u"6mo", u"1d"},
        {u"1y", u"1y", u"1d"},
        {u"2y", u"2y", u"1wk"},
        {u"5y", u"5y", u"1wk"},
        {u"my", u"max", u"1mo"},
    }};
    for (const Entry &entry : kRanges) {
        if (entry.code == code)
            return LiveChartRange{entry.range.toString(), entry.interval.toString()};
    }
    return std::nullopt;
}

} // namespace tickwell
