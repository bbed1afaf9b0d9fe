#pragma once

#include "live/LiveAnswers.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

namespace tickwell {

// The size of the chart images the quote pages served, and so of the menu's chart items.
inline constexpr QSize kDayChartSize{192, 96};

// A line chart of the answer's closes on white, the previous close as a dashed grey line, the
// line in `up` when the last close is at or above the previous close (or, without one, the first
// close) and in `down` otherwise. Bars are spaced evenly in answer order; a gap (absent close) is
// bridged. Works for any range the chart answer covers. Nothing when fewer than two closes.
// Usage: if (auto image = DrawDayChart(*chart, upColor, downColor)) item.imageData = *image;
std::optional<QImage> DrawDayChart(const ChartAnswer &chart, const QColor &up, const QColor &down,
                                   QSize size = kDayChartSize);

// The size of a range's chart in a window of its own.
inline constexpr QSize kRangeChartSize{480, 240};

// The chart of a range as DrawDayChart draws it, but measured against the close before the range
// (chartPreviousClose) when the range is longer than a day: a year's chart is up or down over the
// year, not since yesterday. The day's chart keeps yesterday's close.
std::optional<QImage> DrawRangeChart(const ChartAnswer &chart, bool beyondADay, const QColor &up, const QColor &down,
                                     QSize size = kRangeChartSize);

// The line under a range's chart, in the user's locale: "From 361.07 to 382.71: +21.64 (+5.993%);
// low 280.75, high 471.82", measured as DrawRangeChart draws (from the first close when there is
// no close before the range). Nothing when fewer than two closes.
std::optional<QString> RangeChartCaption(const ChartAnswer &chart, bool beyondADay);

} // namespace tickwell
