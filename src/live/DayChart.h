#pragma once

#include "live/LiveAnswers.h"

#include <QColor>
#include <QImage>
#include <QSize>

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

} // namespace tickwell
