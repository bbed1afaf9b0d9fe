// The charts drawn from the chart service's bars: the day's in the menu, measured against
// yesterday's close, and a longer range's in a window, measured against the close before it.
#include "LiveFixtures.h"

#include "live/DayChart.h"
#include "live/RangeChartSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace tickwell;
using namespace tickwell::live_fixtures;
using namespace Qt::StringLiterals;

namespace {

const QColor kUp(0, 200, 0), kDown(200, 0, 0);

ChartAnswer chartOf(std::initializer_list<std::optional<double>> closes, std::optional<double> previousClose)
{
    ChartAnswer chart;
    chart.previousClose = previousClose;
    std::int64_t time = kRegularStart;
    for (const auto &close : closes)
        chart.bars.push_back(ChartBar{time += 300, close});
    return chart;
}

int pixelsLike(const QImage &image, const QColor &colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            count += std::max({std::abs(p.red() - colour.red()), std::abs(p.green() - colour.green()), std::abs(p.blue() - colour.blue())}) < 40;
        }
    return count;
}

} // namespace

TEST(DrawDayChart, NeedsTwoFiniteClosesToDrawALine)
{
    EXPECT_EQ(DrawDayChart(chartOf({}, 10.0), kUp, kDown), std::nullopt);
    EXPECT_EQ(DrawDayChart(chartOf({10.0}, 9.0), kUp, kDown), std::nullopt);
    EXPECT_EQ(DrawDayChart(chartOf({std::nullopt, 10.0, std::nullopt}, 9.0), kUp, kDown), std::nullopt);
    EXPECT_EQ(DrawDayChart(chartOf({1.0, 2.0}, std::nullopt), kUp, kDown, QSize(0, 0)), std::nullopt);
    // Extreme but finite values are refused, never painted with infinities.
    EXPECT_EQ(DrawDayChart(chartOf({-1e308, 1e308}, std::nullopt), kUp, kDown), std::nullopt);
}

TEST(DrawDayChart, ColoursTheLineByThePreviousCloseAndMarksIt)
{
    const struct { const char *name; ChartAnswer chart; bool up; } cases[] = {
        {"above the previous close", chartOf({10.0, std::nullopt, 11.0, 10.5}, 10.2), true},
        {"below the previous close", chartOf({10.0, 11.0, 10.1}, 10.2), false},
        {"at the previous close", chartOf({9.0, 10.2}, 10.2), true},
        {"without one, against the first close", chartOf({10.0, 9.0, 9.5}, std::nullopt), false},
    };
    for (const auto &c : cases) {
        const auto image = DrawDayChart(c.chart, kUp, kDown);
        ASSERT_TRUE(image) << c.name;
        EXPECT_GT(pixelsLike(*image, c.up ? kUp : kDown), 20) << c.name;
        EXPECT_EQ(pixelsLike(*image, c.up ? kDown : kUp), 0) << c.name;
        EXPECT_EQ(image->pixelColor(0, 0), QColor(Qt::white)) << c.name;
        // Drawn the same way every time: the menu compares images to skip redraws.
        EXPECT_EQ(*image, *DrawDayChart(c.chart, kUp, kDown)) << c.name;
    }

    // The dashed line lies at the previous close's height: here the lowest value, so at the bottom.
    const QColor grey(128, 128, 128);
    const auto marked = DrawDayChart(chartOf({11.0, 12.0, 11.5}, 10.0), kUp, kDown, QSize(100, 50));
    ASSERT_TRUE(marked);
    EXPECT_GT(pixelsLike(*marked, grey), 10);
    EXPECT_EQ(pixelsLike(marked->copy(0, 0, 100, 44), grey), 0);
    EXPECT_EQ(pixelsLike(*DrawDayChart(chartOf({11.0, 12.0}, std::nullopt), kUp, kDown), grey), 0);
}

TEST(RangeChart, AYearIsMeasuredFromTheCloseBeforeItNotFromYesterday)
{
    // A year's daily bars rising from 100 to 110; yesterday closed at 112, a year ago at 95.
    ChartAnswer year;
    year.previousClose = 112.0;
    year.chartPreviousClose = 95.0;
    for (int day = 0; day < 250; ++day)
        year.bars.push_back(ChartBar{kRegularStart - (250 - day) * 86400LL, 100.0 + day * 10.0 / 249});

    const auto drawn = DrawRangeChart(year, true, kUp, kDown);
    ASSERT_TRUE(drawn);
    EXPECT_GT(pixelsLike(*drawn, kUp), 100) << "up over the year";
    EXPECT_EQ(pixelsLike(*drawn, kDown), 0);
    // The day's chart keeps yesterday's close: the same bars are down against 112.
    const auto day = DrawRangeChart(year, false, kUp, kDown);
    ASSERT_TRUE(day);
    EXPECT_GT(pixelsLike(*day, kDown), 100);
    EXPECT_EQ(RangeChartCaption(year, true), u"From 95 to 110: +15 (+15.789%); low 100, high 110"_s);
    EXPECT_EQ(RangeChartCaption(year, false), u"From 112 to 110: -2 (-1.786%); low 100, high 110"_s);
    // A history shorter than the range has no close before it: against its first close, unmarked.
    year.chartPreviousClose.reset();
    EXPECT_EQ(pixelsLike(*DrawRangeChart(year, true, kUp, kDown), kDown), 0);
    EXPECT_EQ(RangeChartCaption(year, true), u"From 100 to 110: +10 (+10%); low 100, high 110"_s);
}

TEST(RangeChart, WhatIsNoChartSaysWhy)
{
    const QByteArray chart = ChartBody(u"\"chartPreviousClose\":95.0"_s, u"%1,%2"_s.arg(kRegularStart).arg(kRegularStart + 300), u"100.0,101.0"_s);
    const std::pair<HttpResponse, QString> cases[] = { // the answer, the problem (none: a chart)
        {HttpResponse{200, chart, {{"Content-Type", "application/json"}}, {}, {}}, {}},
        {HttpResponse{404, R"({"chart":{"result":null,"error":{"code":"Not Found"}}})", {}, {}, {}}, u"404 Not Found"_s},
        {HttpResponse{200, chart.left(chart.size() / 2), {{"Content-Type", "application/json"}}, {}, {}}, u"not a chart answer"_s},
    };
    for (const auto &[response, problem] : cases) {
        const RangeChartResult result = ReadRangeChart(response);
        EXPECT_EQ(result.problem, problem);
        EXPECT_EQ(result.chart ? result.chart->chartPreviousClose : std::nullopt, problem.isEmpty() ? std::optional(95.0) : std::nullopt);
    }
}
