#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace tickwell {

// What the chart service is asked for one of the menu's chart ranges: the range and a bar
// interval that gives a few dozen to a few hundred bars ("1y" is a year of daily bars).
struct LiveChartRange {
    QString range;    // "1d", "5d", "3mo", "6mo", "1y", "2y", "5y", "max"
    QString interval; // "5m", "30m", "1d", "1wk", "1mo"

    // Whether the chart covers more than the latest session.
    bool beyondADay() const { return range != QLatin1String("1d"); }
};

// The range of a menu range code ("1d", "5d", "3m", "6m", "1y", "2y", "5y", "my" for all of the
// history), or nothing for another code.
std::optional<LiveChartRange> LiveChartRangeOf(QStringView code);

} // namespace tickwell
