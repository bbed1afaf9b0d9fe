#include "live/DayChart.h"

#include "app/ValueFormatting.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tickwell {

namespace {

constexpr double kMargin = 4.0;
// Images beyond this edge length are no menu item.
constexpr int kLargestEdge = 2048;

// What a range's chart is measured against. For ranges beyond a day, unlike for the day's
// change, chartPreviousClose IS the right reference: it is the close before the first bar of the
// range. Without one (a history shorter than the range) the first close stands in, unmarked. The
// day's chart keeps yesterday's close.
std::optional<double> rangeReference(const ChartAnswer &chart, bool beyondADay)
{
    return beyondADay ? chart.chartPreviousClose : chart.previousClose;
}

} // namespace

std::optional<QImage> DrawDayChart(const ChartAnswer &chart, const QColor &up, const QColor &down, QSize size)
{
    if (size.width() < 16 || size.height() < 16 || size.width() > kLargestEdge || size.height() > kLargestEdge)
        return std::nullopt;
    std::vector<std::pair<std::size_t, double>> points; // bar index and close
    for (std::size_t i = 0; i < chart.bars.size(); ++i) {
        if (chart.bars[i].close && std::isfinite(*chart.bars[i].close))
            points.emplace_back(i, *chart.bars[i].close);
    }
    if (points.size() < 2)
        return std::nullopt;

    const auto byClose = [](const auto &a, const auto &b) { return a.second < b.second; };
    double low = std::min_element(points.begin(), points.end(), byClose)->second;
    double high = std::max_element(points.begin(), points.end(), byClose)->second;
    // Without a usable previous close the first close stands in, unmarked.
    const double previousClose = chart.previousClose.value_or(std::numeric_limits<double>::quiet_NaN());
    const bool marked = std::isfinite(previousClose);
    const double previous = marked ? previousClose : points.front().second;
    low = std::min(low, previous);
    high = std::max(high, previous);
    // A flat day still needs a height to scale by; the span of doubles must itself be finite.
    double span = high - low;
    if (!std::isfinite(span))
        return std::nullopt;
    if (span <= std::fabs(high) * 1e-12 || span == 0.0) {
        const double pad = std::max(std::fabs(high) * 0.01, 0.01);
        low -= pad;
        high += pad;
        span = high - low;
    }

    const double width = size.width();
    const double height = size.height();
    const double lastIndex = static_cast<double>(std::max<std::size_t>(chart.bars.size() - 1, 1));
    const auto xOf = [&](std::size_t index) { return kMargin + (width - 2 * kMargin) * static_cast<double>(index) / lastIndex; };
    const auto yOf = [&](double value) { return height - kMargin - (height - 2 * kMargin) * (value - low) / span; };

    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (marked) {
        // On a pixel row's centre, so that the one-pixel dashes stay crisp.
        painter.setPen(QPen(QColor(128, 128, 128), 1, Qt::DashLine));
        const double y = std::floor(yOf(previous)) + 0.5;
        painter.drawLine(QPointF(0.0, y), QPointF(width, y));
    }
    QPainterPath path;
    path.moveTo(xOf(points.front().first), yOf(points.front().second));
    for (auto point = points.begin() + 1; point != points.end(); ++point)
        path.lineTo(xOf(point->first), yOf(point->second));
    painter.setPen(QPen(points.back().second >= previous ? up : down, 2));
    painter.drawPath(path);
    painter.end();
    return image;
}

std::optional<QImage> DrawRangeChart(const ChartAnswer &chart, bool beyondADay, const QColor &up, const QColor &down, QSize size)
{
    ChartAnswer measured = chart;
    measured.previousClose = rangeReference(chart, beyondADay);
    return DrawDayChart(measured, up, down, size);
}

std::optional<QString> RangeChartCaption(const ChartAnswer &chart, bool beyondADay)
{
    std::vector<double> closes;
    for (const ChartBar &bar : chart.bars) {
        if (bar.close && std::isfinite(*bar.close))
            closes.push_back(*bar.close);
    }
    if (closes.size() < 2)
        return std::nullopt;
    const double from = rangeReference(chart, beyondADay).value_or(closes.front());
    const double to = closes.back();
    const auto signedValue = [](double value) { return (value > 0 ? QStringLiteral("+") : QString()) + FormatDoubleValue(value); };
    QString caption = QStringLiteral("From %1 to %2: %3").arg(FormatDoubleValue(from), FormatDoubleValue(to), signedValue(to - from));
    if (from != 0.0)
        caption += QStringLiteral(" (%1%)").arg(signedValue((to - from) / std::fabs(from) * 100.0));
    const auto [low, high] = std::minmax_element(closes.begin(), closes.end());
    return caption + QStringLiteral("; low %1, high %2").arg(FormatDoubleValue(*low), FormatDoubleValue(*high));
}

} // namespace tickwell
